# Shared by the X11 test scripts (sourced, not run; POSIX sh): results and
# waiting (checks.sh), a private Xvfb display, a scratch folder, the test
# window helper, screenshots.
#
# Set before sourcing: HERE (this folder); SAVER_TEST_WORK to use a scratch
# folder that belongs to someone else. Provides WORK (a scratch folder, removed
# at exit when it is our own) and DISPLAY once start_xvfb succeeded.
# SAVER_X11_DISPLAY_FROM: the first display number to try (default 57).

. "$HERE/../lib/checks.sh"
. "$HERE/../lib/processes.sh"
. "$HERE/../lib/xvfb.sh"
CLEANUP_PIDS=
if [ -n "${SAVER_TEST_WORK:-}" ]; then
    WORK=$SAVER_TEST_WORK
    OWN_WORK=no
else
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/saver_x11_test.XXXXXX") || exit 2
    chmod 755 "$WORK"
    OWN_WORK=yes
fi
export LIBGL_ALWAYS_SOFTWARE=1

# Processes to end at exit, besides Xvfb.
on_exit_kill() { CLEANUP_PIDS="$CLEANUP_PIDS $*"; }

lib_cleanup() {
    local pid
    for pid in $CLEANUP_PIDS; do kill "$pid" 2>/dev/null; done
    xvfb_stop
    wait 2>/dev/null
    [ "$OWN_WORK" = yes ] && rm -rf "$WORK"
}
trap lib_cleanup EXIT
trap 'exit 1' INT TERM

# start_xvfb [Xvfb screen options...]: a private display with -noreset.
start_xvfb() { xvfb_start "${SAVER_X11_DISPLAY_FROM:-57}" 60 "$WORK/xvfb.log" "$@"; }

# The test window helper, compiled once into $WORK.
TEST_WINDOW="$WORK/x11_test_window"
build_test_window() {
    [ -x "$TEST_WINDOW" ] || cc -O2 -o "$TEST_WINDOW" "$HERE/../helpers/x11_test_window.c" -lX11 -lGL
}

# open_window <file> [helper options] WIDTH HEIGHT: starts the helper; its stdin
# is the fifo <file>.in (write "destroy" to it), its hex id lands in <file>.
WINDOW_PID=
open_window() {
    local file=$1
    shift
    rm -f "$file" "$file.in"
    mkfifo "$file.in"
    "$TEST_WINDOW" "$@" <"$file.in" >"$file" 2>/dev/null &
    WINDOW_PID=$!
    on_exit_kill "$WINDOW_PID"
    exec 9>"$file.in"  # keeps the fifo open; "destroy" is written through it
    within 5 test -s "$file"
}
destroy_window() { echo destroy >&9; exec 9>&-; }

# Mean brightness (0..1) of the root window of a screen, or of a part of it:
#   brightness <name> [screen] [WxH+X+Y]
brightness() {
    local shot="$WORK/$1.png"
    import -display "${DISPLAY%.*}.${2:-0}" -window root "$shot" 2>/dev/null || return 1
    if [ -n "$3" ]; then
        convert "$shot" -crop "$3" +repage -colorspace Gray -format '%[fx:mean]' info: 2>/dev/null
    else
        convert "$shot" -colorspace Gray -format '%[fx:mean]' info: 2>/dev/null
    fi
}
brighter_than() { awk -v m="$1" -v t="$2" 'BEGIN {exit !(m != "" && m + 0 > t + 0)}'; }

# wait_bright <seconds> <threshold> <name> [screen] [crop]: true once the
# screenshot (one a second) is brighter than the threshold; the last mean is in
# $mean.
wait_bright() {
    local seconds=$1
    shift
    mean=0
    poll 1 "$seconds" bright_now "$@"
}
bright_now() { # bright_now <threshold> <brightness arguments...>
    local threshold=$1
    shift
    mean=$(brightness "$@")
    brighter_than "$mean" "$threshold"
}

# wait_gone <pid> <ms>: true when the process no longer runs (gone or a zombie)
# within the time.
wait_gone() {
    local deadline=$(($(now_ms) + $2))
    while process_runs "$1"; do
        [ "$(now_ms)" -ge "$deadline" ] && return 1
        sleep 0.02
    done
    return 0
}
