#!/usr/bin/env bash
# A database carried from one running copy of the program to another through the menus
# and the file dialogs: "Database &Backup..." in copy A writes an interchange file (an
# 8-byte length, then zlib data); "Database &Restore..." in copy B, started on an empty
# folder while A still runs, reads it back and reloads its tree. B's tables then equal
# A's: ids, parents and texts byte for byte (line breaks, non-ASCII text, quotes and
# markup), and times cut to the whole second, which is all the file keeps of them.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"

# Both copies in a zone east of UTC without daylight saving: the file then carries an
# offset ("+05:30") that writing adds and reading takes off again.
readonly ZONE=Asia/Kolkata ZONE_SUFFIX='+05:30'
[ -f "/usr/share/zoneinfo/$ZONE" ] || fail "the time zone $ZONE is not installed (package tzdata)"
export TZ=$ZONE

# Not appA=$(e2e_make_install): in a subshell its count of installs does not advance,
# and the second install would be the first one's folder again.
e2e_make_install >"$E2E_WORK/install" || exit 1
appA=$(<"$E2E_WORK/install")
e2e_make_install >"$E2E_WORK/install" || exit 1
appB=$(<"$E2E_WORK/install")
[ "$appA" != "$appB" ] || fail "A and B were given the same install folder $appA"
dbA="$appA/qzData.qzb"
dbB="$appB/qzData.qzb"
backup_dir="$E2E_WORK/backup folder" # a blank in the path, as users' folders have
backup="$backup_dir/backup.qzx"
mkdir -p "$backup_dir"

# A first start makes A's data file exactly as the program does; then it is filled.
e2e_start_program "$appA"
e2e_wait_window "$E2E_LAST_PID" 10 >/dev/null || exit 1
e2e_wait_ini "$appA/qzConf.ini" log privateMemos 0 5 || fail "A's first start did not finish its load"
e2e_kill9 "$E2E_LAST_PID"

guid() { printf '{0E2E0000-0000-4000-8000-%012d}' "$1"; }
tid() { printf '{0E2E7A5C-0000-4000-8000-%012d}' "$1"; }
memo() { # number, parent number (0: top level), text, assignTime, createTime, editTime (SQL)
    local parent=root
    [ "$2" = 0 ] || parent=$(guid "$2")
    printf "insert into memos values('%s','%s',%s,1,%s,%s,%s);\n" "$(guid "$1")" "$parent" "$3" "$4" "$5" "$6"
}
task() { # number, parent number (0: top level), text, the ten other columns (SQL)
    local parent=root
    [ "$2" = 0 ] || parent=$(tid "$2")
    printf "insert into tasks values('%s','%s',%s,%s);\n" "$(tid "$1")" "$parent" "$3" "$4"
}
crlf="char(13,10)"
# Times: whole seconds that binary fractions hold exactly (12:00, 18:00), any second of
# a day (12:34:56), times with milliseconds as typing in the program stamps them (cut by
# the file, never rounded: 23:59:59.999 stays on its day), and the unset time 0.
{
    echo "begin;"
    memo 1 0 "'Shopping list'||$crlf||'for Saturday'||$crlf||$crlf||'(after a blank line)'" 46000.5 46000.5 46001.75
    memo 11 1 "'Milk'" 46000.5 46000.5 46000.5
    memo 12 1 "'Grüße aus Köln – naïve café, 日本語, ✓, 😀'" 46002 46002 "(46002 + 45296.0/86400)"
    memo 2 0 "'He said \"hi\" & ''bye'' <b>markup</b> </memo> &amp; &#10;'" \
        45000.123456789 45000.123456789 45000.987654321
    memo 21 2 "'Tab'||char(9)||'separated, trailing blanks  '" \
        "(46003 + 3723.75/86400)" "(46003 + 3723.25/86400)" "(46003 + 86399.999/86400)"
    memo 3 0 "'Zebra crossing'" 46004.25 46004.25 46004.25
    memo 4 0 "''" 0 0 0
    task 1 0 "'Call the bank'||$crlf||'before noon'" "1,0,1,255,16777215,46000.5,46001.25,46001.5,46002.375,46003"
    task 2 1 "'Ask about \"fees\" <i>ü</i>'" "0,1,0,-16777208,0,45999,(45999 + 1.5/86400),0,0,0"
    echo "commit;"
} >"$E2E_WORK/seed.sql"
e2e_sql "$dbA" ".read $E2E_WORK/seed.sql" >/dev/null || exit 1
memo_count=$(e2e_sql "$dbA" "select count(*) from memos") || exit 1
task_count=$(e2e_sql "$dbA" "select count(*) from tasks") || exit 1

