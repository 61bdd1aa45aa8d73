#!/bin/sh
# The Linux programs as Wayland screen savers on a private headless sway:
# each saver draws above another client's full-screen window and ends on a key;
# a button and more than four pixels of pointer travel end it, four do not;
# SIGTERM ends it at once (the time printed); a second saver exits 0 and leaves the first;
# an output with scale 2 gets a picture at its full device resolution; an
# output added while it runs gets a picture, one removed takes its saver with
# it and leaves the others; swayidle starts it; nothing is left running. Also: the modes that run on X11 only, and a missing Wayland
# library or compositor, each say so in one line; and on weston, which has no
# layer shell, the saver draws as a full-screen window.
#
# Usage: wayland_saver_test.sh <directory with amber, cobalt, ..., wayland_test_client> [screenshot dir]
# Needs: sway, grim, wtype, swayidle, weston, ImageMagick (convert, compare), python3.
# Prints "ok - <what>" / "not ok - <what>" per check, then "N passed, M failed".
#
# WAYLAND_TEST_COMPOSITOR=sway-debian13, labwc-debian13 or cage-debian13 runs
# the checks that need a compositor on Debian 13's sway 1.10, labwc 0.8 or cage
# 0.2 (no layer shell: the saver is a full-screen window there), started from
# the Debian 13 root in build/debian13-root (made first when missing;
# DEBIAN13_ROOT names another). On sway 1.10 also: an output powered off gets no frames, and
# at scale 1.5 the picture has the output's device resolution. A check the
# compositor gives no means for is skipped with a "skip - " line that says why.
# A root that cannot be built is one "not run - " line and no checks.

HERE=$(cd "$(dirname "$0")" && pwd)
BIN=$(cd "${1:?usage: wayland_saver_test.sh <bin dir> [screenshot dir]}" && pwd) || exit 2
SHOTS=${2:-${TMPDIR:-/tmp}/wayland_saver_shots}
mkdir -p "$SHOTS"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/wayland_saver_test.XXXXXX") || exit 2
. "$HERE/../../scripts/lib/savers.sh"
SAVERS=$(saver_names)
CLIENT="$BIN/wayland_test_client"
export LIBGL_ALWAYS_SOFTWARE=1

. "$HERE/../lib/checks.sh"
. "$HERE/../lib/processes.sh"
. "$HERE/../lib/running_savers.sh"
. "$HERE/../lib/sway.sh"
. "$HERE/../lib/debian13_root.sh"
SAVER_PID=
HELPER_PIDS=
skip() { echo "skip - $*"; }

COMPOSITOR=${WAYLAND_TEST_COMPOSITOR:-sway}
case $COMPOSITOR in
    sway) ;;
    sway-debian13 | labwc-debian13 | cage-debian13)
        SWAY_ROOT=${DEBIAN13_ROOT:-$(cd "$HERE/../.." && pwd)/build/debian13-root}
        SWAY_COMPOSITOR=${COMPOSITOR%-debian13}
        if ! debian13_root_ready "$SWAY_ROOT"; then
            echo "not run - $COMPOSITOR: no Debian 13 root: $DEBIAN13_ROOT_REASON"
            echo "0 passed, 0 failed"
            exit 0
        fi
        ;;
    *)
        echo "wayland_saver_test.sh: unknown WAYLAND_TEST_COMPOSITOR $COMPOSITOR" >&2
        exit 2
        ;;
esac
# The checks that need sway's IPC (swaymsg); and those of sway 1.10 and later.
has_ipc() { [ "${SWAY_COMPOSITOR:-sway}" = sway ]; }
sway_since_1_10() {
    has_ipc && swaymsg -t get_version | python3 -c 'import json, sys
v = json.load(sys.stdin)
sys.exit(0 if (v["major"], v["minor"]) >= (1, 10) else 1)'
}

