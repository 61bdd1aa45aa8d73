#!/usr/bin/env python3
"""Runs a command as a child subreaper: processes orphaned below it (a program
whose daemon exited first) are reaped here at once instead of lingering as
zombies until the machine's init gets to them, so a test sees exactly when they
end. Exits with the command's status once the command itself has ended.

    subreaper.py COMMAND [ARGS...]
"""
import ctypes
import os
import signal
import sys

PR_SET_CHILD_SUBREAPER = 36


def main():
    if len(sys.argv) < 2:
        print("usage: subreaper.py COMMAND [ARGS...]", file=sys.stderr)
        return 2
    libc = ctypes.CDLL(None, use_errno=True)
    if libc.prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0) != 0:
        print("subreaper.py: prctl failed", file=sys.stderr)
        return 1
    child = os.fork()
    if child == 0:
        os.execvp(sys.argv[1], sys.argv[1:])
    # A TERM for the reaper ends the command it runs.
    signal.signal(signal.SIGTERM, lambda *_: os.kill(child, signal.SIGTERM))
    status = 0
    while True:
        try:
            pid, code = os.wait()
        except ChildProcessError:
            return status
        except InterruptedError:
            continue
        if pid == child:
            status = os.waitstatus_to_exitcode(code)
            if status < 0:
                status = 128 - status


if __name__ == "__main__":
    sys.exit(main())
