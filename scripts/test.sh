#!/usr/bin/env bash
# Installs what the build and the tests need (Debian 12, as root), configures, builds and runs
# every test suite, builds the Debian package and checks it (scripts/package-check.sh); then
# builds and runs the suite again under the address and undefined-behaviour sanitizers
# (SANITIZERS=0 skips that), and runs each fuzz target for FUZZ_SECONDS (default 20; 0 skips
# them) from its seed corpus. Checks the formatting first.
# Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev qt6-translations-l10n xvfb xauth fonts-wqy-microhei
    poppler-utils xdotool clang libclang-rt-dev clang-format
    dpkg-dev file scdoc man-db lintian desktop-file-utils appstream shared-mime-info
    libyaml-cpp-dev python3-yaml python3-jsonschema)
if [ "$(id -u)" = 0 ]; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
fi

# Every source is formatted by the rules of .clang-format; no source file is over 600 lines and
# no function over 80.
bash scripts/format.sh --check
oversized=$(bash scripts/sizes.sh)
if [ -n "$oversized" ]; then
    echo "Too long (split them):" >&2
    echo "$oversized" >&2
    exit 1
fi

export XDG_RUNTIME_DIR=$(mktemp -d)
chmod 700 "$XDG_RUNTIME_DIR"

build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j2
(cd "$build" && ctest --output-on-failure -j2)
bash scripts/package-check.sh "$build"

if [ "${SANITIZERS:-1}" != 0 ]; then
    asan=${ASAN_BUILD_DIR:-build-asan}
    flags="-O1 -g -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"
    cmake -S . -B "$asan" -G Ninja -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="$flags" \
        -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
    cmake --build "$asan" -j2
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    (cd "$asan" && ctest --output-on-failure -j2)
fi

if [ "${FUZZ_SECONDS:-20}" != 0 ]; then
    # The fuzzers report their own findings; the sanitizer settings of the suite above do not apply.
    env -u ASAN_OPTIONS -u LSAN_OPTIONS -u UBSAN_OPTIONS \
        bash bench/fuzz.sh "${FUZZ_SECONDS:-20}" "${FUZZ_BUILD_DIR:-build-fuzz}"
fi
