#!/usr/bin/env python3
"""A screenshot of a gallery page in headless Chromium, once every saver on it has
presented at least FRAMES frames (amber and opal open on black):

  screenshot.py <page> <out.png> [FRAMES [WIDTHxHEIGHT]]
"""

import os
import sys

sys.dont_write_bytecode = True  # no __pycache__ beside the sources
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import chromium  # noqa: E402


def main():
    if len(sys.argv) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    page_path, out = sys.argv[1], sys.argv[2]
    frames = int(sys.argv[3]) if len(sys.argv) > 3 else 600
    width, height = (int(v) for v in (sys.argv[4] if len(sys.argv) > 4 else "1280x720").split("x"))
    url = page_path if "://" in page_path else "file://" + os.path.abspath(page_path)
    with chromium.Browser(window_size=(width, height)) as browser:
        page = browser.open(url, width, height)
        page.wait_for("window.saverPage && saverPage.views.length > 0 && "
                      "saverPage.views.every(v => v.module.framesPresented >= %d)" % frames, 300)
        page.screenshot(out)
    print(out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
