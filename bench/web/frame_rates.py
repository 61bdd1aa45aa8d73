#!/usr/bin/env python3
"""Frame rates of the savers in headless Chromium (software WebGL) beside the
headless renderer's, at one size. Prints figures; judges nothing.

  frame_rates.py <gallery folder> <headless render program> [WIDTHxHEIGHT [SECONDS]]

Chromium: each saver's page alone, then the index page with all four; frames
counted over SECONDS after a second's warm-up. A page runs at the savers' own
pace, at most 100 frames a second (the frame timer's 10 ms). The renderer runs on
a virtual clock, as fast as it can draw: its rate is frames over the time
between a short and a long run of the same saver, so start-up cancels out.
"""

import os
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no __pycache__ beside the sources
TOP = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path.insert(0, os.path.join(TOP, "tests", "web"))
sys.path.insert(0, os.path.join(TOP, "tests", "lib"))
import chromium  # noqa: E402
import saver_list  # noqa: E402

SAVERS = list(saver_list.names())


def page_rates(browser, url, seconds):
    page = browser.open(url, 1280, 800)
    try:
        page.wait_for("window.saverPage && saverPage.views.length && "
                      "saverPage.views.every(v => v.module.framesPresented > 0)", 60)
        time.sleep(1.0)
        count = "saverPage.views.map(v => v.module.framesPresented)"
        before, start = page.evaluate(count), time.monotonic()
        time.sleep(seconds)
        after, end = page.evaluate(count), time.monotonic()
        return [(a - b) / (end - start) for a, b in zip(after, before)]
    finally:
        page.send("Page.close")


def render_rate(render, name, size, scratch):
    def run(frames):
        out = os.path.join(scratch, "%s-%d.png" % (name, frames))
        start = time.monotonic()
        subprocess.run([render, name, "--frames", str(frames), "--size", size, "--seed", "321", "--out", out],
                       check=True, stdout=subprocess.DEVNULL)
        return time.monotonic() - start
    short, long = run(20), run(520)
    return 500 / (long - short)


def main():
    if len(sys.argv) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    gallery, render = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    size = sys.argv[3] if len(sys.argv) > 3 else "640x480"
    seconds = float(sys.argv[4]) if len(sys.argv) > 4 else 5.0
    with chromium.Browser() as browser:
        alone = {name: page_rates(browser, "file://%s/%s.html?size=%s" % (gallery, name, size), seconds)[0]
                 for name in SAVERS}
        together = page_rates(browser, "file://%s/index.html?size=%s" % (gallery, size), seconds)
    with tempfile.TemporaryDirectory(prefix="frame-rates-") as scratch:
        rendered = {name: render_rate(render, name, size, scratch) for name in SAVERS}
    print("frames per second at %s (Chromium: software WebGL, paced at most 100; render: unpaced)" % size)
    print("%-8s %16s %22s %18s" % ("saver", "Chromium, alone", "Chromium, all four", "headless render"))
    for i, name in enumerate(SAVERS):
        print("%-8s %16.1f %22.1f %18.1f" % (name, alone[name], together[i], rendered[name]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
