#!/usr/bin/env bash
# Writes one configuration to N = 1, 2, 4 and 8 virtual radios at once, each paced like a
# 9600-baud line, with one CLI run over N ports. Prints the run's wall time, its ratio to the
# time of one radio (the target is at most 1.05 for N = 8), and the CLI's own CPU time
# (user + system) per radio written.
# Usage: bench/fleet.sh [BUILD_DIR] [PRODUCT]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
product=${2:-meridox}
[ -x "$build/virtual-radio" ] || { echo "build first: cmake --build $build" >&2; exit 1; }
work=$(mktemp -d)
export XDG_CONFIG_HOME=$work/config
export XDG_DATA_HOME=$work/data # backups and traces of the timed runs
pids=()
stop_radios() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done; pids=(); }
trap 'stop_radios; rm -rf "$work"' EXIT

start_radios() { # count
    for i in $(seq "$1"); do
        rm -f "$work/link$i"
        "$build/virtual-radio" --product "$product" --link "$work/link$i" --pace-us 1041.667 \
            > "$work/radio$i.out" &
        pids+=($!)
    done
    for i in $(seq "$1"); do
        for _ in $(seq 100); do grep -q '^ready' "$work/radio$i.out" 2>/dev/null && break; sleep 0.05; done
    done
}

"$build/$product-cli" new -o "$work/in.dat"
extra=()
[ "$product" = solvir ] && extra=(--overwrite)
printf '%3s | %10s %8s | %14s\n' N "wall s" "N / 1" "CPU ms/radio"
one=
for n in 1 2 4 8; do
    start_radios "$n"
    ports=()
    for i in $(seq "$n"); do ports+=(--port "$work/link$i"); done
    TIMEFORMAT='%R %U %S'
    { time "$build/$product-cli" write "$work/in.dat" "${ports[@]}" "${extra[@]}" \
        > "$work/summary.txt" 2> "$work/cli.err"; } 2> "$work/time.txt" ||
        { echo "not every radio was written:" >&2; cat "$work/summary.txt" "$work/cli.err" >&2; exit 1; }
    stop_radios
    read -r wall user sys < "$work/time.txt"
    [ -z "$one" ] && one=$wall
    awk -v n="$n" -v w="$wall" -v o="$one" -v u="$user" -v s="$sys" \
        'BEGIN {printf "%3d | %10.2f %8.3f | %14.1f\n", n, w, w / o, (u + s) * 1000 / n}'
done
echo "target: N / 1 at most 1.05 for N = 8"
