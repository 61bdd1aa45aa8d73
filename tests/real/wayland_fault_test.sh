#!/bin/sh
# The Wayland saver against compositors that misbehave or are crowded: one that
# takes the connection and never answers (it gives up after a few seconds with
# one line and status 1, and SIGTERM, SIGINT and SIGHUP end it at once with 0
# while it waits); a second saver that names the same socket another way
# (a name in $XDG_RUNTIME_DIR, then the path) exits 0 and leaves the first; a
# locker that inhibits input (swaylock 1.7 on sway 1.7) ends the saver;
# SIGTERM while sway or weston is stopped, and either killed, end it promptly.
# The end times are printed in milliseconds; the checks allow 1 s.
#
# Usage: wayland_fault_test.sh <directory with amber, jade, ...>
# Needs: sway, grim, swaylock, weston, ImageMagick (convert), python3.
# Prints "ok - <what>" / "not ok - <what>" per check, then "N passed, M failed".

HERE=$(cd "$(dirname "$0")" && pwd)
BIN=$(cd "${1:?usage: wayland_fault_test.sh <bin dir>}" && pwd) || exit 2
WORK=$(mktemp -d "${TMPDIR:-/tmp}/wayland_fault_test.XXXXXX") || exit 2
export LIBGL_ALWAYS_SOFTWARE=1

. "$HERE/../lib/checks.sh"
. "$HERE/../lib/processes.sh"
. "$HERE/../lib/sway.sh"
SAVER_PID=
HELPER_PIDS=
WESTON_PID=
WESTON_RUNTIME=

