"""The check counters of the Python checks, as tests/real/checks.sh is for the
shell scripts: every check prints one "ok - ..." or "not ok - ..." line."""

counts = {"passed": 0, "failed": 0}


def check(ok, what):
    print(("ok - " if ok else "not ok - ") + what)
    counts["passed" if ok else "failed"] += 1


def finish():
    """Prints "N passed, M failed"; the exit status: 0 when nothing failed."""
    print(f"{counts['passed']} passed, {counts['failed']} failed")
    return 0 if counts["failed"] == 0 else 1
