#!/bin/sh
# The Linux programs as Wayland screen savers on Debian 13's desktop compositors,
# KWin 6.3 and mutter 48, headless, each in a session bus of its own, from the
# root in build/debian13-desktops (made first when missing; DEBIAN13_DESKTOPS_ROOT
# names another):
#   kwin    each saver covers the output as a layer surface and a key (KWin's
#           fake input) ends it; pointer motion ends it; SIGTERM ends it at
#           once (the time printed); swayidle (ext-idle-notify-v1) starts it; its picture where
#           KWin's ScreenShot2 answers.
#   mutter  each saver covers the output as a full-screen xdg_toplevel and a key
#           (mutter's RemoteDesktop) ends it; pointer motion ends it; SIGTERM;
#           corvel-saver-idle starts it on idle (IdleMonitor), again after the
#           user was back, and ends with it; its failures say why in one line.
# Both: nothing left running. Covering is read from the saver's protocol log
# (WAYLAND_DEBUG): the size the compositor configured, the buffers committed.
# Figures (printed, not judged): start to first frame, input to exit.
#
# Usage: desktop_saver_test.sh kwin|mutter <bin dir with the savers, wayland_test_client,
#        desktop_test_bus, corvel-saver-idle>
# Prints "ok - ", "not ok - " and "skip - " lines, then "N passed, M failed". A
# root that cannot be built is one "not run - " line and no checks.

HERE=$(cd "$(dirname "$0")" && pwd)
WHICH=${1:?usage: desktop_saver_test.sh kwin|mutter <bin dir>}
BIN=$(cd "${2:?usage: desktop_saver_test.sh kwin|mutter <bin dir>}" && pwd) || exit 2
WORK=$(mktemp -d "${TMPDIR:-/tmp}/desktop_saver_test.XXXXXX") || exit 2
chmod 755 "$WORK"
. "$HERE/../../scripts/lib/savers.sh"
SAVERS=$(saver_names)
export LIBGL_ALWAYS_SOFTWARE=1

. "$HERE/../lib/checks.sh"
. "$HERE/../lib/processes.sh"
. "$HERE/../lib/running_savers.sh"
. "$HERE/../lib/debian13_root.sh"
. "$HERE/../lib/desktop.sh"
skip() { echo "skip - $*"; }
SAVER_PID=
HELPER_PIDS=

ROOT=${DEBIAN13_DESKTOPS_ROOT:-$(cd "$HERE/../.." && pwd)/build/debian13-desktops}
case $WHICH in kwin | mutter) ;; *) echo "desktop_saver_test.sh: kwin or mutter, not $WHICH" >&2 && exit 2 ;; esac
if ! debian13_root_ready "$ROOT" "$DEBIAN13_DESKTOP_PACKAGES"; then
    echo "not run - $WHICH: no Debian 13 desktops root: $DEBIAN13_ROOT_REASON"
    echo "0 passed, 0 failed"
    exit 0
fi