# Opens a menu command of a copy by its keys and waits for the file dialog it shows;
# prints the dialog's id. Qt's own dialogs are titled "Save As" and "Open".
open_file_dialog() {
    local pid=$1 window=$2 title=$3 key
    shift 3
    e2e_focus_window "$window"
    for key in "$@"; do
        xdotool key "$key"
        sleep 0.3
    done
    e2e_wait_titled_window "$pid" "^$title\$" 10
}

# Titles of the visible windows of a process, for the messages of a failure.
window_titles() {
    local id titles=""
    for id in $(xdotool search --all --onlyvisible --pid "$1" --name '' 2>/dev/null); do
        titles+="\"$(xdotool getwindowname "$id" 2>/dev/null)\" "
    done
    echo "${titles:-none}"
}

# Text lines in the tree area of a window, from a screenshot kept under the given name.
tree_lines() {
    local window=$1 name=$2
    xdotool mousemove --sync 5 5 # hovering a row changes how it is painted
    sleep 0.5
    e2e_tree_region "$window"
    e2e_screenshot "$E2E_OUTPUT/$name.png"
    e2e_crop "$E2E_OUTPUT/$name.png" "$E2E_OUTPUT/$name-tree.png" "$TX" "$TY" "$TW" "$TH"
    local bands
    read -r _ bands < <(e2e_ink_profile "$E2E_OUTPUT/$name-tree.png")
    echo "$bands"
}

# --- Copy A shows the memos, then backs them up.
e2e_start_program "$appA"
pidA=$E2E_LAST_PID
windowA=$(e2e_wait_window "$pidA" 10) || exit 1
e2e_wait_ini "$appA/qzConf.ini" log privateMemos "$memo_count" 5 ||
    fail "A's [log] privateMemos is '$(e2e_ini_value "$appA/qzConf.ini" log privateMemos)' after loading $memo_count memos"
# A to the left, so that B's window (at its default place) does not cover it.
xdotool windowmove --sync "$windowA" 10 10 2>/dev/null

dialog=$(open_file_dialog "$pidA" "$windowA" 'Save As' alt+f b) || exit 1
e2e_screenshot "$E2E_OUTPUT/backup-dialog.png"
e2e_choose_file "$dialog" "$backup"
waited=0
until [ -s "$backup" ]; do
    [ "$waited" -lt 50 ] || fail "no backup file within 5 s of choosing it; A's windows: $(window_titles "$pidA")"
    sleep 0.1
    waited=$((waited + 1))
done
# The file is written beside the target and renamed over it, so a file under the name is
# whole; still make sure nothing more comes and A runs on.
size=$(stat -c %s "$backup")
sleep 0.5
[ "$(stat -c %s "$backup")" = "$size" ] || fail "the backup file still grows after it appeared"
e2e_alive "$pidA" || fail "A ended during the backup"
note "backup: $size bytes, mode $(stat -c %a "$backup")"
leftovers=$(ls -A "$backup_dir" | grep -vx 'backup.qzx' | tr '\n' ' ')
[ -z "$leftovers" ] || expect_failed "the backup left other files beside the backup: $leftovers"
mode=$(stat -c %a "$backup")
[ "$mode" = 600 ] || expect_failed "the backup has mode $mode; like the data file it should be the owner's only (600)"

