#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over every source file of src/.
# Usage: scripts/tidy.sh [BUILD_DIR]   (the build folder holds compile_commands.json)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-tidy}
if [ "$(id -u)" = 0 ] && ! command -v clang-tidy >/dev/null; then
    apt-get update -qq && apt-get install -y -qq clang-tidy >/dev/null
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
# Generated moc files must exist before the sources that include them are analysed.
cmake --build "$build" -j2 >/dev/null
files=$(git ls-files 'src/*.cpp')
status=0
for f in $files; do
    clang-tidy -p "$build" --quiet "$f" 2>/dev/null || status=1
done
[ "$status" = 0 ] && echo "clang-tidy: no findings"
exit "$status"
