#!/bin/sh
# The Debian package and the installed tree: the .deb unpacked into a scratch
# root holds the files at the paths the daemons expect, lintian reports no
# error or warning, the settings files, desktop entries and manual pages are
# well formed, and the programs run from there (cobalt finds its mesh in the
# data folder from any working directory); `cmake --install` with another
# prefix and DESTDIR gives a tree that works the same; MATE's screen saver runs
# a saver from the unpacked tree (mate_screensaver_test.sh).
#
# Usage: package_test.sh <corvel-savers_*.deb> <linux build dir>
# Needs: dpkg-deb, lintian, xmllint, desktop-file-validate, man, Xvfb, cmake.
# Prints "ok - <what>" / "not ok - <what>" per check, then "N passed, M failed".

HERE=$(cd "$(dirname "$0")" && pwd)
DEB=${1:?usage: package_test.sh <deb> <linux build dir>}
BUILD=$(cd "${2:?usage: package_test.sh <deb> <linux build dir>}" && pwd) || exit 2
. "$HERE/../lib/x11_test_lib.sh"
. "$HERE/../../scripts/lib/savers.sh"

ROOT="$WORK/root"
SAVERS=$(saver_names)
check "the package unpacks" dpkg-deb -x "$DEB" "$ROOT"

# --- files and paths ---------------------------------------------------------------
missing=
for saver in $SAVERS; do
    for file in usr/libexec/xscreensaver/$saver usr/share/xscreensaver/config/$saver.xml \
        usr/share/applications/screensavers/$saver.desktop usr/share/man/man6/$saver.6.gz; do
        [ -f "$ROOT/$file" ] || missing="$missing $file"
    done
    [ -x "$ROOT/usr/libexec/xscreensaver/$saver" ] || missing="$missing (executable $saver)"
    # The command on the PATH: a relative link to the program.
    [ "$(readlink "$ROOT/usr/bin/corvel-$saver")" = "../libexec/xscreensaver/$saver" ] ||
        missing="$missing (link usr/bin/corvel-$saver)"
done
grep -qx '@include common-auth' "$ROOT/etc/pam.d/corvel-savers" 2>/dev/null ||
    missing="$missing (etc/pam.d/corvel-savers with @include common-auth)"
for file in usr/share/corvel-savers/sphere.3d usr/share/doc/corvel-savers/copyright \
    usr/share/doc/corvel-savers/changelog.gz usr/bin/corvel-saver-idle usr/share/man/man1/corvel-saver-idle.1.gz \
    usr/share/corvel-savers/corvel-saver-idle.desktop; do
    [ -f "$ROOT/$file" ] || missing="$missing $file"
done
check "every file is where the daemons and Debian expect it${missing:+ (missing:$missing)}" [ -z "$missing" ]
fields=$(dpkg-deb -f "$DEB" Package Version Recommends | tr '\n' '|')
check "package corvel-savers 1.0.0 recommends a daemon and the Wayland libraries ($fields)" \
    [ "$fields" = "Package: corvel-savers|Version: 1.0.0|Recommends: xscreensaver | mate-screensaver | swayidle, libwayland-client0 (>= 1.20), libwayland-egl1, libegl1|" ]
depends=$(dpkg-deb -f "$DEB" Depends)
check "its dependencies are computed from the binaries ($depends)" sh -c "echo '$depends' | grep -q libx11-6"
check "they name no Wayland or EGL library: those are loaded at run time" sh -c "! echo '$depends' | grep -q 'wayland\|libegl'"

# --- lintian ------------------------------------------------------------------------
lintian --tag-display-limit 0 "$DEB" >"$WORK/lintian.txt" 2>&1
sed 's/^/# /' "$WORK/lintian.txt" | grep -v 'root privileges'
check "lintian reports no error or warning" sh -c "! grep -q '^[EW]:' '$WORK/lintian.txt'"

