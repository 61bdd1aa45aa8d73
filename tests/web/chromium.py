"""Headless Chromium driven over its DevTools pipe, with nothing but the standard
library: start the browser, open pages, evaluate script in them, send input, take
screenshots. Each Browser has its own empty profile folder and ends its process
(and only its process) when closed.

Chromium reads commands from file descriptor 3 and writes answers and events to
descriptor 4 (--remote-debugging-pipe), one JSON object each, ended by a NUL byte.
"""

import base64
import fcntl
import json
import os
import select
import shutil
import subprocess
import tempfile
import time

import page_wait

CHROMIUM = os.environ.get("CHROMIUM", "chromium")

# Software WebGL (SwiftShader) and no network: this machine's connections to
# Google's services are refused, and a fresh profile would try them.
FLAGS = [
    "--headless",
    "--no-sandbox",
    "--disable-gpu",
    "--use-angle=swiftshader",
    "--enable-unsafe-swiftshader",
    "--disable-quic",
    "--no-first-run",
    "--disable-background-networking",
    "--disable-component-update",
    "--disable-sync",
    "--disable-default-apps",
    "--disable-extensions",
    "--mute-audio",
    "--allow-file-access-from-files",
]


class BrowserError(Exception):
    pass


def _high_fd(fd):
    """The same pipe end on a descriptor above 10, so that 3 and 4 are free to take."""
    high = fcntl.fcntl(fd, fcntl.F_DUPFD, 10)
    os.close(fd)
    return high


class Browser:
    def __init__(self, extra_flags=(), window_size=(1280, 800)):
        self.profile = tempfile.mkdtemp(prefix="saver-chromium-")
        commands_read, self.commands = (_high_fd(fd) for fd in os.pipe())
        self.answers, answers_write = (_high_fd(fd) for fd in os.pipe())

        def take_pipe_ends():
            os.dup2(commands_read, 3)
            os.dup2(answers_write, 4)

        args = [CHROMIUM, *FLAGS, *extra_flags, "--user-data-dir=" + self.profile,
                "--window-size=%d,%d" % window_size, "--remote-debugging-pipe", "about:blank"]
        self.log = open(os.path.join(self.profile, "chromium.log"), "wb")
        try:
            self.process = subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=self.log, stderr=self.log,
                                            preexec_fn=take_pipe_ends, pass_fds=(3, 4))
        except OSError:
            for fd in (commands_read, answers_write, self.commands, self.answers):
                os.close(fd)
            self.log.close()
            shutil.rmtree(self.profile, ignore_errors=True)
            raise
        os.close(commands_read)
        os.close(answers_write)
        self.buffer = b""
        self.next_id = 0
        self.events = []

    def close(self):
        if self.process.poll() is None:
            try:
                self.send("Browser.close", timeout=5)
            except BrowserError:
                pass
            try:
                self.process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        for fd in (self.commands, self.answers):
            try:
                os.close(fd)
            except OSError:
                pass
        self.log.close()
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def _read_message(self, deadline):
        while b"\0" not in self.buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                raise BrowserError("no answer from chromium in time")
            ready, _, _ = select.select([self.answers], [], [], left)
            if not ready:
                continue
            chunk = os.read(self.answers, 1 << 20)
            if not chunk:
                raise BrowserError("chromium closed its pipe (exit status %s)" % self.process.poll())
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def send(self, method, params=None, session=None, timeout=30):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session is not None:
            message["sessionId"] = session
        os.write(self.commands, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            answer = self._read_message(deadline)
            if answer.get("id") != self.next_id:
                self.events.append(answer)
                continue
            if "error" in answer:
                raise BrowserError("%s: %s" % (method, answer["error"].get("message")))
            return answer.get("result", {})

    def open(self, url, width=1280, height=800, reduced_motion=False):
        target = self.send("Target.createTarget", {"url": "about:blank"})
        session = self.send("Target.attachToTarget", {"targetId": target["targetId"], "flatten": True})
        page = Page(self, session["sessionId"])
        page.send("Page.enable")
        page.send("Runtime.enable")
        page.send("Emulation.setDeviceMetricsOverride",
                  {"width": width, "height": height, "deviceScaleFactor": 1, "mobile": False})
        if reduced_motion:
            page.send("Emulation.setEmulatedMedia",
                      {"features": [{"name": "prefers-reduced-motion", "value": "reduce"}]})
        page.navigate(url)
        return page


class Page:
    def __init__(self, browser, session):
        self.browser = browser
        self.session = session

    def send(self, method, params=None, timeout=30):
        return self.browser.send(method, params, self.session, timeout)

    def navigate(self, url, timeout=30):
        self.send("Page.navigate", {"url": url})
        self.wait_for("document.readyState === 'complete'", timeout)

    def evaluate(self, expression, timeout=30):
        result = self.send("Runtime.evaluate", {"expression": expression, "returnByValue": True,
                                                "awaitPromise": True}, timeout)
        if "exceptionDetails" in result:
            details = result["exceptionDetails"]
            text = details.get("exception", {}).get("description") or details.get("text")
            raise BrowserError("script failed: %s" % text)
        return result.get("result", {}).get("value")

    def wait_for(self, expression, timeout=30, interval=0.05):
        """The first truthy value of `expression`, polled until `timeout` seconds pass."""
        return page_wait.first_truthy(self.evaluate, expression, timeout, interval, BrowserError)

    def screenshot(self, path):
        data = self.send("Page.captureScreenshot", {"format": "png"})["data"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))

    def click(self, x, y):
        for kind in ("mousePressed", "mouseReleased"):
            self.send("Input.dispatchMouseEvent",
                      {"type": kind, "x": x, "y": y, "button": "left", "buttons": 1, "clickCount": 1})

    def move_mouse(self, x, y):
        self.send("Input.dispatchMouseEvent", {"type": "mouseMoved", "x": x, "y": y})

    def key_event(self, kind, key="a", code="KeyA", key_code=65, repeat=False):
        """kind: "keyDown" or "keyUp"; repeat: a keyDown of a key held down."""
        self.send("Input.dispatchKeyEvent", {"type": kind, "key": key, "code": code,
                                             "windowsVirtualKeyCode": key_code, "autoRepeat": repeat})

    def press_key(self, key="a", code="KeyA", key_code=65):
        for kind in ("keyDown", "keyUp"):
            self.key_event(kind, key, code, key_code)

    def collect_garbage(self):
        self.send("HeapProfiler.collectGarbage")

    def close(self):
        self.send("Page.close")
