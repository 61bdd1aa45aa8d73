"""The check counters of the Python checks, as tests/lib/checks.sh is for the
shell scripts: every check prints one "ok - ..." or "not ok - ..." line."""

counts = {"passed": 0, "failed": 0}


def check(ok, what, detail=""):
    """One check: `what` passed when `ok`; `detail` (a figure, what was seen) in brackets."""
    print(("ok - " if ok else "not ok - ") + what + (" (%s)" % detail if detail else ""), flush=True)
    counts["passed" if ok else "failed"] += 1


def ok(what):
    check(True, what)


def not_ok(what):
    check(False, what)


def finish():
    """Prints "N passed, M failed"; the exit status: 0 when nothing failed."""
    print(f"{counts['passed']} passed, {counts['failed']} failed")
    return 0 if counts["failed"] == 0 else 1
