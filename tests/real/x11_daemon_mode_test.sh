#!/bin/sh
# The X11 programs as the screen-saver daemons and their settings programs run
# them, on a private Xvfb display: --window-id into a window of the test's own
# (drawn on directly, or in a child when the window's visual has no usable GL
# config; a 32-bit ARGB window left opaque), its size changes followed,
# $XSCREENSAVER_WINDOW and --root, the end on SIGTERM/SIGINT/SIGHUP, on the
# window's destruction and on the loss of the X connection, failures on stderr,
# bad window ids, --help, --version, --fps;
# the first half second (a size change, the window's destruction, a stop
# signal before the server answers); no drawing while the window is unmapped
# or covered; then the monitors of `xrandr --setmonitor` as Windows sees them.
#
# Usage: x11_daemon_mode_test.sh <directory with amber, cobalt, ...>
# Needs: Xvfb, xdotool, xwininfo, xwd, xrandr, ImageMagick, a C compiler with Xlib
# and GL headers (for x11_test_window.c beside this script).
# Prints "ok - <what>" / "not ok - <what>" per check, then "N passed, M failed".

HERE=$(cd "$(dirname "$0")" && pwd)
BIN=$(cd "${1:?usage: x11_daemon_mode_test.sh <bin dir>}" && pwd) || exit 2
. "$HERE/../lib/x11_test_lib.sh"

if ! build_test_window; then
    not_ok "x11_test_window.c builds"
    finish
    exit 1
fi
if ! start_xvfb -screen 0 1024x768x24; then
    not_ok "Xvfb starts"
    finish
    exit 1
fi

