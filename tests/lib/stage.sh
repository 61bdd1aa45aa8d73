#!/usr/bin/env bash
# Runs one test stage: a real-platform test script (as a CTest test), a build or
# a unit-test run (from scripts/test-all). Its output goes to
# $SAVER_TEST_LOG_DIR/<name>.log (default build/test-logs) and to stdout, and one
# line "NAME STATUS PASSED FAILED SECONDS" to that folder's `results`, from which
# scripts/test-all writes its summary. Exits with the stage's status.
#
#   tests/lib/stage.sh <name> <command...>
#
# A stage also fails when its script is missing or has lost its run bit, when
# it called a command that does not exist (a misspelt helper goes on and may
# pass), or when it left an X display locked by a server that has ended (not
# asked of stages that start no display, SAVER_STAGE_DISPLAYS=none: builds and
# unit tests, which the other lane's scripts could otherwise be blamed on).
set -uo pipefail
name=${1:?usage: stage.sh <name> <command...>}
shift
top=$(cd "$(dirname "$0")/../.." && pwd)
log_dir=${SAVER_TEST_LOG_DIR:-$top/build/test-logs}
mkdir -p "$log_dir"
log="$log_dir/$name.log"
. "$top/tests/lib/processes.sh"
. "$top/tests/lib/xvfb.sh" # xvfb_lock_pid

# The counts a suite printed ("N passed, M failed", or ctest's summary): "P F".
suite_counts() {
    local line total f
    line=$(grep -E '^(\w+: )?[0-9]+ passed, [0-9]+ failed' "$1" | tail -n 1)
    if [ -n "$line" ]; then
        echo "$line" | sed -E 's/^(\w+: )?([0-9]+) passed, ([0-9]+) failed.*/\2 \3/'
    elif line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$1" | tail -n 1) && [ -n "$line" ]; then
        f=$(echo "$line" | sed -E 's/.*passed, ([0-9]+) tests failed.*/\1/')
        total=$(echo "$line" | sed -E 's/.*out of ([0-9]+).*/\1/')
        echo "$((total - f)) $f"
    else
        echo "0 0"
    fi
}

# Every X display lock with the process it names ("/tmp/.X57-lock 1234").
display_locks() {
    local lock n
    for lock in /tmp/.X*-lock; do
        [ -e "$lock" ] || continue
        n=${lock#/tmp/.X}
        echo "$lock $(xvfb_lock_pid "${n%-lock}")"
    done | sort
}

# The locks that appeared since $1 (display_locks before the stage) and whose
# server has ended. A server killed at the script's exit may still be dying,
# and a script of the other lane may be about to remove the lock of a server it
# killed on purpose: up to 10 s for either.
stale_locks_left() {
    local new lock pid i=0 alive stale
    new=$(comm -13 <(echo "$1") <(display_locks))
    [ -n "$new" ] || return 0
    while :; do
        alive=0
        stale=
        while read -r lock pid; do
            [ -e "$lock" ] || continue
            if [ -n "$pid" ] && process_runs "$pid"; then alive=1; else stale="$stale $lock"; fi
        done <<<"$new"
        [ -z "$stale" ] && { [ $alive = 0 ] || [ $i -ge 30 ]; } && break
        [ $i -ge 100 ] && break
        sleep 0.1
        i=$((i + 1))
    done
    echo $stale
}

start=$SECONDS
locks_before=$(display_locks)
if [[ $1 == */* ]] && [ ! -x "$1" ]; then
    echo "not ok - $1 is missing or not executable" >"$log"
    status=1
else
    "$@" >"$log" 2>&1 </dev/null
    status=$?
fi
left=
[ "${SAVER_STAGE_DISPLAYS:-}" = none ] || left=$(stale_locks_left "$locks_before")
if [ -n "$left" ]; then
    echo "not ok - $name leaves no display locked by a server that has ended: $left" >>"$log"
    [ $status -eq 0 ] && status=1
fi
missing='^[^ ]+: (line )?[0-9]+: [^ ]+: (command )?not found$'
if grep -qE "$missing" "$log"; then
    {
        echo "not ok - $name called a command that does not exist:"
        grep -E "$missing" "$log" | sort -u | head -n 5
    } >>"$log"
    [ $status -eq 0 ] && status=1
fi
set -- $(suite_counts "$log")
[ $status -ne 0 ] && [ "$2" -eq 0 ] && set -- "$1" 1
cat "$log"
echo "== $name: $1 passed, $2 failed, $((SECONDS - start)) s (log: ${log#$top/})"
echo "$name $status $1 $2 $((SECONDS - start))" >>"$log_dir/results"
exit $status
