#!/bin/sh
# The savers under the real XScreenSaver 6 daemon on a private Xvfb display.
#
# The daemon refuses to launch programs as root, so it runs as nobody with a
# throwaway HOME and a private app-defaults file (XFILESEARCHPATH) whose
# programs: list names only the saver under test; every program the daemon
# forks is checked against that list. It runs below subreaper.py, so that a
# program outliving its parent is reaped at once and seen to end.
#
#   activate -> our process runs on the daemon's window and draws, leaving a
#               32-bit window (no xscreensaver-gl) opaque
#   deactivate -> it is gone within a second of the daemon's stop signal, no
#                 zombie, nothing left over
# for each saver (cobalt from an installed tree, from a working directory
# without the mesh), twenty cycles in a row, and two X screens.
#
# Usage: xscreensaver_test.sh <directory with amber, cobalt, jade, opal, sphere.3d>
# Needs: xscreensaver, Xvfb, setpriv, xwininfo, xwd, ImageMagick, python3.
# Prints "ok - <what>" / "not ok - <what>" per check, then "N passed, M failed".

HERE=$(cd "$(dirname "$0")" && pwd)
SOURCE=$(cd "${1:?usage: xscreensaver_test.sh <bin dir>}" && pwd) || exit 2
. "$HERE/../lib/x11_test_lib.sh"

NOBODY=65534
DAEMON_PID=

# Copies of the programs that nobody can run, an installed-like tree for cobalt
# (mesh only in the data folder), an empty working directory for the daemon.
BIN="$WORK/bin"
TREE="$WORK/tree"
mkdir -p "$BIN" "$TREE/libexec/xscreensaver" "$TREE/share/corvel-savers" "$WORK/cwd" "$WORK/home" "$WORK/ad"
. "$HERE/../../scripts/lib/savers.sh"
for saver in $(saver_names); do cp "$SOURCE/$saver" "$BIN/$saver"; done
cp "$SOURCE/cobalt" "$TREE/libexec/xscreensaver/cobalt"
cp "$SOURCE/sphere.3d" "$TREE/share/corvel-savers/sphere.3d"
chmod -R a+rX "$WORK"
chown "$NOBODY:$NOBODY" "$WORK/home"

# start_daemon <program command line>: XScreenSaver with only that program,
# named in ~/.xscreensaver as the README says (the app-defaults list none).
start_daemon() {
    rm -rf "$WORK/home/.xscreensaver" "$WORK/daemon.log"
    printf 'programs: \\\n  GL: %s \\n\\\n\n' "$1" >"$WORK/home/.xscreensaver"
    chmod a+r "$WORK/home/.xscreensaver"
    cat >"$WORK/ad/XScreenSaver" <<EOF
*programs:
*mode: random
*timeout: 1:00:00
*cycle: 0:00:00
*lock: False
*fade: False
*unfade: False
*splash: False
*dpmsEnabled: False
*captureStderr: False
*verbose: True
EOF
    chmod a+r "$WORK/ad/XScreenSaver"
    (
        cd "$WORK/cwd" || exit 2
        exec python3 "$HERE/../helpers/subreaper.py" setpriv --reuid=$NOBODY --regid=$NOBODY --clear-groups \
            env -i HOME="$WORK/home" DISPLAY="$DISPLAY" XFILESEARCHPATH="$WORK/ad/%N" PATH=/usr/bin:/bin \
            LIBGL_ALWAYS_SOFTWARE=1 xscreensaver -no-splash >"$WORK/daemon.log" 2>&1
    ) &
    DAEMON_PID=$!
    on_exit_kill "$DAEMON_PID"
    within 10 daemon_answers
}
daemon_answers() { xscreensaver-command -version >/dev/null 2>&1; }

stop_daemon() {
    xscreensaver-command -exit >/dev/null 2>&1
    wait_gone "$DAEMON_PID" 5000
    kill "$DAEMON_PID" 2>/dev/null
    wait "$DAEMON_PID" 2>/dev/null
    DAEMON_PID=
}

# Every process below the daemon, one "pid state command" a line.
daemon_processes() {
    [ -n "$DAEMON_PID" ] || return 0
    ps -eo pid=,ppid=,stat=,args= | awk -v root="$DAEMON_PID" '
        { pid[NR] = $1; parent[NR] = $2; line[NR] = $0 }
        END {
            keep[root] = 1
            for (changed = 1; changed;) {
                changed = 0
                for (i = 1; i <= NR; i++)
                    if (keep[parent[i]] && !keep[pid[i]]) { keep[pid[i]] = 1; changed = 1 }
            }
            for (i = 1; i <= NR; i++) if (keep[pid[i]] && pid[i] != root) print line[i]
        }' | awk '{ $2 = ""; print }'
}

