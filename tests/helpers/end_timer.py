#!/usr/bin/env python3
"""Times how long a process takes to end after something is done to it.

    end_timer.py PID LIMIT_MS COMMAND [ARGS...]

Runs COMMAND (kill -TERM PID, or whatever destroys the process's window), then
watches /proc/PID every 2 ms until the process has ended (gone, or a zombie
waiting for its parent). Prints the milliseconds from the command's start, or
"timeout" when LIMIT_MS passed first; exits 0 when it ended in time.
"""
import subprocess
import sys
import time


def ended(pid):
    try:
        with open(f"/proc/{pid}/stat") as stat:
            return stat.read().rsplit(")", 1)[1].split()[0] in ("Z", "X")
    except FileNotFoundError:
        return True


def main():
    if len(sys.argv) < 4:
        print("usage: end_timer.py PID LIMIT_MS COMMAND [ARGS...]", file=sys.stderr)
        return 2
    pid, limit = int(sys.argv[1]), int(sys.argv[2])
    start = time.monotonic()
    subprocess.run(sys.argv[3:], check=False)
    while not ended(pid):
        if (time.monotonic() - start) * 1000 > limit:
            print("timeout")
            return 1
        time.sleep(0.002)
    print(round((time.monotonic() - start) * 1000))
    return 0


if __name__ == "__main__":
    sys.exit(main())
