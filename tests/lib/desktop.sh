# shellcheck shell=sh
# A private headless KWin or mutter from the Debian 13 desktops root
# (debian13_root.sh, DEBIAN13_DESKTOP_PACKAGES) for the Wayland test scripts
# (sourced, not run; POSIX sh). Each runs as nobody in a dbus-run-session of
# its own, in a runtime folder under /tmp that both sides see.
#
# desktop_start kwin|mutter ROOT LOG  starts it with one 1024x768 output; sets
#     DESKTOP_PID and exports XDG_RUNTIME_DIR, WAYLAND_DISPLAY and
#     DBUS_SESSION_BUS_ADDRESS. Status 1 when it is not up within 20 s.
# desktop_stop  ends it (SIGTERM, SIGKILL after 3 s) and removes the folder.
# as_nobody COMMAND...  runs a command as nobody: the session bus takes
#     connections from its own user only.
#
# KWin 6 lists its fake input and lets ScreenShot2 answer without a desktop
# file naming the caller only with its permission checks off, as here.

DESKTOP_PID=
DESKTOP_RUNTIME=

as_nobody() {
    if [ "$(id -u)" = 0 ]; then
        setpriv --reuid=65534 --regid=65534 --clear-groups "$@"
    else
        "$@"
    fi
}

desktop_start() {
    local which=$1 root=$2 log=$3 i command
    desktop_stop
    DESKTOP_RUNTIME=$(mktemp -d "${TMPDIR:-/tmp}/saver_desktop.XXXXXX") || return 1
    [ "$(id -u)" != 0 ] || chown 65534:65534 "$DESKTOP_RUNTIME"
    chmod 700 "$DESKTOP_RUNTIME"
    case $which in
        kwin) command='exec kwin_wayland --virtual --width 1024 --height 768 --socket wayland-desktop --no-lockscreen' ;;
        mutter) command='exec mutter --headless --wayland --no-x11 --virtual-monitor 1024x768 --wayland-display wayland-desktop' ;;
        *) return 1 ;;
    esac
    set --
    [ "$(id -u)" != 0 ] || set -- setpriv --reuid=65534 --regid=65534 --clear-groups
    debian13_run "$root" "$@" env -i PATH=/usr/bin:/bin HOME="$DESKTOP_RUNTIME" XDG_RUNTIME_DIR="$DESKTOP_RUNTIME" \
        KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 \
        dbus-run-session -- sh -c 'echo "$DBUS_SESSION_BUS_ADDRESS" >"$XDG_RUNTIME_DIR/bus.new" &&
            mv "$XDG_RUNTIME_DIR/bus.new" "$XDG_RUNTIME_DIR/bus" && '"$command" >"$log" 2>&1 &
    DESKTOP_PID=$!
    i=0
    while [ $i -lt 200 ] && process_runs "$DESKTOP_PID"; do
        if [ -S "$DESKTOP_RUNTIME/wayland-desktop" ] && [ -f "$DESKTOP_RUNTIME/bus" ]; then
            export XDG_RUNTIME_DIR="$DESKTOP_RUNTIME" WAYLAND_DISPLAY=wayland-desktop
            DBUS_SESSION_BUS_ADDRESS=$(cat "$DESKTOP_RUNTIME/bus")
            export DBUS_SESSION_BUS_ADDRESS
            # Up once its bus names the compositor.
            case $which in kwin) name=org.kde.KWin ;; *) name=org.gnome.Mutter.IdleMonitor ;; esac
            as_nobody gdbus call --session --dest org.freedesktop.DBus --object-path /org/freedesktop/DBus \
                --method org.freedesktop.DBus.NameHasOwner "$name" 2>/dev/null | grep -q true && return 0
        fi
        sleep 0.1
        i=$((i + 1))
    done
    desktop_stop
    return 1
}

desktop_stop() {
    local i=0
    if [ -n "$DESKTOP_PID" ]; then
        # dbus-run-session ends the bus once the compositor has ended.
        for child in $(ps -o pid= --ppid "$DESKTOP_PID"); do kill "$child" 2>/dev/null || true; done
        kill "$DESKTOP_PID" 2>/dev/null || true
        while process_runs "$DESKTOP_PID" && [ $i -lt 30 ]; do
            sleep 0.1
            i=$((i + 1))
        done
        kill -9 "$DESKTOP_PID" 2>/dev/null || true
        wait "$DESKTOP_PID" 2>/dev/null || true
    fi
    [ -z "$DESKTOP_RUNTIME" ] || rm -rf "$DESKTOP_RUNTIME"
    DESKTOP_PID=
    DESKTOP_RUNTIME=
}
