#!/bin/bash
# The memory the edit history keeps for 200 edits of grid cells (each one undo step).
# Usage: bench/undo.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
QT_QPA_PLATFORM=offscreen "$build/tests/tst_undo" twoHundredSteps 2>/dev/null |
    grep -o 'undo memory for 200 grid edits: .*'
