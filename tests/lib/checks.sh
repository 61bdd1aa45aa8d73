# shellcheck shell=sh
# The check counters and the waiting helpers of the test scripts (sourced, not
# run; POSIX sh, for sh and bash scripts alike): every check prints one
# "ok - …" or "not ok - …" line and is counted in passed or failed; finish
# prints the counts line that scripts/test-all adds up.
passed=0
failed=0
ok() {
    echo "ok - $*"
    passed=$((passed + 1))
}
not_ok() {
    echo "not ok - $*"
    failed=$((failed + 1))
}
check() { # check <what> <command...>
    local what=$1
    shift
    if "$@"; then ok "$what"; else not_ok "$what"; fi
}
# The last line of a script: the counts, status 1 when a check failed.
finish() {
    echo "$passed passed, $failed failed"
    [ "$failed" -eq 0 ]
}

# poll <pace> <tries> <command...>: true once the command succeeds, tried up to
# <tries> times, <pace> seconds apart (a costly try, such as a screenshot,
# wants a slower pace than within's).
poll() {
    local pace=$1 tries=$2
    shift 2
    until "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep "$pace"
    done
}

# within <seconds> <command...>: true once the command succeeds, tried every
# 0.1 s for that long; the seconds may have one decimal (within 0.5 ...).
within() {
    local tenths
    case $1 in
        *.*) tenths=$((${1%%.*}0 + ${1#*.})) ;;
        *) tenths=$(($1 * 10)) ;;
    esac
    shift
    poll 0.1 "$tenths" "$@"
}

# Milliseconds since the epoch.
now_ms() { date +%s%3N; }

# frames_of <pid>: the frames that saver process has presented so far; the
# programs count them in $SAVER_FRAME_COUNT_DIR/<pid> when that is set. Pacing
# is judged by frames, which a busy machine can only lower; CPU time is printed.
frames_of() { cat "$SAVER_FRAME_COUNT_DIR/$1" 2>/dev/null || echo 0; }

# frames_settled <pid>: true once no frame came in 300 ms.
frames_settled() {
    local before
    before=$(frames_of "$1")
    sleep 0.3
    [ "$(frames_of "$1")" = "$before" ]
}
