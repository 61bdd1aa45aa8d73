#!/bin/sh
# A saver under MATE's screen saver (mate-screensaver), from the installed
# tree, on a private Xvfb display.
#
# mate-screensaver finds savers through the desktop entries under
# share/applications/screensavers and runs only programs from
# /usr/libexec/xscreensaver, so the test runs in a private mount namespace
# (unshare -m, as root) where our tree's two folders are bind-mounted over the
# system's: only our savers can be found or run there. It needs a D-Bus session
# (dbus-run-session) and reads its settings from a GLib keyfile of its own.
#
#   activate -> jade runs from /usr/libexec/xscreensaver on the daemon's window
#   and draws; deactivate -> it is gone within a second.
#
# Usage: mate_screensaver_test.sh <installed root: the folder holding usr/>
# Needs: root, mate-screensaver, dbus, util-linux (unshare), Xvfb, ImageMagick.
# Prints "ok - <what>" / "not ok - <what>" per check, then "N passed, M failed".

HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "${1:?usage: mate_screensaver_test.sh <installed root>}" && pwd) || exit 2

if [ "${2:-}" = --in-namespace ]; then
    # Inside the namespace and the D-Bus session: the daemon and the checks.
    SAVER_TEST_WORK=$3
    . "$HERE/../lib/x11_test_lib.sh"
    . "$HERE/../../scripts/lib/savers.sh"
    export XDG_CURRENT_DESKTOP=MATE GSETTINGS_BACKEND=keyfile XDG_CONFIG_HOME="$WORK/config"
    check "only our savers are in /usr/libexec/xscreensaver ($(ls /usr/libexec/xscreensaver | tr '\n' ' '))" \
        [ "$(ls /usr/libexec/xscreensaver)" = "$(saver_names | sort)" ]
    mate-screensaver --no-daemon --debug >"$WORK/mate.log" 2>&1 &
    daemon=$!
    daemon_answers() { mate-screensaver-command --query >/dev/null 2>&1; }
    # Only a jade of this mount namespace: another run's savers may be about.
    jade_runs() { pid=$(pgrep -x jade --ns $$ --nslist mnt | head -1) && [ -n "$pid" ]; }
    within 10 daemon_answers
    mate-screensaver-command --activate >/dev/null 2>&1
    within 10 jade_runs
    if [ -n "$pid" ]; then
        exe=$(readlink "/proc/$pid/exe")
        win=$(tr '\0' '\n' <"/proc/$pid/environ" | sed -n 's/^XSCREENSAVER_WINDOW=//p')
        check "mate-screensaver runs jade from $exe" [ "$exe" = /usr/libexec/xscreensaver/jade ]
        check "on its own window ($win)" sh -c "[ -n '$win' ] && xwininfo -id '$win' >/dev/null 2>&1"
        if wait_bright 15 0.01 mate; then ok "jade draws on MATE's screen (mean $mean)"; else
            not_ok "jade draws on MATE's screen (mean $mean)"; fi
        start=$(now_ms)
        mate-screensaver-command --deactivate >/dev/null 2>&1
        if wait_gone "$pid" 1000; then ok "jade is gone within a second of deactivation ($(($(now_ms) - start)) ms)"; else
            not_ok "jade is gone within a second of deactivation"; fi
    else
        not_ok "mate-screensaver starts jade when activated"
        grep -i -e theme -e command "$WORK/mate.log" | head -5
    fi
    kill "$daemon" 2>/dev/null
    wait "$daemon" 2>/dev/null
    echo "$passed passed, $failed failed"
    exit 0
fi

. "$HERE/../lib/x11_test_lib.sh"
if [ "$(id -u)" != 0 ]; then
    not_ok "the MATE test runs as root (it needs a private mount namespace)"
    finish
    exit 1
fi
if ! start_xvfb -screen 0 1024x768x24; then
    not_ok "Xvfb starts"
    finish
    exit 1
fi
mkdir -p "$WORK/config/glib-2.0/settings"
cat >"$WORK/config/glib-2.0/settings/keyfile" <<'EOF'
[org/mate/screensaver]
mode='single'
themes=['screensavers-jade']
lock-enabled=false
idle-activation-enabled=false
EOF

unshare -m sh -c '
    mount --make-rprivate / &&
    mount --bind "$1/usr/libexec/xscreensaver" /usr/libexec/xscreensaver &&
    mount --bind "$1/usr/share/applications/screensavers" /usr/share/applications/screensavers &&
    exec dbus-run-session -- sh "$2" "$1" --in-namespace "$3"' \
    sh "$ROOT" "$HERE/mate_screensaver_test.sh" "$WORK" >"$WORK/inner.out" 2>"$WORK/inner.err"
grep -e '^ok' -e '^not ok' "$WORK/inner.out"
counts=$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$WORK/inner.out" | tail -1)
if [ -z "$counts" ]; then
    not_ok "the test ran inside the namespace and the D-Bus session"
    tail -5 "$WORK/inner.err"
    finish
    exit 1
fi
passed=$((passed + $(echo "$counts" | sed 's/ passed.*//')))
failed=$((failed + $(echo "$counts" | sed 's/.* \([0-9]*\) failed/\1/')))
finish
