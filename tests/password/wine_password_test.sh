#!/usr/bin/env bash
# The Windows 9x screen-saver password, for real: the .scr programs under Wine of
# their own architecture (32-bit or 64-bit) set to report Windows 98, on an Xvfb
# display of their own, driven with xdotool, against our own PASSWORD.CPL and
# MPR.DLL doubles built here for that architecture.
#   tests/password/wine_password_test.sh <build/win32/bin | build/win64/bin>
# Environment: PASSWORD_TEST_PREFIX (Wine prefix, default
# build/wine/password in this clone; "-win32" or "-win64" is appended;
# scripts/test-all runs the password storm in it afterwards),
# PASSWORD_TEST_DISPLAY (the first display tried, default :59; the first free
# one from there on is used), PASSWORD_TEST_OUT (screenshots and logs, default
# a new folder under $TMPDIR).
set -u

here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../lib/wine_test_lib.sh
. "$here/../lib/wine_test_lib.sh"
if [ $# -ne 1 ] || ! arch=$(pe_arch "$1/amber.scr"); then
    echo "usage: $0 <folder with amber.scr, jade.scr (32-bit or 64-bit)>" >&2
    exit 2
fi
bin=$(cd "$1" && pwd)
out=${PASSWORD_TEST_OUT:-$(mktemp -d "${TMPDIR:-/tmp}/password-test.XXXXXX")}
mkdir -p "$out"
wine_use "$arch" "${PASSWORD_TEST_PREFIX:-$wine_prefixes/password}-$arch"
export WINEDEBUG=-all
first_display=${PASSWORD_TEST_DISPLAY:-:59}
echo "# $arch: $bin under $wine, prefix $WINEPREFIX"
# Our MPR.DLL beside the .scr instead of Wine's builtin one.
saver_overrides="mpr=n"

# --- Doubles and probes --------------------------------------------------------

doubles=$out/doubles
mkdir -p "$doubles/plain" "$doubles/without_verify"
cflags=(-O2 -s -std=c99 -Wall -Wextra -static-libgcc)
# The .def files name the exports undecorated, as the platform's libraries do.
# 32-bit stdcall symbols carry "@<bytes>", which the linker's fix-up drops;
# 64-bit ones have no decoration.
dll_flags=(-shared)
[ "$arch" = win32 ] && dll_flags+=(-Wl,--enable-stdcall-fixup)
build_doubles() {
    "$mingw-gcc" "${cflags[@]}" "${dll_flags[@]}" -o "$doubles/plain/PASSWORD.CPL" \
        "$here/password_cpl_double.c" "$here/password_cpl_double.def" &&
        "$mingw-gcc" "${cflags[@]}" "${dll_flags[@]}" -o "$doubles/without_verify/PASSWORD.CPL" \
            "$here/password_cpl_without_verify.c" "$here/password_cpl_without_verify.def" &&
        "$mingw-gcc" "${cflags[@]}" "${dll_flags[@]}" -o "$doubles/MPR.DLL" \
            "$here/mpr_double.c" "$here/mpr_double.def" &&
        "$mingw-gcc" "${cflags[@]}" -o "$doubles/version_probe.exe" "$here/version_probe.c" &&
        "$mingw-gcc" "${cflags[@]}" -o "$doubles/owner_window.exe" "$here/owner_window.c" -lgdi32
}
if ! build_doubles; then
    echo "not ok - build the doubles and probes"
    echo "0 passed, 1 failed"
    exit 1
fi
cursor_probe=
if gcc -O2 -std=c99 -Wall -Wextra -o "$doubles/cursor_probe" "$here/cursor_probe.c" -lX11 -lXfixes 2>"$out/cursor_probe.log"; then
    cursor_probe=$doubles/cursor_probe
else
    echo "# the cursor probe did not build (XFixes headers?); cursor checks are skipped"
fi

# --- Display and Wine prefix ---------------------------------------------------

if ! xvfb_start "${first_display#:}" 20 "$out/xvfb.log"; then
    echo "not ok - Xvfb on a free display from $first_display on"
    echo "0 passed, 1 failed"
    exit 1
fi
wine_prefix_made "$out/wineboot.log"
"$wineserver" -p >/dev/null 2>&1

# How +relay shows HKEY_CURRENT_USER (0x80000001, sign-extended in a 64-bit
# process) and the start of a return address in the program's own image (mingw's
# default image base).
case $arch in
    win32) relay_hkcu=80000001 relay_image=004 ;;
    win64) relay_hkcu=ffffffff80000001 relay_image=14000 ;;
