#!/bin/sh
# The session lock (amber --lock) on Debian 13's sway 1.10, headless, from the
# Debian 13 root: the locker runs inside the root as the test user (nobody,
# whose password this script sets) with the root's PAM, and is typed at with
# wtype. Checks: the refusals (no PAM service file, a compositor without
# ext-session-lock-v1: Debian 12's sway 1.7, the lock already held), each one
# line and status 1 with the session left as it was; -f returns once locked;
# every output, also one added while locked, shows the saver moving behind the
# lock, each from a picture process of its own, which rests while the outputs
# are off, goes with its output and ends with the locker; a picture that dies
# leaves its output black with the indicator and the session locked; another
# client's window gets no key while locked; typed characters, Backspace,
# Escape, Ctrl+U and Caps Lock on the indicator; a wrong password keeps the
# lock and shows "wrong"; stop signals are ignored; kill -9 leaves the session
# locked and a second --lock takes over; a 10,000-key burst and a burst of
# Enters leave it locked and responsive; the right password unlocks with
# status 0; swayidle locks with the README's line; the password is in no
# output; the locker is not dumpable. Prints the time from --lock to locked,
# from Enter to the unlock, the CPU used while locked, and the run's time.
#
# WAYLAND_TEST_COMPOSITOR=labwc-debian13 runs the same checks on the root's
# labwc 0.8 (sway-debian13, sway 1.10, by default). labwc has no IPC: it adds
# the headless outputs on key bindings of its own rc.xml (VirtualOutputAdd,
# allowed while locked), which wtype presses. What it cannot do is skipped
# with one "# not on labwc: <reason>" line each.
#
# Usage: wayland_lock_test.sh <directory with amber, jade and wayland_test_client>
# Needs: root, mmdebstrap (the Debian 13 root, build/debian13-root, or
# $DEBIAN13_ROOT), grim, wtype and sway 1.7 on this machine, python3.

HERE=$(cd "$(dirname "$0")" && pwd)
BIN=$(cd "${1:?usage: wayland_lock_test.sh <bin dir>}" && pwd) || exit 2
. "$HERE/../lib/checks.sh"
. "$HERE/../lib/processes.sh"
. "$HERE/../lib/sway.sh"
. "$HERE/../lib/debian13_root.sh"
PIXELS="$HERE/../helpers/lock_pixels.py"
# The saver behind the lock: jade lights the screen within a second.
SAVER=jade
RUN_START=$(now_ms)

# --- The compositor: what differs between sway and labwc -----------------------------

COMPOSITOR=${WAYLAND_TEST_COMPOSITOR:-sway-debian13}
case $COMPOSITOR in
    sway-debian13 | labwc-debian13) SWAY_COMPOSITOR=${COMPOSITOR%-debian13} ;;
    *)
        echo "wayland_lock_test.sh: unknown WAYLAND_TEST_COMPOSITOR $COMPOSITOR" >&2
        exit 2
        ;;
esac
on_sway() { [ "$SWAY_COMPOSITOR" = sway ]; }
# not_here <check>: <reason>: a check this compositor gives no means for.
not_here() { echo "# not on $SWAY_COMPOSITOR: $*"; }

# labwc's key bindings: Super+F2 and Super+F3 add the headless outputs
# HEADLESS-2 and HEADLESS-3, Super+F4 removes HEADLESS-3, also while the
# session is locked.
labwc_rc() {
    cat <<'XML'
<?xml version="1.0"?>
<labwc_config>
  <keyboard>
    <keybind key="W-F2" allowWhenLocked="yes"><action name="VirtualOutputAdd" output_name="HEADLESS-2" /></keybind>
    <keybind key="W-F3" allowWhenLocked="yes"><action name="VirtualOutputAdd" output_name="HEADLESS-3" /></keybind>
    <keybind key="W-F4" allowWhenLocked="yes"><action name="VirtualOutputRemove" output_name="HEADLESS-3" /></keybind>
  </keyboard>
</labwc_config>
XML
}

# add_output HEADLESS-<n>: one more headless output, of that name (sway picks
# the same name itself), once grim can take its picture.
add_output() {
    if on_sway; then
        swaymsg create_output >/dev/null
    else
        wtype -M logo -k "F${1#HEADLESS-}" -m logo
    fi
    within 3 sh -c 'grim -t ppm -o "$1" - >/dev/null 2>&1' output "$1"
}

# remove_output HEADLESS-3: that output unplugged.
remove_output() {
    if on_sway; then
        swaymsg output "$1" unplug >/dev/null
    else
        wtype -M logo -k F4 -m logo
    fi
}

