#!/usr/bin/env python3
"""Figures of the savers as Wayland screen savers, per saver, on the running
compositor (scripts/bench-wayland starts a headless sway with one 1024x768
output and runs this):

  start    process start to its first frame presented (the saver's start-up
           trace, SAVER_STARTUP_TRACE), median of RUNS runs, with the steps:
           display = connected and the output known, context = GL context
           current on the surface, timer = the effect set up, frame = first
           frame swapped, finished and seen by the compositor
  exit     a button pressed on the virtual pointer to the saver's end (all its
           processes gone), median of RUNS runs
  cpu      CPU time per second of animation of the saver's processes (all
           threads, Mesa's llvmpipe included), over SECONDS seconds, and the
           compositor's (pixman composition of the 100 frames a second)

    wayland_bench.py BIN_DIR SWAY_PID [RUNS] [SECONDS]
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

SAVERS = ["amber", "cobalt", "jade", "opal"]
STEPS = ["entry", "display", "context", "timer", "frame"]
TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    try:
        with open(f"/proc/{pid}/stat") as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / TICKS  # utime, stime
    except (FileNotFoundError, ProcessLookupError, IndexError):
        return 0.0


def children(pid):
    found = []
    for task in os.listdir(f"/proc/{pid}/task") if os.path.isdir(f"/proc/{pid}/task") else []:
        try:
            with open(f"/proc/{pid}/task/{task}/children") as listed:
                found += [int(child) for child in listed.read().split()]
        except FileNotFoundError:
            pass
    return found


def wait_gone(process, limit=10.0):
    try:
        process.wait(timeout=limit)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def start(bin_dir, saver, trace=None):
    env = dict(os.environ)
    if trace:
        env["SAVER_STARTUP_TRACE"] = trace
    return subprocess.Popen([os.path.join(bin_dir, saver), "s"], cwd=bin_dir, env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def start_up(bin_dir, saver):
    """Milliseconds from the process's start to each step."""
    with tempfile.NamedTemporaryFile(suffix=".trace") as trace:
        began = time.monotonic_ns()
        process = start(bin_dir, saver, trace.name)
        wait_gone(process, 30)
        line = open(trace.name).read().split()
    steps = dict(item.split("=") for item in line)
    return [(int(steps[name].split(",")[0]) - began) / 1e6 for name in STEPS]


def running_saver(bin_dir, saver, settle):
    process = start(bin_dir, saver)
    time.sleep(settle)  # past the start-up and amber's plasma
    return process


# sway 1.10 gives a surface that appears under a resting pointer neither the
# pointer's enter nor its buttons until the pointer moves: a motion of nothing,
# before the clock starts, lets the press reach the saver.
def show_pointer(pointer):
    pointer.stdin.write("move 0 0\n")
    pointer.stdin.flush()
    pointer.stdout.readline()


def input_to_exit(bin_dir, saver, pointer):
    process = running_saver(bin_dir, saver, 2.0)
    kids = children(process.pid)
    show_pointer(pointer)
    began = time.monotonic_ns()
    pointer.stdin.write("press left\n")
    pointer.stdin.flush()
    pointer.stdout.readline()
    wait_gone(process)
    while any(os.path.exists(f"/proc/{kid}") and open(f"/proc/{kid}/stat").read().rsplit(")", 1)[1].split()[0] != "Z"
              for kid in kids):
        time.sleep(0.001)
    return (time.monotonic_ns() - began) / 1e6


def cpu_per_second(bin_dir, saver, sway_pid, seconds, pointer):
    process = running_saver(bin_dir, saver, 3.0)
    pids = [process.pid] + children(process.pid)
    before = sum(cpu_seconds(pid) for pid in pids)
    compositor_before = cpu_seconds(sway_pid)
    began = time.monotonic()
    time.sleep(seconds)
    used = sum(cpu_seconds(pid) for pid in pids) - before
    compositor = cpu_seconds(sway_pid) - compositor_before
    wall = time.monotonic() - began
    show_pointer(pointer)
    pointer.stdin.write("press left\n")
    pointer.stdin.flush()
    pointer.stdout.readline()
    wait_gone(process)
    return used / wall, compositor / wall


def main():
    if len(sys.argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    bin_dir, sway_pid = os.path.abspath(sys.argv[1]), int(sys.argv[2])
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    seconds = float(sys.argv[4]) if len(sys.argv) > 4 else 5.0
    pointer = subprocess.Popen([os.path.join(bin_dir, "wayland_test_client"), "pointer", "-"],
                               stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
    pointer.stdin.write("move 300 200\n")
    pointer.stdin.flush()
    pointer.stdout.readline()
    print(f"{'':8} {'ms from the start to':^35} {'ms':>8} {'CPU s per second':>19}")
    print(f"{'saver':8} {'display':>8} {'context':>8} {'timer':>8} {'frame':>8} {'to exit':>8} {'saver':>9} {'sway':>9}")
    for saver in SAVERS:
        steps = [start_up(bin_dir, saver) for _ in range(runs)]
        median = [statistics.median(run[i] for run in steps) for i in range(len(STEPS))]
        exits = statistics.median(input_to_exit(bin_dir, saver, pointer) for _ in range(runs))
        cpu, compositor = cpu_per_second(bin_dir, saver, sway_pid, seconds, pointer)
        print(f"{saver:8} {median[1]:8.1f} {median[2]:8.1f} {median[3]:8.1f} {median[4]:8.1f} {exits:8.1f}"
              f" {cpu:9.2f} {compositor:9.2f}", flush=True)
    pointer.stdin.close()
    pointer.wait()
    return 0


if __name__ == "__main__":
    sys.exit(main())
