#!/usr/bin/env bash
# What the Windows packages give a user, under Wine of the build's architecture
# in a prefix made afresh for each run, on an Xvfb display of its own:
#   resources  each .scr's name (LoadStringA, string 1), version
#              (GetFileVersionInfoA) and manifest, also as the loader reads it
#              (an activation context made from the program)
#   installer  silent install; the savers in the system folder; cobalt full
#              screen from another working directory; the chosen saver made
#              current; silent uninstall that leaves the prefix's files and
#              registry as they were, and the screen saver as the user had it
# The installer is a 32-bit program: where 32-bit programs cannot run, its
# checks are skipped with the reason.
#
# Usage: tests/real/wine_package_test.sh <build/win32/bin | build/win64/bin> <setup.exe>
# Environment: SAVER_WINE_DISPLAY (first display tried, default 58),
# SAVER_WINEPREFIX (default build/wine/savers in this clone; this
# script uses <that>-<win32|win64>-package). Prints "ok - ..." or "not ok - ..." per check,
# ends with "N passed, M failed" and exits non-zero if any check failed.
set -u

HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine_test_lib.sh
. "$HERE/../lib/wine_test_lib.sh"
if [ $# -ne 2 ] || ! ARCH=$(pe_arch "$1/amber.scr") || [ ! -f "$2" ]; then
    echo "usage: $0 <build/win32/bin or build/win64/bin> <setup.exe>" >&2
    exit 2
fi
BIN=$(cd "$1" && pwd)
SETUP=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
BUILD=$(dirname "$BIN")
WORK="$BUILD/wine_package_test"
rm -rf "$WORK"
mkdir -p "$WORK"

VERSION=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$BUILD/CMakeCache.txt")
PRODUCT="Corvel Savers"
. "$HERE/../../scripts/lib/savers.sh"
mapfile -t SAVERS < <(saver_names)

wine_use "$ARCH" "${SAVER_WINEPREFIX:-$wine_prefixes/savers}-$ARCH-package"
export WINEDEBUG=-all LIBGL_ALWAYS_SOFTWARE=1
export WINEDLLOVERRIDES="mscoree=;mshtml="  # no Mono or Gecko install prompts
echo "# $ARCH: $BIN and $(basename "$SETUP") under $wine, prefix $WINEPREFIX (new)"

if ! xvfb_start "${SAVER_WINE_DISPLAY:-58}" 20 "$WORK/xvfb.log"; then
    echo "Bail out! no free display from :${SAVER_WINE_DISPLAY:-58} on"
    exit 1
fi
rm -rf "$WINEPREFIX"
wine_prefix_made "$WORK/wineboot.log"

# Runs a Windows program and prints its output without carriage returns.
run() { "$wine" "$@" 2>/dev/null | tr -d '\r'; }

# --- resources --------------------------------------------------------------------

CHECK_EXE="$WORK/win_resource_check.exe"
if ! "$mingw-gcc" -O2 -std=c99 -Wall -Wextra -o "$CHECK_EXE" "$HERE/../helpers/win_resource_check.c" -lversion; then
    not_ok "win_resource_check.exe builds"
fi

# The value of key $1 in the listing $2.
value() { sed -n "s/^$1=//p" <<<"$2"; }

supported_os="{35138b9a-5d96-4fbd-8e2d-a2440225f93a},{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38},"
supported_os+="{1f676c76-80e1-4239-95bb-83d0f6d0da78},{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"
for name in "${SAVERS[@]}"; do
    display="$(tr '[:lower:]' '[:upper:]' <<<"${name:0:1}")${name:1}"
    listing=$(cd "$BIN" && run "$CHECK_EXE" "$name.scr")
    echo "$listing" >"$WORK/$name.resources.txt"
    check "$name.scr: LoadStringA(1) gives the name \"$display\"" test "$(value name "$listing")" = "$display"
    check "$name.scr: GetFileVersionInfoA gives version $VERSION.0, \"$display screen saver\", $name.scr, \"$PRODUCT\"" \
        test "$(value fileversion "$listing") $(value productversion "$listing")" = "$VERSION.0 $VERSION.0" \
        -a "$(value FileVersion "$listing") $(value ProductVersion "$listing")" = "$VERSION $VERSION" \
        -a "$(value FileDescription "$listing")" = "$display screen saver" \
        -a "$(value OriginalFilename "$listing")" = "$name.scr" \
        -a "$(value InternalName "$listing")" = "$name" \
        -a "$(value ProductName "$listing")" = "$PRODUCT"
    check "$name.scr: the manifest makes it per-monitor DPI aware (PerMonitorV2, fallback true/pm)" \
        test "$(value 'actctx.dpiAwareness' "$listing")" = "PerMonitorV2, PerMonitor" \
        -a "$(value 'actctx.dpiAware' "$listing")" = "true/pm"
    check "$name.scr: the manifest names Windows 7, 8, 8.1 and 10/11 as supported" \
        test "$(value 'actctx.supportedOS' "$listing")" = "$supported_os"
    check "$name.scr: the manifest asks to run as invoker" \
        test "$(value 'actctx.runLevel' "$listing")" = "asInvoker uiAccess=0"
    check "$name.scr: no icon 100 and no dialog 2003" \
        test "$(value icon100 "$listing") $(value dialog2003 "$listing")" = "no no"
done

# --- installer --------------------------------------------------------------------

if [ "$(pe_arch "$SETUP")" = win32 ] && ! wine32_runs; then
    echo "# skipped: the installer checks; the installer is a 32-bit program and this machine cannot run 32-bit programs ($wine32_reason)"
    finish
    exit
fi

windows=$WINEPREFIX/drive_c/windows
desktop_key='HKCU\Control Panel\Desktop'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
our_key="$uninstall_key\\corvel-savers"

# What an install may touch: the system folders, Program Files, the uninstall
# lists (both registry views) and the user's desktop settings.
snapshot() {
    (cd "$WINEPREFIX/drive_c" && find windows/system32 windows/syswow64 "Program Files" "Program Files (x86)" \
        -maxdepth 2 2>/dev/null | sort)
    run reg query "$uninstall_key" /s
    run reg query 'HKLM\Software\Wow6432Node\Microsoft\Windows\CurrentVersion\Uninstall' /s
    run reg query "$desktop_key"
}

screen_saver() { run reg query "$desktop_key" /v SCRNSAVE.EXE | sed -n 's/^ *SCRNSAVE.EXE *REG_SZ *//p'; }
set_screen_saver() { run reg add "$desktop_key" /v SCRNSAVE.EXE /d "$1" /f >/dev/null; }
no_screen_saver() { run reg delete "$desktop_key" /v SCRNSAVE.EXE /f >/dev/null; }
registered() { run reg query "$our_key" /v "$1" | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"; }
unregistered() { [ -z "$(registered DisplayName)" ]; }

# Runs the uninstaller silently; it copies itself away and returns at once, so
# this waits for its work to be done.
uninstall() {
    local command program
    command=$(registered QuietUninstallString)  # "C:\...\Uninstall.exe" /S
    program=${command#\"}
    program=${program%%\"*}
    [ -n "$program" ] || return 1
    run "$program" /S >/dev/null
    within 30 unregistered
    "$wineserver" -w
}

install_as() { # expected exit code, arguments...
    local expected=$1
    shift
    (cd "$WORK" && "$wine" "$SETUP" "$@" >/dev/null 2>&1)
    [ $? -eq "$expected" ]
}

# Every file the installer puts into the system folder, as this build's kind.
savers_in_system_folder() {
    local file
    for file in amber.scr cobalt.scr jade.scr opal.scr; do
        [ "$(pe_arch "$windows/system32/$file")" = "$ARCH" ] || return 1
    done
    [ -s "$windows/system32/sphere.3d" ]
}
none_in_syswow64() { ! ls "$windows/syswow64"/{amber,cobalt,jade,opal}.scr "$windows/syswow64/sphere.3d" >/dev/null 2>&1; }

# One full-screen run of the installed cobalt from an empty working directory;
# the screenshot in $1.
cobalt_runs_from_elsewhere() {
    local elsewhere="$WORK/elsewhere" wid rc saver where drawn=no
    mkdir -p "$elsewhere"
    xdotool mousemove 500 400
    wine_start "$elsewhere" 'C:\windows\system32\cobalt.scr' /s
    saver=$started
    wait_window "Screen Saver" 30 || return 1
    where=$(geometry "$wid")
    wait_drawing 1024x768+0+0 "$1" 30 && drawn=yes
    xdotool key a
    wait_pid_exit "$saver" 20
    [ "$where" = "0 0 1024 768" ] && [ $drawn = yes ] && [ "$rc" = 0 ]
}

# A user's own screen saver, set before the install.
set_screen_saver 'C:\windows\system32\theirs.scr'
snapshot >"$WORK/before.txt"

check "setup.exe /S /SAVER=nonsense refuses with exit code 2 and installs nothing" \
    install_as 2 /S /SAVER=nonsense
check "... the prefix is as it was" cmp -s "$WORK/before.txt" <(snapshot)

check "setup.exe /S /SAVER=cobalt exits with 0" install_as 0 /S /SAVER=cobalt
check "the four $ARCH savers and sphere.3d are in the system folder (System32)" savers_in_system_folder
check "none of them went to SysWOW64" none_in_syswow64
check "Add/Remove Programs lists \"$PRODUCT\" $VERSION with a silent uninstaller" \
    test "$(registered DisplayName)|$(registered DisplayVersion)" = "$PRODUCT|$VERSION" \
    -a -n "$(registered QuietUninstallString)"
check "cobalt is the user's screen saver now" test "$(screen_saver)" = 'C:\windows\system32\cobalt.scr'
check "the installed cobalt.scr runs full screen (1024 x 768) from another working directory, draws, ends with 0" \
    cobalt_runs_from_elsewhere "$WORK/installed_cobalt.png"
check "the installed cobalt.scr reports version $VERSION.0" \
    test "$(value fileversion "$(run "$CHECK_EXE" 'C:\windows\system32\cobalt.scr')")" = "$VERSION.0"

uninstall
check "the silent uninstall puts the user's screen saver back" test "$(screen_saver)" = 'C:\windows\system32\theirs.scr'
check "... and leaves the files and registry as before the install" cmp -s "$WORK/before.txt" <(snapshot)
snapshot | diff "$WORK/before.txt" - | head -n 20 | sed 's/^/# /'

# No screen saver before; the user picks another one after the install.
no_screen_saver
snapshot >"$WORK/before2.txt"
install_as 0 /S /SAVER=jade
check "setup.exe /S /SAVER=jade makes jade current where none was" \
    test "$(screen_saver)" = 'C:\windows\system32\jade.scr'
set_screen_saver 'C:\savers\mine.scr'
uninstall
check "the uninstall leaves a screen saver the user chose after the install" \
    test "$(screen_saver)" = 'C:\savers\mine.scr'
no_screen_saver
check "... and everything else as before the install" cmp -s "$WORK/before2.txt" <(snapshot)

# Without /SAVER the screen saver is left alone; with none before, none after.
install_as 0 /S
check "setup.exe /S leaves the screen saver unset" test -z "$(screen_saver)"
install_as 0 /S /SAVER=opal
uninstall
check "installing again over it, then uninstalling, removes the value it set" test -z "$(screen_saver)"
check "... and leaves everything else as before" cmp -s "$WORK/before2.txt" <(snapshot)

finish
