#!/usr/bin/env python3
"""The gallery in headless Chromium (software WebGL) and in Firefox ESR on Xvfb
(llvmpipe), opened from disk:

  gallery_test.py <gallery folder> <headless render program>

In both browsers:
- each saver's page at a fixed seed, size and frame draws the headless renderer's
  picture of that seed, size and frame, within the bound below (Firefox first
  shows that it has WebGL at all);
- a click shows a saver full screen; pointer travel and a key end it by the
  shell's close rules, the previews go on, and the ended runs are let go;
- Enter or Space on a focused canvas starts full screen, and that key's repeats
  and release do not end it (repeats: Chromium only, WebDriver has none).
In Chromium:
- the index page runs four canvases, each of which moves;
- ?frames= takes what the program takes, and above that gets a notice and runs on;
- the notice covers neither the index's heading nor its canvases;
- amber says it is starting until its first lit frame;
- with reduced motion, a preview shows its frame 600, still, with a button that
  starts it; full screen animates;
- with WebGL switched off, the page says so where the savers would be, and on a
  single saver's page the notice does not cover what the saver says.

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
sys.path.insert(0, os.path.join(HERE, "..", "lib"))
import chromium  # noqa: E402
import firefox  # noqa: E402
import png_image  # noqa: E402
import saver_list  # noqa: E402
from checks import check, finish, not_ok, ok  # noqa: E402

SIZE = (320, 240)
BLOCK = 8
BLOCK_BOUND = 16
# Late enough that every picture has grown (amber and opal open on black), early
# enough to take a few seconds at the savers' pace.
SEED = 321
FRAME = 200
SAVERS = list(saver_list.names())
MAX_FRAMES = 100000000  # the largest --frames the web program takes
STILL_FRAME = 600  # what a preview shows still where motion is reduced
ERRORS = (chromium.BrowserError, firefox.BrowserError)

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


def render_picture(render, name, frames, size, seed, path):
    """(width, height, rgb) of render's picture, or the error it gave."""
    result = subprocess.run([render, name, "--frames", str(frames), "--size", "%dx%d" % size,
                             "--seed", str(seed), "--out", path], capture_output=True, text=True)
    if result.returncode != 0:
        return "render failed: " + result.stderr.strip()
    return png_image.read_rgb(path)


def check_webgl(browser, who):
    """Whether the browser has WebGL at all; everything else here needs it."""
    page = browser.open("about:blank", 640, 480)
    try:
        renderer = page.evaluate("""(() => {
          const gl = document.createElement('canvas').getContext('webgl');
          const info = gl && gl.getExtension('WEBGL_debug_renderer_info');
          return gl ? gl.getParameter(info ? info.UNMASKED_RENDERER_WEBGL : gl.RENDERER) : '';
        })()""")
    finally:
        page.close()
    check(bool(renderer), who + "the browser has WebGL", "renderer %r" % renderer)
    return bool(renderer)


def check_pictures(browser, gallery, render, scratch, who=""):
    seed, frames = SEED, FRAME
    for name in SAVERS:
        what = who + "%s.html?seed=%d&frames=%d at %dx%d draws render's picture" % (name, seed, frames, *SIZE)
        reference = render_picture(render, name, frames, SIZE, seed, os.path.join(scratch, "%s.png" % name))
        if isinstance(reference, str):
            not_ok(what + ": " + reference)
            continue
        width, height, expected = reference
        page = browser.open(page_url(gallery, name, "seed=%d&frames=%d&size=%dx%d" % (seed, frames, *SIZE)))
        try:
            page.wait_for("document.querySelector('figure.saver canvas').dataset.state === 'held'", 120)
            w, h, drawn = read_canvas(page)
        except ERRORS as e:
            not_ok("%s: %s" % (what, e))
            continue
        finally:
            page.close()
        if (w, h) != (width, height):
            not_ok("%s: the canvas is %dx%d" % (what, w, h))
            continue
        if lit_share(expected) < 0.02:
            not_ok("%s: the reference is nearly black, which proves nothing" % what)
            continue
        largest = largest_block_difference(drawn, expected, width, height)
        check(largest <= BLOCK_BOUND, what,
              "largest %dx%d block difference %.1f levels, bound %d" % (BLOCK, BLOCK, largest, BLOCK_BOUND))