esac

# Only the registry calls of the password setting are traced under +relay.
"$wine" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /d 'advapi32.RegOpenKeyA;advapi32.RegOpenKeyExA' /f \
    >/dev/null 2>&1

wine_version() { "$wine" reg add 'HKCU\Software\Wine' /v Version /d "$1" /f >/dev/null 2>&1; }
password_setting() {  # on | off | deleted
    case $1 in
        on) "$wine" reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t REG_DWORD /d 1 /f ;;
        off) "$wine" reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t REG_DWORD /d 0 /f ;;
        deleted) "$wine" reg delete 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /f ;;
    esac >/dev/null 2>&1
}
platform_reported() { [ "$("$wine" "$doubles/version_probe.exe" | tr -d '\r' | sed -E 's/^platform=([0-9]+).*/\1/')" = "$1" ]; }

# --- One saver run -------------------------------------------------------------

# A run folder holds the .scr, the doubles chosen for it and the doubles' logs.
#   new_run <saver> <cpl: plain | without_verify | none> [answer lines...]
run_dir=
new_run() {
    local saver=$1 cpl=$2
    shift 2
    run_dir=$out/run$((passed + failed))-$saver-$cpl
    rm -rf "$run_dir"
    mkdir -p "$run_dir"
    cp "$bin/$saver.scr" "$doubles/MPR.DLL" "$run_dir/"
    [ "$cpl" != none ] && cp "$doubles/$cpl/PASSWORD.CPL" "$run_dir/"
    printf '%s\n' "$@" >"$run_dir/verify_answers.txt"
}

run_limit=60
saver_debug=-all  # +relay: the calls named in RelayInclude, with their callers
start_saver() {  # start_saver <saver> <arguments...>: runs in the background
    local saver=$1
    shift
    WINEDEBUG=$saver_debug WINEDLLOVERRIDES=$saver_overrides start_run "$saver.scr" "$@"
}
run_saver() {  # run_saver <saver> <arguments...>: waits for the end; the exit code
    local saver=$1
    shift
    (cd "$run_dir" && WINEDLLOVERRIDES=$saver_overrides timeout 30 "$wine" "$saver.scr" "$@" >"$run_dir/wine.log" 2>&1)
}
saver_running() { ! run_ended && [ -n "$(saver_window)" ]; }
calls() {  # the number of questions asked; 0 also when the log is missing
    grep -c '^call ' "$run_dir/verify_calls.log" 2>/dev/null || [ -e "$run_dir/verify_calls.log" ] || echo 0
}
calls_are() { [ "$(calls)" = "$1" ]; }
# The question numbered $1 has been asked (and is open, or was); it has been answered.
asked() { grep -q "^call $1 " "$run_dir/verify_calls.log" 2>/dev/null; }
answered() { grep -qx "done $1" "$run_dir/verify_calls.log" 2>/dev/null; }
no_verify_log() { [ ! -e "$run_dir/verify_calls.log" ]; }
cursor_is() { [ "$("$cursor_probe" | cut -d' ' -f1)" = "$1" ]; }
# check_cursor <what> hidden|visible [seconds]: the X server's cursor now, or
# within that many seconds.
check_cursor() {
    if [ -n "$cursor_probe" ]; then
        check "$1" within "${3:-0}" cursor_is "$2"
    else
        echo "# skipped: $1 (no cursor probe)"
    fi
}
screenshot() { import -window root "$out/$1.png" 2>/dev/null; }
lit() { [ "$(convert "$out/$1.png" -format '%[fx:maxima>0]' info: 2>/dev/null)" = 1 ]; }
# Something is drawn: the effects start from black and take a few seconds.
wait_picture() { poll 0.5 20 picture_lit "$1"; } # wait_picture <name>
picture_lit() { screenshot "$1" && lit "$1"; }
# The picture changes between two screenshots: the saver still draws.
still_drawing() {  # still_drawing <name>
    screenshot "$1-a" || return 1
    for _ in $(seq 6); do
        sleep 0.5
        screenshot "$1-b" || return 1
        [ "$(compare -metric AE "$out/$1-a.png" "$out/$1-b.png" null: 2>&1 | cut -d' ' -f1)" -gt 1000 ] && return 0
    done
    return 1
}
key() { xdotool key "$@"; }