# The container: an 8-byte little-endian length, then a zlib stream (0x78 0xDA: level 9).
read -r -a head < <(od -An -tx1 -N10 "$backup")
note "first 10 bytes: ${head[*]}"
declared=0
for ((i = 7; i >= 0; i--)); do declared=$((declared * 256 + 16#${head[$i]})); done
[ "${head[8]:-}${head[9]:-}" = 78da ] ||
    expect_failed "the length is not followed by a zlib header 78 da: ${head[*]}"
[ "$declared" -gt 0 ] && [ "$declared" -lt $((64 * 1024 * 1024)) ] ||
    expect_failed "the length field says $declared bytes of XML for $memo_count memos"
# Inflated, the stream must be the declared number of bytes of the document.
if perl -MCompress::Zlib -e 1 2>/dev/null; then
    perl -MCompress::Zlib -e 'local $/; binmode STDIN; my $d = <STDIN>;
        my $x = uncompress(substr($d, 8)); defined $x or exit 1; binmode STDOUT; print $x' \
        <"$backup" >"$E2E_WORK/backup.xml" || expect_failed "the data after the length field does not inflate"
    inflated=$(stat -c %s "$E2E_WORK/backup.xml")
    [ "$inflated" = "$declared" ] || expect_failed "the length field says $declared bytes, the stream inflates to $inflated"
    root=$(grep -o '<brivel [^>]*>' "$E2E_WORK/backup.xml")
    note "document root: $root"
    [[ $root == *' app="Clockvane"'* ]] || expect_failed "the document's root has not app=\"Clockvane\": $root"
    written=$(sed -n 's/.* time="\([^"]*\)".*/\1/p' <<<"$root")
    [[ $written =~ ^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\.000 ]] && [[ $written == *"$ZONE_SUFFIX" ]] ||
        expect_failed "the root's time '$written' is not a time text with the offset $ZONE_SUFFIX of $ZONE"
    memos_in_file=$(grep -o '<memo ' "$E2E_WORK/backup.xml" | grep -c .)
    tasks_in_file=$(grep -o '<task ' "$E2E_WORK/backup.xml" | grep -c .)
    [ "$memos_in_file/$tasks_in_file" = "$memo_count/$task_count" ] ||
        expect_failed "the document holds $memos_in_file memos and $tasks_in_file tasks, A has $memo_count and $task_count"
else
    note "perl's Compress::Zlib is missing: the zlib stream is not inflated"
fi

# --- Copy B: an empty folder, and a TMPDIR and XDG folders of its own, so that its
# single-instance guard does not meet A's and the two run side by side.
for dir in tmpB runB homeB/.config homeB/.local/share; do mkdir -p "$E2E_WORK/$dir"; done
chmod 700 "$E2E_WORK/runB"
TMPDIR="$E2E_WORK/tmpB" XDG_RUNTIME_DIR="$E2E_WORK/runB" HOME="$E2E_WORK/homeB" \
    XDG_CONFIG_HOME="$E2E_WORK/homeB/.config" XDG_DATA_HOME="$E2E_WORK/homeB/.local/share" \
    e2e_start_program "$appB"
pidB=$E2E_LAST_PID
# Not e2e_wait_window: A's window has the same title.
windowB=$(e2e_wait_titled_window "$pidB" "$E2E_CAPTION_PATTERN" 10) || exit 1
e2e_wait_ini "$appB/qzConf.ini" log privateMemos 0 5 || fail "B's first start did not finish its load"
e2e_alive "$pidA" || fail "A ended when B started"
windows=$(e2e_count_windows)
[ "$windows" = 2 ] || fail "expected the windows of A and B, found $windows titled \"$E2E_CAPTION\""
empty_lines=$(tree_lines "$windowB" before-restore) || exit 1
[ "$empty_lines" = 0 ] || fail "B's empty tree shows $empty_lines text lines; the pixel check cannot tell rows apart"

dialog=$(open_file_dialog "$pidB" "$windowB" 'Open' alt+f r) || exit 1
e2e_screenshot "$E2E_OUTPUT/restore-dialog.png"
e2e_choose_file "$dialog" "$backup"
# B's data file was empty: nothing to replace, so no question; the end is the reload.
e2e_wait_ini "$appB/qzConf.ini" log privateMemos "$memo_count" 10 ||
    fail "B's [log] privateMemos is '$(e2e_ini_value "$appB/qzConf.ini" log privateMemos)' after the restore, expected $memo_count (B's windows: $(window_titles "$pidB"))"
note "B reloaded $memo_count memos after the restore"

# --- The tables. A time is compared as the whole second it falls in (milliseconds are
# rounded first against the binary fraction's noise, then cut), with its storage type.
second_of() { echo "typeof($1) || ' ' || (cast(round($1 * 86400000) as integer) / 1000)"; }
memos_query="select mid, pid, typeof(content), hex(content),
    $(second_of assignTime), $(second_of createTime), $(second_of editTime)
    from memos order by mid"
tasks_query="select tid, quote(pid), typeof(content), hex(content), quote(checkFlag), quote(alarmFlag),
    quote(dueFlag), quote(textColor), quote(backgroundColor), $(second_of createTime), $(second_of editTime),
    $(second_of checkTime), $(second_of alarmTime), $(second_of dueTime)
    from tasks order by tid"
for table in memos tasks; do
    query_name="${table}_query"
    e2e_sql "$dbA" "${!query_name}" >"$E2E_WORK/$table-A.txt" || exit 1
    e2e_sql "$dbB" "${!query_name}" >"$E2E_WORK/$table-B.txt" || exit 1
    if cmp -s "$E2E_WORK/$table-A.txt" "$E2E_WORK/$table-B.txt"; then
        note "$table: B's $(grep -c . "$E2E_WORK/$table-B.txt") rows equal A's"
    else
        expect_failed "$table of B differs from A's (< A, > B):
$(diff "$E2E_WORK/$table-A.txt" "$E2E_WORK/$table-B.txt" | grep '^[<>]')"
    fi
done

# What the file keeps of a time is its whole second, and B holds exactly that.
has_fraction() { echo "cast(round($1 * 86400000) as integer) % 1000 <> 0"; }
fractions=$(e2e_sql "$dbB" "select (select count(*) from memos where $(has_fraction assignTime)
        or $(has_fraction createTime) or $(has_fraction editTime))
    + (select count(*) from tasks where $(has_fraction createTime) or $(has_fraction editTime)
        or $(has_fraction checkTime) or $(has_fraction alarmTime) or $(has_fraction dueTime))") || exit 1
[ "$fractions" = 0 ] || expect_failed "$fractions of B's memos and tasks have times with fractions of a second"
# Informative only, as the file promises the second and not the binary fraction: how
# many of A's whole-second memo times came back as the very same number.
e2e_sql "$dbB" "attach '$dbA' as a;
    with pairs(old, new) as (
        select x.assignTime, b.assignTime from memos b join a.memos x using (mid) union all
        select x.createTime, b.createTime from memos b join a.memos x using (mid) union all
        select x.editTime, b.editTime from memos b join a.memos x using (mid))
    select count(*), sum(old = new) from pairs
    where cast(round(old * 86400000) as integer) % 1000 = 0;" >"$E2E_WORK/exact.txt" || exit 1
IFS='|' read -r whole whole_same <"$E2E_WORK/exact.txt"
note "$whole_same of A's $whole whole-second memo times are the very same number in B"

# expandFlag is not in the file: inserted rows have the table's default.
flags=$(e2e_sql "$dbB" "select group_concat(distinct expandFlag) from memos") || exit 1
[ "$flags" = 0 ] || expect_failed "restored memos have expandFlag '$flags', expected the default 0"

# --- On the screen: B's tree shows the restored memos collapsed (their flags are 0):
# "Shopping list" (two lines, a blank one and one more: 3 text lines), "He said..." (2:
# it wraps in the window's default width), "Zebra crossing" and the empty memo's grey
# placeholder. "&Expand All" (Alt+V, E) adds a line for each of the three sub-memos.
collapsed_lines=$(tree_lines "$windowB" after-restore) || exit 1
e2e_focus_window "$windowB"
xdotool key alt+v
sleep 0.3
xdotool key e
expanded_lines=$(tree_lines "$windowB" after-restore-expanded) || exit 1
note "B's tree after the restore: $collapsed_lines text lines, expanded $expanded_lines"
note "screenshots: $E2E_OUTPUT/after-restore.png, $E2E_OUTPUT/after-restore-expanded.png"
[ "$collapsed_lines" = 7 ] || expect_failed "B's tree shows $collapsed_lines text lines after the restore, expected 7"
[ "$expanded_lines" = $((collapsed_lines + 3)) ] ||
    expect_failed "expanding B's tree went from $collapsed_lines to $expanded_lines text lines, expected 3 more (the sub-memos)"

e2e_alive "$pidA" || expect_failed "A ended"
e2e_alive "$pidB" || expect_failed "B ended"
e2e_finish