cleanup() {
    for pid in $SAVER_PID $HELPER_PIDS; do kill "$pid" 2>/dev/null; done
    desktop_stop
    wait 2>/dev/null
    rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

if ! desktop_start "$WHICH" "$ROOT" "$WORK/desktop.log"; then
    not_ok "headless $WHICH starts ($(tail -n 1 "$WORK/desktop.log"))"
    echo "$passed passed, $failed failed"
    exit 1
fi
package=kwin-wayland
[ "$WHICH" = kwin ] || package=mutter
echo "# on $WHICH $(dpkg-query --admindir="$ROOT/var/lib/dpkg" -W -f='${Version}' "$package")"

# The input a user gives, through what the compositor offers (one command each).
if [ "$WHICH" = kwin ]; then
    KEY_COMMAND="$BIN/wayland_test_client kwin-input key"
    MOVE_COMMAND="$BIN/wayland_test_client kwin-input move 50 30"
else
    KEY_COMMAND="setpriv --reuid=65534 --regid=65534 --clear-groups $BIN/desktop_test_bus key"
    MOVE_COMMAND="setpriv --reuid=65534 --regid=65534 --clear-groups $BIN/desktop_test_bus move 50 30"
fi
# shellcheck disable=SC2086
press_key() { $KEY_COMMAND; }
# shellcheck disable=SC2086
move_pointer() { $MOVE_COMMAND; }

# Savers started inside the root (by its swayidle) are seen at their path there.
RUNNING_SAVERS_ROOT=$ROOT

# start_saver <saver>: full screen, its protocol log in $WORK/err.
start_saver() {
    (cd "$WORK" && WAYLAND_DEBUG=client exec "$BIN/$1" s >"$WORK/out" 2>"$WORK/err") &
    SAVER_PID=$!
}
# covers <seconds>: within that time the saver's surface was configured to the
# whole 1024x768 output (a layer surface on KWin, a full-screen toplevel on
# mutter), and it has committed ten frames, the last in a 1024x768 buffer.
# $seen says what was read.
covers() {
    if [ "$WHICH" = kwin ]; then
        pattern='zwlr_layer_surface_v1@[0-9]*\.configure([0-9]*, \([0-9]*\), \([0-9]*\))'
    else
        pattern='xdg_toplevel@[0-9]*\.configure(\([0-9]*\), \([0-9]*\), array.*'
    fi
    i=0
    while [ $i -lt $(($1 * 5)) ]; do
        configured=$(sed -n "s/.*$pattern/\\1x\\2/p" "$WORK/err" | grep -v '^0x0$' | tail -n 1)
        buffer=$(sed -n 's/.*create_buffer(new id wl_buffer@[0-9]*, [0-9]*, \([0-9]*\), \([0-9]*\),.*/\1x\2/p' \
            "$WORK/err" | tail -n 1)
        frames=$(grep -c 'wl_surface@[0-9]*\.commit()' "$WORK/err")
        seen="configured ${configured:-never}, buffer ${buffer:-none}, $frames commits"
        [ "$configured" = 1024x768 ] && [ "$buffer" = 1024x768 ] && [ "$frames" -ge 10 ] && return 0
        sleep 0.2
        i=$((i + 1))
    done
    return 1
}

role=layer-shell
[ "$WHICH" = kwin ] || role="full-screen xdg_toplevel"

# --- Each saver covers the output, and a key ends it ----------------------------------

for saver in $SAVERS; do
    start_saver "$saver"
    covers 20
    check "$saver s covers the output as a $role ($seen)" [ $? = 0 ]
    processes=$(count_savers)
    check "$saver s runs as two processes, one per output and the supervisor ($processes)" [ "$processes" = 2 ]
    press_key
    ended_with 10 0
    check "a key ends $saver s with status 0 ($code)" [ $? = 0 ]
    stop_savers
done

# --- Its picture --------------------------------------------------------------------

if [ "$WHICH" = kwin ]; then
    # Written by the helper, which runs as the bus's user.
    mkdir -p "$WORK/shot" && { [ "$(id -u)" != 0 ] || chown 65534 "$WORK/shot"; }
    start_saver jade
    if covers 20 && sleep 1 && as_nobody "$BIN/desktop_test_bus" kwin-screenshot "$WORK/shot/jade.ppm" 2>"$WORK/shot.err"; then
        mean=$(convert "$WORK/shot/jade.ppm" -colorspace Gray -format '%[fx:mean] %[fx:standard_deviation]' info:)
        # shellcheck disable=SC2086
        set -- $mean
        awk -v m="$1" -v d="$2" 'BEGIN {exit !(m < 0.6 && d > 0.03)}'
        check "KWin's screenshot shows jade's picture (brightness $mean)" [ $? = 0 ]
    else
        skip "kwin: no picture: $(cat "$WORK/shot.err") (on its virtual backend, with no DRM device, KWin composites with QPainter and loads no screenshot effect)"
    fi
    stop_savers
else
    names=$(as_nobody gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
        --method org.freedesktop.DBus.ListNames | grep -o "org\.gnome\.[A-Za-z.]*" | tr '\n' ' ')
    skip "mutter: no picture: mutter alone offers no screenshot service (org.gnome.Shell.Screenshot is gnome-shell's; ScreenCast streams through PipeWire, not in this root); its bus: $names"
fi

# --- Pointer motion and SIGTERM (jade) -------------------------------------------------------

start_saver jade
if covers 20; then
    move_pointer
    ended_with 10 0
    check "pointer motion (50, 30) ends jade s with status 0 ($code)" [ $? = 0 ]
else
    not_ok "jade s covers the output for the pointer check ($seen)"
fi
stop_savers

start_saver jade
if covers 20; then
    elapsed=$(python3 "$HERE/../helpers/end_timer.py" "$SAVER_PID" 3000 kill -TERM "$SAVER_PID")
    # A second only a loop the signal does not wake misses; the time is the figure.
    [ "$elapsed" != timeout ] && [ "$elapsed" -le 1000 ]
    check "SIGTERM ends jade s at once ($elapsed ms)" [ $? = 0 ]
    ended_with 1 0
    check "with status 0 ($code)" [ $? = 0 ]
else
    not_ok "jade s covers the output for the SIGTERM check ($seen)"
fi
stop_savers

# --- KDE: swayidle (Debian 13's, on ext-idle-notify-v1) starts it ------------------------------

if [ "$WHICH" = kwin ]; then
    # Run in the root, it starts the saver built here through a bind mount.
    (
        export DEBIAN13_BIND="$BIN"
        debian13_run "$ROOT" setpriv --reuid=65534 --regid=65534 --clear-groups env -i PATH=/usr/bin:/bin \
            XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" WAYLAND_DISPLAY="$WAYLAND_DISPLAY" LIBGL_ALWAYS_SOFTWARE=1 \
            swayidle -w timeout 1 "cd '$WORK' && exec '$BIN/jade' s"
    ) >"$WORK/swayidle.log" 2>&1 &
    idle=$!
    HELPER_PIDS="$HELPER_PIDS $idle"
    savers_become 2
    check "swayidle -w timeout 1 'jade s' starts it after 1 s idle ($processes processes)" [ "$processes" = 2 ]
    sleep 1
    press_key
    savers_become 0
    check "a key ends it ($processes saver processes left)" [ "$processes" = 0 ]
    # Its idle notification is armed again: the next idle second starts another.
    savers_become 2
    check "after the key, the next idle second starts it again ($processes processes)" [ "$processes" = 2 ]
    for child in $(ps -o pid= --ppid "$idle"); do kill "$child" 2>/dev/null; done
    kill "$idle" 2>/dev/null
    wait "$idle" 2>/dev/null
    stop_savers
fi

# --- GNOME: corvel-saver-idle ---------------------------------------------------------------------

if [ "$WHICH" = mutter ]; then
    WATCHER="$BIN/corvel-saver-idle"
    # fails_alone <text> <command...>: status 1 and one line on stderr holding the text.
    fails_alone() {
        text=$1
        shift
        "$@" >/dev/null 2>"$WORK/watcher.err"
        code=$?
        line=$(cat "$WORK/watcher.err")
        [ "$code" = 1 ] && [ "$(wc -l <"$WORK/watcher.err")" = 1 ] && grep -q "$text" "$WORK/watcher.err"
    }
    fails_alone 'usage' "$WATCHER" 5
    check "corvel-saver-idle without a saver: status 1 ($code): $line" [ $? = 0 ]
    fails_alone 'whole number' "$WATCHER" 0 jade
    check "with 0 seconds: status 1 ($code): $line" [ $? = 0 ]
    fails_alone 'no saver program' "$WATCHER" 5 nosuch
    check "with an unknown saver: status 1 ($code): $line" [ $? = 0 ]
    fails_alone 'no session bus' env -u DBUS_SESSION_BUS_ADDRESS -u DISPLAY XDG_RUNTIME_DIR="$WORK" "$WATCHER" 5 jade
    check "without a session bus: status 1 ($code): $line" [ $? = 0 ]
    # (the bus daemon's own complaints kept apart)
    env XDG_RUNTIME_DIR="$WORK" dbus-run-session -- sh -c 'exec "$0" 5 jade 2>"$1"' "$WATCHER" "$WORK/watcher.err" \
        >/dev/null 2>&1
    code=$?
    line=$(cat "$WORK/watcher.err")
    [ "$code" = 1 ] && [ "$(wc -l <"$WORK/watcher.err")" = 1 ] && grep -q 'no GNOME idle monitor' "$WORK/watcher.err"
    check "on a session bus without mutter: status 1 ($code): $line" [ $? = 0 ]

    (cd "$WORK" && exec setpriv --reuid=65534 --regid=65534 --clear-groups "$WATCHER" 3 jade >"$WORK/watcher.out" 2>&1) &
    watcher=$!
    HELPER_PIDS="$HELPER_PIDS $watcher"
    # runs_saver <seconds>: the watcher's saver runs (both processes) within that time.
    runs_saver() {
        i=0
        while [ $i -lt $(($1 * 10)) ] && [ "$(count_savers)" != 2 ]; do
            sleep 0.1
            i=$((i + 1))
        done
        [ "$(count_savers)" = 2 ]
    }
    gone_saver() {
        i=0
        while [ $i -lt 50 ] && [ "$(count_savers)" != 0 ]; do
            sleep 0.1
            i=$((i + 1))
        done
        [ "$(count_savers)" = 0 ]
    }
    # The session has been idle since the last check's input for longer than 3 s.
    runs_saver 10
    check "corvel-saver-idle 3 jade runs jade s once the session is idle ($(count_savers) processes)" [ $? = 0 ]
    press_key
    gone_saver
    check "a key (RemoteDesktop) ends it ($(count_savers) saver processes left)" [ $? = 0 ]
    sleep 1
    check "one second after the key it has not started again ($(count_savers) processes)" [ "$(count_savers)" = 0 ]
    runs_saver 10
    check "idle 3 s again, it runs jade s again ($(count_savers) processes)" [ $? = 0 ]
    move_pointer
    gone_saver
    check "pointer motion ends that one ($(count_savers) left)" [ $? = 0 ]
    runs_saver 10
    check "and the next idle time starts a third ($(count_savers) processes)" [ $? = 0 ]
    kill -TERM "$watcher"
    wait "$watcher"
    code=$?
    gone_saver && [ "$code" = 0 ]
    check "SIGTERM ends the watcher with status 0 ($code) and its saver ($(count_savers) left)" [ $? = 0 ]
    [ -s "$WORK/watcher.out" ] && sed 's/^/# watcher: /' "$WORK/watcher.out"
    stop_savers
fi

# --- Figures: start to first frame, input to exit (printed, not judged) -------------------------

first=$(cd "$HERE/../../bench/wayland" && python3 -c 'import sys, wayland_bench as b
print("%.0f" % b.start_up(sys.argv[1], "jade")[-1])' "$BIN" 2>/dev/null)
start_saver jade
exit_ms=
# shellcheck disable=SC2086
covers 20 && exit_ms=$(python3 "$HERE/../helpers/end_timer.py" "$SAVER_PID" 5000 $KEY_COMMAND)
stop_savers
note=
[ "$WHICH" = kwin ] || note=" (with the helper's 300 ms wait for mutter's new virtual keyboard)"
echo "# jade on $WHICH: start to first frame ${first:-?} ms, key to exit ${exit_ms:-?} ms$note"

# --- Nothing left -----------------------------------------------------------------------------

processes=$(count_savers)
check "no saver process is left ($processes)" [ "$processes" = 0 ]

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
