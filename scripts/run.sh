#!/usr/bin/env bash
# Builds the programs and starts meridox with a virtual radio on COM1, in a demo settings
# folder of its own (build/demo), so the user's own settings are never touched.
# Without a display it runs the command-line demo instead: read the virtual radio into a data
# file and show it.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}

packages=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev fonts-wqy-microhei)
if [ "$(id -u)" = 0 ] && ! dpkg -s "${packages[@]}" >/dev/null 2>&1; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${packages[@]}" >/dev/null
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 --target meridox meridox-cli virtual-radio

demo=$(cd "$build" && pwd)/demo
mkdir -p "$demo/config/meridox/language"
export XDG_CONFIG_HOME=$demo/config
export XDG_DATA_HOME=$demo/data # backups and traces of the demo radio
link=$demo/radio

# Pin COM1 to the virtual radio; everything else in the demo settings file is kept.
ini=$XDG_CONFIG_HOME/meridox/language/mysetup.ini
touch "$ini"
awk '/^\[/{skip = ($0 == "[ports]")} !skip && NF' "$ini" >"$ini.tmp"
printf '[ports]\nCOM1=%s\n' "$link" >>"$ini.tmp"
mv "$ini.tmp" "$ini"

"$build/virtual-radio" --product meridox --link "$link" >"$demo/radio.out" 2>"$demo/radio.err" &
radio=$!
trap 'kill "$radio" 2>/dev/null || true; wait "$radio" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    grep -q '^ready' "$demo/radio.out" 2>/dev/null && break
    if ! kill -0 "$radio" 2>/dev/null; then
        echo "The virtual radio did not start:" >&2
        cat "$demo/radio.err" >&2
        exit 1
    fi
    sleep 0.1
done
grep -q '^ready' "$demo/radio.out" || { echo "The virtual radio did not get ready." >&2; exit 1; }
echo "Virtual radio ready on $link (COM1 in the demo settings)."

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display (DISPLAY and WAYLAND_DISPLAY are empty): running the command-line demo."
    "$build/meridox-cli" read --port "$link" -o "$demo/radio.dat"
    "$build/meridox-cli" show "$demo/radio.dat"
    echo
    echo "Read the virtual radio into $demo/radio.dat"
else
    "$build/meridox"
fi
