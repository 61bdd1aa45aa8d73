#!/usr/bin/env bash
# The 9x screen-saver password under a storm of input: the .scr programs under
# Wine set to report Windows 98, with our PASSWORD.CPL double holding every
# question open for a while and answering wrong. Rapid keys, clicks and mouse
# moves go to the saver before, during and after each question. The saver must
# never close without the right answer, never ask while a question is open,
# and close with 0 on the first key after the answer turns right.
#
#   tests/reliability/wine_password_storm.sh <folder with the .scr files> <win32|win64> <Wine prefix> [rounds]
#   rounds (default 1): storms per saver; amber only with 1, all four with more.
# Environment: STORM_DISPLAY (the first display tried, default :81; the first
# free one from there on is used), STORM_EVENTS (input events per storm,
# default 300), TMPDIR. Runs the architecture's own Wine loader and builds the
# doubles for it with mingw-w64. Prints "ok - ..." / "not ok - ..." and
# "N passed, M failed".
set -u

if [ $# -lt 3 ] || [ ! -d "$1" ]; then
    echo "usage: $0 <folder with the .scr files> <win32|win64> <Wine prefix> [rounds]" >&2
    exit 2
fi
bin=$(cd "$1" && pwd)
arch=$2
rounds=${4:-1}
here=$(cd "$(dirname "$0")" && pwd)
doubles_src=$(cd "$here/../password" && pwd)
events=${STORM_EVENTS:-300}
# shellcheck source=../lib/wine_test_lib.sh
. "$here/../lib/wine_test_lib.sh"
# scripts/test-all passes the password test's prefix, which that stage has set
# up; a prefix that is not there yet is made below.
case $arch in
    win32 | win64) wine_use "$arch" "$3" ;;
    *) echo "$0: architecture must be win32 or win64, not $arch" >&2; exit 2 ;;
esac
cc=$mingw-gcc
export WINEDEBUG=-all LIBGL_ALWAYS_SOFTWARE=1
first_display=${STORM_DISPLAY:-:81}
out=$(mktemp -d "${TMPDIR:-/tmp}/password-storm.XXXXXX")

give_up() {
    echo "not ok - $1"
    echo "$passed passed, $((failed + 1)) failed"
    exit 1
}

trap 'wine_cleanup; rm -rf "$out"' EXIT

flags=(-O2 -s -std=c99 -Wall -Wextra -static-libgcc -shared)
# The .def files name undecorated exports; 32-bit stdcall symbols are fixed up.
[ "$arch" = win32 ] && flags+=(-Wl,--enable-stdcall-fixup)
"$cc" "${flags[@]}" -o "$out/PASSWORD.CPL" \
    "$doubles_src/password_cpl_double.c" "$doubles_src/password_cpl_double.def" 2>"$out/cc.log" &&
    "$cc" "${flags[@]}" -o "$out/MPR.DLL" "$doubles_src/mpr_double.c" \
        "$doubles_src/mpr_double.def" 2>>"$out/cc.log" ||
    give_up "the $arch doubles build with $cc ($(head -n 3 "$out/cc.log" | tr '\n' ' '))"

xvfb_start "${first_display#:}" 20 "$out/xvfb.log" || give_up "Xvfb on a free display from $first_display on"
wine_prefix_made "$out/wineboot.log"
"$wineserver" -p >/dev/null 2>&1
"$wine" reg add 'HKCU\Software\Wine' /v Version /d win98 /f >/dev/null 2>&1
"$wine" reg add 'HKCU\Control Panel\Desktop' /v ScreenSaveUsePassword /t REG_DWORD /d 1 /f >/dev/null 2>&1

run_dir=
questions() { grep -c '^call ' "$run_dir/verify_calls.log" 2>/dev/null || echo 0; }
# No question is open: the last line logged is no "call n" without its "done n".
no_question_open() { ! tail -n 1 "$run_dir/verify_calls.log" 2>/dev/null | grep -q '^call '; }
# Every question ends before the next begins: "call n" is always followed by "done n".
never_nested() {
    awk '/^call / {if (open) bad = 1; open = $2} /^done / {if ($2 != open) bad = 1; open = 0}
         END {exit bad || open}' "$run_dir/verify_calls.log"
}

# storm <events>: random keys, clicks and small mouse moves in six bursts half a
# second apart, so that they fall before, into and right after the questions.
# Input inside a question closes nothing, but Alt+F4 there still comes back as a
# close through the default processing (system command, then WM_CLOSE) while
# the question is open: each burst has one in its middle, so a close check that
# would ask again inside a question does.
storm() {
    local commands burst i keys=(a b c x Escape Return space Tab Shift_L F1 Up Left 1 2 alt+F4)
    for burst in 1 2 3 4 5 6; do
        commands=()
        for ((i = 0; i < $1 / 6; i++)); do
            [ $i = $(($1 / 12)) ] && commands+=(key --delay 0 alt+F4)
            case $((RANDOM % 4)) in
                0 | 1) commands+=(key --delay 0 "${keys[RANDOM % ${#keys[@]}]}") ;;
                2) commands+=(click --delay 0 $((RANDOM % 3 + 1))) ;;
                3) commands+=(mousemove_relative -- $((RANDOM % 41 - 20)) $((RANDOM % 41 - 20))) ;;
            esac
        done
        xdotool "${commands[@]}" 2>/dev/null
        sleep 0.5
    done
}

savers=amber
. "$here/../../scripts/lib/savers.sh"
[ "$rounds" -gt 1 ] && savers=$(saver_names)
total_events=0
total_questions=0
started=$(date +%s)
for saver in $savers; do
    run_dir=$out/$saver
    mkdir -p "$run_dir"
    cp "$bin/$saver.scr" "$out/PASSWORD.CPL" "$out/MPR.DLL" "$run_dir/"
    [ "$saver" = cobalt ] && cp "$bin/sphere.3d" "$run_dir/"
    # Every question is held open for 0.7 s and answered wrong.
    echo "0 700" >"$run_dir/verify_answers.txt"
    WINEDLLOVERRIDES="mpr=n" start_run "$saver.scr" /s
    if ! wait_saver_window 30; then
        check "$arch $saver /s shows its full-screen window" false
        stop_run
        continue
    fi
    wait_window "Screen Saver" 10 # shown: the input reaches it
    for ((r = 1; r <= rounds; r++)); do
        storm "$events"
        total_events=$((total_events + events))
        run_ended && break
    done
    within 5 no_question_open # the last question ends
    check "$arch $saver: $((rounds * events)) input events with wrong answers never close the saver" \
        eval '! run_ended && [ -n "$(saver_window)" ]'
    asked=$(questions)
    total_questions=$((total_questions + asked))
    check "$arch $saver: the storm asked for the password ($asked questions)" [ "$asked" -gt 0 ]
    check "$arch $saver: no question was asked while another was open" never_nested
    echo "1" >"$run_dir/verify_answers.txt"
    sleep 0.3
    xdotool key a
    wait_run_exit 15
    check "$arch $saver: with the right answer the next key closes it with 0" \
        eval '[ "$(cat "$run_dir/exit" 2>/dev/null)" = 0 ]'
    stop_run
done
echo "# $arch password storm: $total_events input events, $total_questions questions, $(($(date +%s) - started)) s"
finish