SAVER_PID=
export SAVER_FRAME_COUNT_DIR="$WORK/frames"
mkdir -p "$SAVER_FRAME_COUNT_DIR"
# start_saver <command...>: runs it from the bin dir in the background (./amber,
# or env VAR=value ./amber); stdout and stderr land in $WORK/out and $WORK/err.
start_saver() {
    (
        cd "$BIN" || exit 2
        exec "$@" >"$WORK/out" 2>"$WORK/err"
    ) &
    SAVER_PID=$!
    on_exit_kill "$SAVER_PID"
}
# ends_within <what> <command...>: runs the command (a signal, the window's
# destruction) and checks that the saver ends at once, not at some later wake-up,
# then that its status is 0. The time is printed: it is typically a few ms, and
# the bound (a second) is one that only a loop the event does not wake misses.
ends_within() {
    local event=$1 elapsed fast status
    shift
    elapsed=$(python3 "$HERE/../helpers/end_timer.py" "$SAVER_PID" 3000 "$@")
    [ "$elapsed" != timeout ] && [ "$elapsed" -le 1000 ] && fast=yes || fast=no
    check "$event ends it at once ($elapsed ms)" [ $fast = yes ]
    wait "$SAVER_PID"
    status=$?
    check "$event: status 0 ($status)" [ "$status" = 0 ]
}
# check_bright <what> <wait_bright arguments...>: the check, with the mean seen.
check_bright() {
    local what=$1
    shift
    if wait_bright "$@"; then ok "$what (mean $mean)"; else not_ok "$what (mean $mean)"; fi
}
has_child() { [ "$(children "$1")" != 0 ]; }
size_is() { [ "$(size_of "$1")" = "$2" ]; } # size_is <id> <WxH>
children() { xwininfo -children -id "$1" 2>/dev/null | awk '/child(ren)?[:.]/ {print $1; exit}'; }
size_of() { xwininfo -id "$1" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'; }
first_child() { xwininfo -children -id "$1" | awk '/^ +0x/ {print $1; exit}'; }
# cpu_percent <pid>: the share of one core the process used over one second.
cpu_percent() {
    t0=$(now_ms)
    c0=$(awk '{print $14 + $15}' "/proc/$1/stat")
    sleep 1
    t1=$(now_ms)
    c1=$(awk '{print $14 + $15}' "/proc/$1/stat")
    echo $(((c1 - c0) * 100000 / ($(getconf CLK_TCK) * (t1 - t0))))
}

# --- --window-id into a window whose visual has GL: drawn on directly ----------

open_window "$WORK/w1" 320 240
win=$(cat "$WORK/w1")
start_saver ./cobalt --window-id "$win"
wait_bright 10 0.005 direct 0 320x240+0+0 # once it draws
check "cobalt --window-id $win runs" process_runs "$SAVER_PID"
check "it draws on the window itself: no child window ($(children "$win"))" [ "$(children "$win")" = 0 ]
check_bright "the window is drawn" 10 0.005 direct 0 320x240+0+0
# The picture's centre follows the window's: with the old viewport it stays in
# the lower-left quarter and the top half stays black.
xdotool windowsize "$win" 640 480
check_bright "after growing to 640x480 the top half is drawn too"  10 0.003 direct_grown 0 640x240+0+0
check "the window was neither moved nor resized by the saver ($(size_of "$win"))" [ "$(size_of "$win")" = 640x480 ]
ends_within "SIGTERM" kill -TERM "$SAVER_PID"
destroy_window

# A settings program sizes its preview right after starting the saver: a size
# change that comes while the saver starts is followed as well, however early.
# With the old size the picture would stay in the lower-left 200x150 and never
# reach the middle of the window; for such a run the share of the window that
# the drawn pixels' bounding box covers is given.
missed=
for delay in 0.02 0.05 0.1 0.2; do
    open_window "$WORK/w6" 200 150
    win=$(cat "$WORK/w6")
    start_saver ./jade --window-id "$win"
    sleep $delay
    xdotool windowsize "$win" 640 480
    if ! wait_bright 10 0.01 early_grown 0 160x120+240+180; then
        missed="$missed ${delay}s:$(convert "$WORK/early_grown.png" -crop 640x480+0+0 +repage -bordercolor black \
            -border 1 -fuzz 1% -trim -format '%[fx:round(100 * w * h / (640 * 480))]' info: 2>/dev/null)%"
    fi
    kill -TERM "$SAVER_PID"
    wait "$SAVER_PID"
    destroy_window
done
check "grown to 640x480 20, 50, 100, 200 ms after its start, jade reaches the middle${missed:+ (not:$missed)}" \
    [ -z "$missed" ]

# Destroyed before the saver has looked at it, the id names no window (255 and
# one line); destroyed any time later, during the start or after, the run ends
# with 0. Each run's status and stderr line count.
runs=
for delay in 0 0.01 0.02 0.03 0.04 0.05 0.07 0.1 0.15 0.25; do
    open_window "$WORK/w7" 200 150
    win=$(cat "$WORK/w7")
    start_saver ./amber --window-id "$win"
    sleep $delay
    destroy_window
    wait_gone "$SAVER_PID" 5000 || kill -9 "$SAVER_PID"
    wait "$SAVER_PID"
    code=$?
    runs="$runs $code/$(wc -l <"$WORK/err")"
done
others=$(echo $runs | tr ' ' '\n' | grep -cv -e '^0/0$' -e '^255/1$')
check "amber's window destroyed 0 to 250 ms after its start: 0, or 255 with one line (${runs# })" [ "$others" = 0 ]

# --- a 32-bit ARGB window (XScreenSaver's without xscreensaver-gl): opaque ---------

# A compositor shows such a window's alpha; the saver drawn on it must leave
# every pixel at 255, lit or black.
open_window "$WORK/w11" --argb 320 240
win=$(cat "$WORK/w11")
start_saver ./amber --window-id "$win"
check_bright "amber draws on an ARGB window" 20 0.01 argb 0 320x240+0+0
xwd -silent -id "$win" >"$WORK/argb.xwd"
alpha=$(python3 "$HERE/../helpers/xwd_alpha.py" "$WORK/argb.xwd")
check "on it directly ($(children "$win") children), every pixel opaque ($alpha)" \
    sh -c "[ '$(children "$win")' = 0 ] && echo '$alpha' | grep -Eq ' lit [1-9][0-9]{3,} min_alpha 255 '"
kill -TERM "$SAVER_PID"
wait "$SAVER_PID"
destroy_window

# --- a window without a usable GL config: a child of the saver follows it ---------

open_window "$WORK/w2" --single-buffered 320 240
win=$(cat "$WORK/w2")
start_saver ./opal --window-id "$win"
within 10 has_child "$win"
child=$(first_child "$win")
check "opal draws in a child of its own ($(children "$win") child)" [ "$(children "$win")" = 1 ]
check "the child fills the window ($(size_of "$child"))" [ "$(size_of "$child")" = 320x240 ]
check_bright "the window is drawn" 12 0.005 child 0 320x240+0+0
xdotool windowsize "$win" 500 400
within 5 size_is "$child" 500x400
check "the child follows the window to 500x400 ($(size_of "$child"))" [ "$(size_of "$child")" = 500x400 ]
ends_within "the window's destruction" sh -c "echo destroy >'$WORK/w2.in'"
exec 9>&-

# --- SIGINT and SIGHUP, $XSCREENSAVER_WINDOW alone and with --root -------------

for signal in INT HUP; do
    open_window "$WORK/w3" 200 150
    win=$(cat "$WORK/w3")
    if [ $signal = INT ]; then
        start_saver env XSCREENSAVER_WINDOW="$win" ./jade
        how="\$XSCREENSAVER_WINDOW alone"
    else
        start_saver env XSCREENSAVER_WINDOW="$(printf %d "$win")" ./jade -root
        how="-root with a decimal \$XSCREENSAVER_WINDOW"
    fi
    check_bright "jade with $how draws on that window"  10 0.005 env_$signal 0 200x150+0+0
    ends_within "SIG$signal" kill -$signal "$SAVER_PID"
    destroy_window
done

# A daemon may stop a saver it has only just started: a signal that comes
# while the X server has not yet let the saver in ends it with 0 as well.
for signal in TERM INT HUP; do
    rm -f "$WORK/connected" "$WORK/silent"
    python3 "$HERE/../helpers/x11_silent_server.py" "$WORK/connected" 20 >"$WORK/silent" &
    server=$!
    on_exit_kill "$server"
    if within 5 test -s "$WORK/silent"; then
        start_saver env DISPLAY="$(cat "$WORK/silent")" ./jade --root
        if within 5 test -s "$WORK/connected"; then
            kill -$signal "$SAVER_PID"
            wait_gone "$SAVER_PID" 5000 || kill -9 "$SAVER_PID"
            wait "$SAVER_PID"
            status=$?
            check "SIG$signal before the X server answers: status 0 ($status)" [ "$status" = 0 ]
        else
            not_ok "jade connects to a server that does not answer"
        fi
    else
        not_ok "a server that does not answer starts"
    fi
    kill "$server" 2>/dev/null
    wait "$server" 2>/dev/null
done

# --- drawing nobody sees ------------------------------------------------------------

# Unmapped, or covered by another window, the saver draws nothing and sleeps;
# shown again, it draws at once. Judged by the frames it presents; the CPU
# figures (percent of one core) are printed, since a busy machine moves them.
open_window "$WORK/w9" 320 240
win=$(cat "$WORK/w9")
start_saver ./jade --window-id "$win"
check_bright "jade draws on its window" 10 0.005 shown 0 320x240+0+0
visible=$(cpu_percent "$SAVER_PID")
xdotool windowunmap --sync "$win"
within 3 frames_settled "$SAVER_PID"
f0=$(frames_of "$SAVER_PID")
hidden=$(cpu_percent "$SAVER_PID")
f1=$(frames_of "$SAVER_PID")
check "unmapped, it draws nothing: $((f1 - f0)) frames in a second (${hidden} % of a core; ${visible} % while drawn)" \
    [ "$f1" = "$f0" ]
xdotool windowmap --sync "$win"
check_bright "mapped again, it draws again" 10 0.005 remapped 0 320x240+0+0
window_over=$WINDOW_PID
open_window "$WORK/w10" 400 300
within 3 frames_settled "$SAVER_PID"
f0=$(frames_of "$SAVER_PID")
covered=$(cpu_percent "$SAVER_PID")
f1=$(frames_of "$SAVER_PID")
check "covered by another window, it draws nothing: $((f1 - f0)) frames in a second (${covered} % of a core)" \
    [ "$f1" = "$f0" ]
destroy_window
check_bright "uncovered, it draws again" 10 0.005 uncovered 0 320x240+0+0
kill -TERM "$SAVER_PID"
wait "$SAVER_PID"
kill "$window_over" 2>/dev/null

# --- --fps -------------------------------------------------------------------------

open_window "$WORK/w4" 320 240
win=$(cat "$WORK/w4")
start_saver ./jade --fps --window-id "$win"
# The lower-left corner: a black box with white figures.
fps_shown() {
    brightness fps 0 90x18+0+222 >/dev/null
    white=$(convert "$WORK/fps.png" -crop 90x18+0+222 +repage -fill black +opaque white -fill white -opaque white \
        -format '%[fx:mean*w*h]' info: 2>/dev/null)
    brighter_than "${white:-0}" 20
}
poll 1 10 fps_shown
check "--fps shows white figures in the lower-left corner (${white} white pixels)" brighter_than "${white:-0}" 20
kill -TERM "$SAVER_PID"
wait "$SAVER_PID"
code=$?
check "jade --fps ends with 0 on SIGTERM ($code)" [ "$code" = 0 ]
destroy_window

# --- failures go to stderr with a status instead of a box ------------------------

mkdir -p "$WORK/a/b" "$WORK/empty"
cp "$BIN/cobalt" "$WORK/a/b/cobalt"
open_window "$WORK/w5" 200 150
win=$(cat "$WORK/w5")
(cd "$WORK/empty" && timeout 20 "$WORK/a/b/cobalt" --window-id "$win" >"$WORK/out" 2>"$WORK/err")
code=$?
check "cobalt without any sphere.3d exits 1 ($code)" [ "$code" = 1 ]
check "it names sphere.3d on stderr" grep -q 'sphere.3d' "$WORK/err"
check "and the failure of its start" grep -q 'Init Points Failed' "$WORK/err"
check "and shows no message box" [ -z "$(xdotool search --name '^Error$' 2>/dev/null)" ]
printf '\001\000\001' >"$WORK/empty/sphere.3d"
(cd "$WORK/empty" && timeout 20 "$WORK/a/b/cobalt" --window-id "$win" >"$WORK/out" 2>"$WORK/err")
code=$?
line='cobalt: cannot load sphere.3d in the working directory: cut short in its 4-byte header'
check "with a 3-byte sphere.3d it exits 1 ($code), naming the file and what is wrong with it" \
    sh -c "[ $code = 1 ] && grep -qxF '$line' '$WORK/err'"
rm "$WORK/empty/sphere.3d"
destroy_window

open_window "$WORK/w8" --input-only 200 150
for id in abc 0x1ffffffff 0 0x7ffff0 "$(cat "$WORK/w8")"; do
    (cd "$BIN" && timeout 20 ./amber --window-id "$id" >"$WORK/out" 2>"$WORK/err")
    code=$?
    lines=$(wc -l <"$WORK/err")
    check "amber --window-id $id exits 255 with one line on stderr ($code, $lines lines)" \
        [ "$code.$lines.$(wc -c <"$WORK/out")" = 255.1.0 ]
done
destroy_window
(cd "$BIN" && ./amber --help >"$WORK/out" 2>&1)
code=$?
grep -q '^Usage: amber' "$WORK/out" && grep -q -- '--window-id' "$WORK/out" && usage=yes || usage=no
check "amber --help exits 0 with the usage ($code, $usage)" [ "$code.$usage" = 0.yes ]
version=$(cd "$BIN" && ./cobalt --version)
check "cobalt --version prints \"$version\"" [ "$version" = "cobalt 1.0.0" ]

# --- --root alone: the root window -------------------------------------------------

start_saver env XSCREENSAVER_WINDOW= ./jade --root
check_bright "jade --root with an empty \$XSCREENSAVER_WINDOW draws on the root window"  10 0.003 root 0
check "without a window of its own" [ "$(xwininfo -root -children | awk '/child(ren)?[:.]/ {print $1; exit}')" = 0 ]

# --- the X connection lost ----------------------------------------------------------

sleep 1 # the connection lost in the middle of its run, not its start
ends_within "losing the X connection" kill "$XVFB_PID"
xvfb_stop

# --- monitors: the primary one is the screen, all of them the virtual screen -------

if start_xvfb -screen 0 2048x768x24; then
    xrandr --setmonitor left 1024/270x768/200+0+0 none >/dev/null 2>&1
    xrandr --setmonitor '*right' 1024/270x768/200+1024+0 none >/dev/null 2>&1
    check "xrandr defines a primary monitor on the right" sh -c 'xrandr --listmonitors | grep -q "\*right 1024/270x768/200+1024+0"'
    geometry() {
        xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
                                 /Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h "+" x "+" y}'
    }
    saver_shown() { id=$(xdotool search --onlyvisible --name '^Screen Saver$' 2>/dev/null | head -1) && [ -n "$id" ]; }
    for saver in cobalt amber; do
        start_saver ./$saver s
        within 10 saver_shown
        [ -n "$id" ] && got=$(geometry "$id") || got=none
        if [ $saver = cobalt ]; then want=1024x768+1024+0; else want=2048x768+0+0; fi
        check "$saver s covers $want ($got)" [ "$got" = "$want" ]
        kill "$SAVER_PID"
        wait "$SAVER_PID" 2>/dev/null
    done
    xvfb_stop
else
    not_ok "Xvfb starts for the monitors"
fi

finish
