#!/usr/bin/env bash
# The program installed like a desktop program: `cmake --install` into a temporary prefix,
# the installed executable started under Xvfb finds its pictures in share/jotterly, keeps
# its data in the per-user data folder (not in the prefix, although that is writable) and
# carries the window class its desktop entry names; the desktop entry and the AppStream
# file validate; the Debian package builds and holds the installed files.
# Arguments: the built program, the build folder.
source "$(dirname "$0")/lib.sh"
e2e_init "$1"
build=${2:?usage: $0 <program> <build folder>}
app_id=example.brivel.Jotterly
for tool in desktop-file-validate appstreamcli cpack dpkg-deb xprop; do
    command -v "$tool" >/dev/null || fail "the tool '$tool' is missing; run scripts/install-deps.sh"
done

prefix="$E2E_WORK/prefix"
cmake --install "$build" --prefix "$prefix" >"$E2E_WORK/install.log" 2>&1 || fail "cmake --install failed: $(tail -n 5 "$E2E_WORK/install.log")"
installed=(bin/jotterly share/jotterly/Images/toolsbarBackground.bmp share/jotterly/Images/appIcon.png
    share/jotterly/help/index.html share/applications/$app_id.desktop share/metainfo/$app_id.metainfo.xml
    share/icons/hicolor/scalable/apps/$app_id.svg)
for size in 16 22 24 32 48 64 128 256; do installed+=("share/icons/hicolor/${size}x${size}/apps/$app_id.png"); done
for file in "${installed[@]}"; do
    [ -f "$prefix/$file" ] || expect_failed "the installation lacks $file"
done
desktop-file-validate "$prefix/share/applications/$app_id.desktop" || expect_failed "the desktop entry does not validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$app_id.metainfo.xml" >"$E2E_WORK/appstream.log" 2>&1 ||
    expect_failed "the AppStream file does not validate: $(cat "$E2E_WORK/appstream.log")"

e2e_start_program "$prefix/bin"
pid=$E2E_LAST_PID
window=$(e2e_wait_window "$pid" 10) || exit 1
data="$XDG_DATA_HOME/Brivel Software/Brivel Jotterly Lite"
e2e_wait_while 5 test ! -f "$data/qzData.qzb" || expect_failed "no data file in the per-user folder $data"
[ ! -e "$prefix/bin/qzData.qzb" ] || expect_failed "the installed program made its data file in $prefix/bin"
sleep 1
# A picture not found would show an error box: the window must be the only one.
windows=$(xdotool search --all --onlyvisible --pid "$pid" --name '.' 2>/dev/null | wc -l)
[ "$windows" -eq 1 ] || expect_failed "the installed program shows $windows windows (an error box?)"
class=$(xprop -id "$window" WM_CLASS | sed -n 's/.*= "[^"]*", "\(.*\)"$/\1/p')
grep -qxF "StartupWMClass=$class" "$prefix/share/applications/$app_id.desktop" ||
    expect_failed "the window class \"$class\" is not the desktop entry's StartupWMClass"
e2e_screenshot "$E2E_OUTPUT/installed.png"
e2e_kill9 "$pid"

(cd "$build" && cpack -G DEB -B "$E2E_WORK/package") >"$E2E_WORK/cpack.log" 2>&1 || fail "cpack failed: $(tail -n 5 "$E2E_WORK/cpack.log")"
deb=$(ls "$E2E_WORK"/package/jotterly_*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "cpack made no jotterly_*.deb"
contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for file in "${installed[@]}"; do
    grep -qxF "./usr/$file" <<<"$contents" || expect_failed "the package lacks /usr/$file"
done
depends=$(dpkg-deb --field "$deb" Depends)
note "Depends: $depends"
for needed in xdg-utils libqt6widgets6 libsqlite3-0; do
    grep -q "$needed" <<<"$depends" || expect_failed "the package does not depend on $needed"
done
e2e_finish
