#!/usr/bin/env bash
# The program in the notification area, under openbox with trayer as the tray host:
# the close button and minimize hide the window while the program keeps running; a
# click on the icon brings it back at the same place and size; the tray menu's
# "Add Memo" shows the window with a new memo being edited, "Paste To Memo" stores the
# clipboard's text without showing it, and "Exit" ends the program and writes [form].
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
command -v xclip >/dev/null || fail "the tool 'xclip' is missing; run scripts/install-deps.sh"
e2e_start_wm
e2e_start_tray_host

app=$(e2e_make_install) || exit 1
e2e_start_program "$app"
pid=$E2E_LAST_PID
window=$(e2e_wait_window "$pid" 10) || exit 1
e2e_window_geometry "$window"
placed="${WW}x${WH}+${WX}+${WY}"
note "window $window at $placed"
e2e_tray_icon_centre
note "tray icon at $IX,$IY"
e2e_screenshot "$E2E_OUTPUT/tray-shown.png"

# Opens the tray menu and picks an item by its mnemonic.
tray_menu() {
    xdotool mousemove "$IX" "$IY" click 3
    sleep 0.6
    xdotool key "$1"
}

back_by_click() {
    local what=$1
    xdotool mousemove "$IX" "$IY" click 1
    window=$(e2e_wait_window "$pid" 5) || exit 1
    e2e_window_geometry "$window"
    [ "${WW}x${WH}+${WX}+${WY}" = "$placed" ] ||
        expect_failed "after $what and a click on the icon the window is at ${WW}x${WH}+${WX}+${WY}, not $placed"
}

# The close button (openbox closes the active window on Alt+F4).
xdotool windowactivate --sync "$window" 2>/dev/null
xdotool key alt+F4
e2e_wait_hidden "$pid" 5 || expect_failed "the close button left the window shown"
sleep 0.5
e2e_alive "$pid" || fail "the close button ended the program"
e2e_screenshot "$E2E_OUTPUT/tray-hidden-balloon.png"
back_by_click "the close button"

xdotool windowminimize --sync "$window" 2>/dev/null
e2e_wait_hidden "$pid" 5 || expect_failed "minimize left the window shown"
e2e_alive "$pid" || fail "minimize ended the program"
back_by_click "minimize"

# "Add Memo" from the tray menu, typed and committed.
xdotool windowactivate --sync "$window" 2>/dev/null
xdotool key alt+F4
e2e_wait_hidden "$pid" 5 || expect_failed "the close button left the window shown"
tray_menu a
window=$(e2e_wait_window "$pid" 5) || exit 1
sleep 0.5
xdotool type --delay 20 "added from the tray"
xdotool key ctrl+Return
e2e_wait_sql "$app/qzData.qzb" "select count(*) from memos where content='added from the tray'" 1 5 ||
    expect_failed "the tray's Add Memo did not give a memo being edited"

# "Paste To Memo" while the window is in the tray.
xdotool windowactivate --sync "$window" 2>/dev/null
xdotool key alt+F4
e2e_wait_hidden "$pid" 5 || expect_failed "the close button left the window shown"
printf 'pasted from the clipboard' >"$E2E_WORK/clip.txt"
xclip -quiet -selection clipboard -i "$E2E_WORK/clip.txt" >/dev/null 2>&1 &
E2E_PIDS+=("$!")
sleep 0.3
tray_menu m
e2e_wait_sql "$app/qzData.qzb" "select count(*) from memos where content='pasted from the clipboard'" 1 5 ||
    expect_failed "the tray's Paste To Memo did not store the clipboard's text"
sleep 0.5
! e2e_program_window_visible "$pid" || expect_failed "Paste To Memo showed the window"

# "Exit" from the tray menu ends the program and keeps the placement.
tray_menu x
e2e_wait_ended "$pid" 10 || fail "the tray's Exit did not end the program"
ini="$app/qzConf.ini"
[ "$(e2e_ini_value "$ini" form Saved)" = 1 ] || expect_failed "[form] Saved is not 1 after Exit"
[ "$(e2e_ini_value "$ini" form Right)" = $(($(e2e_ini_value "$ini" form Left) + WW)) ] ||
    expect_failed "[form] Right is not Left + the window's width ${WW}: $(tr '\n' '|' <"$ini")"
e2e_finish
