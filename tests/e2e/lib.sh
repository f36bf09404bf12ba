# Shared helpers for the real-window checks: a private Xvfb, portable installs of the
# built program in temporary folders, starting and waiting for it, screenshots, pixel
# counts and SQLite queries. Sourced by every check; the check passes the built program
# as its first argument.
#
# Every check runs in its own temporary folder with private TMPDIR, XDG_RUNTIME_DIR,
# HOME and XDG folders, so the single-instance lock and socket (kept in XDG_RUNTIME_DIR)
# never meet another check or a developer's running copy. An EXIT trap kills everything
# the check started (program copies, Xvfb, helper windows), even when the check fails.

set -uo pipefail

readonly E2E_CAPTION='Brivel Jotterly'
readonly E2E_CAPTION_PATTERN='^Brivel Jotterly$'
readonly E2E_SCREEN_W=1280 E2E_SCREEN_H=800

E2E_NAME=$(basename "$0" .sh)
E2E_PIDS=()          # every background process the check started
E2E_XVFB_PID=""
E2E_WORK=""
E2E_PROGRAM=""
E2E_IMAGES=""
E2E_LAST_PID=""

E2E_FAILURES=0

# Prints the message and ends the check with status 1 (the EXIT trap cleans up).
# Functions that print a value run in a subshell, so call them as x=$(f ...) || exit 1.
fail() {
    echo "FAIL [$E2E_NAME]: $*" >&2
    exit 1
}

# Records a failed expectation and lets the check go on, so one run reports them all.
expect_failed() {
    echo "FAIL [$E2E_NAME]: $*" >&2
    E2E_FAILURES=$((E2E_FAILURES + 1))
}

# Ends the check: status 1 when any expectation failed, else 0.
e2e_finish() {
    if [ "$E2E_FAILURES" -gt 0 ]; then
        echo "[$E2E_NAME] $E2E_FAILURES expectation(s) failed" >&2
        exit 1
    fi
    note "passed"
    exit 0
}

note() {
    echo "[$E2E_NAME] $*"
}

e2e_cleanup() {
    local status=$?
    local pid
    for pid in "${E2E_PIDS[@]}"; do
        kill -9 "$pid" 2>/dev/null
    done
    for pid in "${E2E_PIDS[@]}"; do
        wait "$pid" 2>/dev/null
    done
    if [ -n "$E2E_XVFB_PID" ]; then
        kill "$E2E_XVFB_PID" 2>/dev/null
        wait "$E2E_XVFB_PID" 2>/dev/null
    fi
    if [ -n "$E2E_WORK" ] && [ -d "$E2E_WORK" ]; then
        if [ "$status" -ne 0 ]; then
            # Keep what explains the failure, but not the copies of the program.
            local keep="$E2E_OUTPUT/failed-$(date +%H%M%S)"
            mkdir -p "$keep"
            (cd "$E2E_WORK" && find . \( -name '*.log' -o -name 'qzConf.ini' -o -name 'qzData.qzb*' \) -print0 |
                xargs -0 -r cp --parents -t "$keep") 2>/dev/null
            echo "[$E2E_NAME] logs and data files of the failed run: $keep" >&2
        fi
        rm -rf "$E2E_WORK"
    fi
    exit "$status"
}

