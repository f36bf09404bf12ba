#!/usr/bin/env bash
# Memos and sub-memos on the screen in tree view and in list view: the window is painted,
# the tree shows one text line per line of every expanded row, and "View &List" (Alt+V, L)
# turns it into one numbered line per row and stores the choice. Both screenshots are
# kept in the output folder to be looked at.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"

app=$(e2e_make_install) || exit 1
db="$app/qzData.qzb"

# A first start makes the data file exactly as the program does; then it is filled.
e2e_start_program "$app"
e2e_wait_window "$E2E_LAST_PID" 10 >/dev/null || exit 1
e2e_wait_ini "$app/qzConf.ini" log privateMemos 0 5 || fail "the first start did not finish its load"
e2e_kill9 "$E2E_LAST_PID"

guid() { printf '{0E2E0000-0000-4000-8000-%012d}' "$1"; }
memo() { # number, parent number (0: top level), expandFlag, text
    local parent=root
    [ "$2" = 0 ] || parent=$(guid "$2")
    printf "insert into memos(mid,pid,content,expandFlag,assignTime,createTime,editTime) values('%s','%s',%s,%s,46000.5,46000.5,46001.25);\n" \
        "$(guid "$1")" "$parent" "$4" "$3"
}
crlf="char(13,10)"
{
    echo "begin;"
    memo 1 0 1 "'Shopping list'||$crlf||'for Saturday'"
    memo 11 1 0 "'Milk'"
    memo 12 1 0 "'Bread and butter'"
    memo 2 0 1 "'Project ideas'"
    memo 21 2 0 "'Real-window checks'"
    memo 22 2 0 "'Screenshots of both views'"
    memo 3 0 0 "'Zebra crossing'"
    memo 4 0 0 "'Archive'"
    memo 41 4 0 "'An old note, hidden while Archive is collapsed'"
    echo "commit;"
} >"$E2E_WORK/seed.sql"
e2e_sql "$db" ".read $E2E_WORK/seed.sql" >/dev/null || exit 1
# Shown in tree view: Archive; Project ideas and its 2; Shopping list (2 lines) and its
# 2; Zebra crossing: 9 text lines. In list view every shown row is one line: 8.
tree_lines=9
list_lines=8

e2e_start_program "$app"
pid=$E2E_LAST_PID
window=$(e2e_wait_window "$pid" 10) || exit 1
e2e_wait_ini "$app/qzConf.ini" log privateMemos 9 5 ||
    expect_failed "[log] privateMemos is '$(e2e_ini_value "$app/qzConf.ini" log privateMemos)' after loading 9 memos"
[ "$(e2e_ini_value "$app/qzConf.ini" memo viewListEn)" != 1 ] || fail "list view is on before the test switches it on"

# Looks at one view: a painted window, and the expected number of text lines in the tree.
check_view() {
    local view=$1 expected=$2
    local shot="$E2E_OUTPUT/$view-view.png"
    # The pointer away from the rows: hovering a row in list view unfolds it.
    xdotool mousemove --sync 5 5
    sleep 0.5
    e2e_tree_region "$window"
    e2e_screenshot "$shot"
    e2e_crop "$shot" "$E2E_OUTPUT/$view-view-window.png" "$WX" "$WY" "$((WW < E2E_SCREEN_W - WX ? WW : E2E_SCREEN_W - WX))" "$WH"
    e2e_crop "$shot" "$E2E_OUTPUT/$view-view-tree.png" "$TX" "$TY" "$TW" "$TH"
    local colours ink_rows bands
    colours=$(e2e_colour_count "$E2E_OUTPUT/$view-view-window.png")
    read -r ink_rows bands < <(e2e_ink_profile "$E2E_OUTPUT/$view-view-tree.png")
    note "$view view: $colours colours in the window, $bands text lines ($ink_rows pixel rows) in the tree; $shot"
    [ "$colours" -gt 16 ] || expect_failed "$view view: the window is blank ($colours colours)"
    [ "$bands" = "$expected" ] || expect_failed "$view view: the tree shows $bands text lines, expected $expected"
}

check_view tree "$tree_lines"

e2e_focus_window "$window"
xdotool key alt+v
sleep 0.4
xdotool key l
e2e_wait_ini "$app/qzConf.ini" memo viewListEn 1 5 ||
    expect_failed "Alt+V, L did not store [memo] viewListEn=1 (value: '$(e2e_ini_value "$app/qzConf.ini" memo viewListEn)')"
check_view list "$list_lines"

if cmp -s "$E2E_OUTPUT/tree-view-tree.png" "$E2E_OUTPUT/list-view-tree.png"; then
    expect_failed "the tree area looks the same in tree view and in list view"
fi
e2e_alive "$pid" || expect_failed "the program ended"
e2e_finish
