#!/bin/sh
# The X11 programs on a private Xvfb display, driven with xdotool: full-screen
# saver, close rules, second instance, preview inside a foreign window, bad
# command lines, the windowed demos with their menu bar, the message box, and
# that the saver sleeps between frames.
#
# Usage: x11_saver_test.sh <directory with amber, cobalt, ...> [screenshot dir]
# Needs: Xvfb, xdotool, xwininfo, xmessage (x11-utils), ImageMagick (import, convert),
# python3 (x11_close_window.py beside this script).
# Prints "ok - <what>" / "not ok - <what>" per check, then "N passed, M failed".
# SAVER_X11_DISPLAY_FROM: the first display number to try (default 57).
# Screenshots go to the folder named, by default x11_saver_shots beside the bin
# dir (in this clone's build folder).

HERE=$(cd "$(dirname "$0")" && pwd)
BIN=$(cd "${1:?usage: x11_saver_test.sh <bin dir> [screenshot dir]}" && pwd) || exit 2
. "$HERE/../lib/x11_test_lib.sh"
SHOTS=${2:-$(dirname "$BIN")/x11_saver_shots}
mkdir -p "$SHOTS"
SAVER_PID=
HELPER_PID=
export SAVER_FRAME_COUNT_DIR="$WORK/frames"
mkdir -p "$SAVER_FRAME_COUNT_DIR"

# --- Display ---------------------------------------------------------------

if ! start_xvfb; then
    not_ok "Xvfb starts"
    finish
    exit 1
fi

# --- Helpers ----------------------------------------------------------------

# run_saver <program> <args...>: starts it in the background from the bin dir
# (cobalt reads sphere.3d there); its exit code lands in $WORK/rc.
run_saver() {
    rm -f "$WORK/rc"
    (
        cd "$BIN" || exit 2
        "./$@" >"$WORK/out" 2>&1
        echo $? >"$WORK/rc"
    ) &
    SAVER_PID=$!
    on_exit_kill "$SAVER_PID"
}

# wait_exit <seconds>: true when the started saver ended within the time.
wait_exit() {
    within "$1" test -s "$WORK/rc" || return 1
    wait "$SAVER_PID" 2>/dev/null
    SAVER_PID=
}

exit_code() { cat "$WORK/rc" 2>/dev/null; }
running() { [ ! -s "$WORK/rc" ]; }

stop_saver() {
    local child
    [ -z "$SAVER_PID" ] && return
    for child in $(pgrep -P "$SAVER_PID"); do kill "$child" 2>/dev/null; done
    kill "$SAVER_PID" 2>/dev/null
    wait "$SAVER_PID" 2>/dev/null
    SAVER_PID=
}

# find_window <name regex> [seconds]: prints the decimal ids of windows with that name.
find_window() { within "${2:-10}" windows_named "$1"; }
windows_named() {
    local ids
    ids=$(xdotool search --name "$1" 2>/dev/null)
    [ -n "$ids" ] && echo "$ids"
}

# find_viewable <name regex> [seconds]: like find_window, once the window is
# mapped (the saver maps and grabs input only after its GL start).
find_viewable() { within "${2:-20}" viewable_named "$1"; }
viewable_named() {
    local id
    for id in $(xdotool search --name "$1" 2>/dev/null); do
        if xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
            echo "$id"
            return 0
        fi
    done
    return 1
}

# focused <id>: window <id> (decimal) has the input focus. A program's top-level
# window takes it once shown, after the full-screen saver's grabs: from then on
# input goes to the program.
focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }

geometry() { # geometry <id>: "width height x y"
    xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
                             /Width:/ {w=$2} /Height:/ {h=$2} END {print w, h, x, y}'
}

# The saver's process id (the program itself, child of the run_saver subshell).
saver_process() { pgrep -P "$SAVER_PID" | head -1; }

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null; }
# timer_paced <frames> <ms>: some frames, and none closer than the timer's 10 ms.
timer_paced() { [ "$1" -gt 0 ] && [ $(($1 * 10)) -le $(($2 + 10)) ]; }

