#!/usr/bin/env bash
# Real-platform tests of the Windows programs: the .scr files under Wine of their
# own architecture (32-bit or 64-bit) on an Xvfb display, driven with xdotool and
# inspected with xwininfo and screenshots. Also runs win_platform_check.exe (the
# platform library's own checks) and a parent window for the preview
# (win_parent_window.exe), both built here with mingw for that architecture from
# this folder's sources.
#
# Usage: tests/real/wine_saver_test.sh <build/win32/bin | build/win64/bin>
#
# Sets up what it needs and leaves nothing running: its own Xvfb display
# (1024 x 768, the first free one from :$SAVER_WINE_DISPLAY on, default 58), and
# the Wine prefix $SAVER_WINEPREFIX-<win32|win64> (default
# build/wine/savers-... in this clone), created once. Prints
# "ok - ..." or "not ok - ..." per check, ends with "N passed, M failed" and
# exits non-zero if any check failed. Screenshots go to <build>/wine_test/.
set -u

HERE=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=wine_test_lib.sh
. "$HERE/../lib/wine_test_lib.sh"
if [ $# -ne 1 ] || ! ARCH=$(pe_arch "$1/amber.scr"); then
    echo "usage: $0 <build/win32/bin or build/win64/bin holding amber.scr>" >&2
    exit 2
fi
BIN=$(cd "$1" && pwd)
SRC=$(cd "$HERE/../.." && pwd)
BUILD=$(dirname "$BIN")
WORK="$BUILD/wine_test"
mkdir -p "$WORK"

wine_use "$ARCH" "${SAVER_WINEPREFIX:-$wine_prefixes/savers}-$ARCH"
export WINEDEBUG=-all LIBGL_ALWAYS_SOFTWARE=1
export WINEDLLOVERRIDES="mscoree=;mshtml="  # no Mono or Gecko install prompts
echo "# $ARCH: $BIN under $wine, prefix $WINEPREFIX"

# --- display and prefix -------------------------------------------------------

if ! xvfb_start "${SAVER_WINE_DISPLAY:-58}" 20 "$WORK/xvfb.log"; then
    echo "Bail out! no free display from :${SAVER_WINE_DISPLAY:-58} on"
    exit 1
fi

wine_prefix_made "$WORK/wineboot.log"
# A fault that reaches the platform's filter must not wait on a debugger: no
# crash dialog, and no debugger to start, so the filter lets the program's
# guard handle it.
if [ ! -f "$WINEPREFIX/.saver-tests" ]; then
    "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1 &&
        "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger \
            /d 'no-debugger-in-saver-tests.exe %ld %ld' /f >/dev/null 2>&1 &&
        touch "$WINEPREFIX/.saver-tests"
fi

# --- helper programs ----------------------------------------------------------

built_from() { # program sources... : is the program missing or older than a source?
    local out=$1 src
    shift
    [ -x "$out" ] || return 0
    for src in "$@"; do [ "$src" -nt "$out" ] && return 0; done
    return 1
}

PARENT_EXE="$WORK/win_parent_window.exe"
CHECK_EXE="$WORK/win_platform_check.exe"
PLATFORM_LIB="$BUILD/platform/win32/libsaver_platform.a"
if built_from "$PARENT_EXE" "$HERE/../helpers/win_parent_window.c"; then
    "$mingw-gcc" -O2 -Wall -Wextra -o "$PARENT_EXE" "$HERE/../helpers/win_parent_window.c" -static -mwindows
fi
if built_from "$CHECK_EXE" "$HERE/../helpers/win_platform_check.cpp" "$PLATFORM_LIB"; then
    "$mingw-g++" -std=c++17 -O2 -Wall -Wextra -msse2 -mfpmath=sse -I"$SRC" -o "$CHECK_EXE" \
        "$HERE/../helpers/win_platform_check.cpp" "$PLATFORM_LIB" -static -static-libgcc -static-libstdc++ -mwindows \
        -lopengl32 -lgdi32 -luser32 -lwinmm -lcomctl32 -ladvapi32
fi

# --- process and window helpers -------------------------------------------------

# Starts a program of $BIN (from $BIN, where cobalt finds its mesh) in the
# background; its process id in started.
start() { wine_start "$BIN" "$@"; }

# The number of visible X windows; a menu opened adds its popup.
visible_windows() { xdotool search --onlyvisible --name '' 2>/dev/null | wc -l; }
more_visible_windows_than() { [ "$(visible_windows)" -gt "$1" ]; }

# Starts "amber.scr /s" with the cursor at (500, 400) and waits for its window;
# once it shows, input reaches the saver.
start_full_screen() {
    xdotool mousemove 500 400
    start amber.scr /s
    saver=$started
    wait_window "Screen Saver" 30
}

# --- platform library -----------------------------------------------------------

if [ -x "$CHECK_EXE" ]; then
    # The programs write through msvcrt's text mode: lines end in CR LF.
    check_out=$( (cd "$WORK" && "$wine" "$CHECK_EXE") 2>/dev/null)
    check_rc=$?
    check_out=${check_out//$'\r'/}
    echo "$check_out" | grep -E '^(not )?ok - ' | sed 's/^\(\(not \)\?ok - \)/\1platform: /'
    p=$(echo "$check_out" | grep -c '^ok - ')
    f=$(echo "$check_out" | grep -c '^not ok - ')
    passed=$((passed + p))
    failed=$((failed + f))
    check "platform checks ran in full and exited with their failure count" \
        test "$p" -ge 40 -a "$check_rc" -eq "$f"

    fault_out=$( (cd "$WORK" && "$wine" "$CHECK_EXE" fault) 2>/dev/null)
    fault_rc=$?
    fault_out=${fault_out//$'\r'/}
    check "RunGuarded: a fault in the body runs onEscape and exits -1 (Wine reports 255)" \
        test "$fault_out" = "escaped" -a "$fault_rc" -eq 255
else
    not_ok "win_platform_check.exe could not be built from $PLATFORM_LIB"
fi

# --- full-screen saver ------------------------------------------------------------

if start_full_screen; then
    ok "amber.scr /s opens a window titled \"Screen Saver\""
    check "the saver window covers the 1024 x 768 screen" test "$(geometry "$wid")" = "0 0 1024 768"
    check "the saver draws on the screen" wait_drawing 1024x768+0+0 "$WORK/amber_saver.png" 30

    start amber.scr /s
    second=$started
    wait_pid_exit "$second" 30
    check "a second amber.scr /s exits with 0" exit_is 0
    check "one saver window remains, and its saver runs on" \
        test "$(windows_titled "Screen Saver" | wc -l)" -eq 1 -a -n "$(running "$saver" && echo yes)"

    xdotool key a
    wait_pid_exit "$saver" 20
    check "a key press ends the saver with 0" exit_is 0
else
    not_ok "amber.scr /s opens a window titled \"Screen Saver\""
fi
stop_pid "$saver"

if start_full_screen; then
    xdotool click 1
    wait_pid_exit "$saver" 20
    check "a mouse click ends the saver with 0" exit_is 0
else
    not_ok "amber.scr /s for the click"
fi
stop_pid "$saver"

if start_full_screen; then
    xdotool mousemove 503 401
    sleep 2 # nothing may happen
    check "a movement of 3 + 1 pixels does not end the saver" running "$saver"
    xdotool mousemove 504 401
    wait_pid_exit "$saver" 20
    check "one more pixel (5 in total since the start) ends it with 0" exit_is 0
else
    not_ok "amber.scr /s for the small movement"
fi
stop_pid "$saver"

if start_full_screen; then
    xdotool mousemove 505 400
    wait_pid_exit "$saver" 20
    check "a movement of 5 pixels ends the saver with 0" exit_is 0
else
    not_ok "amber.scr /s for the movement of 5 pixels"
fi
stop_pid "$saver"

# --- preview ----------------------------------------------------------------------

# Asks the parent window helper for its first child; the answer in child_line.
ask_child() {
    child_line=""
    echo child >&"${PARENT[1]}" && read -r -t 10 child_line <&"${PARENT[0]}"
    child_line=${child_line//$'\r'/}
}
has_child() { ask_child && [ "$child_line" != none ] && [ -n "$child_line" ]; }

# HACK: Wine (8, X11) keeps the GL surface of a child window in an off-screen X
# window and does not show it on a parent that another process owns (drawing
# with GDI from another process does not show there either). So the preview's
# picture is read from that surface: the window of the preview's size at
# (-1, -1), inside Wine's 1 x 1 holder.
wait_surface_drawing() { poll 1 "$2" surface_drawing "$1"; } # WxH seconds
surface_drawing() {
    local id count
    id=$(xwininfo -root -tree | grep -E " $1\+0\+0 +\+-1\+-1" | awk '{print $1; exit}')
    [ -n "$id" ] || return 1
    count=$(import -window "$id" "$WORK/amber_preview.png" 2>/dev/null &&
        convert "$WORK/amber_preview.png" -format '%k' info: 2>/dev/null)
    [ "${count:-0}" -gt 50 ]
}

coproc PARENT { exec "$wine" "$PARENT_EXE" 100 100 640 480 120000 2>/dev/null; }
helper_pid=$PARENT_PID
parent_hwnd=""
read -r -t 30 parent_hwnd <&"${PARENT[0]}"
parent_hwnd=${parent_hwnd//[^0-9]/}
if [ -n "$parent_hwnd" ]; then
    ask_child
    check "the parent window has no child before the preview" test "$child_line" = none
    start amber.scr /p "$parent_hwnd"
    preview=$started
    poll 1 30 has_child
    check "amber.scr /p <hwnd> puts a visible child \"Preview\" of class WindowsScreenSaverClass over the parent's client area" \
        test "$child_line" = "WindowsScreenSaverClass 1 0 0 640 480 Preview"
    check "the preview draws into its GL surface" wait_surface_drawing 640x480 40
    xdotool mousemove 300 300
    xdotool click 1
    xdotool key a
    xdotool mousemove 400 400
    sleep 2 # nothing may happen
    check "the preview ignores keys, clicks and mouse movement" running "$preview"
    echo close >&"${PARENT[1]}"
    wait_pid_exit "$preview" 20
    check "the preview ends with 0 when its parent window is destroyed" exit_is 0
    stop_pid "$preview"
else
    not_ok "win_parent_window.exe printed its window handle"
fi
stop_pid "$helper_pid"

# --- windowed demo ----------------------------------------------------------------

start amber.scr /c
demo=$started
if wait_window "Screensaver By Tam Corvel" 30; then
    ok "amber.scr /c opens the demo window \"Screensaver By Tam Corvel\""
    read -r x y w h <<<"$(geometry "$wid")"
    # The X window is the Win32 window (256, 192, 512 x 384) less its frame.
    check "the demo window is 512 x 384 at (256, 192), centred" \
        test "$x" -ge 256 -a "$y" -ge 192 -a $((x + w)) -le 768 -a $((y + h)) -le 576 \
        -a $((x + w)) -ge 760 -a $((y + h)) -ge 568 -a "$w" -ge 490 -a "$h" -ge 330
    check "the demo draws" wait_drawing "$((w - 16))x$((h - 60))+$((x + 8))+$((y + 40))" "$WORK/amber_demo.png" 30
    # File > Quit ends the demo with 0.
    shown=$(visible_windows)
    xdotool mousemove $((x + 16)) $((y + 9)) click 1
    within 5 more_visible_windows_than "$shown" # the menu's popup
    xdotool mousemove $((x + 30)) $((y + 30)) click 1
    wait_pid_exit "$demo" 20
    check "File > Quit ends the demo with 0" exit_is 0
else
    not_ok "amber.scr /c opens the demo window \"Screensaver By Tam Corvel\""
fi
stop_pid "$demo"

start amber.scr
demo=$started
check "amber.scr without arguments opens the demo" wait_window "Screensaver By Tam Corvel" 30
stop_pid "$demo"

# --- the other savers -------------------------------------------------------------

. "$HERE/../../scripts/lib/savers.sh"
for name in $(saver_names | grep -vx amber); do
    xdotool mousemove 500 400
    start "$name.scr" /s
    saver=$started
    if wait_window "Screen Saver" 30; then
        check "$name.scr /s covers the screen" test "$(geometry "$wid")" = "0 0 1024 768"
        check "$name.scr /s draws" wait_drawing 1024x768+0+0 "$WORK/${name}_saver.png" 30
        xdotool key a
        wait_pid_exit "$saver" 20
        check "$name.scr /s ends with 0 on a key press" exit_is 0
    else
        not_ok "$name.scr /s opens a window titled \"Screen Saver\""
    fi
    stop_pid "$saver"
done

start cobalt.scr /c
demo=$started
if wait_window "Cobalt SS - By Tam Corvel" 30; then
    read -r x y w h <<<"$(geometry "$wid")"
    # Win32 widens a window with a caption to its minimum tracking width (116).
    check "cobalt's demo window is 100 pixels high at the top-left corner" \
        test "$x" -ge 0 -a "$x" -le 8 -a "$y" -ge 0 -a "$y" -le 30 -a $((y + h)) -le 100 -a $((y + h)) -ge 90 \
        -a $((x + w)) -le 120
    xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
    wait_pid_exit "$demo" 20
    check "a click in cobalt's demo ends it with 0" exit_is 0
else
    not_ok "cobalt.scr /c opens the demo window \"Cobalt SS - By Tam Corvel\""
fi
stop_pid "$demo"

for name in jade opal; do
    start "$name.scr" /c
    demo=$started
    check "$name.scr /c opens the demo window \"Screensaver By Tam Corvel\"" \
        wait_window "Screensaver By Tam Corvel" 30
    stop_pid "$demo"
done

# --- bad command lines --------------------------------------------------------------

for args in "/x" "/p 0" "/p 99999" "/p"; do
    # shellcheck disable=SC2086 # the arguments are meant to split
    start amber.scr $args
    wait_pid_exit "$started" 30
    check "amber.scr $args exits with -1 (Wine reports 255)" exit_is 255
    stop_pid "$started"
done

finish