def check_index_moves(browser, gallery):
    page = browser.open(page_url(gallery, "index"), 1280, 720)
    try:
        names = page.evaluate("[...document.querySelectorAll('figure.saver')].map(f => f.dataset.saver)")
        check(names == SAVERS, "the index page shows the four savers", "found %s" % names if names != SAVERS else "")
        desktops = [d for d in ("XScreenSaver", "MATE", "Wayland")
                    if d not in page.evaluate("document.querySelector('footer').textContent")]
        check(not desktops, "the index names the Linux desktops the savers install on", "missing %s" % desktops)
        page.wait_for("saverPage.views.length === 4 && saverPage.views.every(v => v.module.framesPresented > 0)", 60)
        # amber and opal open on black: a canvas moves once a later read differs.
        first = [read_canvas(page, n)[2] for n in range(4)]
        still = list(range(4))
        deadline = time.monotonic() + 30
        while still and time.monotonic() < deadline:
            time.sleep(0.5)
            still = [n for n in still if read_canvas(page, n)[2] == first[n]]
        check(not still, "every canvas of the index page moves (a later read differs from the first)",
              "still after 30 s: %s" % [SAVERS[n] for n in still] if still else "")
    except ERRORS as e:
        not_ok("the index page runs its four savers: %s" % e)
    finally:
        page.close()


# Whether two boxes of the page share any area; a box is an element or a Range.
OVERLAP = """((a, b) => {
  const r = a.getBoundingClientRect(), q = b.getBoundingClientRect();
  return Math.min(r.right, q.right) > Math.max(r.left, q.left) && Math.min(r.bottom, q.bottom) > Math.max(r.top, q.top);
})"""
NOTICE_SHOWN = "(!document.querySelector('.notice').hidden && document.querySelector('.notice').textContent)"


def check_address_limits(browser, gallery):
    """frames=N up to the program's limit runs as asked; above it, as for 1e9."""
    states = {}
    for frames in (MAX_FRAMES, MAX_FRAMES + 1, "1e9"):
        page = browser.open(page_url(gallery, "amber", "frames=%s&size=64x48" % frames), 640, 480)
        try:
            page.wait_for("saverPage.views[0].module.framesPresented >= 3 || !!document.querySelector('.message')", 30)
            states[frames] = page.evaluate("""[%s || '', document.querySelector('.message') ?
              document.querySelector('.message').textContent : '', saverPage.views[0].state]""" % NOTICE_SHOWN)
        except ERRORS as e:
            states[frames] = str(e)
        finally:
            page.close()
    check(states[MAX_FRAMES] == ["", "", "running"],
          "frames=%d (the program's limit) runs with no notice" % MAX_FRAMES, "found %s" % states[MAX_FRAMES])
    # frames=1e9 has always had a notice; one above the limit must get the same.
    refused = states["1e9"][0] if isinstance(states["1e9"], list) else ""
    same = [refused.replace('"1e9"', '"%d"' % (MAX_FRAMES + 1)), "", "running"]
    check(refused.startswith("frames must be") and states[MAX_FRAMES + 1] == same
          and states["1e9"][1:] == ["", "running"],
          "frames=%d gets the notice and fallback of frames=1e9, and the saver runs" % (MAX_FRAMES + 1), "found %s" % states)