# compositor_start LOG: the compositor from the root, with HEADLESS-1 and HEADLESS-2.
compositor_start() {
    SWAY_ROOT=$ROOT
    if ! on_sway; then
        labwc_rc >"$WORK/labwc-rc.xml"
        SWAY_LABWC_RC="$WORK/labwc-rc.xml"
    fi
    sway_start "$1" && add_output HEADLESS-2
}

# The compositor's name and version.
compositor_version() {
    if on_sway; then
        swaymsg -t get_version | sed -n 's/.*"human_readable": "\([^"]*\)".*/sway \1/p'
    else
        echo "labwc $(dpkg-query --admindir="$ROOT/var/lib/dpkg" -W -f='${Version}' labwc)"
    fi
}

# The outputs' sizes, for the CPU figure: "1024x768 1024x768 ...".
output_sizes() {
    for name in HEADLESS-1 HEADLESS-2 HEADLESS-3; do
        grim -t ppm -o "$name" - 2>/dev/null | head -n 2 | tail -n 1 | tr ' ' x
    done | tr '\n' ' ' | sed 's/ $//'
}

# The command line: -f goes with --lock only, --lock with no mode, daemon option or
# --x11; --lock-picture, typed by hand, finds no shared memory from a lock.
for args in "-f" "--daemonize s" "--lock s" "--lock --root" "--x11 --lock" "--lock-picture 64x48"; do
    # shellcheck disable=SC2086
    "$BIN/amber" $args >/dev/null 2>"${TMPDIR:-/tmp}/lock_args.$$"
    code=$?
    lines=$(wc -l <"${TMPDIR:-/tmp}/lock_args.$$")
    check "amber $args: status 255, one line ($(head -n 1 "${TMPDIR:-/tmp}/lock_args.$$"))" \
        [ "$code.$lines" = 255.1 ]
done
rm -f "${TMPDIR:-/tmp}/lock_args.$$"

ROOT=${DEBIAN13_ROOT:-$(cd "$HERE/../.." && pwd)/build/debian13-root}
if ! debian13_root_ready "$ROOT"; then
    echo "not run - the lock test: no Debian 13 root: $DEBIAN13_ROOT_REASON"
    echo "0 passed, 0 failed"
    exit 0
fi
WORK=$(mktemp -d "${TMPDIR:-/tmp}/wayland_lock_test.XXXXXX") || exit 2
chmod 755 "$WORK"
# The program, where the root sees it (the root binds /tmp and $TMPDIR in).
cp "$BIN/$SAVER" "$WORK/$SAVER"
mkdir "$WORK/frames"
chmod 777 "$WORK/frames"
SAVER_FRAME_COUNT_DIR=$WORK/frames
PAM_FILE="$ROOT/etc/pam.d/corvel-savers"
printf '%s\n' '@include common-auth' >"$PAM_FILE"
PASSWORD=pw$(od -An -N6 -tx1 /dev/urandom | tr -d ' \n')
printf 'nobody:%s\n' "$PASSWORD" | chroot "$ROOT" chpasswd || exit 2
LOCKERS=
HELPERS=

