#!/usr/bin/env bash
# File > Save All through the program's real file dialog, HTML chosen in it: the name
# typed as list.htm is written as list.html, the user's own, and holds what the listing
# writer's own test expects of an empty listing (the footer's time and version aside).
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_start_wm

app=$(e2e_make_install) || exit 1
e2e_start_program "$app"
pid=$E2E_LAST_PID
window=$(e2e_wait_window "$pid" 10) || exit 1
xdotool windowactivate --sync "$window" 2>/dev/null
sleep 0.3
xdotool key alt+f
sleep 0.4
xdotool key s # "&Save All..."
dialog=$(e2e_wait_titled_window "$pid" '^Save As$' 5) || exit 1
sleep 0.3
xdotool type --delay 20 "$E2E_WORK/list.htm"
xdotool key Tab  # to the file type
xdotool key Down # "HTML file"
sleep 0.3
e2e_screenshot "$E2E_OUTPUT/save-dialog.png"
xdotool key Return
waited=0
while [ ! -f "$E2E_WORK/list.html" ] && [ "$waited" -lt 50 ]; do
    sleep 0.1
    waited=$((waited + 1))
done
[ -f "$E2E_WORK/list.html" ] || fail "no list.html was written ($(ls "$E2E_WORK" | tr '\n' ' '))"
[ ! -e "$E2E_WORK/list.htm" ] || expect_failed "list.htm was written as typed"
[ "$(stat -c %a "$E2E_WORK/list.html")" = 600 ] || expect_failed "list.html is not the user's own"
expected="$(dirname "$0")/../data/listings/nothing.html"
diff <(sed '/Sub-Memos/d;/By Brivel/d' "$E2E_WORK/list.html") <(sed '/Sub-Memos/d;/By Brivel/d' "$expected") >/dev/null ||
    expect_failed "list.html differs from $expected beyond the footer's time and version"
grep -q $'^<hr /><p>Memos 0, Sub-Memos 0 - .*</p>\r$' "$E2E_WORK/list.html" ||
    expect_failed "the footer does not count 0 memos and 0 sub-memos"
e2e_finish