def check_notice_on_index(browser, gallery):
    """The notice sits in the page's flow: over neither the heading nor a canvas, scrolled or not."""
    page = browser.open(page_url(gallery, "index", "seed=abc"), 800, 600)
    try:
        covered = []
        for scroll in (0, 100000):
            covered += page.evaluate("""(() => {
              window.scrollTo(0, %d);
              const notice = document.querySelector('.notice');
              return [...document.querySelectorAll('h1, canvas')].filter(e => %s(notice, e))
                .map(e => e.tagName + ' at scroll ' + window.scrollY); })()""" % (scroll, OVERLAP))
        shown = page.evaluate(NOTICE_SHOWN)
        check(shown and not covered, "on the index the notice covers neither the heading nor a canvas",
              "notice %r, covers %s" % (shown, covered))
    except ERRORS as e:
        not_ok("the notice on the index: %s" % e)
    finally:
        page.close()


def check_starting_caption(browser, gallery):
    """amber opens on black: its page says it is starting until the first lit frame."""
    sample = """(() => {
      const status = document.querySelector('.status'), canvas = document.querySelector('figure.saver canvas');
      const gl = canvas.getContext('webgl'), rgba = new Uint8Array(canvas.width * canvas.height * 4);
      gl.readPixels(0, 0, canvas.width, canvas.height, gl.RGBA, gl.UNSIGNED_BYTE, rgba);
      const lit = rgba.some((v, i) => i %% 4 != 3 && v > %d);
      return [status && !status.hidden && status.getClientRects().length > 0 ? status.textContent : '', lit];
    })()""" % 24
    page = browser.open(page_url(gallery, "amber", "seed=%d&size=160x120" % SEED), 800, 600)
    try:
        page.wait_for("saverPage.views[0].module.framesPresented >= 1", 30)
        first = page.evaluate(sample)
        deadline = time.monotonic() + 60
        last = first
        while last[0] and time.monotonic() < deadline:
            time.sleep(0.1)
            last = page.evaluate(sample)
        check(first[0].startswith("Starting") and not first[1] and last == ["", True],
              "amber's page says it is starting while black, and stops once lit",
              "at its first frame %s, then %s" % (first, last))
    except ERRORS as e:
        not_ok("the starting caption: %s" % e)
    finally:
        page.close()


def focus_outline(page):
    return page.evaluate("""(() => { const s = getComputedStyle(document.activeElement);
      return [document.activeElement.tagName, s.outlineStyle, s.outlineWidth, s.outlineColor]; })()""")


def check_keyboard(browser, gallery, who="", repeats=True):
    """Tab reaches the first saver, which shows its focus; Enter (index) and Space
    (a saver's page) start full screen, which that key's repeats and release leave running."""
    layer_runs = (FULL_SCREEN + " && document.fullscreenElement === " + FULL_SCREEN + " && "
                  + FULL_SCREEN + ".dataset.frames > 3")
    for name, size, key, code, key_code in (("index", (1280, 720), "Enter", "Enter", 13),
                                            ("jade", (800, 600), " ", "Space", 32)):
        what = who + "%s.html: Tab, then %s starts full screen" % (name, code)
        page = browser.open(page_url(gallery, name), *size)
        try:
            page.wait_for("saverPage.views.length > 0 && saverPage.views.every(v => v.module.framesPresented > 0)", 60)
            unfocused = page.evaluate("(() => { const s = getComputedStyle(document.querySelector('canvas'));"
                                      " return [s.outlineStyle, s.outlineWidth, s.outlineColor]; })()")
            page.press_key("Tab", "Tab", 9)
            focused = page.evaluate("document.activeElement === document.querySelector('figure.saver canvas')")
            outline = focus_outline(page)
            shows = outline[1] != "none" and float(outline[2].rstrip("px")) >= 2 and outline[1:] != unfocused
            check(focused and shows, who + "%s.html: Tab focuses the first saver, which shows it" % name,
                  "focus on %s, outline %s, unfocused %s" % (outline[0], outline[1:], unfocused))
            page.key_event("keyDown", key, code, key_code)
            page.wait_for(layer_runs, 30)
            if repeats:
                page.key_event("keyDown", key, code, key_code, repeat=True)
            page.key_event("keyUp", key, code, key_code)
            frames = int(page.evaluate(FULL_SCREEN + ".dataset.frames"))
            time.sleep(0.5)
            stays = page.evaluate(layer_runs + " && " + FULL_SCREEN + ".dataset.frames > %d" % frames)
            page.press_key()
            ended = page.wait_for(FULL_SCREEN + " === null && document.fullscreenElement === null", 30)
            check(stays and ended, what + (", holding and releasing it" if repeats else ", releasing it") + " leaves it running;"
                  " another key ends it")
        except ERRORS as e:
            not_ok("%s: %s" % (what, e))
        finally:
            page.close()