# Checks the tools, makes the work folder, isolates the environment and starts Xvfb.
# Usage: e2e_init "$@"   (the first argument is the built program)
e2e_init() {
    E2E_PROGRAM=${1:-}
    [ -n "$E2E_PROGRAM" ] || fail "usage: $0 <path of the built jotterly program>"
    [ -x "$E2E_PROGRAM" ] || fail "the program $E2E_PROGRAM does not exist or is not executable"
    E2E_IMAGES="$(dirname "$E2E_PROGRAM")/Images"
    [ -d "$E2E_IMAGES" ] || fail "the pictures folder $E2E_IMAGES is missing (build the jotterly_runtime_files target)"
    local tool
    for tool in Xvfb xdotool xwininfo import convert sqlite3 md5sum stat timeout; do
        command -v "$tool" >/dev/null ||
            fail "the tool '$tool' is missing; run scripts/install-deps.sh"
    done

    E2E_OUTPUT=${E2E_OUTPUT_DIR:-"$(dirname "$E2E_PROGRAM")/../e2e-shots/$E2E_NAME"}
    mkdir -p "$E2E_OUTPUT" || fail "cannot create the output folder $E2E_OUTPUT"
    E2E_OUTPUT=$(cd "$E2E_OUTPUT" && pwd)

    E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/jotterly-e2e-$E2E_NAME.XXXXXX") || fail "cannot make a work folder"
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM

    mkdir -p "$E2E_WORK"/{tmp,run,home/.config,home/.local/share}
    chmod 700 "$E2E_WORK/run"
    export TMPDIR="$E2E_WORK/tmp"
    export XDG_RUNTIME_DIR="$E2E_WORK/run"
    export HOME="$E2E_WORK/home"
    export XDG_CONFIG_HOME="$E2E_WORK/home/.config"
    export XDG_DATA_HOME="$E2E_WORK/home/.local/share"
    # No session bus: the copy under test must not put an icon into the developer's tray
    # through it, and an unreachable address keeps the bus library from launching one.
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_WORK/no-session-bus"
    export NO_AT_BRIDGE=1 QT_ACCESSIBILITY=0
    export LC_ALL=C.UTF-8
    unset QT_QPA_PLATFORM WAYLAND_DISPLAY QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS

    e2e_snapshot_program
    e2e_start_xvfb
}

# Copies the built program and its pictures once into the work folder, so that every
# install of this check runs the same build even when the build folder is being rebuilt
# meanwhile. A program file that is not executable or changed within the last 2 s is
# being linked: wait for it (at most 60 s).
e2e_snapshot_program() {
    local snapshot="$E2E_WORK/snapshot" tries=0 age
    mkdir -p "$snapshot"
    while :; do
        age=$(($(date +%s) - $(stat -c %Y "$E2E_PROGRAM" 2>/dev/null || echo 0)))
        if [ -x "$E2E_PROGRAM" ] && [ "$age" -ge 2 ] &&
            cp "$E2E_PROGRAM" "$snapshot/jotterly" 2>/dev/null && cmp -s "$E2E_PROGRAM" "$snapshot/jotterly" &&
            rm -rf "$snapshot/Images" && cp -r "$E2E_IMAGES" "$snapshot/Images" 2>/dev/null &&
            rm -rf "$snapshot/help" && cp -r "$(dirname "$E2E_IMAGES")/help" "$snapshot/help" 2>/dev/null; then
            break
        fi
        tries=$((tries + 1))
        [ "$tries" -lt 120 ] || fail "the program $E2E_PROGRAM kept changing for 60 s (is a build running?)"
        sleep 0.5
    done
    chmod 755 "$snapshot/jotterly"
    E2E_PROGRAM="$snapshot/jotterly"
    E2E_IMAGES="$snapshot/Images"
}

# Starts Xvfb on a free display number chosen by the server itself; exports DISPLAY.
e2e_start_xvfb() {
    local fdfile="$E2E_WORK/xvfb.display"
    : >"$fdfile"
    Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN_W}x${E2E_SCREEN_H}x24" -nolisten tcp -noreset 3>"$fdfile" >"$E2E_WORK/xvfb.log" 2>&1 &
    E2E_XVFB_PID=$!
    local waited=0
    while ! grep -q '[0-9]' "$fdfile"; do
        e2e_alive "$E2E_XVFB_PID" || fail "Xvfb ended at start: $(tail -n 5 "$E2E_WORK/xvfb.log")"
        [ "$waited" -lt 100 ] || fail "Xvfb did not report a display within 10 s"
        sleep 0.1
        waited=$((waited + 1))
    done
    export DISPLAY=":$(tr -dc '0-9' <"$fdfile")"
    timeout 5 xwininfo -root >/dev/null 2>&1 || fail "cannot reach the X server at $DISPLAY"
    note "Xvfb on display $DISPLAY"
}

# Makes a portable install (program, Images/, help/) in a new folder; prints the folder.
e2e_make_install() {
    # mktemp keeps folders apart even when called in a subshell, as in x=$(e2e_make_install).
    local dir
    dir=$(mktemp -d "$E2E_WORK/app.XXXXXX") || fail "cannot create an install folder in $E2E_WORK"
    cp "$E2E_PROGRAM" "$dir/jotterly" || fail "cannot copy the program into $dir"
    cp -r "$E2E_IMAGES" "$dir/Images" || fail "cannot copy the pictures into $dir"
    cp -r "$(dirname "$E2E_IMAGES")/help" "$dir/help" || fail "cannot copy the help pages into $dir"
    echo "$dir"
}