# --- settings files, desktop entries, manual pages ------------------------------------
for saver in $SAVERS; do
    xml="$ROOT/usr/share/xscreensaver/config/$saver.xml"
    shape=$(xmllint --xpath "concat(name(/*), '|', /screensaver/@name, '|', count(/screensaver/*), '|',
        /screensaver/boolean/@_label, '|', /screensaver/boolean/@arg-set, '|', name(/screensaver/*[last()]))" "$xml" 2>&1)
    check "$saver.xml: a screensaver named $saver offering only \"Show frame rate\" (--fps) ($shape)" \
        [ "$shape" = "screensaver|$saver|2|Show frame rate|--fps|_description" ]
done
check "the desktop entries are valid" sh -c "! desktop-file-validate '$ROOT'/usr/share/applications/screensavers/*.desktop | grep -q error"
for saver in $SAVERS; do
    entry="$ROOT/usr/share/applications/screensavers/$saver.desktop"
    check "$saver.desktop runs \"$saver --root\" and is a screen saver" \
        sh -c "grep -qx 'Exec=$saver --root' '$entry' && grep -qx 'TryExec=$saver' '$entry' &&
               grep -q '^Categories=.*Screensaver' '$entry'"
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$ROOT/usr/share/man/man6/$saver.6.gz" 2>&1 >/dev/null)
    check "the manual page of $saver renders without warnings${warnings:+ ($warnings)}" [ -z "$warnings" ]
done

# --- the programs run from the unpacked tree --------------------------------------------
version=$("$ROOT/usr/libexec/xscreensaver/opal" --version)
check "opal --version from the tree says \"$version\"" [ "$version" = "opal 1.0.0" ]

build_test_window || not_ok "x11_test_window.c builds"
if start_xvfb -screen 0 800x600x24; then
    # runs_from <cobalt> <what>: cobalt from an empty folder draws, and ends with 0.
    runs_from() {
        local pid code
        open_window "$WORK/window" 320 240
        mkdir -p "$WORK/empty"
        (cd "$WORK/empty" && exec "$1" --window-id "$(cat "$WORK/window")" 2>"$WORK/err") &
        pid=$!
        if wait_bright 15 0.005 "tree" 0 320x240+0+0; then ok "$2: cobalt draws (mean $mean)"; else
            not_ok "$2: cobalt draws (mean $mean)"; fi
        kill -TERM "$pid"
        wait "$pid"
        code=$?
        check "$2: cobalt ends with 0 and printed nothing ($code, $(wc -c <"$WORK/err") bytes)" \
            [ "$code.$(wc -c <"$WORK/err")" = 0.0 ]
        destroy_window
        wait "$WINDOW_PID" 2>/dev/null
    }
    runs_from "$ROOT/usr/libexec/xscreensaver/cobalt" "the unpacked package, from a folder without the mesh"
    DESTDIR="$WORK/destdir" cmake --install "$BUILD" --prefix /opt/corvel >"$WORK/install.log" 2>&1
    check "cmake --install with --prefix /opt/corvel and DESTDIR installs" \
        [ -f "$WORK/destdir/opt/corvel/share/corvel-savers/sphere.3d" ]
    runs_from "$WORK/destdir/opt/corvel/libexec/xscreensaver/cobalt" "a tree installed under another prefix"
    xvfb_stop
else
    not_ok "Xvfb starts"
fi

# --- MATE's screen saver with the unpacked tree ------------------------------------------
if [ "$(id -u)" = 0 ] && command -v mate-screensaver >/dev/null; then
    sh "$HERE/mate_screensaver_test.sh" "$ROOT" >"$WORK/mate.out" 2>&1
    grep -e '^ok' -e '^not ok' -e '^#' -e ': not found$' "$WORK/mate.out"
    counts=$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$WORK/mate.out" | tail -1)
    passed=$((passed + $(echo "${counts:-0 passed}" | sed 's/ passed.*//')))
    failed=$((failed + $(echo "${counts:-x 1 failed}" | sed 's/.* \([0-9]*\) failed/\1/')))
else
    not_ok "mate-screensaver and root for the MATE test"
fi

finish