# Mean brightness (0..1) of a screenshot of the whole screen, kept in $SHOTS.
screenshot() { # screenshot <name>
    import -window root "$SHOTS/$1.png" 2>/dev/null && convert "$SHOTS/$1.png" -colorspace Gray -format '%[fx:mean]' info: 2>/dev/null
}
# shot_brighter <name> <threshold>: a screenshot brighter than that; its mean in $mean.
shot_brighter() {
    mean=$(screenshot "$1")
    brighter_than "$mean" "$2"
}

# gl_area_fits <width> <height>: the demo's GL area ($id's unnamed child, read
# into glchild as WxH+X+Y) fills that width and reaches the bottom of that
# height, below the menu strip.
gl_area_fits() {
    local gw gh gy
    glchild=$(xwininfo -children -id "$id" | awk '/\(has no name\): \(\)/ {print $(NF-1); exit}')
    gw=$(echo "$glchild" | sed 's/^\([0-9]*\)x.*/\1/')
    gh=$(echo "$glchild" | sed 's/^[0-9]*x\([0-9]*\)+.*/\1/')
    gy=$(echo "$glchild" | sed 's/^.*+\([0-9]*\)$/\1/')
    [ "$gw" = "$1" ] && [ "$gy" -gt 0 ] 2>/dev/null && [ $((gy + gh)) = "$2" ]
}

# The number of top-level windows; a menu opened adds its popup.
top_windows() { xwininfo -root -children | grep -c '^ *0x'; }
more_top_windows_than() { [ "$(top_windows)" -gt "$1" ]; }

# preview_in <parent>: the parent window has a child named "Preview".
preview_in() { xwininfo -children -id "$1" 2>/dev/null | grep -q '"Preview"'; }

# colourful <name> <WxH+X+Y>: a screenshot (kept in $SHOTS) whose rectangle
# holds more than 50 colours: an effect draws there.
colourful() {
    local count
    import -window root "$SHOTS/$1.png" 2>/dev/null || return 1
    count=$(convert "$SHOTS/$1.png" -crop "$2" +repage -format '%k' info: 2>/dev/null)
    [ "${count:-0}" -gt 50 ]
}

count_lines() { if [ -z "$1" ]; then echo 0; else echo "$1" | wc -l; fi; }

# --- Full-screen saver --------------------------------------------------------

xdotool mousemove 100 100
run_saver amber s
if id=$(find_viewable '^Screen Saver$'); then
    check "amber s covers the screen (1024x768 at 0,0)" [ "$(geometry "$id")" = "1024 768 0 0" ]
    check "amber s is override-redirect (no window manager frame)" \
        sh -c "xwininfo -id $id | grep -q 'Override Redirect State: yes'"
    # amber builds its plasma texture first, and its trails take a moment to
    # spread over the screen: a screenshot a second, the last 12 s on.
    mean=0
    poll 1 13 shot_brighter amber_saver 0.01
    check "amber s draws a picture (mean brightness $mean)" brighter_than "$mean" 0.01
    xdotool key a
    check "amber s ends after a key press" wait_exit 10
    check "amber s exits 0 after a key" [ "$(exit_code)" = 0 ]
else
    not_ok "amber s shows a window named \"Screen Saver\""
fi
stop_saver

xdotool mousemove 100 100
run_saver amber s
if id=$(find_viewable '^Screen Saver$'); then
    within 5 focused "$id"
    xdotool mousemove 103 101
    sleep 1.5 # nothing may happen
    check "amber s keeps running after a movement of 3+1 pixels" running
    xdotool mousemove 105 100
    check "amber s ends after a movement of 5 pixels" wait_exit 10
    check "amber s exits 0 after the movement" [ "$(exit_code)" = 0 ]
else
    not_ok "amber s starts for the movement check"
fi
stop_saver

run_saver amber s
if id=$(find_viewable '^Screen Saver$'); then
    within 5 focused "$id"
    xdotool keyup a
    sleep 1.5 # nothing may happen
    check "amber s ignores a key release alone" running
    xdotool click 1
    check "amber s ends after a click" wait_exit 10
    check "amber s exits 0 after a click" [ "$(exit_code)" = 0 ]
