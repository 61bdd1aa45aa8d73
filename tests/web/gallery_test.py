#!/usr/bin/env python3
"""The gallery in headless Chromium (software WebGL), opened from disk:

  gallery_test.py <gallery folder> <headless render program>

- each saver's page at a fixed seed, size and frame draws the headless renderer's
  picture of that seed, size and frame, within the bound below;
- the index page runs four canvases, each of which moves;
- with WebGL switched off, the page says so where the savers would be;
- a click shows a saver full screen; pointer travel and a key end it by the
  shell's close rules, the previews go on, and the ended runs are let go.

Prints one "ok - ..." or "not ok - ..." line per check, then "N passed, M failed".

The bound. Both pictures come from the same effect state; the rasterisers differ.
llvmpipe (the renderer) and SwiftShader under ANGLE (Chromium) choose different
pixels for the ends and joints of one-pixel lines, and round colours a level or
two apart, which the fade then carries from frame to frame. Single pixels differ
wholly, but over an 8 x 8 block their mean moves little: measured at most about
10 levels (cobalt's dense lines), under 6 for the others. A block mean more
than 16 levels off in any channel is a different picture: a changed step of an
effect moves or recolours whole strands.
"""

import base64
import os
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no __pycache__ beside the sources
HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(HERE, "..", "real"))
import chromium  # noqa: E402
import png_image  # noqa: E402
import saver_list  # noqa: E402

SIZE = (320, 240)
BLOCK = 8
BLOCK_BOUND = 16
# Late enough that every picture has grown (amber and opal open on black), early
# enough to take a few seconds at the savers' pace.
SEED = 321
FRAME = 200
SAVERS = list(saver_list.names())

passed = 0
failed = 0


def ok(text):
    global passed
    passed += 1
    print("ok - " + text, flush=True)


def not_ok(text):
    global failed
    failed += 1
    print("not ok - " + text, flush=True)


def check(what, condition, detail=""):
    (ok if condition else not_ok)(what + (" (%s)" % detail if detail else ""))


# The drawing buffer of the n-th canvas of the page (or of `selector`), as RGB rows
# top first, base64 in transit.
READ_CANVAS = """((selector, n) => {
  const canvas = document.querySelectorAll(selector)[n];
  const gl = canvas.getContext('webgl');
  const w = canvas.width, h = canvas.height, rgba = new Uint8Array(w * h * 4);
  gl.readPixels(0, 0, w, h, gl.RGBA, gl.UNSIGNED_BYTE, rgba);
  const rgb = new Uint8Array(w * h * 3);
  for (let y = 0; y < h; y++)
    for (let x = 0; x < w; x++)
      for (let c = 0; c < 3; c++) rgb[(y * w + x) * 3 + c] = rgba[((h - 1 - y) * w + x) * 4 + c];
  let text = '';
  for (let i = 0; i < rgb.length; i += 8192) text += String.fromCharCode.apply(null, rgb.subarray(i, i + 8192));
  return [w, h, btoa(text)];
})"""


def read_canvas(page, n=0, selector="figure.saver canvas"):
    width, height, data = page.evaluate("%s(%r, %d)" % (READ_CANVAS, selector, n))
    return width, height, base64.b64decode(data)


def block_means(rgb, width, height):
    means = []
    for by in range(0, height - BLOCK + 1, BLOCK):
        for bx in range(0, width - BLOCK + 1, BLOCK):
            sums = [0, 0, 0]
            for y in range(by, by + BLOCK):
                row = rgb[(y * width + bx) * 3:(y * width + bx + BLOCK) * 3]
                for c in range(3):
                    sums[c] += sum(row[c::3])
            means.append([s / (BLOCK * BLOCK) for s in sums])
    return means


def largest_block_difference(a, b, width, height):
    return max(max(abs(x - y) for x, y in zip(p, q))
               for p, q in zip(block_means(a, width, height), block_means(b, width, height)))