cleanup() {
    for pid in $LOCKERS $HELPERS $(pictures); do kill -9 "$pid" 2>/dev/null; done
    sway_stop
    wait 2>/dev/null
    # The test user's password goes with the run.
    chroot "$ROOT" usermod -p '*' nobody 2>/dev/null
    rm -f "$PAM_FILE"
    [ -n "${LOCK_TEST_KEEP:-}" ] || rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# lock <name> <args...>: the locker inside the root as nobody, in the
# background ($! is its pid); stdout and stderr in $WORK/<name>.out, .err.
lock() {
    name=$1
    shift
    debian13_run "$ROOT" setpriv --reuid=65534 --regid=65534 --clear-groups \
        env -i PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" WAYLAND_DISPLAY="$WAYLAND_DISPLAY" \
        SAVER_FRAME_COUNT_DIR="$SAVER_FRAME_COUNT_DIR" MESA_SHADER_CACHE_DISABLE=true \
        "$WORK/$SAVER" --lock "$@" >"$WORK/$name.out" 2>"$WORK/$name.err" &
}

# refused <name> <text>: that locker exited 1 within 10 s with one line on
# stderr holding the text.
refused() {
    # A locker that locks instead of refusing would hold the wait for ever.
    within 10 eval '! process_runs "$!"' || kill -9 "$!"
    wait "$!"
    code=$?
    line=$(head -n 1 "$WORK/$1.err")
    [ "$code" = 1 ] && [ "$(wc -l <"$WORK/$1.err")" = 1 ] && grep -q "$2" "$WORK/$1.err"
}

# shot <output> <what>: what lock_pixels.py reads in that output's picture.
shot() {
    grim -t ppm -o "$1" "$WORK/shot.ppm" 2>/dev/null && python3 "$PIXELS" "$WORK/shot.ppm" "$2"
}
shows() { [ "$(shot "$1" "$2")" = "$3" ]; }

# saver_shown <output>: the saver's picture there, moving: two pictures a
# little apart, both neither one colour nor alike.
saver_shown() {
    grim -t ppm -o "$1" "$WORK/saver1.ppm" 2>/dev/null && sleep 0.3 &&
        grim -t ppm -o "$1" "$WORK/saver2.ppm" 2>/dev/null &&
        [ "$(python3 "$PIXELS" "$WORK/saver1.ppm" fill)" = mixed ] && ! cmp -s "$WORK/saver1.ppm" "$WORK/saver2.ppm"
}

# (within runs its command again and again: a $( ) in it goes through eval,
# or it would be read once.)

# wtype with a pause first: its virtual keyboard appears anew each time, and
# a key sent before a client has its wl_keyboard for it would be lost.
keys() { wtype -s 200 "$@"; }

# The window's keys so far.
window_keys() { grep -c '^key' "$WORK/window.out"; }

# The locker processes now running (the program copied into $WORK; its
# /proc/PID/exe, seen from outside the root's mount namespace, names no path
# here), and their picture processes, also under the corvel- name.
lockers() { processes_named "$WORK/*$SAVER --lock*"; }
pictures() { processes_named "*$SAVER --lock-picture *"; }
processes_named() {
    for proc in /proc/[0-9]*; do
        # shellcheck disable=SC2254
        case $( (tr '\0' ' ' <"$proc/cmdline") 2>/dev/null) in
            $1) process_runs "${proc#/proc/}" && echo "${proc#/proc/}" ;;
        esac
    done
}
# All frames the pictures have drawn so far.
picture_frames() { cat "$SAVER_FRAME_COUNT_DIR"/* 2>/dev/null | awk '{ n += $1 } END { print n + 0 }'; }

# --- Debian 12's sway 1.7: no ext-session-lock-v1 --------------------------------

if ! on_sway; then
    not_here "the refusal without ext-session-lock-v1: Debian 12's sway 1.7 runs once, in the sway stage"
elif sway_start "$WORK/sway17.log"; then
    lock old
    refused old 'ext-session-lock-v1'
    check "on sway 1.7 --lock refuses: no ext-session-lock-v1 ($code): $line" [ $? = 0 ]
    sway_stop
else
    not_ok "headless sway 1.7 starts ($(tail -n 1 "$WORK/sway17.log"))"
fi

# --- sway 1.10 or labwc 0.8 from the root ----------------------------------------------

if ! compositor_start "$WORK/$SWAY_COMPOSITOR.log"; then
    not_ok "headless $COMPOSITOR starts with two outputs ($(tail -n 1 "$WORK/$SWAY_COMPOSITOR.log"))"
    finish
    exit
fi
echo "# on $(compositor_version)"
"$BIN/wayland_test_client" window >"$WORK/window.out" 2>&1 &
HELPERS="$HELPERS $!"
within 5 grep -qs shown "$WORK/window.out" || not_ok "the test window shows"
mkfifo "$WORK/pointer.in"
"$BIN/wayland_test_client" pointer - <"$WORK/pointer.in" >"$WORK/pointer.out" 2>&1 &
HELPERS="$HELPERS $!"
exec 8>"$WORK/pointer.in"
point() { echo "$*" >&8 && sleep 0.3; }

mv "$PAM_FILE" "$PAM_FILE.away"
lock nopam
refused nopam '/etc/pam.d/corvel-savers'
check "without /etc/pam.d/corvel-savers --lock refuses ($code): $line" [ $? = 0 ]
mv "$PAM_FILE.away" "$PAM_FILE"
keys a
check "after a refusal the session is not locked: the window has the keyboard" within 2 eval '[ "$(window_keys)" = 1 ]'

# -f returns once locked; the locker stays.
start=$(now_ms)
lock first -f
wait "$!"
code=$?
echo "# --lock -f returned after $(($(now_ms) - start)) ms (the compositor's locked)"
check "--lock -f returns 0 once locked ($code)" [ "$code" = 0 ]
first=$(lockers)
check "one locker keeps the lock ($first)" [ "$(echo "$first" | wc -w)" = 1 ]
LOCKERS=$first
check "HEADLESS-1 shows the saver moving behind the lock, not the window" within 5 saver_shown HEADLESS-1
check "HEADLESS-2 shows the saver too" saver_shown HEADLESS-2
check "each output's picture is a process of its own ($(pictures | wc -l) for 2 outputs)" [ "$(pictures | wc -l)" = 2 ]
check "the indicator is hidden before any input" shows HEADLESS-1 ring none
# While the outputs are off the compositor asks for no frame: the pictures rest.
if on_sway; then
    swaymsg output '*' power off >/dev/null
    sleep 0.5
    frames=$(picture_frames)
    sleep 1
    check "while the outputs are off the pictures draw nothing ($frames, then $(picture_frames) frames)" \
        [ "$(picture_frames)" = "$frames" ]
    swaymsg output '*' power on >/dev/null
    check "once they are on again the pictures draw" within 2 eval '[ "$(picture_frames)" != "$frames" ]'
else
    not_here "the outputs powered off: labwc takes no command to power them"
fi
point move 5 5
within 2 shows HEADLESS-1 ring blue && shows HEADLESS-2 ring blue
check "pointer motion shows the indicator on every output" [ $? = 0 ]
check "the locker runs on after pointer motion" process_runs "$first"

keys abcd
check "four typed characters: four marks" within 2 shows HEADLESS-1 marks 4
check "the window got no key while locked" [ "$(window_keys)" = 1 ]
keys -k BackSpace
check "Backspace: three marks" within 2 shows HEADLESS-1 marks 3
keys -k Escape
check "Escape: no mark" within 2 shows HEADLESS-1 marks 0
keys xyz -M ctrl u -m ctrl
check "Ctrl+U: no mark" within 2 shows HEADLESS-1 marks 0
"$BIN/wayland_test_client" caps-lock 2500 >/dev/null &
caps=$!
check "Caps Lock on: the inner orange ring" within 2 shows HEADLESS-1 caps on
wait "$caps"
keys -k Escape
check "Caps Lock off again: no inner ring" within 2 shows HEADLESS-1 caps off
keys wrong -k Return
check "Enter: checking" within 1 shows HEADLESS-1 ring amber
check "a wrong password: wrong, still locked" within 6 shows HEADLESS-1 ring red
check "a wrong password: the locker runs on" process_runs "$first"

add_output HEADLESS-3
point move 5 5
# The indicator still says "wrong" (red) or, after that, typing (blue).
ring_shown() { case $(shot "$1" ring) in red | blue) true ;; *) false ;; esac; }
check "an output added while locked gets a lock surface with the indicator" within 3 ring_shown HEADLESS-3
check "and the saver behind it" within 3 saver_shown HEADLESS-3
# A picture process that dies takes only its picture: that output shows the
# plain lock surface, black with the indicator, at once; the session stays
# locked.
point move 5 5
kill -9 "$(pictures | head -n 1)"
plain_outputs() {
    for output in HEADLESS-1 HEADLESS-2 HEADLESS-3; do
        [ "$(shot "$output" fill)" = black ] && ring_shown "$output" && echo "$output"
    done
}
check "a picture killed: its output shows black with the indicator, the others keep the saver" \
    within 2 eval '[ "$(plain_outputs | wc -l)" = 1 ]'
plain=$(plain_outputs)
# There no frame redraws the indicator: "wrong" must turn back to typing by itself.
keys wrong -k Return
check "on the plain surface a wrong password shows wrong" within 6 shows "$plain" ring red
check "and then typing again, without input" within 4 shows "$plain" ring blue
check "a picture killed: the locker runs on, two pictures left" [ "$(pictures | wc -l)" = 2 ] && process_runs "$first"

kill -TERM "$first"
kill -INT "$first"
kill -HUP "$first"
sleep 0.5
check "SIGTERM, SIGINT and SIGHUP leave the locker running" process_runs "$first"
# Not dumpable: a program of the same user may not read its memory or environment.
environ_hidden() {
    process_runs "$1" && ! setpriv --reuid=65534 --regid=65534 --clear-groups cat "/proc/$1/environ" >/dev/null 2>&1
}
check "the locker is not dumpable: the same user cannot read its /proc/PID/environ" environ_hidden "$first"

kill -9 "$first"
within 2 sh -c "! [ -d /proc/$first ]"
check "the pictures end with the killed locker" within 2 eval '[ -z "$(pictures)" ]'
keys b
sleep 0.5
check "after kill -9 of the locker the window still gets no key" [ "$(window_keys)" = 1 ]
shows HEADLESS-1 fill white
check "after kill -9 the window is not shown" [ $? != 0 ]

start=$(now_ms)
lock second
second=$!
LOCKERS="$LOCKERS $second"
check "a second --lock takes over the abandoned lock, with the saver" within 5 saver_shown HEADLESS-1
check "every output has its picture again (3)" within 3 eval '[ "$(pictures | wc -l)" = 3 ]'
remove_output HEADLESS-3
check "an output removed while locked takes its picture along (2 left)" within 3 eval '[ "$(pictures | wc -l)" = 2 ]'
echo "# the second --lock drew its lock surface after $(($(now_ms) - start)) ms"
lock third
refused third 'locked already'
check "a third --lock, while the second holds the lock, refuses ($code): $line" [ $? = 0 ]

# Bursts: 10,000 keys, then Enters while checks run.
# 10,000 presses of K (evdev 37) from a virtual keyboard, in about a second.
sleep 0.2
"$BIN/wayland_test_client" keys 10000 37 >/dev/null
check "after a 10,000-key burst the locker runs" process_runs "$second"
check "the burst reached it: the most marks (32) show" within 3 shows HEADLESS-1 marks 32
keys -k Escape
check "after the burst Escape still clears (responsive)" within 3 shows HEADLESS-1 marks 0
keys -k Return -k Return -k Return -k Return -k Return -k Return -k Return -k Return -k Return -k Return \
    -k Return -k Return -k Return -k Return -k Return -k Return -k Return -k Return -k Return -k Return
check "a burst of Enters: checking, still locked" within 1 shows HEADLESS-1 ring amber
check "the Enters' checks end: wrong, not unlocked" within 10 shows HEADLESS-1 ring red
check "the window got no key during the bursts" [ "$(window_keys)" = 1 ]

# CPU while locked, no input: printed, not judged.
sleep 5.5
check "after 5 s without input the indicator hides" shows HEADLESS-1 ring none
cpu_of() { for pid in "$@"; do awk '{print $14 + $15}' "/proc/$pid/stat"; done | awk '{ n += $1 } END { print n + 0 }'; }
ticks=$(getconf CLK_TCK)
drawing=$(pictures)
outputs=$(($(echo $drawing | wc -w) + 0))
[ "$outputs" -gt 0 ] || outputs=1
# shellcheck disable=SC2086
cpu0=$(cpu_of "$second") picture0=$(cpu_of $drawing) frames=$(picture_frames)
sleep 3
# shellcheck disable=SC2086
cpu1=$(cpu_of "$second") picture1=$(cpu_of $drawing)
echo "# CPU while locked without input, $outputs outputs of $(output_sizes): the locker $(((cpu1 - cpu0) * 1000 / ticks / 3)) ms per second," \
    "each picture $(((picture1 - picture0) * 1000 / ticks / 3 / outputs)) ms per second at $((($(picture_frames) - frames) / 3 / outputs)) frames per second"

keys "$PASSWORD"
start=$(now_ms)
keys -k Return
wait "$second"
code=$?
echo "# Enter to the locker's exit (the unlock): $(($(now_ms) - start)) ms"
check "the right password unlocks with status 0 ($code)" [ "$code" = 0 ]
keys c
check "after the unlock the window has the keyboard again" within 2 eval '[ "$(window_keys)" = 2 ]'
check "the session shows the window again" within 2 shows HEADLESS-1 fill white
# The README's swayidle line, as nobody inside the root, with a timeout of 1 s:
# swayidle -w runs --lock -f, which returns once locked.
ln -s "$SAVER" "$WORK/corvel-$SAVER"
debian13_run "$ROOT" setpriv --reuid=65534 --regid=65534 --clear-groups \
    env -i PATH=/usr/bin:/bin XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" WAYLAND_DISPLAY="$WAYLAND_DISPLAY" \
    swayidle -w timeout 1 "$WORK/corvel-$SAVER --lock -f" >"$WORK/swayidle.out" 2>"$WORK/swayidle.err" &
HELPERS="$HELPERS $!"
check "swayidle -w timeout 1 'corvel-$SAVER --lock -f' locks the session" within 5 saver_shown HEADLESS-1
idle_locker=$(lockers)
LOCKERS="$LOCKERS $idle_locker"
keys "$PASSWORD" -k Return
check "the password unlocks swayidle's lock" within 5 shows HEADLESS-1 fill white
kill "$!" 2>/dev/null

leaks=$(grep -lF "$PASSWORD" "$WORK"/*.out "$WORK"/*.err "$WORK"/*.log 2>/dev/null)
check "the password is in no output${leaks:+ (in $leaks)}" [ -z "$leaks" ]
check "no locker and no picture is left" [ -z "$(lockers)$(pictures)" ]
echo "# the run on $COMPOSITOR took $(($(now_ms) - RUN_START)) ms"
finish