# --- Windows 98 ----------------------------------------------------------------

wine_version win98
check "Wine set to Windows 98 reports platform id 1 (the 9x family)" platform_reported 1
password_setting on

# amber (RegOpenKeyExA): a question that holds its dialog for 1.5 s (wrong), a
# quick double press (wrong), then the right answer.
new_run amber plain "0 1500" "0" "1"
saver_debug=+relay start_saver amber /s
check "amber /s shows its full-screen window" wait_saver_window 20
check "amber draws" wait_picture amber-running
# The caller's address is in the program's own image.
check "amber reads the setting with RegOpenKeyExA" grep -q \
    "Call advapi32.RegOpenKeyExA($relay_hkcu,[0-9a-f]* \"Control Panel\\\\\\\\Desktop\",00000000,00000001,[0-9a-f]*) ret=$relay_image" \
    "$run_dir/wine.log"
check_cursor "amber: the cursor is hidden while the saver runs" hidden
key a
within 5 asked 1 # the question holds its dialog for 1.5 s
check_cursor "amber: while the password dialog is open the cursor shows" visible 1
key b  # during the question: no second one
within 5 answered 1
sleep 1 # no question for the key pressed during the first
check "amber: a key press asks for the password once (one call logged)" calls_are 1
check "amber: the question gets the saver window" grep -q '^call 1 window=[1-9][0-9]* class=WindowsScreenSaverClass' \
    "$run_dir/verify_calls.log"
check "amber: after a wrong answer the saver keeps running" saver_running
check_cursor "amber: after a wrong answer the cursor is hidden again" hidden
check "amber: after a wrong answer the saver keeps drawing" still_drawing amber-after-wrong
key a b
within 5 answered 2
sleep 1 # no question for the second key
check "amber: two key presses in quick succession ask only once" calls_are 2
check "amber: after the second wrong answer the saver still runs" saver_running
key a
wait_run_exit 10
check "amber: the right answer closes the saver with exit code 0" run_exit_is 0
check "amber: the right answer was the third question" calls_are 3
check "amber: the saver window is gone" test -z "$(saver_window)"
check "amber: the provider is released at the end" test "$(tail -n 1 "$run_dir/verify_calls.log")" = unload
screenshot amber-closed
stop_run

# The older shell (RegOpenKeyA): wrong, then right.
for saver in jade opal; do
    new_run $saver plain "0 800" "1"
    saver_debug=+relay start_saver $saver /s
    check "$saver /s shows its full-screen window" wait_saver_window 20
    check "$saver draws" wait_picture $saver-running
    check "$saver reads the setting with RegOpenKeyA" grep -q \
        "Call advapi32.RegOpenKeyA($relay_hkcu,[0-9a-f]* \"Control Panel\\\\\\\\Desktop\",[0-9a-f]*) ret=$relay_image" \
        "$run_dir/wine.log"
    key a
    within 5 answered 1
    sleep 0.5 # and no second question
    check "$saver: a key press asks once" calls_are 1
    check "$saver: after a wrong answer the saver keeps running" saver_running
    check_cursor "$saver: after a wrong answer the cursor is hidden again" hidden
    check "$saver: after a wrong answer the saver keeps drawing" still_drawing $saver-after-wrong
    key a
    wait_run_exit 10
    check "$saver: the right answer closes the saver with exit code 0" run_exit_is 0
    check "$saver: the right answer was the second question" calls_are 2
    stop_run
