# The check counters of the real-platform scripts, sourced by each: every check
# prints one "ok - …" or "not ok - …" line and is counted in passed or failed.
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