def check_reduced_motion(browser, gallery, render, scratch):
    """With reduced motion a preview shows its frame 600 still, drawn out of sight,
    with a button that starts it; full screen animates."""
    size = (160, 120)
    page = browser.open(page_url(gallery, "jade", "seed=%d&size=%dx%d" % (SEED, *size)), 800, 600, reduced_motion=True)
    try:
        moving_shown = []
        deadline = time.monotonic() + 90
        while True:
            state, visibility, frames = page.evaluate("""[saverPage.views[0].state,
              getComputedStyle(document.querySelector('figure.saver canvas')).visibility,
              saverPage.views[0].module.framesPresented]""")
            if state == "still":
                break
            if visibility != "hidden" and frames > 0:
                moving_shown.append(frames)
            if time.monotonic() > deadline:
                raise chromium.BrowserError("no still picture in time (state %s)" % state)
            time.sleep(0.1)
        button = "document.querySelector('figure.saver .play')"
        shown = page.evaluate("""[document.querySelector('figure.saver canvas').dataset.frames,
          getComputedStyle(document.querySelector('figure.saver canvas')).visibility,
          %s && !%s.hidden && %s.getClientRects().length > 0 && %s.textContent]""" % ((button,) * 4))
        time.sleep(0.5)
        held = page.evaluate("saverPage.views[0].module.framesPresented")
        w, h, drawn = read_canvas(page)
        reference = render_picture(render, "jade", STILL_FRAME, size, SEED, os.path.join(scratch, "still.png"))
        largest = (largest_block_difference(drawn, reference[2], w, h)
                   if not isinstance(reference, str) and (w, h) == size else 1000)
        check(not moving_shown and shown == [str(STILL_FRAME), "visible", "Play"]
              and held == STILL_FRAME and largest <= BLOCK_BOUND, "reduced motion: the preview shows render's frame %d, still, with a Play button, and no motion before"
              % STILL_FRAME,
              "shown %s, %d frames a second later, largest block difference %.1f; moving frames shown: %s"
              % (shown, held, largest, moving_shown[:5]))

        page.click(400, 300)
        page.wait_for(FULL_SCREEN + " && " + FULL_SCREEN + ".dataset.frames > 30", 30)
        page.press_key()
        page.wait_for(FULL_SCREEN + " === null", 30)
        time.sleep(0.3)
        still = page.evaluate("saverPage.views[0].module.framesPresented") == STILL_FRAME
        x, y = page.evaluate("(r => [r.left + r.width / 2, r.top + r.height / 2])(%s.getBoundingClientRect())"
                             % button)
        page.click(x, y)
        plays = page.wait_for("saverPage.views[0].module.framesPresented > %d" % (STILL_FRAME + 10), 30)
        check(still and plays,
              "reduced motion: full screen animates, the preview stays still after it, Play starts it")
    except ERRORS as e:
        not_ok("reduced motion: %s" % e)
    finally:
        page.close()


