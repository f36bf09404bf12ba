#!/usr/bin/env bash
# The update reminder at real starts, under openbox with trayer as the tray host.
# [option] visitWeb lies 100 days back and "Run program minimized" is set: the reminder
# opens over the loaded tree, the main window stays in sight, and the reminder answers
# No by itself after about five seconds, so the next start asks again. There "Yes" hands
# the home page to the desktop and rewrites visitWeb; F1 hands over the help pages'
# start page, and Help > About shows the About box. A fourth start shows no reminder.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"
e2e_start_wm
e2e_start_tray_host

# The desktop's opener, standing in: it notes every address it is given.
opened="$E2E_WORK/opened.log"
mkdir -p "$E2E_WORK/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$opened" >"$E2E_WORK/bin/xdg-open"
chmod 755 "$E2E_WORK/bin/xdg-open"
export PATH="$E2E_WORK/bin:$PATH"
unset BROWSER DEFAULT_BROWSER
: >"$opened"
not_handed_over() { ! grep -qxF "$1" "$opened"; }

app=$(e2e_make_install) || exit 1
ini="$app/qzConf.ini"

# A first start writes visitWeb as now and asks nothing; a memo is put in for the tree.
e2e_start_program "$app"
e2e_wait_window "$E2E_LAST_PID" 10 >/dev/null || exit 1
e2e_wait_ini "$ini" log privateMemos 0 5 || fail "the first start did not finish its load"
first_visit=$(e2e_ini_value "$ini" option visitWeb)
[ -n "$first_visit" ] || expect_failed "the first start did not write [option] visitWeb"
sleep 1
[ -z "$(xdotool search --all --pid "$E2E_LAST_PID" --name '^Brivel Update$' 2>/dev/null)" ] ||
    expect_failed "the first start showed the update reminder"
e2e_kill9 "$E2E_LAST_PID"
e2e_sql "$app/qzData.qzb" "insert into memos(mid,pid,content,expandFlag,assignTime,createTime,editTime)
    values('{0E2E0000-0000-4000-8000-000000000001}','root','Loaded before the question',0,46000.5,46000.5,46000.5)" >/dev/null

long_ago=$(date -u -d '100 days ago' +%Y-%m-%dT%H:%M:%S.000Z)
sed -i -e "s/^visitWeb=.*/visitWeb=$long_ago/" -e '/^runMinimizedEn=/d' -e '/^\[option\]/a runMinimizedEn=1' "$ini"

# Second start: the reminder over the shown window, gone by itself after five seconds.
e2e_start_program "$app"
pid=$E2E_LAST_PID
reminder=$(e2e_wait_titled_window "$pid" '^Brivel Update$' 10) || exit 1
appeared=$(date +%s%N)
e2e_program_window_visible "$pid" || expect_failed "the main window went to the tray although the reminder asks"
sleep 0.5
e2e_screenshot "$E2E_OUTPUT/update-reminder.png"
e2e_wait_while 9 e2e_window_shown "$reminder" || fail "the reminder was still open 9 s after it appeared"
waited_ms=$((($(date +%s%N) - appeared) / 1000000))
note "the reminder closed itself ${waited_ms} ms after it appeared"
[ "$waited_ms" -ge 3500 ] || expect_failed "the reminder closed after ${waited_ms} ms, well before five seconds"
[ "$(e2e_ini_value "$ini" option visitWeb)" = "$long_ago" ] || expect_failed "letting the reminder go rewrote visitWeb"
e2e_program_window_visible "$pid" || expect_failed "the main window is not shown after the reminder"
e2e_kill9 "$pid"

# Third start: Yes opens the home page and records the visit.
e2e_start_program "$app"
pid=$E2E_LAST_PID
reminder=$(e2e_wait_titled_window "$pid" '^Brivel Update$' 10) || exit 1
e2e_focus_window "$reminder"
xdotool key alt+y
e2e_wait_while 3 e2e_window_shown "$reminder" || expect_failed "Yes left the reminder open"
home='https://www.brivel.example/index.htm'
e2e_wait_while 5 not_handed_over "$home" || expect_failed "Yes did not hand the home page over: $(cat "$opened")"
visit=$(e2e_ini_value "$ini" option visitWeb)
[ -n "$visit" ] && [ "$visit" != "$long_ago" ] || expect_failed "Yes did not rewrite visitWeb ($visit)"

# F1 in the main window: the menu's Contents command hands over the start page.
window=$(e2e_wait_window "$pid" 5) || exit 1
e2e_focus_window "$window"
xdotool windowactivate --sync "$window" 2>/dev/null
xdotool key F1
e2e_wait_while 5 not_handed_over "file://$app/help/index.html" ||
    expect_failed "F1 did not hand the help start page over: $(cat "$opened")"

# Help > About.
xdotool key alt+h
sleep 0.4
xdotool key a
about=$(e2e_wait_titled_window "$pid" '^About\.\.\.$' 5) || exit 1
sleep 0.3
e2e_screenshot "$E2E_OUTPUT/about.png"
xdotool key Escape
e2e_wait_while 3 e2e_window_shown "$about" || expect_failed "Escape left the About box open"
e2e_kill9 "$pid"

# Fourth start, the visit just recorded: no reminder, so the window goes to the tray.
e2e_start_program "$app"
pid=$E2E_LAST_PID
e2e_tray_icon_centre
sleep 2
e2e_alive "$pid" || fail "the fourth start ended"
[ -z "$(xdotool search --all --pid "$pid" --name '^Brivel Update$' 2>/dev/null)" ] ||
    expect_failed "the reminder came again right after Yes"
e2e_program_window_visible "$pid" && expect_failed "without a reminder the window did not start minimized"
e2e_finish