else
    not_ok "amber s starts for the click check"
fi
stop_saver

run_saver amber s
first=$SAVER_PID
if id=$(find_viewable '^Screen Saver$'); then
    within 5 focused "$id"
    (cd "$BIN" && timeout 20 ./amber s >/dev/null 2>&1)
    second=$?
    check "a second amber s exits 0 while one runs" [ "$second" = 0 ]
    windows=$(count_lines "$(xdotool search --name '^Screen Saver$' 2>/dev/null)")
    check "one saver window remains ($windows)" [ "$windows" = 1 ]
    check "the first saver keeps running" running
    # From a folder with a blank the program name is quoted on the command line,
    # so "s" is still the option (unquoted, "b/amber" would give -1).
    mkdir -p "$WORK/a b"
    cp "$BIN/amber" "$WORK/a b/amber"
    timeout 20 "$WORK/a b/amber" s >/dev/null 2>&1
    code=$?
    check "a saver run from a path with a blank reads its option ($code)" [ "$code" = 0 ]
    # A folder named q"x y cannot be quoted on the command line; a tab in
    # argv[0] and bytes that are not UTF-8 must not cut the name short either.
    mkdir -p "$WORK/q\"x y" "$WORK/$(printf '\377\376')"
    cp "$BIN/amber" "$WORK/q\"x y/amber"
    cp "$BIN/amber" "$WORK/$(printf '\377\376')/amber"
    timeout 20 "$WORK/q\"x y/amber" s >/dev/null 2>&1
    code=$?
    check "a saver run from a folder named q\"x y reads its option ($code)" [ "$code" = 0 ]
    timeout 20 bash -c 'exec -a "$1" "$2" s' _ "$(printf 'am\tber')" "$BIN/amber" >/dev/null 2>&1
    code=$?
    check "a saver whose argv[0] holds a tab reads its option ($code)" [ "$code" = 0 ]
    timeout 20 "$WORK/$(printf '\377\376')/amber" s >/dev/null 2>&1
    code=$?
    check "a saver run from a folder whose name is not UTF-8 reads its option ($code)" [ "$code" = 0 ]
    xdotool key Escape
    check "the first saver ends after a key" wait_exit 10
else
    not_ok "amber s starts for the second-instance check"
fi
SAVER_PID=$first
stop_saver

xmessage -geometry 200x100+10+10 -name saver_other_client "another client" >/dev/null 2>&1 &
HELPER_PID=$!
on_exit_kill "$HELPER_PID"
other=$(find_window '^saver_other_client$' | head -1)
run_saver amber s
if [ -n "$other" ] && id=$(find_viewable '^Screen Saver$'); then
    within 5 focused "$id" # taken from the saver only once it has it
    xdotool windowfocus "$other"
    check "amber s ends when another client takes the focus" wait_exit 10
    check "amber s exits 0 after losing the focus" [ "$(exit_code)" = 0 ]
else
    not_ok "amber s and another client start for the focus check"
fi
stop_saver
kill "$HELPER_PID" 2>/dev/null
wait "$HELPER_PID" 2>/dev/null
HELPER_PID=

# --- Preview inside a foreign window -----------------------------------------

