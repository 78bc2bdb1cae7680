#!/usr/bin/env bash
# Builds the fuzzers (clang, libFuzzer, address and undefined-behaviour sanitizers) and runs
# each for SECONDS (default 300) from the seed corpus in tests/corpus/. Prints executions per
# second and any crash or broken invariant (the input is kept under the work folder).
# Usage: bench/fuzz.sh [SECONDS] [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
build=${2:-build-fuzz}
if [ "$(id -u)" = 0 ] && ! command -v clang++ >/dev/null; then
    apt-get update -qq && apt-get install -y -qq clang libclang-rt-dev >/dev/null
fi
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DFUZZ=ON -DBUILD_TESTING=OFF >/dev/null
cmake --build "$build" -j2 --target fuzz_datafile fuzz_codec fuzz_session fuzz_csv fuzz_yaml
work=$(mktemp -d)
export QT_QPA_PLATFORM=offscreen
status=0
printf '%-10s %12s %10s %s\n' target executions "exec/s" result
for target in datafile codec session csv yaml; do
    mkdir -p "$work/$target/corpus" "$work/$target/crash"
    cp tests/corpus/"$target"/* "$work/$target/corpus/"
    log=$work/$target/log
    if "$build/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$work/$target/crash/" "$work/$target/corpus" >"$log" 2>&1; then
        result=ok
    else
        result="FAILED (see $log; input in $work/$target/crash/)"
        status=1
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(awk -v r="${runs:-0}" -v s="$seconds" 'BEGIN {printf "%.0f", r / s}')
    printf '%-10s %12s %10s %s\n' "$target" "${runs:-?}" "$rate" "$result"
done
[ "$status" = 0 ] && rm -rf "$work"
exit "$status"
