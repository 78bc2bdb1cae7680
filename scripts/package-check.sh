#!/usr/bin/env bash
# Builds the Debian package in a build folder and checks it:
#   - its file list holds the programs, the program folders, desktop entries, icons, the MIME
#     package, the AppStream metainfo, the manual pages, bash completion and the copyright;
#   - lintian reports no errors;
#   - the installed desktop entries and metainfo validate, the MIME package compiles;
#   - every manual page renders without a warning.
#   package-check.sh [BUILD_DIR]          (default: build)
#   package-check.sh --files [BUILD_DIR]  only the desktop entries and metainfo of the build
#                                         tree (CTest; exits 77 when a checker is missing)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--files" ]; then
    build=${2:-build}
    for tool in desktop-file-validate appstreamcli; do
        command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
    done
    desktop-file-validate "$build"/meridox.desktop "$build"/solvir.desktop
    appstreamcli validate --no-net "$build"/meridox.metainfo.xml "$build"/solvir.metainfo.xml
    # Each program's data files are of its own type, and solvir's (which begin like a Windows
    # icon) are not taken for icons, while a real icon still is.
    if command -v update-mime-database >/dev/null && command -v gio >/dev/null &&
        [ -f /usr/share/mime/packages/freedesktop.org.xml ]; then
        mime=$(mktemp -d)
        trap 'rm -rf "$mime"' EXIT
        mkdir -p "$mime/mime/packages"
        cp /usr/share/mime/packages/freedesktop.org.xml "$mime/mime/packages/"
        cp packaging/meridox-mime.xml "$mime/mime/packages/meridox.xml"
        update-mime-database "$mime/mime" 2>/dev/null
        printf '\0\0\1\0\1\0\20\20\0\0\1\0\40\0\150\4\0\0\26\0\0\0' >"$mime/icon.dat"
        type_of() {
            XDG_DATA_HOME=$mime XDG_DATA_DIRS=$mime gio info -a standard::content-type "$1" \
                2>/dev/null | sed -n 's/^ *standard::content-type: //p'
        }
        for pair in "$build/KORVEN_New.dat=application/x-meridox-configuration" \
            "$build/solvir-data/KORVEN_New.dat=application/x-solvir-configuration" \
            "$build/solvir-data/KORVEN.dat=application/x-solvir-configuration" \
            "$mime/icon.dat=image/vnd.microsoft.icon"; do
            found=$(type_of "${pair%%=*}")
            [ "$found" = "${pair#*=}" ] || { echo "FAIL: ${pair%%=*} is $found, expected ${pair#*=}" >&2; exit 1; }
        done
        echo "ok: data files are of their program's type"
    fi
    exit 0
fi

build=${1:-build}
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -f "$build"/meridox_*.deb
made=$(cd "$build" && cpack -G DEB 2>&1) || { echo "$made"; fail "cpack made no package"; }
deb=$(ls "$build"/meridox_*.deb)
echo "package: $deb"

listing=$(dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|')
expected=(
    /usr/bin/meridox /usr/bin/solvir /usr/bin/meridox-cli /usr/bin/solvir-cli
    /usr/bin/virtual-radio
    /usr/share/meridox/KORVEN_New.dat /usr/share/meridox/KORVEN.dat
    /usr/share/meridox/StartE.jpg /usr/share/meridox/StartC.jpg
    /usr/share/meridox/PIC/BK_1.jpg /usr/share/meridox/PIC/BK_2.jpg
    /usr/share/solvir/KORVEN_New.dat /usr/share/solvir/KORVEN.dat
    /usr/share/solvir/StartE.jpg /usr/share/solvir/StartC.jpg
    /usr/share/meridox/meridox-config.schema.json /usr/share/solvir/solvir-config.schema.json
    /usr/share/applications/meridox.desktop /usr/share/applications/solvir.desktop
    /usr/share/mime/packages/meridox.xml
    /usr/share/metainfo/meridox.metainfo.xml /usr/share/metainfo/solvir.metainfo.xml
    /usr/share/bash-completion/completions/meridox-cli
    /usr/share/bash-completion/completions/solvir-cli
    /usr/share/doc/meridox/copyright /usr/share/doc/meridox/changelog.gz
)
for program in meridox solvir; do
    for size in 48x48 256x256; do
        expected+=(/usr/share/icons/hicolor/$size/apps/$program.png)
    done
done
for page in meridox solvir meridox-cli solvir-cli virtual-radio; do
    expected+=(/usr/share/man/man1/$page.1.gz)
done
for item in "${expected[@]}"; do
    grep -qxF "$item" <<<"$listing" || fail "the package lacks $item"
done
echo "ok: ${#expected[@]} items in the package"

dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "no dependencies from dpkg-shlibdeps"
dpkg-deb -f "$deb" Depends | grep -q qt6-translations-l10n || fail "Qt's translations are no dependency"
status=0
report=$(lintian --fail-on error "$deb" 2>&1) || status=$?
grep -v 'running with root privileges' <<<"$report" || true
[ "$status" = 0 ] || fail "lintian reports errors"
echo "ok: lintian reports no errors"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml
cp -r "$root"/usr/share/mime "$root/mime"
update-mime-database "$root/mime" 2>/dev/null
for type in application/x-meridox-configuration application/x-solvir-configuration; do
    grep -qxF "$type" "$root/mime/types" || fail "the MIME package does not compile"
done
echo "ok: desktop entries, metainfo and MIME package"

for page in "$root"/usr/share/man/man1/*.1.gz; do
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done
for script in "$root"/usr/share/bash-completion/completions/*; do
    bash -n "$script" || fail "$(basename "$script") is not valid bash"
done
echo "ok: manual pages render without warnings, completion scripts parse"