xmessage -geometry 320x240+600+400 -name saver_preview_parent "preview parent" >/dev/null 2>&1 &
HELPER_PID=$!
on_exit_kill "$HELPER_PID"
if parent=$(find_window '^saver_preview_parent$' | head -1) || parent=$(xdotool search --pid "$HELPER_PID" 2>/dev/null | head -1); then
    run_saver amber p "$parent"
    within 10 preview_in "$parent"
    if preview_in "$parent"; then
        ok "amber p shows a child inside the parent window"
        child=$(xwininfo -children -id "$parent" | awk '/"Preview"/ {print $1}')
        psize=$(xwininfo -id "$parent" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
        csize=$(xwininfo -id "$child" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
        check "the preview fills the parent ($csize in $psize)" [ "$csize" = "$psize" ]
    else
        not_ok "amber p shows a child inside the parent window"
    fi
    # Its start (amber builds its plasma texture first) is over once it draws.
    poll 1 10 colourful amber_preview 320x240+600+400
    # Frames come from the timer, at most one per 10 ms: the process sleeps
    # between them. Its CPU time is a figure only: a busy machine moves it.
    pid=$(saver_process)
    f0=$(frames_of "$pid") c0=$(cpu_ticks "$pid") t0=$(now_ms)
    sleep 2
    f1=$(frames_of "$pid") c1=$(cpu_ticks "$pid") t1=$(now_ms)
    frames=$((f1 - f0)) ms=$((t1 - t0))
    check "amber p sleeps between frames: $frames frames in $ms ms, at most one per 10 ms (CPU $((c1 - c0)) ticks)" \
        timer_paced "$frames" "$ms"
    xdotool mousemove 700 500 key a
    sleep 1.5 # nothing may happen
    check "amber p ignores a key press" running
    kill "$HELPER_PID" 2>/dev/null
    wait "$HELPER_PID" 2>/dev/null
    HELPER_PID=
    check "amber p ends when its parent window is destroyed" wait_exit 10
    check "amber p exits 0 when its parent is gone" [ "$(exit_code)" = 0 ]
else
    not_ok "the preview parent window (xmessage) appears"
fi
stop_saver

# --- Full-screen CPU: measured and reported, not judged -----------------------
# Mesa's software rasteriser draws a full 1024 x 768 frame on threads of this
# process, so its CPU time says more about the machine's load than about the
# pacing; the preview above is the check that the process sleeps.

run_saver jade s
if find_viewable '^Screen Saver$' >/dev/null; then
    poll 1 10 shot_brighter jade_saver 0.01 # past its start
    pid=$(saver_process)
    before=$(cpu_ticks "$pid")
    sleep 3
    after=$(cpu_ticks "$pid")
    if [ -n "$before" ] && [ -n "$after" ]; then
        used=$((after - before))
        echo "# jade s used ${used} CPU ticks of 300 in 3 s"
    fi
    xdotool key a
    wait_exit 10
fi
stop_saver

# --- No display --------------------------------------------------------------

(cd "$BIN" && env -u DISPLAY ./amber s >"$WORK/out" 2>"$WORK/err")
code=$?
check "without a display amber s exits 1 ($code)" [ "$code" = 1 ]
check "without a display amber s says so in one line on stderr" [ "$(wc -l <"$WORK/err")" = 1 ]

# --- Bad command lines --------------------------------------------------------

for args in "/x" "p 0" "p 123456789" "p" "l abc"; do
    # shellcheck disable=SC2086
    (cd "$BIN" && timeout 20 ./amber $args >/dev/null 2>&1)
    code=$?
    check "amber $args exits 255 (-1)" [ "$code" = 255 ]
done
# An unknown switch is named in one line that points to --help.
for arg in --bogus x; do
    (cd "$BIN" && timeout 20 ./amber "$arg" >"$WORK/out" 2>"$WORK/err")
    code=$?
    line="amber: unknown option '$arg'; see amber --help"
    got="$code|$(cat "$WORK/out")|$(cat "$WORK/err")"
    check "amber $arg exits 255 with \"$line\" on stderr ($got)" [ "$got" = "255||$line" ]
done

# --- Windowed demos -------------------------------------------------------------

run_saver amber c
if id=$(find_viewable '^Screensaver By Tam Corvel$'); then
    set -- $(geometry "$id")
    check "amber c opens a window of 512x384 ($1x$2)" [ "$1x$2" = "512x384" ]
    wx=$3
    wy=$4
    within 5 focused "$id"
    # The GL area is the child below the menu strip and follows the window's size.
    xdotool windowsize "$id" 600 400
    within 5 gl_area_fits 600 400
    check "after resizing to 600x400 the GL area is $glchild, below the strip" gl_area_fits 600 400
    # amber builds its plasma texture first; the menu opens over its picture.
    poll 1 15 colourful amber_demo 500x300+$((wx + 50))+$((wy + 50))
    before=$(top_windows)
    xdotool mousemove $((wx + 20)) $((wy + 8)) click 1
    within 5 more_top_windows_than "$before"
    popup=$(xwininfo -root -children | awk '/\(has no name\): \(\)/ {print $NF; exit}')
    after=$(top_windows)
    check "clicking \"File\" opens its menu" [ "$after" -gt "$before" ]
    mean=$(screenshot amber_demo_menu)
    check "amber c draws a picture under its menu bar (mean brightness $mean)" brighter_than "$mean" 0.005
    if [ -n "$popup" ]; then
        # +X+Y of the popup; its first item ("Quit") is in its top row.
        px=$(echo "$popup" | sed 's/^+\([0-9-]*\)+.*/\1/')
        py=$(echo "$popup" | sed 's/^+[0-9-]*+\([0-9-]*\)$/\1/')
        xdotool mousemove $((px + 20)) $((py + 10)) click 1
    fi
    check "\"Quit\" ends amber c" wait_exit 15
    check "amber c exits 0 after \"Quit\"" [ "$(exit_code)" = 0 ]
else
    not_ok "amber c opens a window titled \"Screensaver By Tam Corvel\""
fi
stop_saver

run_saver cobalt c
if id=$(find_viewable '^Cobalt SS - By Tam Corvel$'); then
    set -- $(geometry "$id")
    check "cobalt c opens a window of 100x100 ($1x$2)" [ "$1x$2" = "100x100" ]
    within 5 focused "$id"
    screenshot cobalt_demo >/dev/null
    xdotool mousemove $(($3 + 50)) $(($4 + 50))
    sleep 1 # nothing may happen
    check "cobalt c keeps running when the mouse moves" running
    xdotool key a
    check "a key ends cobalt c" wait_exit 10
    check "cobalt c exits 0 after a key" [ "$(exit_code)" = 0 ]
else
    not_ok "cobalt c opens a window titled \"Cobalt SS - By Tam Corvel\""
fi
stop_saver

# The window manager's close button: WM_DELETE_WINDOW arrives as WM_CLOSE, which
# ends jade's demo with 0.
run_saver jade c
if id=$(find_viewable '^Screensaver By Tam Corvel$'); then
    within 5 focused "$id"
    python3 "$HERE/../helpers/x11_close_window.py" "$id"
    check "the close button (WM_DELETE_WINDOW) ends jade c" wait_exit 10
    check "jade c exits 0 after the close button" [ "$(exit_code)" = 0 ]
else
    not_ok "jade c opens a window titled \"Screensaver By Tam Corvel\""
fi
stop_saver

# --- Message box ------------------------------------------------------------------

# Without sphere.3d in its working directory, beside it or in a data folder,
# cobalt cannot start its effect: a modal box "Init Points Failed" titled
# "Error" appears, Return closes it and the demo ends with 0.
mkdir -p "$WORK/lonely/a/b"
cp "$BIN/cobalt" "$WORK/lonely/a/b/cobalt"
(
    cd "$WORK" || exit 2
    rm -f "$WORK/rc"
    "$WORK/lonely/a/b/cobalt" c >/dev/null 2>&1
    echo $? >"$WORK/rc"
) &
SAVER_PID=$!
on_exit_kill "$SAVER_PID"
if box=$(find_viewable '^Error$'); then
    ok "cobalt c without sphere.3d shows a message box titled \"Error\""
    screenshot message_box >/dev/null
    set -- $(geometry "$box")
    xdotool mousemove $(($3 + $1 / 2)) $(($4 + $2 / 2))
    xdotool key Return
    check "Return closes the message box and cobalt c exits" wait_exit 10
    check "cobalt c exits 0 after the failed start" [ "$(exit_code)" = 0 ]
else
    not_ok "cobalt c without sphere.3d shows a message box titled \"Error\""
fi
stop_saver

finish