def lit_share(rgb):
    pixels = len(rgb) // 3
    return sum(1 for i in range(0, len(rgb), 3) if max(rgb[i:i + 3]) > 24) / pixels


def page_url(gallery, name, query=""):
    return "file://" + os.path.join(gallery, name + ".html") + ("?" + query if query else "")


def check_pictures(browser, gallery, render, scratch):
    seed, frames = SEED, FRAME
    for name in SAVERS:
        what = "%s.html?seed=%d&frames=%d at %dx%d draws render's picture" % (name, seed, frames, *SIZE)
        reference = os.path.join(scratch, "%s.png" % name)
        result = subprocess.run([render, name, "--frames", str(frames), "--size", "%dx%d" % SIZE,
                                 "--seed", str(seed), "--out", reference], capture_output=True, text=True)
        if result.returncode != 0:
            not_ok(what + ": render failed: " + result.stderr.strip())
            continue
        width, height, expected = png_image.read_rgb(reference)
        page = browser.open(page_url(gallery, name, "seed=%d&frames=%d&size=%dx%d" % (seed, frames, *SIZE)))
        try:
            page.wait_for("document.querySelector('figure.saver canvas').dataset.state === 'held'", 120)
            w, h, drawn = read_canvas(page)
        except chromium.BrowserError as e:
            not_ok("%s: %s" % (what, e))
            continue
        finally:
            page.send("Page.close")
        if (w, h) != (width, height):
            not_ok("%s: the canvas is %dx%d" % (what, w, h))
            continue
        if lit_share(expected) < 0.02:
            not_ok("%s: the reference is nearly black, which proves nothing" % what)
            continue
        largest = largest_block_difference(drawn, expected, width, height)
        check(what, largest <= BLOCK_BOUND,
              "largest %dx%d block difference %.1f levels, bound %d" % (BLOCK, BLOCK, largest, BLOCK_BOUND))


def check_index_moves(browser, gallery):
    page = browser.open(page_url(gallery, "index"), 1280, 720)
    try:
        names = page.evaluate("[...document.querySelectorAll('figure.saver')].map(f => f.dataset.saver)")
        check("the index page shows the four savers", names == SAVERS, "found %s" % names if names != SAVERS else "")
        page.wait_for("saverPage.views.length === 4 && saverPage.views.every(v => v.module.framesPresented > 0)", 60)
        # amber and opal open on black: a canvas moves once a later read differs.
        first = [read_canvas(page, n)[2] for n in range(4)]
        still = list(range(4))
        deadline = time.monotonic() + 30
        while still and time.monotonic() < deadline:
            time.sleep(0.5)
            still = [n for n in still if read_canvas(page, n)[2] == first[n]]
        check("every canvas of the index page moves (a later read differs from the first)", not still,
              "still after 30 s: %s" % [SAVERS[n] for n in still] if still else "")
    except chromium.BrowserError as e:
        not_ok("the index page runs its four savers: %s" % e)
    finally:
        page.send("Page.close")


def check_without_webgl(gallery):
    with chromium.Browser(["--disable-webgl"]) as browser:
        page = browser.open(page_url(gallery, "index"))
        try:
            state = page.evaluate("""({
              webgl: document.body.dataset.webgl,
              notice: document.querySelector('.notice').hidden ? '' : document.querySelector('.notice').textContent,
              missing: document.querySelectorAll('figure.saver .missing').length,
              canvases: document.querySelectorAll('canvas').length})""")
        except chromium.BrowserError as e:
            not_ok("without WebGL the index page says so: %s" % e)
            return
        check("without WebGL the index page says so in place of every saver",
              state.get("webgl") == "missing" and "WebGL" in state.get("notice", "") and state.get("missing") == 4
              and state.get("canvases") == 0, "found %s" % state)


FULL_SCREEN = "document.querySelector('.full-screen')"


