# The saver processes a Wayland test script started (sourced, not run; POSIX sh;
# after processes.sh). Uses BIN (the programs' folder), SAVERS (their names),
# SAVER_PID (the one started last) and, where savers also run inside a Debian
# 13 root (started there by its swayidle), RUNNING_SAVERS_ROOT (that root).

# The saver processes of BIN's programs now running (zombies are not).
saver_processes() {
    for proc in /proc/[0-9]*; do
        exe=$(readlink "$proc/exe" 2>/dev/null) || continue
        for saver in $SAVERS; do
            [ "$exe" = "$BIN/$saver" ] || [ "$exe" = "${RUNNING_SAVERS_ROOT:-}$BIN/$saver" ] && echo "${proc#/proc/}"
        done
    done
}
count_savers() { saver_processes | wc -l; }

# savers_become <n>: waits up to 10 s for n saver processes; their count then
# in $processes.
savers_become() {
    i=0
    while [ $i -lt 100 ] && [ "$(count_savers)" != "$1" ]; do
        sleep 0.1
        i=$((i + 1))
    done
    processes=$(count_savers)
}

# Ends every saver process still running (after a check that failed), so that
# none is in the way of the next.
stop_savers() {
    SAVER_PID=
    left=$(saver_processes)
    [ -n "$left" ] || return 0
    # shellcheck disable=SC2086
    kill $left 2>/dev/null
    i=0
    while [ $i -lt 20 ] && [ -n "$(saver_processes)" ]; do
        sleep 0.1
        i=$((i + 1))
    done
    # shellcheck disable=SC2046
    kill -9 $(saver_processes) 2>/dev/null
}

# ended_with <seconds> <status>: the started saver has ended in time with that
# status ($code).
ended_with() {
    i=0
    while [ $i -lt $(($1 * 10)) ] && process_runs "$SAVER_PID"; do
        sleep 0.1
        i=$((i + 1))
    done
    process_runs "$SAVER_PID" && return 1
    wait "$SAVER_PID"
    code=$?
    SAVER_PID=
    [ "$code" = "$2" ]
}
