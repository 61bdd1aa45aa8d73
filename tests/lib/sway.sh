# A private headless sway for the Wayland test scripts and benchmarks (sourced,
# not run; POSIX sh, safe under set -eu; after processes.sh). sway_start sets SWAY_PID and exports XDG_RUNTIME_DIR,
# WAYLAND_DISPLAY and SWAYSOCK; sway_stop ends it and removes its runtime folder.
#
# SWAY_ROOT names a Debian 13 root (debian13_root.sh) to start the compositor
# from instead of this machine's sway; SWAY_COMPOSITOR=labwc or cage starts
# that root's labwc or cage (running sleep as its one application) instead of
# sway (no IPC: SWAYSOCK is unset, and the one output is 1280x720).
# SWAY_LABWC_RC names an rc.xml for labwc (its key bindings, say), used in
# place of labwc's defaults.
#
# sway refuses to run as root: as root it runs as nobody (setpriv), in a
# runtime folder of nobody's, whose socket root can still open. Outputs are
# 1024x768, rendered in memory by pixman; there are no input devices until a
# test makes virtual ones (wtype, wayland_test_client).

SWAY_PID=
SWAY_RUNTIME=

# sway_start LOG: status 1 when it does not come up within 10 s.
sway_start() {
    local log="$1" config i
    sway_stop
    SWAY_RUNTIME=$(mktemp -d "${TMPDIR:-/tmp}/saver_sway.XXXXXX") || return 1
    config="$SWAY_RUNTIME/config"
    printf '%s\n' 'output * mode 1024x768' 'default_border none' 'xwayland disable' >"$config"
    if [ "${SWAY_COMPOSITOR:-sway}" = labwc ] && [ -n "${SWAY_LABWC_RC:-}" ]; then
        mkdir "$SWAY_RUNTIME/labwc" && cp "$SWAY_LABWC_RC" "$SWAY_RUNTIME/labwc/rc.xml" || {
            sway_stop
            return 1
        }
        chmod 644 "$SWAY_RUNTIME/labwc/rc.xml"
    fi
    set --
    if [ "$(id -u)" = 0 ]; then
        chown -R 65534:65534 "$SWAY_RUNTIME"
        set -- setpriv --reuid=65534 --regid=65534 --clear-groups
    fi
    chmod 700 "$SWAY_RUNTIME"
    chmod 644 "$config"
    set -- "$@" env -i PATH="$PATH" HOME="$SWAY_RUNTIME" XDG_RUNTIME_DIR="$SWAY_RUNTIME" WLR_BACKENDS=headless \
        WLR_RENDERER=pixman WLR_LIBINPUT_NO_DEVICES=1
    case ${SWAY_COMPOSITOR:-sway} in
        labwc)
            set -- "$@" labwc
            [ -z "${SWAY_LABWC_RC:-}" ] || set -- "$@" -C "$SWAY_RUNTIME/labwc"
            ;;
        cage) set -- "$@" cage -- sleep infinity ;;
        *) set -- "$@" sway -c "$config" ;;
    esac
    if [ -n "${SWAY_ROOT:-}" ]; then
        debian13_run "$SWAY_ROOT" "$@" >"$log" 2>&1 &
    else
        "$@" >"$log" 2>&1 &
    fi
    SWAY_PID=$!
    i=0
    while [ $i -lt 100 ] && process_runs "$SWAY_PID"; do
        for socket in "$SWAY_RUNTIME"/wayland-*; do
            case $socket in *.lock | *'*'*) continue ;; esac
            if [ "${SWAY_COMPOSITOR:-sway}" != sway ]; then
                unset SWAYSOCK
                export XDG_RUNTIME_DIR="$SWAY_RUNTIME" WAYLAND_DISPLAY="${socket##*/}"
                # Up once it has an output to take a picture of.
                timeout 2 grim -t ppm - >/dev/null 2>&1 && return 0
                continue
            fi
            for ipc in "$SWAY_RUNTIME"/sway-ipc.*.sock; do
                [ -S "$socket" ] && [ -S "$ipc" ] || continue
                export XDG_RUNTIME_DIR="$SWAY_RUNTIME" WAYLAND_DISPLAY="${socket##*/}" SWAYSOCK="$ipc"
                swaymsg -t get_outputs >/dev/null 2>&1 && return 0
            done
        done
        sleep 0.1
        i=$((i + 1))
    done
    sway_stop
    return 1
}

# Ends our sway (SIGTERM, SIGKILL after 3 s). Harmless when none runs.
sway_stop() {
    local i=0 child
    if [ -n "$SWAY_PID" ]; then
        # cage ends once its application has.
        if [ "${SWAY_COMPOSITOR:-sway}" = cage ]; then
            for child in $(ps -o pid= --ppid "$SWAY_PID"); do kill "$child" 2>/dev/null || true; done
        fi
        kill "$SWAY_PID" 2>/dev/null || true
        while process_runs "$SWAY_PID" && [ $i -lt 30 ]; do
            sleep 0.1
            i=$((i + 1))
        done
        kill -9 "$SWAY_PID" 2>/dev/null || true
        wait "$SWAY_PID" 2>/dev/null || true
    fi
    [ -z "$SWAY_RUNTIME" ] || rm -rf "$SWAY_RUNTIME"
    SWAY_PID=
    SWAY_RUNTIME=
}
