#!/usr/bin/env bash
# A second start while the program runs: the new process ends at once with status 0,
# shows no window and writes nothing; the running copy stays and comes to the front.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"

app=$(e2e_make_install) || exit 1
e2e_start_program "$app"
first=$E2E_LAST_PID
window=$(e2e_wait_window "$first" 10) || exit 1
window_hex=$(printf '0x%x' "$window")
ini="$app/qzConf.ini"
# The first load's count is the last thing a start writes; after it the file rests.
e2e_wait_ini "$ini" log privateMemos 0 5 || fail "the first instance did not finish its first load"

# A plain window over the whole screen, so that bringing the program forward shows.
xmessage -geometry 1280x800+0+0 -title e2e-cover "cover" >"$E2E_WORK/xmessage.log" 2>&1 &
E2E_PIDS+=($!)
cover=$(timeout 5 xdotool search --sync --onlyvisible --name '^e2e-cover$' | head -n 1)
[ -n "$cover" ] || fail "the cover window did not appear"
cover_hex=$(printf '0x%x' "$cover")
top=$(e2e_stacking_order | grep -E -m 1 -x "$window_hex|$cover_hex")
[ "$top" = "$cover_hex" ] || fail "the cover window is not above the program's window before the test"

# Minimizing needs a window manager; on a bare server the request changes nothing.
minimized=no
xdotool windowminimize "$window" 2>/dev/null
sleep 0.5
if ! xwininfo -id "$window" | grep -q 'Map State: IsViewable'; then
    minimized=yes
    note "the window was minimized before the second start"
else
    note "no window manager to minimize the window; checking raise and visibility only"
fi

ini_md5=$(md5sum <"$ini")
ini_mtime=$(stat -c %y "$ini")
files_before=$(cd "$app" && find . | sort)

e2e_run_program_for "$app" 5
note "second instance: status $E2E_STATUS after ${E2E_ELAPSED_MS} ms"
[ "$E2E_STATUS" = 0 ] || expect_failed "the second instance ended with status $E2E_STATUS (124: still running after 5 s), expected 0"
[ "$E2E_ELAPSED_MS" -lt 2000 ] || expect_failed "the second instance took ${E2E_ELAPSED_MS} ms to end, expected under 2000 ms"

e2e_alive "$first" || expect_failed "the first instance ended"

# The running copy handles the request from its event loop: give it a moment.
raised=no
for _ in $(seq 1 20); do
    top=$(e2e_stacking_order | grep -E -m 1 -x "$window_hex|$cover_hex")
    if [ "$top" = "$window_hex" ]; then
        raised=yes
        break
    fi
    sleep 0.1
done
[ "$raised" = yes ] || expect_failed "the running window was not brought above the cover window"
xwininfo -id "$window" | grep -q 'Map State: IsViewable' ||
    expect_failed "the running window is not visible after the second start (minimized before: $minimized)"

count=$(e2e_count_windows)
[ "$count" = 1 ] || expect_failed "expected exactly one visible \"$E2E_CAPTION\" window, found $count"

[ "$(md5sum <"$ini")" = "$ini_md5" ] || expect_failed "the second instance changed qzConf.ini"
[ "$(stat -c %y "$ini")" = "$ini_mtime" ] || expect_failed "qzConf.ini has a new modification time"
files_after=$(cd "$app" && find . | sort)
[ "$files_after" = "$files_before" ] ||
    expect_failed "the second instance changed the install folder: $(diff <(echo "$files_before") <(echo "$files_after") | grep '^[<>]' | tr '\n' ' ')"

e2e_finish