def check_full_screen(browser, gallery):
    page = browser.open(page_url(gallery, "jade"))
    try:
        page.wait_for("saverPage.views[0].module.framesPresented > 5", 60)
        # Where the pointer is on the screen: the saver measures travel there.
        page.evaluate("document.addEventListener('mousedown', e => { window.pressedAt = [e.screenX, e.screenY]; },"
                      " {capture: true, once: true})")
        # Every full-screen run is a module of its own, watched here (weakly).
        page.evaluate("window.runs = []; const make = window.createJade;"
                      " window.createJade = m => { runs.push(new WeakRef(m)); return make(m); }")
        page.click(300, 200)
        page.wait_for(FULL_SCREEN + " && " + FULL_SCREEN + ".dataset.state === 'running'", 30)
        shown = page.wait_for("document.fullscreenElement === " + FULL_SCREEN + " && "
                              "document.querySelector('.full-screen canvas').width > 0", 30)
        frames = page.evaluate("saverPage.views[0].module.framesPresented")
        time.sleep(0.5)
        paused = page.evaluate("saverPage.views[0].module.framesPresented") - frames <= 1
        check("a click shows the saver full screen while the preview sleeps", shown and paused)

        # The pointer stays where it was on the screen; the full-screen page may lie
        # elsewhere on it than the window did (headless moves it to the corner).
        x, y, left, top = page.evaluate("[...window.pressedAt, window.screenX, window.screenY]")
        page.move_mouse(x - left + 2, y - top + 1)  # three pixels of travel
        time.sleep(0.5)
        check("pointer travel of three pixels leaves it running", page.evaluate(FULL_SCREEN + " !== null"))
        page.move_mouse(x - left + 6, y - top)
        ended = page.wait_for(FULL_SCREEN + " === null && document.fullscreenElement === null", 30)
        check("pointer travel of more than four pixels ends it and leaves full screen", ended)

        page.wait_for("saverPage.views[0].module.asleep === false", 10)
        page.click(300, 200)
        page.wait_for(FULL_SCREEN + " && " + FULL_SCREEN + ".dataset.state === 'running'", 30)
        time.sleep(0.3)
        page.press_key()
        ended = page.wait_for(FULL_SCREEN + " === null", 30)
        frames = page.evaluate("saverPage.views[0].module.framesPresented")
        time.sleep(0.5)
        resumed = page.evaluate("saverPage.views[0].module.framesPresented") > frames
        check("a key ends it, and the preview runs on", ended and resumed)

        for _ in range(2):
            page.click(300, 200)
            page.wait_for(FULL_SCREEN + " && " + FULL_SCREEN + ".dataset.state === 'running'", 30)
            time.sleep(0.3)
            page.press_key()
            page.wait_for(FULL_SCREEN + " === null", 30)
        page.send("HeapProfiler.collectGarbage")
        runs, alive = page.evaluate("[runs.length, runs.filter(r => r.deref()).length]")
        check("ended full-screen runs are let go (at most the last one is still held)", runs == 4 and alive <= 1,
              "%d of %d runs still held" % (alive, runs))
    except chromium.BrowserError as e:
        not_ok("full screen: %s" % e)
    finally:
        page.send("Page.close")


def main():
    if len(sys.argv) != 3:
        print("usage: gallery_test.py <gallery folder> <headless render program>", file=sys.stderr)
        return 2
    gallery, render = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    for path, what in ((os.path.join(gallery, "index.html"), "the gallery (scripts/make-gallery)"),
                       (render, "the headless renderer (cmake --build --preset headless)")):
        if not os.path.isfile(path):
            print("gallery_test: %s is missing: %s" % (what, path), file=sys.stderr)
            return 2
    with tempfile.TemporaryDirectory(prefix="gallery-test-") as scratch:
        try:
            with chromium.Browser() as browser:
                check_pictures(browser, gallery, render, scratch)
                check_index_moves(browser, gallery)
                check_full_screen(browser, gallery)
            check_without_webgl(gallery)
        except (chromium.BrowserError, OSError) as e:
            not_ok("chromium: %s" % e)
    print("%d passed, %d failed" % (passed, failed))
    return 0 if failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
