#!/usr/bin/env bash
# Faults from outside against the real X11 programs on a private Xvfb display:
# a window destroyed by another client (every demo, every saver's full-screen
# and preview window), the preview's parent client dying, SIGTERM and SIGINT,
# bad sphere.3d files (short, empty, oversized, a directory, a device, a FIFO
# without writer), a fault inside the guarded body (exit 255), and the X server
# killed under a running saver. Every program must end, or show its error box,
# promptly; none may hang or spin.
#
# Usage: tests/reliability/x11_fault_test.sh <bin dir> [quick | rounds]
#   quick: one case of each kind (every demo for the destroyed window), for
#   the test command; rounds (default 1): how often the whole set runs.
# Environment: SAVER_X11_DISPLAY_FROM (first display number to try, default
# 57), TMPDIR. Sanitizer builds: set ASAN_OPTIONS/UBSAN_OPTIONS log_path to
# $SANITIZER_LOG_DIR/... ; any log file found there at the end fails the run.
# Prints "ok - ..." / "not ok - ..." per check, then "N passed, M failed".
set -u

BIN=$(cd "${1:?usage: x11_fault_test.sh <bin dir> [quick | rounds]}" && pwd) || exit 2
ROUNDS=${2:-1}
# What each kind of check runs over; quick keeps one case of each.
. "$(dirname "$0")/../../scripts/lib/savers.sh"
DEMOS=$(saver_names)
SAVERS=$DEMOS
PREVIEWS="amber cobalt"
PARENTS="jade opal"
FAULTS="SEGV FPE"
SIGNALS_S="TERM INT"
SIGNALS_C="TERM INT"
SERVER_MODES="s c"
ALL_MESHES=1
if [ "$ROUNDS" = quick ]; then
    ROUNDS=1
    SAVERS="amber"
    PREVIEWS="cobalt"
    PARENTS="jade"
    FAULTS="SEGV"
    SIGNALS_S="TERM"
    SIGNALS_C="INT"
    SERVER_MODES="s"
    ALL_MESHES=
fi
case $ROUNDS in '' | *[!0-9]*) echo "usage: x11_fault_test.sh <bin dir> [quick | rounds]" >&2; exit 2 ;; esac
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/x11_fault.XXXXXX") || exit 2
export LIBGL_ALWAYS_SOFTWARE=1

. "$HERE/../lib/checks.sh"
. "$HERE/../lib/processes.sh"
. "$HERE/../lib/xvfb.sh"

PROG_PID=
HELPER_PID=
cleanup() {
    for pid in $PROG_PID $HELPER_PID; do kill -9 "$pid" 2>/dev/null; done
    xvfb_stop
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# --- Display ---------------------------------------------------------------------

start_xvfb() { xvfb_start "${SAVER_X11_DISPLAY_FROM:-57}" 60 "$WORK/xvfb.log"; }

if ! start_xvfb; then
    echo "not ok - Xvfb starts"
    echo "0 passed, 1 failed"
    exit 1
fi

DESTROY=$WORK/x11_destroy_window
if ! gcc -O2 -std=c99 -Wall -Wextra -o "$DESTROY" "$HERE/x11_destroy_window.c" -lX11 2>"$WORK/helper.log"; then
    cat "$WORK/helper.log"
    echo "not ok - the window-destroying helper builds"
    echo "0 passed, 1 failed"
    exit 1
fi

# --- Programs --------------------------------------------------------------------

# start <folder> <program> <args...>: runs the program from that folder in the
# background; PROG_PID is the program itself.
start() {
    local dir=$1
    shift
    (cd "$dir" && exec "$BIN/$1" "${@:2}") >"$WORK/out" 2>&1 &
    PROG_PID=$!
}

# ended_within <ms>: true when PROG_PID ended within the time; ELAPSED and CODE
# hold how long it took (from the call) and its exit status.
ended_within() {
    local start limit=$1
    start=$(now_ms)
    while process_runs "$PROG_PID"; do
        ELAPSED=$(($(now_ms) - start))
        if [ "$ELAPSED" -gt "$limit" ]; then return 1; fi
        sleep 0.02
    done
    ELAPSED=$(($(now_ms) - start))
    wait "$PROG_PID"
    CODE=$?
    PROG_PID=
    return 0
}

stop_prog() {
    [ -z "$PROG_PID" ] && return
    kill -9 "$PROG_PID" 2>/dev/null
    wait "$PROG_PID" 2>/dev/null
    PROG_PID=
}

# viewable <name regex> [seconds]: the id of a mapped window with that name.
viewable() {
    local i id
    for i in $(seq $((${2:-20} * 10))); do
        for id in $(xdotool search --name "$1" 2>/dev/null); do
            if xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
                echo "$id"
                return 0
            fi
        done
        process_runs "$PROG_PID" || return 1
        sleep 0.1
    done
    return 1
}

caption_of() {
    case $1 in
        cobalt) echo '^Cobalt SS - By Tam Corvel$' ;;
        *) echo '^Screensaver By Tam Corvel$' ;;
    esac
}