cleanup() {
    for pid in $SAVER_PID $HELPER_PIDS; do kill "$pid" 2>/dev/null; done
    exec 8>&- 9<&-
    [ -z "$SWAY_PID" ] || kill -CONT "$SWAY_PID" 2>/dev/null
    [ -z "$WESTON_PID" ] || kill -CONT "$WESTON_PID" 2>/dev/null
    [ -z "$WESTON_PID" ] || kill "$WESTON_PID" 2>/dev/null
    sway_stop
    wait 2>/dev/null
    rm -rf "$WORK" ${WESTON_RUNTIME:+"$WESTON_RUNTIME"}
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# start_saver <saver> <environment...>: runs `<saver> s` from the scratch
# folder with that environment; stderr in $WORK/err.
start_saver() {
    saver=$1
    shift
    (cd "$WORK" && exec env "$@" "$BIN/$saver" s >/dev/null 2>"$WORK/err") &
    SAVER_PID=$!
}

# ended_with <seconds> <status>: the started saver has ended in time with that
# status ($code).
saver_ended() { [ ! -e "/proc/$SAVER_PID" ] || [ "$(sed 's/.*) //' "/proc/$SAVER_PID/stat" | cut -c1)" = Z ]; }
ended_with() {
    within "$1" saver_ended || return 1
    wait "$SAVER_PID"
    code=$?
    SAVER_PID=
    [ "$code" = "$2" ]
}

# end_ms <command...>: runs the command and prints the milliseconds until the
# started saver has ended (or "timeout" after 3 s).
end_ms() { python3 "$HERE/../helpers/end_timer.py" "$SAVER_PID" 3000 "$@"; }
under_a_second() { [ "$1" != timeout ] && [ "$1" -lt 1000 ]; }

# --- A compositor that never answers ----------------------------------------------------------

python3 "$HERE/../helpers/wayland_silent_server.py" "$WORK/wayland-silent" 60 >"$WORK/silent.out" 2>&1 &
HELPER_PIDS="$HELPER_PIDS $!"
within 5 grep -q ready "$WORK/silent.out"
silent="XDG_RUNTIME_DIR=$WORK WAYLAND_DISPLAY=wayland-silent"

# shellcheck disable=SC2086
start_saver amber $silent
start=$(now_ms)
ended_with 15 1
elapsed=$(($(now_ms) - start))
line=$(head -n 1 "$WORK/err")
[ "$code" = 1 ] && [ "$(wc -l <"$WORK/err")" = 1 ]
check "a compositor that never answers: amber s gives up after $elapsed ms with status 1 ($code): $line" [ $? = 0 ]

for signal in TERM INT HUP; do
    connections=$(grep -c connected "$WORK/silent.out")
    # shellcheck disable=SC2086
    start_saver amber $silent
    within 5 sh -c "[ \$(grep -c connected '$WORK/silent.out') -gt $connections ]"
    sleep 0.2
    elapsed=$(end_ms kill -"$signal" "$SAVER_PID")
    ended_with 1 0
    under_a_second "$elapsed" && [ "$code" = 0 ]
    check "SIG$signal while it waits for the first answer ends it in $elapsed ms with status 0 ($code)" [ $? = 0 ]
done

# --- On sway ---------------------------------------------------------------------------------------

if ! sway_start "$WORK/sway.log"; then
    not_ok "headless sway starts ($(tail -n 1 "$WORK/sway.log"))"
    finish
    exit 1
fi

# The saver processes of this folder's programs now running (zombies are not).
count_savers() {
    for proc in /proc/[0-9]*; do
        exe=$(readlink "$proc/exe" 2>/dev/null) || continue
        case $exe in "$BIN"/*) grep -q '^[^)]*) [^Z]' "$proc/stat" 2>/dev/null && echo "${proc#/proc/}" ;; esac
    done | wc -l
}

# drawn: true once a screenshot shows a saver's picture, dark with bright
# lines, not the empty output's flat grey (tried for up to 20 s).
is_picture() {
    timeout 10 grim "$WORK/shot.png" 2>/dev/null || return 1
    mean=$(convert "$WORK/shot.png" -colorspace Gray -format '%[fx:mean] %[fx:standard_deviation]' info:)
    awk -v m="${mean% *}" -v d="${mean#* }" 'BEGIN {exit !(m < 0.6 && d > 0.03)}'
}
drawn() { poll 1 20 is_picture; }

# The one-at-a-time lock, reached through two spellings of one socket.
start_saver jade WAYLAND_DISPLAY="$WAYLAND_DISPLAY"
two_processes() { [ "$(count_savers)" = 2 ]; }
if within 10 two_processes; then
    (cd "$WORK" && WAYLAND_DISPLAY="$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" timeout 10 "$BIN/amber" s >/dev/null 2>&1)
    code=$?
    processes=$(count_savers)
    kill -0 "$SAVER_PID" 2>/dev/null && [ "$code" = 0 ] && [ "$processes" = 2 ]
    check "with $WAYLAND_DISPLAY taken, amber s on \$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY exits $code and the first runs on ($processes processes)" [ $? = 0 ]
    elapsed=$(end_ms kill -TERM "$SAVER_PID")
    ended_with 1 0
    echo "# SIGTERM on a live sway: ended in $elapsed ms"
else
    not_ok "jade s starts its saver process for the lock check"
fi

# A locker that inhibits input (swaylock 1.7 on sway 1.7 has no session lock):
# the saver learns of it by the pointer, which leaves for none of ours (a
# virtual one, over the output from before the saver starts).
mkfifo "$WORK/pointer.in" "$WORK/pointer.out"
"$BIN/wayland_test_client" pointer - <"$WORK/pointer.in" >"$WORK/pointer.out" 2>"$WORK/pointer.err" &
HELPER_PIDS="$HELPER_PIDS $!"
exec 8>"$WORK/pointer.in" 9<"$WORK/pointer.out"
echo "move 300 200" >&8
read -r answer <&9
start_saver jade WAYLAND_DISPLAY="$WAYLAND_DISPLAY"
if drawn; then
    set --
    [ "$(id -u)" != 0 ] || set -- setpriv --reuid=65534 --regid=65534 --clear-groups
    start=$(now_ms)
    "$@" env HOME="$WORK" XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" WAYLAND_DISPLAY="$WAYLAND_DISPLAY" \
        swaylock -d >"$WORK/swaylock.log" 2>&1 &
    locker=$!
    HELPER_PIDS="$HELPER_PIDS $locker"
    ended_with 5 0
    ended=$?
    elapsed=$(($(now_ms) - start))
    grep -q 'input-inhibitor' "$WORK/swaylock.log" && kill -0 "$locker" 2>/dev/null && [ "$ended" = 0 ]
    check "swaylock inhibiting input ends jade s within $elapsed ms with status 0 (${code:-running})" [ $? = 0 ]
    kill "$locker" 2>/dev/null
    wait "$locker" 2>/dev/null
else
    not_ok "jade s draws for the locker check"
fi
exec 8>&- 9<&-
[ -z "$SAVER_PID" ] || kill -KILL "$SAVER_PID" 2>/dev/null

# A stopped sway: the drawing process soon waits for a buffer that never comes.
start_saver jade WAYLAND_DISPLAY="$WAYLAND_DISPLAY"
if drawn; then
    kill -STOP "$SWAY_PID"
    sleep 1
    elapsed=$(end_ms kill -TERM "$SAVER_PID")
    ended_with 1 0
    under_a_second "$elapsed" && [ "$code" = 0 ]
    check "SIGTERM while sway is stopped ends jade s in $elapsed ms with status 0 ($code)" [ $? = 0 ]
    kill -CONT "$SWAY_PID"
else
    not_ok "jade s draws for the stopped-compositor check"
fi
[ -z "$SAVER_PID" ] || kill -KILL "$SAVER_PID" 2>/dev/null

# sway killed under it.
start_saver jade WAYLAND_DISPLAY="$WAYLAND_DISPLAY"
if drawn; then
    elapsed=$(end_ms kill -KILL "$SWAY_PID")
    ended_with 1 0
    under_a_second "$elapsed" && [ "$code" = 0 ]
    check "sway killed: jade s ends in $elapsed ms with status 0 ($code)" [ $? = 0 ]
else
    not_ok "jade s draws for the killed-compositor check"
fi
[ -z "$SAVER_PID" ] || kill -KILL "$SAVER_PID" 2>/dev/null

# The same on weston (a full-screen xdg_toplevel), which offers no screenshot
# here: the saver has drawn for a few seconds when weston is stopped or killed.
weston_start() {
    set --
    [ "$(id -u)" != 0 ] || set -- setpriv --reuid=65534 --regid=65534 --clear-groups
    env -i PATH="$PATH" HOME="$WESTON_RUNTIME" XDG_RUNTIME_DIR="$WESTON_RUNTIME" "$@" weston \
        --backend=headless-backend.so --use-gl --width=1024 --height=768 --socket=wayland-saver --idle-time=0 \
        >"$WORK/weston.log" 2>&1 &
    WESTON_PID=$!
    within 10 test -S "$WESTON_RUNTIME/wayland-saver"
}
WESTON_RUNTIME=$(mktemp -d "${TMPDIR:-/tmp}/saver_weston.XXXXXX")
[ "$(id -u)" != 0 ] || chown 65534:65534 "$WESTON_RUNTIME"
chmod 700 "$WESTON_RUNTIME"
for fault in stopped killed; do
    rm -f "$WESTON_RUNTIME"/wayland-saver*
    if ! weston_start; then
        not_ok "weston starts ($(tail -n 1 "$WORK/weston.log"))"
        continue
    fi
    start_saver jade XDG_RUNTIME_DIR="$WESTON_RUNTIME" WAYLAND_DISPLAY=wayland-saver
    if within 10 two_processes; then
        sleep 3
        if [ $fault = stopped ]; then
            kill -STOP "$WESTON_PID"
            sleep 1
            elapsed=$(end_ms kill -TERM "$SAVER_PID")
            what="SIGTERM while weston is stopped ends"
        else
            elapsed=$(end_ms kill -KILL "$WESTON_PID")
            what="weston killed: it ends"
        fi
        ended_with 1 0
        under_a_second "$elapsed" && [ "$code" = 0 ]
        check "$what jade s in $elapsed ms with status 0 ($code)" [ $? = 0 ]
    else
        not_ok "jade s starts its saver process on weston"
    fi
    [ -z "$SAVER_PID" ] || kill -KILL "$SAVER_PID" 2>/dev/null
    kill -CONT "$WESTON_PID" 2>/dev/null
    kill "$WESTON_PID" 2>/dev/null
    wait "$WESTON_PID" 2>/dev/null
done

processes=$(count_savers)
check "no saver process is left ($processes)" [ "$processes" = 0 ]

finish
