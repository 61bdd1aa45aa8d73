# A private Xvfb display for the test scripts and benchmarks (sourced, not run;
# POSIX sh, safe under set -eu; after processes.sh). xvfb_start sets XVFB_PID and exports DISPLAY; xvfb_stop ends the
# server and leaves neither its lock nor its socket behind, even when the server
# was killed with SIGKILL (which would leave both, and with them a display that
# looks taken to every later run).

XVFB_PID=
XVFB_NUMBER=

# The process id that display $1's lock file names, or nothing.
xvfb_lock_pid() {
    tr -dc 0-9 2>/dev/null <"/tmp/.X$1-lock"
}

# Whether display $1 is free: no lock and no socket, or a stale lock (its
# process is gone), which Xvfb takes over together with the socket.
xvfb_display_free() {
    if [ -e "/tmp/.X$1-lock" ]; then
        set -- "$(xvfb_lock_pid "$1")"
        [ -n "$1" ] && ! [ -d "/proc/$1" ]
        return
    fi
    [ ! -e "/tmp/.X11-unix/X$1" ]
}

# xvfb_start FIRST COUNT LOG [Xvfb screen options]: Xvfb with -noreset on the
# first free display of FIRST .. FIRST+COUNT-1 (default screen 1024x768x24),
# its output in LOG. Status 1 when none started.
xvfb_start() {
    local first="$1" count="$2" log="$3" n i
    shift 3
    [ $# -gt 0 ] || set -- -screen 0 1024x768x24
    xvfb_stop
    n=$first
    while [ "$n" -lt $((first + count)) ]; do
        if xvfb_display_free "$n"; then
            Xvfb ":$n" "$@" -nolisten tcp -noreset >"$log" 2>&1 &
            XVFB_PID=$!
            XVFB_NUMBER=$n
            i=0
            while [ $i -lt 50 ] && process_runs "$XVFB_PID"; do
                # Up, and ours: the lock names our server, not one that
                # someone else started on this display meanwhile.
                if DISPLAY=":$n" xdpyinfo >/dev/null 2>&1 &&
                    [ "$(xvfb_lock_pid "$n")" = "$XVFB_PID" ]; then
                    export DISPLAY=":$n"
                    return 0
                fi
                sleep 0.1
                i=$((i + 1))
            done
            xvfb_stop
        fi
        n=$((n + 1))
    done
    return 1
}

# Ends our server (SIGTERM, SIGKILL after 3 s) and removes what a killed
# server leaves behind. Harmless when none runs or it has already ended.
xvfb_stop() {
    local i=0
    [ -n "$XVFB_PID" ] || return 0
    kill "$XVFB_PID" 2>/dev/null || true
    while process_runs "$XVFB_PID" && [ $i -lt 30 ]; do
        sleep 0.1
        i=$((i + 1))
    done
    kill -9 "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    if [ "$(xvfb_lock_pid "$XVFB_NUMBER")" = "$XVFB_PID" ]; then
        rm -f "/tmp/.X$XVFB_NUMBER-lock" "/tmp/.X11-unix/X$XVFB_NUMBER"
    fi
    XVFB_PID=
    XVFB_NUMBER=
}
