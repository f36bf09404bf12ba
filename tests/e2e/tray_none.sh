#!/usr/bin/env bash
# The same start under openbox without a tray host: there is no tray to hide in, so the
# close button ends the program as Exit does, the memo being typed is stored and the
# placement is written.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_start_wm

app=$(e2e_make_install) || exit 1
e2e_start_program "$app"
pid=$E2E_LAST_PID
window=$(e2e_wait_window "$pid" 10) || exit 1
e2e_focus_window "$window"
xdotool windowactivate --sync "$window" 2>/dev/null
sleep 0.5
xdotool key Return # a new memo
sleep 0.5
xdotool type --delay 20 "typed before the close"
sleep 0.3
e2e_screenshot "$E2E_OUTPUT/no-tray-editing.png"
xdotool key alt+F4
e2e_wait_ended "$pid" 10 || fail "without a tray host the close button did not end the program"
[ "$(e2e_sql "$app/qzData.qzb" "select content from memos")" = "typed before the close" ] ||
    expect_failed "the memo being typed was not stored at the close"
[ "$(e2e_ini_value "$app/qzConf.ini" form Saved)" = 1 ] || expect_failed "[form] was not written at the close"
e2e_finish
