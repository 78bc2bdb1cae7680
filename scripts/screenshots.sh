#!/usr/bin/env bash
# Saves PNG pictures of the shell's windows (main window with the channel grid and with the
# optional features, splash, language, port and its check, model, print list, About) of meridox and solvir,
# in English and in Chinese, into OUTDIR.
# The windows are drawn offscreen with a temporary settings folder.
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:?usage: scripts/screenshots.sh OUTDIR}
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target screenshots
runtime=$(mktemp -d)
chmod 700 "$runtime"
# A screen of common size: the first main window opens as it does on a desktop.
XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=offscreen:configfile=$PWD/tests/gui/large-screen.json \
    "$build/screenshots" "$out"
rm -rf "$runtime"