cleanup() {
    for pid in $SAVER_PID $HELPER_PIDS; do kill "$pid" 2>/dev/null; done
    exec 8>&- 9<&-
    sway_stop
    wait 2>/dev/null
    rm -rf "$WORK" ${NESTED:+"$NESTED"} ${WESTON_RUNTIME:+"$WESTON_RUNTIME"}
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# --- Without a compositor ------------------------------------------------------------
# Once, with the machine's own sway: these do not depend on the compositor.

# fails_with <status> <text> <command...>: the command exits with that status
# and says why in one line on stderr that holds the text.
fails_with() {
    expected=$1
    text=$2
    shift 2
    (cd "$WORK" && "$@" >/dev/null 2>"$WORK/err")
    code=$?
    line=$(head -n 1 "$WORK/err")
    [ "$code" = "$expected" ] && [ "$(wc -l <"$WORK/err")" = 1 ] && grep -q "$text" "$WORK/err"
}

if [ "$COMPOSITOR" = sway ]; then
    fails_with 1 'X display' env -u DISPLAY WAYLAND_DISPLAY=saver-none "$BIN/amber" c
    check "on Wayland without an X display amber c exits 1 ($code): $line" [ $? = 0 ]
    fails_with 1 'Wayland display' env XDG_RUNTIME_DIR="$WORK" WAYLAND_DISPLAY=saver-none "$BIN/amber" s
    check "without a compositor amber s exits 1 ($code): $line" [ $? = 0 ]
    # A library that cannot be loaded: a file of its name that is no library at all.
    mkdir -p "$WORK/broken" && : >"$WORK/broken/libwayland-egl.so.1"
    fails_with 1 'libwayland-egl.so.1' env LD_LIBRARY_PATH="$WORK/broken" WAYLAND_DISPLAY=saver-none "$BIN/amber" s
    check "with a broken libwayland-egl.so.1 amber s exits 1 ($code): $line" [ $? = 0 ]
fi

# --- Compositor and helpers ----------------------------------------------------------

if ! sway_start "$WORK/sway.log"; then
    not_ok "headless $COMPOSITOR starts ($(tail -n 1 "$WORK/sway.log"))"
    echo "$passed passed, $failed failed"
    exit 1
fi
if has_ipc; then
    echo "# on $(swaymsg -t get_version | sed -n 's/.*"human_readable": "\([^"]*\)".*/sway \1/p')"
else
    echo "# on $SWAY_COMPOSITOR $(dpkg-query --admindir="$SWAY_ROOT/var/lib/dpkg" -W -f='${Version}' "$SWAY_COMPOSITOR")"
fi

# start_saver <saver> <args...>: runs it from the scratch folder (cobalt finds its
# mesh beside the program); stdout and stderr in $WORK/out and $WORK/err.
start_saver() {
    saver=$1
    shift
    (cd "$WORK" && exec "$BIN/$saver" "$@" >"$WORK/out" 2>"$WORK/err") &
    SAVER_PID=$!
}

# Mean and standard deviation of the brightness (0..1) of a screenshot of all
# outputs or of one: shot <name> [output]
shot() {
    timeout 10 grim ${2:+-o "$2"} "$SHOTS/$1.png" 2>/dev/null &&
        convert "$SHOTS/$1.png" -colorspace Gray -format '%[fx:mean] %[fx:standard_deviation]' info: 2>/dev/null
}
between() { awk -v m="$1" -v lo="$2" -v hi="$3" 'BEGIN {exit !(m != "" && m + 0 > lo + 0 && m + 0 < hi + 0)}'; }

# picture <mean> <deviation>: a saver's picture, dark with bright lines: neither
# the white window beneath, nor one flat colour (black, the empty output's grey).
picture() { between "$1" 0 0.6 && between "$2" 0.03 1; }

# drawn <seconds> <name> [output]: true once the screenshot shows a saver's
# picture. $mean is the last mean and deviation.
drawn() {
    limit=$1
    shift
    i=0
    while [ $i -lt "$limit" ]; do
        mean=$(shot "$@")
        # shellcheck disable=SC2086
        picture $mean && return 0
        sleep 1
        i=$((i + 1))
    done
    return 1
}

# A virtual pointer that stays plugged in; `point <commands>` runs commands on it
# (wayland_test_client pointer) and returns once they are delivered.
mkfifo "$WORK/pointer.in" "$WORK/pointer.out"
"$CLIENT" pointer - <"$WORK/pointer.in" >"$WORK/pointer.out" 2>"$WORK/pointer.err" &
HELPER_PIDS="$HELPER_PIDS $!"
exec 8>"$WORK/pointer.in" 9<"$WORK/pointer.out"
point() {
    echo "$*" >&8
    read -r answer <&9
    [ "$answer" = ok ]
}
# Another program's window over the whole output, white.
"$CLIENT" window >"$WORK/window.out" 2>&1 &
window=$!
HELPER_PIDS="$HELPER_PIDS $window"
i=0
while [ $i -lt 50 ] && ! grep -qs shown "$WORK/window.out"; do
    sleep 0.1
    i=$((i + 1))
done
check "the pointer moves onto the output" point move 300 200
mean=$(shot window)
check "another program's window covers the output in white (mean, deviation: $mean)" between "${mean% *}" 0.99 1.01

# --- Each saver draws above it, and a key ends it ----------------------------------------

for saver in $SAVERS; do
    start_saver "$saver" s
    if drawn 20 "wayland_$saver"; then ok "$saver s draws over the full-screen window (brightness $mean)"; else
        not_ok "$saver s draws over the full-screen window (brightness $mean)"; fi
    processes=$(count_savers)
    check "$saver s runs as two processes, one per output and the supervisor ($processes)" [ "$processes" = 2 ]
    wtype -s 500 x
    ended_with 10 0
    check "a key ends $saver s with status 0 ($code)" [ $? = 0 ]
    stop_savers
done

# --- Pointer, second instance, SIGTERM (jade: the lightest) --------------------------------

# sway 1.10 sends a surface that appears under a resting pointer no enter (and
# a click goes to the window beneath) until the pointer moves: a motion of
# nothing shows the saver where the pointer is.
start_saver jade s
if drawn 20 jade_pointer; then
    point move 0 0
    point move 3 1
    sleep 1
    check "4 pixels of pointer travel (3 + 1) leave it running" process_runs "$SAVER_PID"
    point move 1 0
    ended_with 10 0
    check "a fifth pixel ends it with status 0 ($code)" [ $? = 0 ]
else
    not_ok "jade s draws for the pointer travel check (brightness $mean)"
fi
stop_savers

start_saver jade s
if drawn 20 jade_button; then
    point move 0 0
    point press left
    ended_with 10 0
    check "a button ends it with status 0 ($code)" [ $? = 0 ]
else
    not_ok "jade s draws for the button check (brightness $mean)"
fi
stop_savers

start_saver jade s
if drawn 20 jade_second; then
    (cd "$WORK" && timeout 10 "$BIN/amber" s >/dev/null 2>&1)
    code=$?
    check "a second saver (amber s) exits 0 at once ($code)" [ "$code" = 0 ]
    processes=$(count_savers)
    process_runs "$SAVER_PID" && [ "$processes" = 2 ]
    check "the first keeps running, alone ($processes processes)" [ $? = 0 ]
    elapsed=$(python3 "$HERE/../helpers/end_timer.py" "$SAVER_PID" 3000 kill -TERM "$SAVER_PID")
    # A second only a loop the signal does not wake misses; the time is the figure.
    [ "$elapsed" != timeout ] && [ "$elapsed" -le 1000 ]
    check "SIGTERM ends it at once ($elapsed ms)" [ $? = 0 ]
    ended_with 1 0
    check "with status 0 ($code)" [ $? = 0 ]
    processes=$(count_savers)
    check "and leaves no saver process ($processes)" [ "$processes" = 0 ]
else
    not_ok "jade s draws for the second-instance check (brightness $mean)"
fi
stop_savers

# --- Scale 2: a buffer at the output's full resolution -------------------------------------
# Drawn at half the resolution and stretched by the compositor, the picture
# would be made of 2x2 blocks: halving it and doubling it again would give it
# back unchanged. jade's lines are one device pixel wide.

if has_ipc; then
    swaymsg output HEADLESS-1 scale 2 >/dev/null
    start_saver jade s
    if drawn 20 jade_scale2 HEADLESS-1; then
        sleep 1
        shot jade_scale2 HEADLESS-1 >/dev/null
        size=$(identify -format '%wx%h' "$SHOTS/jade_scale2.png")
        convert "$SHOTS/jade_scale2.png" -sample 50% -sample 200% "$WORK/blocks.png"
        differing=$(compare -metric AE "$SHOTS/jade_scale2.png" "$WORK/blocks.png" null: 2>&1)
        [ "$size" = 1024x768 ] && [ "${differing%%.*}" -gt 1000 ]
        check "at scale 2 the picture is $size device pixels, not 2x2 blocks ($differing pixels differ from them)" [ $? = 0 ]
        wtype -s 500 x
        ended_with 10 0
        check "a key ends it with status 0 ($code)" [ $? = 0 ]
    else
        not_ok "jade s draws on an output with scale 2 (brightness $mean)"
    fi
    stop_savers
    swaymsg output HEADLESS-1 scale 1 >/dev/null
else
    skip "$COMPOSITOR: scale 2: no IPC to set an output's scale"
fi

# --- An output powered off gets no frames (sway 1.10) ---------------------------------------------
# Frames are the surface commits the saver's output process makes (counted
# from WAYLAND_DEBUG); its CPU ticks and wake-ups (voluntary context switches)
# are printed as figures. The saver notices within a second that the
# compositor has stopped asking for frames, so counting starts 2 s after.

# commits: the surface commits logged so far.
commits() { grep -c 'wl_surface@[0-9]*\.commit()' "$WORK/err"; }
# figures <pid>: "<CPU ticks> <wake-ups>" of a process so far.
figures() {
    echo "$(awk '{print $14 + $15}' "/proc/$1/stat") $(sed -n 's/^voluntary_ctxt_switches:[[:space:]]*//p' "/proc/$1/status")"
}
# frames_in <seconds>: commits and the output process's CPU ticks and wake-ups in that time.
# shellcheck disable=SC2046
frames_in() {
    before=$(commits)
    set -- "$1" $(figures "$drawer")
    sleep "$1"
    set -- "$1" "$2" "$3" $(figures "$drawer")
    echo "$(($(commits) - before)) $(($4 - $2)) $(($5 - $3))"
}

if sway_since_1_10; then
    export WAYLAND_DEBUG=client
    start_saver jade s
    unset WAYLAND_DEBUG
    if drawn 20 jade_power_on HEADLESS-1 && drawer=$(saver_processes | grep -vx "$SAVER_PID") &&
        [ "$(echo "$drawer" | wc -w)" = 1 ]; then
        set -- $(frames_in 2)
        [ "$1" -gt 0 ]
        check "jade s draws while the output is on ($1 frames, $2 CPU ticks, $3 wake-ups in 2 s)" [ $? = 0 ]
        swaymsg output HEADLESS-1 power off >/dev/null
        sleep 2
        set -- $(frames_in 3)
        check "with the output powered off it draws no frame ($1 frames, $2 CPU ticks, $3 wake-ups in 3 s)" [ "$1" = 0 ]
        swaymsg output HEADLESS-1 power on >/dev/null
        sleep 1
        set -- $(frames_in 2)
        [ "$1" -gt 0 ]
        check "powered on again, it draws again ($1 frames in 2 s)" [ $? = 0 ]
        wtype -s 500 x
        ended_with 10 0
        check "a key ends it with status 0 ($code)" [ $? = 0 ]
    else
        not_ok "jade s draws before its output is powered off, one output process (brightness $mean; ${drawer:-none})"
    fi
    stop_savers
else
    skip "$COMPOSITOR: an output powered off: needs sway 1.10 or later (swaymsg output NAME power off)"
fi

# --- Scale 1.5: buffers at the output's device resolution (sway 1.10) ------------------------------
# sway 1.10 offers wp_fractional_scale_v1 and wp_viewporter. A 1536x1152 mode at
# scale 1.5 is 1024x768 surface units: the saver's buffers must be 1536x1152,
# shown through its viewport at 1024x768, not 2048x1536 (the integer scale 2
# that wl_output reports) scaled down by the compositor. The buffers' sizes are
# read from WAYLAND_DEBUG (wl_shm buffers, as the software renderer makes them
# here); the last one counts, made once the compositor has given its scale.
# sharpness: mean brightness step between neighbouring pixels over mean
# brightness, a figure only (printed, not judged; a scaled-down picture gave
# 0.61 here, one drawn at device resolution 0.84).

if sway_since_1_10; then
    swaymsg output HEADLESS-1 mode 1536x1152 scale 1.5 >/dev/null
    export WAYLAND_DEBUG=client
    start_saver jade s
    unset WAYLAND_DEBUG
    if drawn 20 jade_scale1_5 HEADLESS-1; then
        size=$(identify -format '%wx%h' "$SHOTS/jade_scale1_5.png")
        buffers=$(sed -n 's/.*create_buffer(new id wl_buffer@[0-9]*, [0-9]*, \([0-9]*\), \([0-9]*\),.*/\1x\2/p' "$WORK/err")
        viewport=$(sed -n 's/.*wp_viewport@[0-9]*\.set_destination(\([0-9]*\), \([0-9]*\)).*/\1x\2/p' "$WORK/err" | tail -n 1)
        sharpness=$(convert "$SHOTS/jade_scale1_5.png" -colorspace Gray \( +clone -roll +1+0 \) -compose difference \
            -composite -format '%[fx:mean]' info:)
        sharpness=$(awk -v d="$sharpness" -v m="${mean% *}" 'BEGIN {printf "%.2f", (m > 0 ? d / m : 0)}')
        [ "$size" = 1536x1152 ] && [ "$(echo "$buffers" | tail -n 1)" = 1536x1152 ] && [ "$viewport" = 1024x768 ]
        check "at scale 1.5 the buffer is $(echo "$buffers" | tail -n 1) ($(echo "$buffers" | sort -u | tr '\n' ' ')made), shown at ${viewport:-(no viewport)}, the picture $size (sharpness $sharpness)" [ $? = 0 ]
        wtype -s 500 x
        ended_with 10 0
        check "a key ends it with status 0 ($code)" [ $? = 0 ]
    else
        not_ok "jade s draws on an output with scale 1.5 (brightness $mean)"
    fi
    stop_savers
    swaymsg output HEADLESS-1 mode 1024x768 scale 1 >/dev/null
else
    skip "$COMPOSITOR: scale 1.5: needs sway 1.10 or later (fractional scale)"
fi

# --- swayidle starts it --------------------------------------------------------------------------

# Without -w: swayidle does not wait for the saver, so it can be stopped first
# and the key that ends the saver does not make it start another.
swayidle timeout 1 "cd '$WORK' && exec '$BIN/jade' s" >"$WORK/swayidle.log" 2>&1 &
idle=$!
HELPER_PIDS="$HELPER_PIDS $idle"
savers_become 2
check "swayidle starts jade s after its 1 s timeout ($processes processes)" [ "$processes" = 2 ]
if drawn 20 jade_swayidle; then ok "which draws (brightness $mean)"; else not_ok "which draws (brightness $mean)"; fi
kill "$idle" 2>/dev/null
wait "$idle" 2>/dev/null
wtype -s 500 x
savers_become 0
check "a key ends it: no saver process left ($processes)" [ "$processes" = 0 ]
stop_savers

# --- An output added while it runs ---------------------------------------------------------------

# With a keyboard plugged in (wtype's, for 8 s): the new output's saver takes
# it from the first, which is no reason to end.
if has_ipc; then
    start_saver cobalt s
    if drawn 20 cobalt_one_output HEADLESS-1; then
        wtype -s 8000 x &
        typing=$!
        sleep 1
        swaymsg create_output >/dev/null
        output=$(swaymsg -t get_outputs | sed -n 's/.*"name": "\(HEADLESS-[0-9]*\)".*/\1/p' | grep -v '^HEADLESS-1$' | head -n 1)
        if [ -n "$output" ] && drawn 20 cobalt_added_output "$output"; then
            ok "the added output $output gets a picture (brightness $mean)"
        else
            not_ok "the added output ${output:-(none)} gets a picture (brightness $mean)"
        fi
        processes=$(count_savers)
        check "one saver process per output and the supervisor ($processes)" [ "$processes" = 3 ]
        wait "$typing"
        ended_with 10 0
        check "a key ends them all with status 0 ($code)" [ $? = 0 ]
        processes=$(count_savers)
        check "no saver process is left ($processes)" [ "$processes" = 0 ]
    else
        not_ok "cobalt s draws before an output is added (brightness $mean)"
    fi
    stop_savers
else
    skip "$COMPOSITOR: an output added while it runs: no IPC to add a headless output"
fi

# --- An output removed while it runs -----------------------------------------------------------
# Headless outputs cannot be removed: a sway nested in ours, whose two outputs
# are windows of ours, loses one when its window is closed. The second is
# added once the first is up: wlroots 0.18 commits two outputs made together
# before the second window is configured, which ends the nested sway.

if has_ipc; then
    # Away with the full-screen window: sway 1.10 shows no window opened behind it
    # (the nested sway's), so that sway would never draw.
    kill "$window"
    wait "$window" 2>/dev/null
    NESTED=$(mktemp -d "${TMPDIR:-/tmp}/saver_nested.XXXXXX")
    printf '%s\n' 'default_border none' 'xwayland disable' >"$NESTED/config"
    set --
    if [ "$(id -u)" = 0 ]; then
        chown -R 65534:65534 "$NESTED"
        set -- setpriv --reuid=65534 --regid=65534 --clear-groups
    fi
    chmod 700 "$NESTED"
    set -- "$@" env -i PATH="$PATH" HOME="$NESTED" XDG_RUNTIME_DIR="$NESTED" WAYLAND_DISPLAY="$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" \
        WLR_BACKENDS=wayland WLR_WL_OUTPUTS=1 WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1 sway -c "$NESTED/config"
    if [ -n "${SWAY_ROOT:-}" ]; then
        debian13_run "$SWAY_ROOT" "$@" >"$WORK/nested.log" 2>&1 &
    else
        "$@" >"$WORK/nested.log" 2>&1 &
    fi
    nested=$!
    HELPER_PIDS="$HELPER_PIDS $nested"
    OUTER_SWAYSOCK=$SWAYSOCK
    i=0
    nested_ipc() { for ipc in "$NESTED"/sway-ipc.*.sock; do [ -S "$ipc" ] && SWAYSOCK=$ipc swaymsg "$@"; done; }
    while [ $i -lt 100 ] && ! { [ -S "$NESTED/wayland-1" ] && nested_ipc -t get_outputs >/dev/null 2>&1; }; do
        sleep 0.1
        i=$((i + 1))
    done
    nested_ipc create_output >/dev/null 2>&1
    export XDG_RUNTIME_DIR="$NESTED" WAYLAND_DISPLAY=wayland-1
    start_saver jade s
    if drawn 20 nested_first WL-1 && drawn 20 nested_second WL-2; then
        SWAYSOCK=$OUTER_SWAYSOCK swaymsg '[title="wlroots - WL-2"] kill' >/dev/null
        i=0
        while [ $i -lt 50 ] && [ "$(count_savers)" != 2 ]; do
            sleep 0.1
            i=$((i + 1))
        done
        processes=$(count_savers)
        process_runs "$SAVER_PID" && [ "$processes" = 2 ]
        check "an output removed takes its saver process, the others go on ($processes processes)" [ $? = 0 ]
        sleep 1
        if drawn 10 nested_left WL-1; then ok "the output left still shows its picture (brightness $mean)"; else
            not_ok "the output left still shows its picture (brightness $mean)"; fi
        wtype -s 500 x
        ended_with 10 0
        check "a key ends it with status 0 ($code)" [ $? = 0 ]
    else
        not_ok "jade s draws on both outputs of a nested sway (brightness $mean; $(tail -n 1 "$WORK/err"); nested sway: $(tail -n 1 "$WORK/nested.log"))"
    fi
    stop_savers
    kill "$nested"
    wait "$nested" 2>/dev/null
    sway_stop
else
    skip "$COMPOSITOR: an output removed: no IPC to close the window of a nested compositor's output"
fi

# --- Without the layer shell: a full-screen xdg_toplevel, on weston ------------------------------
# Weston offers no virtual input; its screenshots need its debug protocol.

if [ "$COMPOSITOR" = sway ]; then
    WESTON_RUNTIME=$(mktemp -d "${TMPDIR:-/tmp}/saver_weston.XXXXXX")
    set --
    if [ "$(id -u)" = 0 ]; then
        chown 65534:65534 "$WESTON_RUNTIME"
        set -- setpriv --reuid=65534 --regid=65534 --clear-groups
    fi
    chmod 700 "$WESTON_RUNTIME"
    env -i PATH="$PATH" HOME="$WESTON_RUNTIME" XDG_RUNTIME_DIR="$WESTON_RUNTIME" "$@" weston \
        --backend=headless-backend.so --use-gl --width=1024 --height=768 --socket=wayland-saver --idle-time=0 \
        --debug >"$WORK/weston.log" 2>&1 &
    weston=$!
    HELPER_PIDS="$HELPER_PIDS $weston"
    export XDG_RUNTIME_DIR="$WESTON_RUNTIME" WAYLAND_DISPLAY=wayland-saver
    i=0
    while [ $i -lt 100 ] && ! [ -S "$WESTON_RUNTIME/wayland-saver" ]; do
        sleep 0.1
        i=$((i + 1))
    done
    start_saver jade s
    i=0
    mean=
    while [ $i -lt 20 ]; do
        sleep 1
        rm -f "$WORK"/wayland-screenshot-*.png
        (cd "$WORK" && weston-screenshooter >/dev/null 2>&1)
        if cp "$WORK"/wayland-screenshot-*.png "$SHOTS/weston_jade.png" 2>/dev/null; then
            mean=$(convert "$SHOTS/weston_jade.png" -colorspace Gray -format '%[fx:mean] %[fx:standard_deviation]' info:)
            # shellcheck disable=SC2086
            picture $mean && break
        fi
        i=$((i + 1))
    done
    # Full screen, it hides weston's panel, a grey strip across the top (jade's
    # sparse strands leave that strip nearly black).
    panel=$(convert "$SHOTS/weston_jade.png" -crop 1024x32+0+0 +repage -colorspace Gray -format '%[fx:mean]' info:)
    # shellcheck disable=SC2086
    picture $mean && between "$panel" -1 0.1
    check "on weston (no layer shell) jade s draws full screen, over the panel (brightness $mean, top $panel)" [ $? = 0 ]
    kill -TERM "$SAVER_PID"
    ended_with 5 0
    check "and ends with status 0 on SIGTERM ($code)" [ $? = 0 ]
    stop_savers
    kill "$weston"
    wait "$weston" 2>/dev/null
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
