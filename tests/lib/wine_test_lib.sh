# shellcheck shell=bash
# Shared by the Wine test scripts (sourced, not run; bash): besides what
# wine_setup.sh (architectures, loaders, Xvfb) and checks.sh (results, waiting)
# give, where this clone keeps its Wine prefixes, a prefix made once, the
# programs a script starts and ends, the windows and pictures it waits for, and
# the cleanup at exit.
#
# A program is followed in one of two ways: by its process id (wine_start,
# wait_pid_exit), or as a run in a folder of its own that the program's exit
# code is written to (start_run, wait_run_exit), for runs whose folder holds
# the doubles and logs the checks read.

wine_test_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=wine_setup.sh
. "$wine_test_dir/wine_setup.sh"
# shellcheck source=checks.sh
. "$wine_test_dir/checks.sh"

# This clone's Wine prefixes, under its own build folder: a run from another
# clone on the same machine never shares one, nor ends the programs of one.
wine_prefixes=$(cd "$wine_test_dir/../.." && pwd)/build/wine

# wine_prefix_made <log>: makes $WINEPREFIX (wineboot, without Mono's and
# Gecko's install prompts, its output in <log>) unless it holds a registry
# already, and waits until Wine's start-up programs there have ended.
wine_prefix_made() {
    [ -f "$WINEPREFIX/system.reg" ] && return 0
    mkdir -p "$(dirname "$WINEPREFIX")"
    WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" wineboot -i >"$1" 2>&1
    "$wineserver" -w
}

# --- processes and the cleanup at exit ---------------------------------------

# At exit: ends the script's background jobs that still run (its runs and
# helpers), then what is left in its own prefix (Wine's services, a program a
# failed check left running), then its display.
wine_cleanup() {
    local pid
    for pid in $(jobs -rp); do
        [ "$pid" = "$XVFB_PID" ] && continue
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    [ -n "${WINEPREFIX:-}" ] && [ -n "${wineserver:-}" ] && "$wineserver" -k >/dev/null 2>&1
    xvfb_stop
}
trap wine_cleanup EXIT

# wine_start <folder> <program> [arguments...]: runs the program under Wine
# from that folder in the background, its output discarded; its process id in
# started.
wine_start() {
    local folder=$1
    shift
    (cd "$folder" && exec "$wine" "$@" >/dev/null 2>&1) &
    started=$!
}

running() { kill -0 "$1" 2>/dev/null; }
pid_ended() { ! running "$1"; }

# wait_pid_exit <pid> <seconds>: waits for the process (a child of this shell)
# to end; its exit code in rc, or "running".
wait_pid_exit() {
    within "$2" pid_ended "$1"
    if running "$1"; then
        rc=running
    else
        wait "$1"
        rc=$?
    fi
}
exit_is() { [ "$rc" = "$1" ]; }

# stop_pid <pid>: ends the process if it still runs.
stop_pid() {
    kill "$1" 2>/dev/null
    wait "$1" 2>/dev/null
}

# start_run <program> [arguments...]: runs the program under Wine from the run
# folder $run_dir in the background, its output in $run_dir/wine.log; its exit
# code is written to $run_dir/exit when it ends. With run_limit set (seconds)
# the run is ended after that long. WINEDEBUG and WINEDLLOVERRIDES set for
# the call hold for the program (WINEDEBUG=+relay start_run ...).
start_run() {
    rm -f "$run_dir/exit"
    (
        cd "$run_dir" || exit
        ${run_limit:+timeout "$run_limit"} "$wine" "$@" >"$run_dir/wine.log" 2>&1 &
        echo $! >"$run_dir/run.pid"
        wait $!
        echo $? >"$run_dir/exit"
    ) &
    run_pid=$!
}
run_ended() { [ -s "$run_dir/exit" ]; }
# wait_run_exit <seconds>: true once the run has ended.
wait_run_exit() { within "$1" run_ended; }
run_exit_is() { run_ended && [ "$(cat "$run_dir/exit")" = "$1" ]; }
# stop_run: ends a run that a failed check left running.
stop_run() {
    [ -n "${run_pid:-}" ] || return 0
    run_ended || kill "$(cat "$run_dir/run.pid" 2>/dev/null)" 2>/dev/null
    wait "$run_pid" 2>/dev/null
    run_pid=
}

# --- windows and pictures -----------------------------------------------------

# Visible X windows whose title is exactly $1, one id a line.
windows_titled() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null; }

# wait_window <title> <seconds>: true once a visible window has that title; its
# id in wid.
wait_window() {
    wid=
    within "$2" window_shown "$1"
}
window_shown() {
    wid=$(windows_titled "$1" | head -n 1)
    [ -n "$wid" ]
}

# The full-screen saver's window (titled "Screen Saver"), shown or not yet.
saver_window() { xdotool search --name '^Screen Saver$' 2>/dev/null | head -n 1; }

# wait_saver_window <seconds>: true once the run's saver window exists; false
# as soon as the run has ended without one.
wait_saver_window() { within "$1" saver_window_or_end && ! run_ended; }
saver_window_or_end() { [ -n "$(saver_window)" ] || run_ended; }

# Geometry of X window $1 as "x y width height".
geometry() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
        /Width:/ {w = $NF} /Height:/ {h = $NF} END {print x, y, w, h}'
}

# Number of colours in the screen's rectangle $1 (WxH+X+Y); the screenshot in $2.
colours_in() {
    import -window root "$2" 2>/dev/null && convert "$2" -crop "$1" +repage -format '%k' info: 2>/dev/null
}

# wait_drawing <WxH+X+Y> <screenshot> <seconds>: true once the rectangle holds
# more than 50 colours (an effect draws there), a screenshot a second; the last
# one in <screenshot>.
wait_drawing() { poll 1 "$3" drawing_in "$1" "$2"; }
drawing_in() {
    local count
    count=$(colours_in "$1" "$2")
    [ "${count:-0}" -gt 50 ]
}