# A foreign window for previews: xmessage, killed to make the parent die.
start_parent() {
    xmessage -geometry 320x240+600+400 -name saver_fault_parent "preview parent" >/dev/null 2>&1 &
    HELPER_PID=$!
    local i
    for i in $(seq 100); do
        PARENT=$(xdotool search --name '^saver_fault_parent$' 2>/dev/null | head -n 1)
        [ -n "$PARENT" ] && return 0
        sleep 0.1
    done
    return 1
}
stop_parent() {
    [ -z "$HELPER_PID" ] && return
    kill -9 "$HELPER_PID" 2>/dev/null
    wait "$HELPER_PID" 2>/dev/null
    HELPER_PID=
}
preview_child() { # the "Preview" child of $PARENT, once it is there
    local i id
    for i in $(seq 200); do
        id=$(xwininfo -children -id "$PARENT" 2>/dev/null | awk '/"Preview"/ {print $1; exit}')
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        process_runs "$PROG_PID" || return 1
        sleep 0.1
    done
    return 1
}

# A program "ends as its rules say" within the time and with the expected code.
ends() { # ends <what> <ms> <expected code>
    if ended_within "$2"; then
        check "$1 ends within $2 ms (${ELAPSED} ms) with exit code $3 ($CODE)" [ "$CODE" = "$3" ]
    else
        not_ok "$1 ends within $2 ms (still running after ${ELAPSED} ms)"
        stop_prog
    fi
}

# --- Window destroyed by another client --------------------------------------------

destroy_checks() {
    local saver id
    for saver in $DEMOS; do
        start "$BIN" "$saver" c
        if id=$(viewable "$(caption_of $saver)"); then
            sleep 0.3
            "$DESTROY" "$id"
            ends "$saver c, its window destroyed from outside," 1000 0
        else
            not_ok "$saver c shows its demo window"
        fi
        stop_prog
    done
    for saver in $SAVERS; do
        start "$BIN" "$saver" s
        if id=$(viewable '^Screen Saver$'); then
            sleep 0.3
            "$DESTROY" "$id"
            ends "$saver s, its window destroyed from outside," 1000 0
        else
            not_ok "$saver s shows its full-screen window"
        fi
        stop_prog
    done

    if start_parent; then
        for saver in $PREVIEWS; do
            start "$BIN" "$saver" p "$PARENT"
            if id=$(preview_child); then
                sleep 0.3
                "$DESTROY" "$id"
                ends "$saver p, the preview window destroyed from outside," 1000 0
            else
                not_ok "$saver p shows its preview inside the parent"
            fi
            stop_prog
        done
    else
        not_ok "a preview parent (xmessage) appears"
    fi
    stop_parent
}

# --- Preview parent dies -----------------------------------------------------------

parent_checks() {
    local saver
    for saver in $PARENTS; do
        if ! start_parent; then
            not_ok "a preview parent (xmessage) appears"
            continue
        fi
        start "$BIN" "$saver" p "$PARENT"
        if preview_child >/dev/null; then
            sleep 0.3
            stop_parent # SIGKILL: the server destroys the client's windows
            ends "$saver p, its parent's client killed," 2000 0
        else
            not_ok "$saver p shows its preview inside the parent"
        fi
        stop_prog
        stop_parent
    done
}

# --- Signals -----------------------------------------------------------------------

# A signal ends the program promptly: by the signal's default action (128 + n)
# or by a clean exit (0) where the program catches it.
ended_by() { [ "$CODE" = 0 ] || [ "$CODE" = "$1" ]; }

signal_checks() { # signal_checks <saver> <mode> <signals...>
    local saver=$1 mode=$2 signal code
    shift 2
    for signal in "$@"; do
        start "$BIN" "$saver" "$mode"
        if viewable "$([ "$mode" = s ] && echo '^Screen Saver$' || caption_of "$saver")" >/dev/null; then
            sleep 0.3
            kill -s "$signal" "$PROG_PID"
            code=$((128 + $(kill -l "$signal")))
            if ended_within 1000; then
                check "$saver $mode ends within 1000 ms of SIG$signal (${ELAPSED} ms, exit code $CODE)" ended_by "$code"
            else
                not_ok "$saver $mode ends within 1000 ms of SIG$signal"
                stop_prog
            fi
        else
            not_ok "$saver $mode starts for SIG$signal"
        fi
        stop_prog
    done
}

