#!/usr/bin/env bash
# First start in an empty portable install: one visible window with the final caption,
# a private data file with both tables, the configuration file with the web-visit time
# and the memo count of the first load, and a window that keeps its size.
source "$(dirname "$0")/lib.sh"
e2e_init "$@"

app=$(e2e_make_install) || exit 1
started_at=$(date +%s)
e2e_start_program "$app"
pid=$E2E_LAST_PID
window=$(e2e_wait_window "$pid" 10) || exit 1
note "window $window of pid $pid"

# One window, exactly this caption ("Brivel Software" is only the caption before the first show).
count=$(e2e_count_windows)
[ "$count" = 1 ] || expect_failed "expected exactly one visible window titled \"$E2E_CAPTION\", found $count"
name=$(xdotool getwindowname "$window")
[ "$name" = "$E2E_CAPTION" ] || expect_failed "window caption is \"$name\", expected \"$E2E_CAPTION\""

# The data file: created at the first start, readable by its owner only, both tables.
db="$app/qzData.qzb"
if [ ! -f "$db" ]; then
    expect_failed "qzData.qzb was not created in the portable install $app"
else
    mode=$(stat -c %a "$db")
    [ "$mode" = 600 ] || expect_failed "qzData.qzb has mode $mode, expected 600"
    tables=$(e2e_sql "$db" "select group_concat(name, ',') from (select name from sqlite_master where type='table' order by name)") || exit 1
    [ "$tables" = "memos,tasks" ] || expect_failed "tables are '$tables', expected 'memos,tasks'"
    columns=$(e2e_sql "$db" "select group_concat(name, ',') from pragma_table_info('memos')") || exit 1
    for column in mid pid content expandFlag assignTime createTime editTime; do
        case ",$columns," in
        *",$column,"*) ;;
        *) expect_failed "memos has no column $column (columns: $columns)" ;;
        esac
    done
    rows=$(e2e_sql "$db" "select count(*) from memos") || exit 1
    [ "$rows" = 0 ] || expect_failed "a new data file holds $rows memos"
fi

# The configuration file: the first load writes the memo count; the creation the visit time.
ini="$app/qzConf.ini"
e2e_wait_ini "$ini" log privateMemos 0 5 ||
    expect_failed "qzConf.ini has no [log] privateMemos=0 (file: $(tr '\n' '|' <"$ini" 2>/dev/null))"
visit=$(e2e_ini_value "$ini" option visitWeb 2>/dev/null)
if ! [[ $visit =~ ^[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9]{2}:[0-9]{2}:[0-9]{2}\.000(Z|[+-][0-9]{2}:[0-9]{2})$ ]]; then
    expect_failed "[option] visitWeb is '$visit', expected a time text like 2026-12-09T06:02:41.000Z"
else
    # The text names the start instant (seconds are cut, hence the slack).
    visit_s=$(date -d "$visit" +%s 2>/dev/null)
    now=$(date +%s)
    if [ -z "$visit_s" ] || [ "$visit_s" -lt $((started_at - 2)) ] || [ "$visit_s" -gt $((now + 1)) ]; then
        expect_failed "[option] visitWeb '$visit' is not the time of the start ($(date -u -d "@$started_at" +%FT%TZ))"
    fi
fi

# The window keeps its size while idle and fits on the 1280 x 800 screen.
e2e_window_geometry "$window"
first_size="${WW}x${WH}"
sleep 1.5
e2e_window_geometry "$window"
second_size="${WW}x${WH}"
note "window size ${first_size}, 1.5 s later ${second_size}"
[ "$first_size" = "$second_size" ] ||
    expect_failed "the idle window changes its size by itself: ${first_size} then ${second_size}"
[ "$WW" -le 1280 ] && [ "$WH" -le 800 ] ||
    expect_failed "the window (${WW}x${WH}) is larger than the 1280x800 screen"

e2e_alive "$pid" || expect_failed "the program ended by itself"
e2e_finish