# Starts the program of an install in the background; sets E2E_LAST_PID. Its output goes
# to a log beside the install, never into it.
e2e_start_program() {
    local dir=$1
    "$dir/jotterly" >>"$E2E_WORK/$(basename "$dir")-program.log" 2>&1 &
    E2E_LAST_PID=$!
    E2E_PIDS+=("$E2E_LAST_PID")
}

# Runs the program of an install in the foreground for at most the given seconds.
# Sets E2E_STATUS (124 when it was still running) and E2E_ELAPSED_MS.
e2e_run_program_for() {
    local dir=$1 seconds=$2
    local started ended
    started=$(date +%s%N)
    timeout -k 2 "$seconds" "$dir/jotterly" >>"$E2E_WORK/$(basename "$dir")-foreground.log" 2>&1
    E2E_STATUS=$?
    ended=$(date +%s%N)
    E2E_ELAPSED_MS=$(((ended - started) / 1000000))
}

# True while the process runs (a finished child that was not yet waited for does not count).
e2e_alive() {
    local pid=$1
    [ -r "/proc/$pid/status" ] && ! grep -q '^State:[[:space:]]*Z' "/proc/$pid/status" 2>/dev/null
}

# Ids of the visible top-level windows titled exactly "Brivel Jotterly", one a line.
e2e_visible_windows() {
    xdotool search --onlyvisible --name "$E2E_CAPTION_PATTERN" 2>/dev/null
}

e2e_count_windows() {
    e2e_visible_windows | grep -c .
}

