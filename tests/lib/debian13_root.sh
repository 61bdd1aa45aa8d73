# shellcheck shell=sh
# A Debian 13 (trixie) root for the test scripts (sourced, not run; POSIX sh):
# today's compositors (sway 1.10, labwc 0.8, cage) and their helpers, run in a
# private mount namespace while the programs under test, built here, stay
# outside and connect through the socket in a runtime folder under /tmp, which
# both sides see at the same path.
#
# debian13_root_ready <dir> [packages]  builds the root in <dir> with mmdebstrap
#     from this machine's Debian mirror when it is missing or was made from
#     another package list, else reuses it. The packages (one string) default to
#     DEBIAN13_PACKAGES, the light set; DEBIAN13_DESKTOP_PACKAGES is the second
#     root's, with KWin and mutter, which costs three times the time and twice
#     the space. Status 1 when it cannot be had, with the
#     reason in one line in DEBIAN13_ROOT_REASON.
# debian13_run <dir> <command...>  runs the command (a path inside the root)
#     chrooted in <dir>, with /proc, /dev, /sys, /tmp and $TMPDIR bound in. It replaces
#     the shell's process: run it with & (whose $! is then the command's pid)
#     or in a subshell. DEBIAN13_BIND names folders of this machine (no
#     spaces) bound in at the same paths, for a command inside that runs a
#     program built here (swayidle's command).
#
# The root is complete once its stamp, written last, holds the package list;
# a build that stopped half way leaves no stamp and is made again.

DEBIAN13_SUITE=trixie
# No recommends: the compositors, the helpers the tests drive, Mesa, PAM with
# passwd for a lock screen's test user, and the libraries our programs load, so
# that the locker runs inside the root (its PAM is the root's).
DEBIAN13_PACKAGES="sway labwc cage grim wtype swayidle libgl1-mesa-dri libegl-mesa0 passwd libpam-runtime libpam-modules libxrandr2 libxext6 libglx0 libopengl0 libxkbcommon0 libcairo2 libwayland-client0 libwayland-egl1 libegl1"
# KWin and mutter with the session bus they need, swayidle for KDE's idle line,
# wayland-utils to list what each compositor offers.
DEBIAN13_DESKTOP_PACKAGES="kwin-wayland mutter dbus swayidle wtype wayland-utils libgl1-mesa-dri libegl-mesa0"
DEBIAN13_ROOT_REASON=

# The Debian mirror this machine's apt uses (deb822 or one-line sources), not
# the security archive; deb.debian.org when none is found.
debian13_mirror() {
    local uri
    uri=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null | sed -n 's/^URIs:[[:space:]]*\([^[:space:]]*\).*/\1/p' |
        grep -v -- '-security' | head -n 1)
    [ -n "$uri" ] || uri=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
        sed -n 's/^deb[[:space:]]\{1,\}\(\[[^]]*\][[:space:]]\{1,\}\)\{0,1\}\([^[:space:]]*\).*/\2/p' |
        grep -v -- '-security' | head -n 1)
    echo "${uri:-http://deb.debian.org/debian}"
}

# debian13_stamp_text <packages>
debian13_stamp_text() { echo "$DEBIAN13_SUITE $1"; }

# debian13_root_complete <dir> <packages>
debian13_root_complete() {
    [ -f "$1/.saver-root-stamp" ] && [ "$(cat "$1/.saver-root-stamp")" = "$(debian13_stamp_text "$2")" ]
}

# debian13_build <dir> <packages> (under a lock: two scripts of one clone may ask at once).
debian13_build() {
    local dir=$1 packages=$2 log="$1.log" mirror include why
    debian13_root_complete "$dir" "$packages" && return 0
    if ! command -v mmdebstrap >/dev/null; then
        DEBIAN13_ROOT_REASON="mmdebstrap is not installed (scripts/install-deps)"
        return 1
    fi
    mirror=${DEBIAN13_MIRROR:-$(debian13_mirror)}
    include=$(echo "$packages" | tr ' ' ',')
    rm -rf "$dir"
    # Documentation, manuals and translations are of no use to the tests.
    if ! timeout 600 mmdebstrap --variant=apt --include="$include" \
        --dpkgopt='path-exclude=/usr/share/doc/*' --dpkgopt='path-exclude=/usr/share/man/*' \
        --dpkgopt='path-exclude=/usr/share/locale/*' \
        "$DEBIAN13_SUITE" "$dir" "$mirror" >"$log" 2>&1; then
        why=$(grep -E '^E: ' "$log" | head -n 1)
        DEBIAN13_ROOT_REASON="mmdebstrap $DEBIAN13_SUITE from $mirror failed: ${why:-$(tail -n 1 "$log")}"
        rm -rf "$dir"
        return 1
    fi
    debian13_stamp_text "$packages" >"$dir/.saver-root-stamp"
}

debian13_root_ready() {
    local dir=$1 packages=${2:-$DEBIAN13_PACKAGES} status
    DEBIAN13_ROOT_REASON=
    if [ "$(id -u)" != 0 ]; then
        DEBIAN13_ROOT_REASON="the Debian 13 root needs root (mmdebstrap, a mount namespace, chroot)"
        return 1
    fi
    debian13_root_complete "$dir" "$packages" && return 0
    mkdir -p "$(dirname "$dir")"
    if ! command -v flock >/dev/null; then
        debian13_build "$dir" "$packages"
        return
    fi
    # The reason is written to a file: the build runs in a subshell.
    (
        flock 9
        debian13_build "$dir" "$packages" || {
            echo "$DEBIAN13_ROOT_REASON" >"$dir.reason"
            exit 1
        }
    ) 9>"$dir.lock"
    status=$?
    [ $status = 0 ] || DEBIAN13_ROOT_REASON=$(cat "$dir.reason" 2>/dev/null)
    rm -f "$dir.reason"
    [ -n "$DEBIAN13_ROOT_REASON" ] || [ $status = 0 ] || DEBIAN13_ROOT_REASON="the Debian 13 root could not be built"
    return $status
}

debian13_run() {
    local root=$1
    shift
    exec unshare --mount -- sh -c '
        root=$1
        shift
        for d in proc dev sys tmp; do mount --rbind "/$d" "$root/$d" || exit 1; done
        case ${TMPDIR:-/tmp} in
            /tmp | /tmp/*) ;;
            *) mkdir -p "$root$TMPDIR" && mount --rbind "$TMPDIR" "$root$TMPDIR" || exit 1 ;;
        esac
        for d in $DEBIAN13_BIND; do mkdir -p "$root$d" && mount --bind "$d" "$root$d" || exit 1; done
        exec chroot "$root" "$@"' debian13-root "$root" "$@"
}
