#!/usr/bin/env bash
# The programs on a real X display, driven as a user drives them: the window titles the window
# system receives, and a frequency typed into the channel grid then saved with the toolbar's
# Save button (which takes no focus from the editor).
#   tst_desktop.sh MERIDOX SOLVIR
# Exits 77 (skipped) when xvfb-run, xauth or xdotool is missing.
set -euo pipefail
meridox=$1
solvir=$2

for tool in xvfb-run xauth xdotool; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
if [ -z "${DESKTOP_TEST_INNER:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" env DESKTOP_TEST_INNER=1 "$0" "$@"
fi

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/config" "$work/runtime" "$work/files"
chmod 700 "$work/runtime"
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime XDG_DATA_HOME=$work/data
export LANG=C.UTF-8 LC_ALL=C.UTF-8
unset QT_QPA_PLATFORM

fail() { echo "FAIL: $*" >&2; exit 1; }

# Polls (up to 20 s: a sanitizer build starts slowly) for a visible window whose name matches
# the pattern; prints its id.
window() {
    local id
    for _ in $(seq 200); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then echo "$id"; return; fi
        sleep 0.1
    done
    fail "no window named like '$1'"
}

# Polls (up to 10 s) until the command succeeds.
until_true() {
    for _ in $(seq 100); do
        if "$@"; then return; fi
        sleep 0.1
    done
    fail "timed out waiting for: $*"
}

expect_name() {
    local name
    name=$(xdotool getwindowname "$1")
    [ "$name" = "$2" ] || fail "window title '$name', expected '$2'"
    echo "ok: title '$name'"
}

# The eight receive-frequency digits of channel 1 of group A in a data file.
rx_of_channel1() { dd if="$1" bs=1 skip=22 count=8 status=none 2>/dev/null; }
holds_rx() { [ "$(rx_of_channel1 "$1")" = "$2" ]; }

# Clicks a point of a window, given relative to its top-left corner.
click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }

# Toolbar buttons, relative to the main window's top-left corner (Qt's own style, default font).
toolbar_y=37
save_x=85
commset_x=199

cd "$work/files"
"$meridox" >"$work/meridox.log" 2>&1 &
pids+=($!)
main=$(window '^MERIDOX\[')
expect_name "$main" 'MERIDOX[25.605000 - 30.115000 MHz][File Name:new.dat]'
xdotool windowfocus --sync "$main"

# Channel 1's receive frequency is being edited when the window opens: replace it, then Save.
# Untitled, Save asks for a name.
xdotool key ctrl+a type 27.5
click "$main" $save_x $toolbar_y
dialog=$(window '^Save As$')
xdotool windowfocus --sync "$dialog"
xdotool key ctrl+a type saved
xdotool key Return
until_true test -s saved.dat
holds_rx saved.dat 27500000 || fail "saved.dat holds RX $(rx_of_channel1 saved.dat), not 27500000"
echo "ok: Save As stored the typed 27.5"

# Titled now: Save asks whether to overwrite; OK stores the value typed meanwhile.
xdotool windowfocus --sync "$main"
expect_name "$main" 'MERIDOX[25.605000 - 30.115000 MHz][File Name:saved.dat]'
xdotool key ctrl+a type 26.5
click "$main" $save_x $toolbar_y
question=$(window '^MERIDOX$')
xdotool windowfocus --sync "$question"
xdotool key Return
until_true holds_rx saved.dat 26500000
echo "ok: Save stored the typed 26.5"

# Ctrl+Z in the cell's editor, with nothing typed there, takes back the last change: 27.5 again.
xdotool windowfocus --sync "$main"
xdotool key ctrl+z
click "$main" $save_x $toolbar_y
question=$(window '^MERIDOX$')
xdotool windowfocus --sync "$question"
xdotool key Return
until_true holds_rx saved.dat 27500000
echo "ok: Ctrl+Z took the 26.5 back"

# A dialog carries its own title and nothing more.
xdotool windowfocus --sync "$main"
click "$main" $commset_x $toolbar_y
port=$(window '^Communication Port')
expect_name "$port" 'Communication Port'

"$solvir" >"$work/solvir.log" 2>&1 &
pids+=($!)
expect_name "$(window '^SOLVIR\[')" 'SOLVIR[SOLVIR:25.615000 - 30.105000 MHz][File Name:new.dat]'
echo "PASS"