# Waits up to the given seconds for a visible "Brivel Jotterly" window of the given
# process; prints its id. Fails when the process ends or the window never shows.
e2e_wait_window() {
    local pid=$1 seconds=${2:-10}
    local deadline=$(($(date +%s%N) + seconds * 1000000000))
    local id
    while :; do
        e2e_alive "$pid" || fail "the program (pid $pid) ended before its window appeared"
        # --all: the window must be this process's AND carry the caption.
        id=$(xdotool search --all --onlyvisible --pid "$pid" --name "$E2E_CAPTION_PATTERN" 2>/dev/null | head -n 1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        [ "$(date +%s%N)" -lt "$deadline" ] || fail "no visible window titled \"$E2E_CAPTION\" within ${seconds} s (pid $pid)"
        sleep 0.1
    done
}

# Sets WX, WY, WW, WH to the window's position and size on the screen.
e2e_window_geometry() {
    local id=$1 line
    WX="" WY="" WW="" WH=""
    while IFS= read -r line; do
        case $line in
        X=*) WX=${line#X=} ;;
        Y=*) WY=${line#Y=} ;;
        WIDTH=*) WW=${line#WIDTH=} ;;
        HEIGHT=*) WH=${line#HEIGHT=} ;;
        esac
    done < <(xdotool getwindowgeometry --shell "$id" 2>/dev/null)
    [ -n "$WX" ] && [ -n "$WH" ] || fail "cannot read the geometry of window $id"
}

# Top-level windows from top to bottom of the stacking order, one id (hex) a line.
e2e_stacking_order() {
    xwininfo -root -children 2>/dev/null | awk '$1 ~ /^0x/ { print $1 }'
}

# Screenshot of the whole screen into the given PNG file.
e2e_screenshot() {
    local file=$1
    import -window root "$file" 2>>"$E2E_WORK/import.log" || fail "screenshot into $file failed"
}

# Crops a region (x y width height, clipped to the image) out of a PNG into another PNG.
e2e_crop() {
    local from=$1 to=$2 x=$3 y=$4 w=$5 h=$6
    convert "$from" -crop "${w}x${h}+${x}+${y}" +repage "$to" || fail "cannot crop $from"
}

# Number of distinct colours in a PNG.
e2e_colour_count() {
    identify -format '%k' "$1"
}

# Analyses a PNG region: prints "<ink rows> <ink bands>". The background is the most
# common colour; a pixel is ink when one of its channels differs from it by more than
# 96, which the anti-aliased text of a row has and a plain or lightly textured row
# background has not. A band is a run of consecutive rows holding ink: one text line.
e2e_ink_profile() {
    convert "$1" -depth 8 txt:- | awk -F'[ ,:()]+' '
        NR == 1 { next }
        {
            y = $2; r = $4; g = $5; b = $6
            px[NR] = y " " r " " g " " b
            colour = r "," g "," b
            if (++count[colour] > best) { best = count[colour]; background = colour }
        }
        END {
            split(background, bg, ",")
            for (i in px) {
                split(px[i], p, " ")
                d = p[2] - bg[1]; if (d < 0) d = -d; m = d
                d = p[3] - bg[2]; if (d < 0) d = -d; if (d > m) m = d
                d = p[4] - bg[3]; if (d < 0) d = -d; if (d > m) m = d
                if (m > 96) ink[p[1]] = 1
                if (p[1] > maxy) maxy = p[1]
            }
            rows = 0; bands = 0; previous = 0
            for (y = 0; y <= maxy; y++) {
                if (y in ink) { rows++; if (!previous) bands++; previous = 1 } else previous = 0
            }
            print rows, bands
        }'
}

# Runs one SQLite statement on a data file and prints the result (fails on error).
e2e_sql() {
    local db=$1 statement=$2 out
    out=$(sqlite3 -batch -cmd '.timeout 3000' "$db" "$statement" 2>&1) || fail "sqlite3 on $db failed: $out"
    printf '%s\n' "$out"
}

# Waits up to the given seconds until the statement prints the expected text.
e2e_wait_sql() {
    local db=$1 statement=$2 expected=$3 seconds=${4:-5}
    local deadline=$(($(date +%s%N) + seconds * 1000000000)) got
    while :; do
        got=$(sqlite3 -batch -cmd '.timeout 1000' "$db" "$statement" 2>/dev/null)
        [ "$got" = "$expected" ] && return 0
        [ "$(date +%s%N)" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# Value of a key in a section of an INI file (sections and keys without regard to case).
e2e_ini_value() {
    local file=$1 section=$2 key=$3
    awk -v s="$section" -v k="$key" '
        { sub(/\r$/, "") }
        /^\[.*\]$/ { current = tolower(substr($0, 2, length($0) - 2)); next }
        current == tolower(s) {
            i = index($0, "=")
            if (i > 0 && tolower(substr($0, 1, i - 1)) == tolower(k)) { print substr($0, i + 1); exit }
        }' "$file"
}

# Waits up to the given seconds until the INI key has the expected value.
e2e_wait_ini() {
    local file=$1 section=$2 key=$3 expected=$4 seconds=${5:-5}
    local deadline=$(($(date +%s%N) + seconds * 1000000000))
    while :; do
        [ -f "$file" ] && [ "$(e2e_ini_value "$file" "$section" "$key")" = "$expected" ] && return 0
        [ "$(date +%s%N)" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# Kills a started program with SIGKILL and waits until it is gone.
e2e_kill9() {
    local pid=$1
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    ! e2e_alive "$pid" || fail "process $pid survived kill -9"
}

# Gives the window the keyboard focus: X focus when the server grants it, and the
# pointer over the window's visible part, which is where keys go on a server without
# window manager.
e2e_focus_window() {
    local id=$1
    e2e_window_geometry "$id"
    local visible_w=$((WW < E2E_SCREEN_W - WX ? WW : E2E_SCREEN_W - WX))
    xdotool mousemove --sync $((WX + visible_w / 2)) $((WY + WH / 2)) 2>/dev/null
    xdotool windowfocus --sync "$id" 2>/dev/null || note "windowfocus refused; relying on the pointer"
}

# Sets TX, TY, TW, TH to the text column of the memo tree on the screen: below the menu
# bar and the top tool bar, above the tip panel, search bar and status bar, right of the
# tree lines and the images of top-level rows (so the two lines of a memo do not merge
# through its image), without the scroll bar, clipped to the screen.
e2e_tree_region() {
    local id=$1
    e2e_window_geometry "$id"
    TX=$((WX + 36))
    TY=$((WY + 55))
    TW=$((WW - 36 - 20))
    [ $((TX + TW)) -le "$E2E_SCREEN_W" ] || TW=$((E2E_SCREEN_W - TX))
    TH=$((WH - 55 - 100))
    [ $((TY + TH)) -le "$E2E_SCREEN_H" ] || TH=$((E2E_SCREEN_H - TY))
    [ "$TW" -gt 50 ] && [ "$TH" -gt 50 ] || fail "the window ${WW}x${WH}+${WX}+${WY} leaves no tree area on the screen"
}

# Waits up to the given seconds for a visible window of the process whose title matches
# the pattern (a regular expression); prints its id. Both must hold: xdotool's search by
# process and title alone matches either, and so also finds the process's other windows
# and other programs' windows of that title.
e2e_wait_titled_window() {
    local pid=$1 pattern=$2 seconds=${3:-10}
    local deadline=$(($(date +%s%N) + seconds * 1000000000))
    local id
    while :; do
        e2e_alive "$pid" || fail "the program (pid $pid) ended while a window titled /$pattern/ was awaited"
        id=$(xdotool search --all --onlyvisible --pid "$pid" --name "$pattern" 2>/dev/null | head -n 1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        [ "$(date +%s%N)" -lt "$deadline" ] || fail "no visible window titled /$pattern/ of pid $pid within ${seconds} s"
        sleep 0.1
    done
}

# True while the window exists and is mapped.
e2e_window_shown() {
    xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'
}

# Chooses a file in Qt's own file dialog, the one the program shows on a server without
# a desktop: types the path into the file name field, which has the keyboard focus when
# the dialog opens, presses Return and waits (at most 5 s) until the dialog is gone.
e2e_choose_file() {
    local dialog=$1 path=$2
    sleep 0.3 # a moment for the dialog to take the focus after it shows
    xdotool type --delay 20 "$path"
    sleep 0.3
    xdotool key Return
    e2e_wait_while 5 e2e_window_shown "$dialog" ||
        fail "the file dialog $dialog was still open 5 s after the path and Return were typed"
}

# Starts the openbox window manager and waits until it has taken over the screen.
e2e_start_wm() {
    command -v openbox >/dev/null || fail "the tool 'openbox' is missing; run scripts/install-deps.sh"
    openbox --sm-disable >"$E2E_WORK/openbox.log" 2>&1 &
    E2E_PIDS+=("$!")
    e2e_wait_while 5 e2e_no_window_manager || fail "openbox did not take over the screen within 5 s"
}

e2e_no_window_manager() {
    ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# Starts trayer as the tray host, a panel at the top right, and waits for its panel.
e2e_start_tray_host() {
    command -v trayer >/dev/null || fail "the tool 'trayer' is missing; run scripts/install-deps.sh"
    trayer --edge top --align right --widthtype request --height 32 --SetDockType true \
        --transparent false --tint 0x444444 >"$E2E_WORK/trayer.log" 2>&1 &
    E2E_TRAYER_PID=$!
    E2E_PIDS+=("$E2E_TRAYER_PID")
    e2e_wait_while 5 e2e_no_tray_panel || fail "trayer showed no panel within 5 s"
}

e2e_no_tray_panel() {
    [ -z "$(xdotool search --name '^panel$' 2>/dev/null)" ]
}

# Sets IX, IY to the centre of the one icon in trayer's panel, waiting up to 10 s for
# the icon to be docked (the empty panel is 2 pixels wide).
e2e_tray_icon_centre() {
    local panel waited=0
    panel=$(xdotool search --name '^panel$' 2>/dev/null | head -n 1)
    [ -n "$panel" ] || fail "trayer's panel is gone"
    while :; do
        e2e_window_geometry "$panel"
        [ "$WW" -gt 10 ] && break
        [ "$waited" -lt 100 ] || fail "no icon was docked in trayer's panel within 10 s"
        sleep 0.1
        waited=$((waited + 1))
    done
    IX=$((WX + WW / 2))
    IY=$((WY + WH / 2))
}

# Waits up to the given seconds until the command (a function name and its arguments)
# fails; false when it still holds then.
e2e_wait_while() {
    local seconds=$1
    shift
    local deadline=$(($(date +%s%N) + seconds * 1000000000))
    while "$@"; do
        [ "$(date +%s%N)" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# True while a window of the process titled "Brivel Jotterly" is visible.
e2e_program_window_visible() {
    [ -n "$(xdotool search --all --onlyvisible --pid "$1" --name "$E2E_CAPTION_PATTERN" 2>/dev/null)" ]
}

# Waits up to the given seconds until no window of the process titled "Brivel Jotterly"
# is visible.
e2e_wait_hidden() {
    e2e_wait_while "${2:-5}" e2e_program_window_visible "$1"
}

# Waits up to the given seconds for the process to end.
e2e_wait_ended() {
    e2e_wait_while "${2:-5}" e2e_alive "$1"
}