# Our programs running (not zombies) below the daemon: their pids.
our_pids() { daemon_processes | awk -v work="$WORK/" 'index($3, work) == 1 && $2 !~ /Z/ {print $1}'; }
# Zombies of ours. The daemon's own helper may stay a zombie for seconds: the
# daemon reaps it late, and that is its business.
zombies() { daemon_processes | awk '$2 ~ /Z/ && $3 !~ /^\[xscreensaver/' | wc -l; }

# Only the daemon's own parts and the programs of our list may ever run.
foreign_programs() {
    daemon_processes | awk -v work="$WORK/" '
        index($3, work) != 1 && $3 !~ /^(xscreensaver|setpriv|env)$/ &&
        $3 !~ /xscreensaver-(gfx|gl-visual|systemd|auth)$/ &&
        !($2 ~ /Z/ && $3 ~ /^\[xscreensaver/) {print}'
    grep 'forked "' "$WORK/daemon.log" 2>/dev/null | grep -v -e "forked \"$WORK/" -e 'forked "xscreensaver-gl-visual"' \
        -e 'forked "xscreensaver-gfx'
}
check_private_list() {
    local others pid
    others=$(foreign_programs)
    if [ -n "$others" ]; then
        not_ok "the daemon runs nothing but our programs: $others"
        for pid in $(daemon_processes | awk '{print $1}'); do kill "$pid" 2>/dev/null; done
        return 1
    fi
    return 0
}

# wait_for_ours <count> <seconds>: true once that many of our programs run.
ours_at_least() { [ "$(our_pids | wc -l)" -ge "$1" ]; }
wait_for_ours() { within "$2" ours_at_least "$1"; }

window_of() { tr '\0' '\n' <"/proc/$1/environ" 2>/dev/null | sed -n 's/^XSCREENSAVER_WINDOW=//p'; }

# The daemon's helper process that started a program of ours, if it still runs.
helper_of() {
    local parent
    parent=$(ps -o ppid= -p "$1" 2>/dev/null | tr -d ' ')
    # comm is cut to 15 characters; the command line is whole.
    case $(ps -o args= -p "${parent:-0}" 2>/dev/null) in xscreensaver-gfx*) echo "$parent" ;; esac
}

# deactivate_and_time: deactivates; true when the daemon's helper sent its stop
# signal within 10 s and all of ours ended within a second of it. The helper
# signals its programs and then ends itself, so its end marks the signal. How
# soon it gets there is the daemon's business: it can sleep through its own
# SIGTERM until the next X event arrives. daemon_ms is that delay, ended_ms ours.
deactivate_and_time() {
    local pids helpers helper pid start signalled left
    pids=$(our_pids)
    helpers=$(for pid in $pids; do helper_of "$pid"; done | sort -u)
    start=$(now_ms)
    xscreensaver-command -deactivate >/dev/null 2>&1
    for helper in $helpers; do
        if ! wait_gone "$helper" 10000; then
            why="the daemon's helper did not end within 10 s"
            return 1
        fi
    done
    signalled=$(now_ms)
    daemon_ms=$((signalled - start))
    for pid in $pids; do
        left=$((1000 - ($(now_ms) - signalled)))
        [ $left -lt 1 ] && left=1
        if ! wait_gone "$pid" $left; then
            why="still ran a second after its stop signal"
            return 1
        fi
    done
    ended_ms=$(($(now_ms) - signalled))
    return 0
}

# The daemon reaps its helper before it takes the next activation as a new one;
# a helper it has not yet reaped is relaunched as if it had failed.
no_helper() { ! daemon_processes | grep -q 'xscreensaver-gfx'; }
wait_helper_reaped() { within 20 no_helper; }

# Nothing of ours is left below the daemon, not even a zombie.
nothing_left() { [ "$(zombies).$(our_pids | wc -l)" = 0.0 ]; }

# opaque_on <window> <name>: without xscreensaver-gl the daemon's window is
# 32-bit ARGB, whose alpha a compositor shows: every pixel must be at 255.
opaque_on() {
    local depth alpha
    depth=$(xwininfo -id "$1" 2>/dev/null | awk '/Depth:/ {print $2}')
    if [ "$depth" != 32 ]; then
        ok "$2: the daemon's window has depth $depth, no alpha"
        return
    fi
    xwd -silent -id "$1" >"$WORK/window.xwd" 2>/dev/null
    alpha=$(python3 "$HERE/../helpers/xwd_alpha.py" "$WORK/window.xwd")
    check "$2 leaves the daemon's 32-bit window opaque ($alpha)" \
        sh -c "echo '$alpha' | grep -Eq ' lit [1-9][0-9]{3,} min_alpha 255 '"
}

