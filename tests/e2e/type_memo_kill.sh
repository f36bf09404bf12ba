#!/usr/bin/env bash
# A memo typed with the keyboard survives kill -9: Enter adds a memo and opens the
# editor, Enter in the editor breaks the line, Ctrl+Enter commits, and the row is in the
# data file at once. After a restart the row is intact and the tree shows it.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"

app=$(e2e_make_install) || exit 1
db="$app/qzData.qzb"
e2e_start_program "$app"
first=$E2E_LAST_PID
window=$(e2e_wait_window "$first" 10) || exit 1
# The first load ends with writing the count; the tree has the focus from then on.
e2e_wait_ini "$app/qzConf.ini" log privateMemos 0 5 || fail "the first load did not finish"

e2e_tree_region "$window"
empty_shot="$E2E_OUTPUT/empty-tree.png"
e2e_screenshot "$empty_shot"
e2e_crop "$empty_shot" "$E2E_WORK/empty-tree-region.png" "$TX" "$TY" "$TW" "$TH"
read -r _ empty_bands < <(e2e_ink_profile "$E2E_WORK/empty-tree-region.png")
note "empty tree: $empty_bands text line(s) in the tree area"
[ "$empty_bands" = 0 ] || fail "the tree area of an empty data file shows $empty_bands text lines; the pixel check cannot tell rows apart"

e2e_focus_window "$window"
typed_at=$(sqlite3 -batch :memory: "select (julianday('now','localtime') - julianday('1899-12-30'))")
xdotool key Return
sleep 0.4
xdotool type --delay 15 "first line"
xdotool key Return
xdotool type --delay 15 "second line"
sleep 0.2
e2e_screenshot "$E2E_OUTPUT/editing.png"
xdotool key ctrl+Return
e2e_wait_sql "$db" "select count(*) from memos where content <> ''" 1 5 ||
    fail "no memo row with text was stored within 5 s of Ctrl+Enter (rows: $(e2e_sql "$db" 'select count(*) from memos'))"
sleep 0.3
e2e_kill9 "$first"

e2e_start_program "$app"
second=$E2E_LAST_PID
window=$(e2e_wait_window "$second" 10) || exit 1
e2e_wait_ini "$app/qzConf.ini" log privateMemos 1 5 ||
    expect_failed "after the restart [log] privateMemos is '$(e2e_ini_value "$app/qzConf.ini" log privateMemos)', expected 1"

rows=$(e2e_sql "$db" "select count(*) from memos") || exit 1
[ "$rows" = 1 ] || expect_failed "the memos table holds $rows rows, expected exactly 1"
expected_hex=$(printf 'first line\r\nsecond line' | od -An -tx1 | tr -d ' \n' | tr a-f A-F)
content_hex=$(e2e_sql "$db" "select hex(content) from memos") || exit 1
[ "$content_hex" = "$expected_hex" ] ||
    expect_failed "content is hex $content_hex, expected $expected_hex (\"first line\" CR LF \"second line\")"
pid_value=$(e2e_sql "$db" "select pid from memos") || exit 1
[ "$pid_value" = root ] || expect_failed "pid is '$pid_value', expected 'root'"
mid=$(e2e_sql "$db" "select mid from memos") || exit 1
[[ $mid =~ ^\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\}$ ]] ||
    expect_failed "mid is '$mid', expected a braced upper-case GUID of 38 characters"
times=$(e2e_sql "$db" "select typeof(createTime), typeof(assignTime), typeof(editTime),
    createTime = assignTime, editTime >= createTime,
    abs(createTime - $typed_at) * 86400 < 120 from memos") || exit 1
[ "$times" = "real|real|real|1|1|1" ] ||
    expect_failed "times are wrong (create/assign/edit types, create=assign, edit>=create, create within 2 min of typing): $times; row: $(e2e_sql "$db" 'select createTime, assignTime, editTime from memos')"

# The restarted window shows the two lines of the memo in its tree.
xdotool mousemove --sync 5 5
sleep 0.3
e2e_tree_region "$window"
shot="$E2E_OUTPUT/after-restart.png"
e2e_screenshot "$shot"
e2e_crop "$shot" "$E2E_OUTPUT/after-restart-tree.png" "$TX" "$TY" "$TW" "$TH"
read -r ink_rows bands < <(e2e_ink_profile "$E2E_OUTPUT/after-restart-tree.png")
note "after the restart: $bands text line(s), $ink_rows pixel rows with text in the tree area"
note "screenshots: $E2E_OUTPUT/empty-tree.png, $E2E_OUTPUT/editing.png, $shot"
[ "$bands" = 2 ] || expect_failed "the tree shows $bands text lines after the restart, expected the memo's 2 lines"

e2e_finish
