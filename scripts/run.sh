#!/usr/bin/env bash
# Builds the programs and shows a fresh configuration with the command-line companion.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
if [ "$(id -u)" = 0 ] && ! dpkg -s qt6-base-dev qt6-serialport-dev >/dev/null 2>&1; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        cmake ninja-build g++ qt6-base-dev qt6-serialport-dev >/dev/null
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2
demo=$(mktemp -d)
"$build/meridox-cli" new -o "$demo/new.dat"
"$build/meridox-cli" show "$demo/new.dat"
echo
echo "Saved the default configuration as $demo/new.dat"
