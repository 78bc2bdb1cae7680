#!/usr/bin/env bash
# Times full reads and writes of both products against the virtual radio on a pseudo-terminal.
#  (a) unpaced: session wall time and time per exchange, median of RUNS runs;
#  (b) paced like a 9600-baud line: session wall time divided by the wire time
#      (all bytes both ways x 10 bits / 9600 baud).
# The verify row is a write with --verify (the write, then its read-back); the last lines set
# its paced time against the plain write's.
# Usage: bench/session.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-5}
[ -x "$build/virtual-radio" ] || { echo "build first: cmake --build $build" >&2; exit 1; }
work=$(mktemp -d)
export XDG_CONFIG_HOME=$work/config
export XDG_DATA_HOME=$work/data # backups and traces of the timed runs
trap 'kill $radio_pid 2>/dev/null || true; rm -rf "$work"' EXIT
radio_pid=

start_radio() { # product, extra options...
    local product=$1; shift
    rm -f "$work/link"
    "$build/virtual-radio" --product "$product" --link "$work/link" "$@" > "$work/radio.out" &
    radio_pid=$!
    for _ in $(seq 100); do grep -q '^ready' "$work/radio.out" 2>/dev/null && return; sleep 0.05; done
    echo "virtual-radio did not start" >&2; exit 1
}
stop_radio() { kill "$radio_pid" 2>/dev/null || true; wait "$radio_pid" 2>/dev/null || true; }

session() { # product, op -> prints "ms exchanges bytes"
    local product=$1 op=$2 args
    case $op in
        read) args=(read --port "$work/link" -o "$work/out.dat") ;;
        write|verify) args=(write --port "$work/link" "$work/in-$product.dat")
               [ "$product" = solvir ] && args+=(--overwrite)
               [ "$op" = verify ] && args+=(--verify) ;;
    esac
    "$build/$product-cli" "${args[@]}" --timing 2>&1 >/dev/null |
        sed -n 's/^timing: \([0-9.]*\) ms, \([0-9]*\) exchanges, \([0-9]*\) bytes$/\1 \2 \3/p'
}

declare -A paced unpaced

median() { sort -n | awk '{v[NR]=$1} END {print (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)}'; }

printf '%-8s %-6s | %12s %10s %14s | %12s %12s %7s\n' product op "unpaced ms" exchanges "ms/exchange" "paced ms" "wire ms" ratio
for product in meridox solvir; do
    "$build/$product-cli" new -o "$work/in-$product.dat"
    for op in read write verify; do
        start_radio "$product"
        times=()
        for _ in $(seq "$runs"); do
            read -r ms ex bytes < <(session "$product" "$op")
            times+=("$ms")
        done
        stop_radio
        med=$(printf '%s\n' "${times[@]}" | median)
        per=$(awk -v m="$med" -v e="$ex" 'BEGIN {printf "%.4f", m / e}')
        start_radio "$product" --pace-us 1041.667
        read -r pms pex pbytes < <(session "$product" "$op")
        stop_radio
        wire=$(awk -v b="$pbytes" 'BEGIN {printf "%.1f", b * 10 / 9600 * 1000}')
        ratio=$(awk -v p="$pms" -v w="$wire" 'BEGIN {printf "%.4f", p / w}')
        printf '%-8s %-6s | %12.1f %10d %14s | %12.1f %12s %7s\n' "$product" "$op" "$med" "$ex" "$per" "$pms" "$wire" "$ratio"
        paced[$product-$op]=$pms
        unpaced[$product-$op]=$med
    done
done
for product in meridox solvir; do
    awk -v p="$product" -v v="${paced[$product-verify]}" -v w="${paced[$product-write]}" \
        -v uv="${unpaced[$product-verify]}" -v uw="${unpaced[$product-write]}" \
        'BEGIN {printf "%s: verified write / plain write: %.2f paced (%.1f / %.1f ms), %.2f unpaced\n", p, v / w, v, w, uv / uw}'
done
echo "targets: under 0.2 ms per exchange unpaced; paced ratio at most 1.02"