done

# No password in force: the first key closes without asking.
first_key_closes() {  # first_key_closes <saver> <what>
    start_saver "$1" /s
    if ! wait_saver_window 20; then
        check "$1: $2: the saver window appears" false
        stop_run
        return
    fi
    wait_window "Screen Saver" 10 # shown: the key reaches it
    key a
    wait_run_exit 10
    check "$1: $2: the first key closes the saver with exit code 0" run_exit_is 0
    check "$1: $2: no password question" calls_are 0
    stop_run
}
password_setting off
new_run amber plain "0"
first_key_closes amber "setting 0"
check "amber: setting 0: PASSWORD.CPL is not even loaded" no_verify_log
password_setting deleted
new_run amber plain "0"
first_key_closes amber "setting deleted"
check "amber: setting deleted: PASSWORD.CPL is not even loaded" no_verify_log
password_setting on
new_run amber none
first_key_closes amber "PASSWORD.CPL missing"
new_run amber without_verify
first_key_closes amber "PASSWORD.CPL without VerifyScreenSavePwd"
check "amber: PASSWORD.CPL without VerifyScreenSavePwd is loaded and released" \
    test "$(tr '\n' ' ' <"$run_dir/verify_calls.log")" = "load unload "
new_run jade none
first_key_closes jade "PASSWORD.CPL missing"

# The password change: "a <handle>" hands the owner window to PwdChangePasswordA.
owner_log=$out/owner_window.txt
(cd "$doubles" && exec timeout 100 "$wine" owner_window.exe 90000 >"$owner_log" 2>&1) &
owner_pid=$!
within 10 test -s "$owner_log"
read -r owner foreground < <(tr -d '\r' <"$owner_log")
owner=${owner:-0}
foreground=${foreground:-0}
check "an owner window exists and is the foreground window" test "$owner" != 0 -a "$owner" = "$foreground"
change_is() { [ "$(cat "$run_dir/change_calls.log" 2>/dev/null)" = "change provider=SCRSAVE owner=$1 reserved=0,0" ]; }
new_run amber plain
run_saver amber /a "$owner"
check "amber /a <window>: exit code 0" test $? = 0
check "amber /a <window>: PwdChangePasswordA(\"SCRSAVE\", that window, 0, 0)" change_is "$owner"
new_run amber plain
run_saver amber -A:65001
check "amber -A:65001 (capital, no digits after the letter): exit code 0" test $? = 0
check "amber -A:65001: the owner is the foreground window" change_is "$foreground"
new_run amber plain
run_saver amber /a 65001
check "amber /a <no window>: exit code 0" test $? = 0
check "amber /a <no window>: the owner is the foreground window" change_is "$foreground"
new_run jade plain
run_saver jade /a
check "jade /a without a handle: exit code 0" test $? = 0
check "jade /a without a handle: the owner is the foreground window" change_is "$foreground"
new_run amber plain
rm "$run_dir/MPR.DLL"
run_saver amber /a "$owner"
check "amber /a with no MPR.DLL beside it: exit code 0 all the same" test $? = 0

# --- Windows XP: outside the 9x family the savers leave the password alone ------

wine_version winxp
check "Wine set to Windows XP reports platform id 2 (NT)" platform_reported 2
new_run amber plain "0"
run_saver amber /a "$owner"
check "NT: amber /a <window> exits with -1 (255)" test $? = 255
check "NT: amber /a: PwdChangePasswordA is never called" test ! -s "$run_dir/change_calls.log"
new_run jade plain "0"
run_saver jade /a "$owner"
check "NT: jade /a <window> exits with -1 (255)" test $? = 255
check "NT: jade /a: PwdChangePasswordA is never called" test ! -s "$run_dir/change_calls.log"
new_run amber plain "0"
first_key_closes amber "NT with the setting on"
check "NT: amber: PASSWORD.CPL is never loaded" no_verify_log

kill "$owner_pid" 2>/dev/null
wine_version win98
echo "# screenshots and logs: $out"
finish
