#!/usr/bin/env bash
# A start after the program was killed: the lock file and the socket it left behind do
# not keep the next copy from starting, and that copy guards the single instance again.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"

app=$(e2e_make_install) || exit 1
e2e_start_program "$app"
first=$E2E_LAST_PID
e2e_wait_window "$first" 10 >/dev/null || exit 1
e2e_wait_ini "$app/qzConf.ini" log privateMemos 0 5 || fail "the first copy did not finish its first load"

e2e_kill9 "$first"
# Without stale files the restart below would prove nothing.
stale_locks=$(find "$TMPDIR" "$XDG_RUNTIME_DIR" -name '*.lock' -type f | wc -l)
stale_sockets=$(find "$TMPDIR" "$XDG_RUNTIME_DIR" -type s | wc -l)
note "left behind by kill -9: $stale_locks lock file(s), $stale_sockets socket(s)"
[ "$stale_locks" -ge 1 ] || fail "the killed copy left no lock file in TMPDIR or XDG_RUNTIME_DIR"
[ "$stale_sockets" -ge 1 ] || fail "the killed copy left no socket in TMPDIR or XDG_RUNTIME_DIR"
[ "$(e2e_count_windows)" = 0 ] || fail "a window is still shown after the kill"
# A count no load writes, so that the restarted copy's own load shows.
sed -i 's/^privateMemos=.*/privateMemos=-1/' "$app/qzConf.ini"

started=$(date +%s%N)
e2e_start_program "$app"
second=$E2E_LAST_PID
e2e_wait_window "$second" 5 >/dev/null || exit 1
note "restart after the kill showed its window after $((($(date +%s%N) - started) / 1000000)) ms"
e2e_wait_ini "$app/qzConf.ini" log privateMemos 0 5 || expect_failed "the restarted copy did not load the memos"

# The restarted copy holds the single-instance guard: a third start ends at once.
e2e_run_program_for "$app" 5
note "third start: status $E2E_STATUS after ${E2E_ELAPSED_MS} ms"
[ "$E2E_STATUS" = 0 ] || expect_failed "the third start ended with status $E2E_STATUS (124: still running after 5 s), expected 0"
[ "$E2E_ELAPSED_MS" -lt 2000 ] || expect_failed "the third start took ${E2E_ELAPSED_MS} ms to end, expected under 2000 ms"
e2e_alive "$second" || expect_failed "the restarted copy ended after the third start"
count=$(e2e_count_windows)
[ "$count" = 1 ] || expect_failed "expected exactly one visible \"$E2E_CAPTION\" window, found $count"

e2e_finish