def check_without_webgl(gallery):
    with chromium.Browser(["--disable-webgl"]) as browser:
        page = browser.open(page_url(gallery, "index"))
        try:
            state = page.evaluate("""({
              webgl: document.body.dataset.webgl,
              notice: document.querySelector('.notice').hidden ? '' : document.querySelector('.notice').textContent,
              missing: document.querySelectorAll('figure.saver .missing').length,
              canvases: document.querySelectorAll('canvas').length})""")
        except ERRORS as e:
            not_ok("without WebGL the index page says so: %s" % e)
            return
        check(state.get("webgl") == "missing" and "WebGL" in state.get("notice", "") and state.get("missing") == 4
              and state.get("canvases") == 0,
              "without WebGL the index page says so in place of every saver", "found %s" % state)
        page = browser.open(page_url(gallery, "amber", "seed=abc"), 800, 500)
        try:
            covered = page.evaluate("""(() => {
              const notice = document.querySelector('.notice'), missing = document.querySelector('.missing');
              return [missing.textContent, %s(notice, missing), %s(notice, document.querySelector('figcaption'))];
            })()""" % (OVERLAP, OVERLAP))
        except ERRORS as e:
            not_ok("without WebGL a saver's page says so: %s" % e)
            return
        check(covered[0].startswith("No WebGL") and covered[1:] == [False, False],
              "without WebGL a saver's page says so, and the notice covers neither that nor the caption", "found %s" % covered)


FULL_SCREEN = "document.querySelector('.full-screen')"


def check_full_screen(browser, gallery, who=""):
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
        check(shown and paused, who + "a click shows the saver full screen while the preview sleeps")

        # The pointer stays where it was on the screen; the full-screen page may lie
        # elsewhere on it than the window did (headless moves it to the corner).
        x, y, left, top = page.evaluate("[...window.pressedAt, window.screenX, window.screenY]")
        page.move_mouse(x - left + 2, y - top + 1)  # three pixels of travel
        time.sleep(0.5)
        check(page.evaluate(FULL_SCREEN + " !== null"), who + "pointer travel of three pixels leaves it running")
        page.move_mouse(x - left + 6, y - top)
        ended = page.wait_for(FULL_SCREEN + " === null && document.fullscreenElement === null", 30)
        check(ended, who + "pointer travel of more than four pixels ends it and leaves full screen")

        page.wait_for("saverPage.views[0].module.asleep === false", 10)
        page.click(300, 200)
        page.wait_for(FULL_SCREEN + " && " + FULL_SCREEN + ".dataset.state === 'running'", 30)
        time.sleep(0.3)
        page.press_key()
        ended = page.wait_for(FULL_SCREEN + " === null", 30)
        frames = page.evaluate("saverPage.views[0].module.framesPresented")
        time.sleep(0.5)
        resumed = page.evaluate("saverPage.views[0].module.framesPresented") > frames
        check(ended and resumed, who + "a key ends it, and the preview runs on")

        for _ in range(2):
            page.click(300, 200)
            page.wait_for(FULL_SCREEN + " && " + FULL_SCREEN + ".dataset.state === 'running'", 30)
            time.sleep(0.3)
            page.press_key()
            page.wait_for(FULL_SCREEN + " === null", 30)
        page.collect_garbage()
        runs, alive = page.evaluate("[runs.length, runs.filter(r => r.deref()).length]")
        check(runs == 4 and alive <= 1, who + "ended full-screen runs are let go (at most the last one is still held)",
              "%d of %d runs still held" % (alive, runs))
    except ERRORS as e:
        not_ok(who + "full screen: %s" % e)
    finally:
        page.close()


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
                check_address_limits(browser, gallery)
                check_notice_on_index(browser, gallery)
                check_starting_caption(browser, gallery)
                check_keyboard(browser, gallery)
                check_full_screen(browser, gallery)
                check_reduced_motion(browser, gallery, render, scratch)
            check_without_webgl(gallery)
        except (chromium.BrowserError, OSError) as e:
            not_ok("chromium: %s" % e)
        try:
            with firefox.Browser() as browser:
                who = "firefox: "
                if not check_webgl(browser, who):
                    raise firefox.BrowserError("no WebGL, so no page can be checked")
                check_pictures(browser, gallery, render, scratch, who)
                check_keyboard(browser, gallery, who, repeats=False)
                check_full_screen(browser, gallery, who)
        except (firefox.BrowserError, OSError) as e:
            not_ok("firefox: %s" % e)
    return finish()


if __name__ == "__main__":
    sys.exit(main())
