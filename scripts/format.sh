#!/usr/bin/env bash
# Formats every C++ source of the project with the rules of .clang-format.
# Usage: scripts/format.sh           rewrites the files in place
#        scripts/format.sh --check   changes nothing; fails and names the files that differ
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "$(id -u)" = 0 ] && ! command -v clang-format >/dev/null; then
    apt-get update -qq && apt-get install -y -qq clang-format >/dev/null
fi
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = --check ]; then
    if clang-format --dry-run --Werror "${files[@]}" 2>/tmp/format-check.$$; then
        rm -f /tmp/format-check.$$
        echo "clang-format: every file is formatted"
    else
        grep -o '^[^:]*\.\(cpp\|h\)' /tmp/format-check.$$ | sort -u | sed 's/^/not formatted: /'
        rm -f /tmp/format-check.$$
        echo "Run scripts/format.sh to format them." >&2
        exit 1
    fi
else
    clang-format -i "${files[@]}"
fi
