# Process helpers for the test scripts and benchmarks (sourced, not run; POSIX sh).

# Whether process $1 still runs (a zombie has ended).
process_runs() {
    [ -r "/proc/$1/status" ] && ! grep -q '^State:[[:space:]]*Z' "/proc/$1/status" 2>/dev/null
}