# one_saver <name> <command line> <screenshot threshold> <seconds to draw>
one_saver() {
    local name=$1 pid win zombie_count left_count
    if ! start_daemon "$2"; then
        not_ok "xscreensaver starts as nobody for $name"
        return
    fi
    xscreensaver-command -activate >/dev/null 2>&1
    if wait_for_ours 1 10 && check_private_list; then
        pid=$(our_pids | head -1)
        win=$(window_of "$pid")
        check "$name runs under the daemon on its window ($win)" sh -c "[ -n '$win' ] && xwininfo -id '$win' >/dev/null 2>&1"
        if wait_bright "$4" "$3" "xss_$name"; then ok "$name draws on the daemon's screen (mean $mean)"; else
            not_ok "$name draws on the daemon's screen (mean $mean)"; fi
        opaque_on "$win" "$name"
        if deactivate_and_time; then ok "$name is gone within a second of its stop signal ($ended_ms ms, the daemon took $daemon_ms ms)"
        else not_ok "$name is gone within a second of its stop signal: $why"; fi
        within 0.5 nothing_left
        zombie_count=$(zombies)
        left_count=$(our_pids | wc -l)
        check "no zombie and nothing of ours left ($zombie_count zombies, $left_count left)" \
            [ "$zombie_count.$left_count" = 0.0 ]
        check "$name said nothing on stderr" sh -c "! grep -q -e 'cannot find' -e 'Error' '$WORK/daemon.log'"
    else
        not_ok "$name starts when the daemon activates"
    fi
    check_private_list
    stop_daemon
}

if ! start_xvfb -screen 0 1024x768x24; then
    not_ok "Xvfb starts"
    finish
    exit 1
fi

one_saver amber "$BIN/amber --root" 0.01 20
one_saver jade "$BIN/jade --root" 0.01 15
one_saver opal "$BIN/opal --root" 0.01 20
# Installed tree, a working directory without the mesh: found in the data folder.
one_saver cobalt "$TREE/libexec/xscreensaver/cobalt --root" 0.005 15

# --- twenty activations in a row ------------------------------------------------
if start_daemon "$BIN/jade --root"; then
    bad=0
    slowest=0
    slowest_daemon=0
    cycle=0
    while [ $cycle -lt 20 ]; do
        if ! wait_helper_reaped; then
            bad=$((bad + 1))
            echo "# cycle $cycle: the daemon still had its last helper after 20 s"
        fi
        xscreensaver-command -activate >/dev/null 2>&1
        if ! wait_for_ours 1 10 || ! check_private_list; then
            bad=$((bad + 1))
            echo "# cycle $cycle: jade did not start"
        elif ! deactivate_and_time; then
            bad=$((bad + 1))
            echo "# cycle $cycle: jade: $why"
        else
            [ "$ended_ms" -gt "$slowest" ] && slowest=$ended_ms
            [ "$daemon_ms" -gt "$slowest_daemon" ] && slowest_daemon=$daemon_ms
        fi
        cycle=$((cycle + 1))
    done
    within 0.5 nothing_left
    check "twenty activate/deactivate cycles all start and end (slowest end $slowest ms, slowest signal $slowest_daemon ms)" [ $bad = 0 ]
    check "after them: no zombie, nothing of ours left" [ "$(zombies).$(our_pids | wc -l)" = 0.0 ]
    stop_daemon
else
    not_ok "xscreensaver starts for the cycles"
fi
xvfb_stop

# --- two X screens: two processes, both screens drawn ---------------------------
if start_xvfb -screen 0 800x600x24 -screen 1 640x480x24 && start_daemon "$BIN/jade --root"; then
    xscreensaver-command -activate >/dev/null 2>&1
    if wait_for_ours 2 15 && check_private_list; then
        screens=$(for pid in $(our_pids); do tr '\0' '\n' <"/proc/$pid/environ" | sed -n 's/^DISPLAY=//p'; done | sort | tr '\n' ' ')
        check "one jade per screen ($screens)" [ "$screens" = "$DISPLAY.0 $DISPLAY.1 " ]
        if wait_bright 15 0.01 screen0 0; then ok "screen 0 is drawn (mean $mean)"; else not_ok "screen 0 is drawn (mean $mean)"; fi
        if wait_bright 15 0.01 screen1 1; then ok "screen 1 is drawn (mean $mean)"; else not_ok "screen 1 is drawn (mean $mean)"; fi
        if deactivate_and_time; then ok "both are gone within a second of their stop signal ($ended_ms ms)"; else
            not_ok "both are gone within a second of their stop signal: $why"; fi
    else
        not_ok "two jade processes start on two screens"
    fi
    stop_daemon
else
    not_ok "Xvfb with two screens and the daemon start"
fi

finish