# --- A fault inside the guarded body -------------------------------------------------

# The fault guard turns a crash signal into exit code 255 (-1); SIGSEGV and
# SIGFPE stand for a crash while the saver runs.
guard_checks() {
    local saver=$1 signal
    for signal in $FAULTS; do
        start "$BIN" "$saver" s
        if viewable '^Screen Saver$' >/dev/null; then
            sleep 0.3
            kill -s "$signal" "$PROG_PID"
            ends "$saver s, a SIG$signal inside the guarded run," 1000 255
        else
            not_ok "$saver s starts for SIG$signal"
        fi
        stop_prog
    done
}

# --- Bad sphere.3d --------------------------------------------------------------------

# cobalt c from a folder whose sphere.3d is bad shows "Error" ("Init Points
# Failed") promptly; Return closes the box and the demo ends with 0.
bad_mesh() { # bad_mesh <what>   (the folder $WORK/mesh holds the bad file)
    local box
    start "$WORK/mesh" cobalt c
    if box=$(viewable '^Error$' 5); then
        ok "cobalt c with $1 as sphere.3d shows its error box"
        set -- "$1" $(xwininfo -id "$box" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
                                              /Width:/ {w=$2} /Height:/ {h=$2} END {print x + w / 2, y + h / 2}')
        xdotool mousemove "$2" "$3" key Return
        ends "cobalt c after the box for $1" 3000 0
    else
        not_ok "cobalt c with $1 as sphere.3d shows its error box within 5 s"
    fi
    stop_prog
}

mesh_checks() {
    local sphere=$BIN/sphere.3d size
    size=$(stat -c %s "$sphere")
    rm -rf "$WORK/mesh"
    mkdir -p "$WORK/mesh"
    head -c $((size / 2)) "$sphere" >"$WORK/mesh/sphere.3d"
    bad_mesh "half the mesh"
    if [ -n "$ALL_MESHES" ]; then
        : >"$WORK/mesh/sphere.3d"
        bad_mesh "an empty file"
        head -c 3 "$sphere" >"$WORK/mesh/sphere.3d"
        bad_mesh "a 3-byte header"
        printf '\377\377\377\377' >"$WORK/mesh/sphere.3d"
        head -c 4096 /dev/zero >>"$WORK/mesh/sphere.3d"
        bad_mesh "counts of 65535"
        rm -f "$WORK/mesh/sphere.3d"
        mkdir "$WORK/mesh/sphere.3d"
        bad_mesh "a directory"
        rmdir "$WORK/mesh/sphere.3d"
        ln -s /dev/zero "$WORK/mesh/sphere.3d"
        bad_mesh "a link to /dev/zero"
    fi
    rm -f "$WORK/mesh/sphere.3d"
    mkfifo "$WORK/mesh/sphere.3d"
    bad_mesh "a FIFO without writer"
    rm -f "$WORK/mesh/sphere.3d"
}

# --- The X server dies ----------------------------------------------------------------

# Last: the display goes away under a running program, which must end promptly
# (Xlib reports the lost connection and exits 1) instead of hanging or spinning.
server_checks() {
    local mode
    for mode in $SERVER_MODES; do
        start "$BIN" amber "$mode"
        if viewable "$([ "$mode" = s ] && echo '^Screen Saver$' || caption_of amber)" >/dev/null; then
            sleep 0.3
            kill -9 "$XVFB_PID"
            if ended_within 2000; then
                check "amber $mode ends within 2000 ms of the X server's death (${ELAPSED} ms, exit code $CODE)" \
                    [ "$CODE" != 0 ]
            else
                not_ok "amber $mode ends within 2000 ms of the X server's death"
            fi
        else
            not_ok "amber $mode starts before the X server is killed"
        fi
        stop_prog
        xvfb_stop
        start_xvfb || { not_ok "Xvfb restarts"; return; }
    done
}

round=1
while [ "$round" -le "$ROUNDS" ]; do
    [ "$ROUNDS" -gt 1 ] && echo "# round $round of $ROUNDS"
    destroy_checks
    parent_checks
    signal_checks jade s $SIGNALS_S
    signal_checks opal c $SIGNALS_C
    guard_checks cobalt
    mesh_checks
    server_checks
    round=$((round + 1))
done

if [ -n "${SANITIZER_LOG_DIR:-}" ]; then
    logs=$(find "$SANITIZER_LOG_DIR" -type f 2>/dev/null)
    if [ -z "$logs" ]; then ok "no sanitizer reports"; else
        not_ok "no sanitizer reports: $(echo $logs)"
        head -n 40 $logs
    fi
fi

finish
