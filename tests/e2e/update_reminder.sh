#!/usr/bin/env bash
# The update reminder at real starts, under openbox with trayer as the tray host.
# [option] visitWeb lies 100 days back and "Run program minimized" is set: the reminder
# opens, the main window stays in sight, and the reminder answers No by itself after
# about five seconds, so the next start asks again. There "Yes" hands the home page to
# the desktop and rewrites visitWeb, and F1 hands over the help pages' start page. The
# start after that shows no reminder and goes to the tray.
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
long_ago=$(date -u -d '100 days ago' +%Y-%m-%dT%H:%M:%S.000Z)
printf '[option]\nvisitWeb=%s\nrunMinimizedEn=1\n' "$long_ago" >"$ini"

# Left alone, the reminder goes after five seconds and visitWeb stays.
e2e_start_program "$app"
pid=$E2E_LAST_PID
reminder=$(e2e_wait_titled_window "$pid" '^Brivel Update$' 10) || exit 1
appeared=$(date +%s%N)
sleep 0.5
e2e_program_window_visible "$pid" || expect_failed "the main window went to the tray although the reminder asks"
e2e_screenshot "$E2E_OUTPUT/update-reminder.png"
e2e_wait_while 9 e2e_window_shown "$reminder" || fail "the reminder was still open 9 s after it appeared"
waited_ms=$((($(date +%s%N) - appeared) / 1000000))
note "the reminder closed itself ${waited_ms} ms after it appeared"
[ "$waited_ms" -ge 3500 ] || expect_failed "the reminder closed after ${waited_ms} ms, well before five seconds"
[ "$(e2e_ini_value "$ini" option visitWeb)" = "$long_ago" ] || expect_failed "letting the reminder go rewrote visitWeb"
e2e_kill9 "$pid"

# Yes opens the home page and records the visit; F1 opens the help pages.
e2e_start_program "$app"
pid=$E2E_LAST_PID
reminder=$(e2e_wait_titled_window "$pid" '^Brivel Update$' 10) || exit 1
e2e_focus_window "$reminder"
xdotool key alt+y
e2e_wait_while 5 not_handed_over 'https://www.brivel.example/index.htm' ||
    expect_failed "Yes did not hand the home page over: $(cat "$opened")"
[ "$(e2e_ini_value "$ini" option visitWeb)" != "$long_ago" ] || expect_failed "Yes did not rewrite visitWeb"
window=$(e2e_wait_window "$pid" 5) || exit 1
e2e_focus_window "$window"
xdotool key F1
e2e_wait_while 5 not_handed_over "file://$app/help/index.html" ||
    expect_failed "F1 did not hand the help start page over: $(cat "$opened")"
e2e_kill9 "$pid"

# The visit just recorded: no reminder, so the window goes to the tray.
e2e_start_program "$app"
pid=$E2E_LAST_PID
e2e_tray_icon_centre
sleep 2
[ -z "$(xdotool search --all --pid "$pid" --name '^Brivel Update$' 2>/dev/null)" ] || expect_failed "the reminder came again right after Yes"
e2e_program_window_visible "$pid" && expect_failed "without a reminder the window did not start minimized"
e2e_finish
