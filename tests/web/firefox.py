"""Firefox ESR on a private Xvfb display, driven over Marionette with nothing but
the standard library; the same page calls as chromium.py (open, evaluate,
wait_for, click, move_mouse, key_event, press_key, screenshot, close).

Firefox's headless mode gets no WebGL here, so the browser draws on a virtual X
display (Mesa's llvmpipe through GLX). Each Browser has its own display (Xvfb
picks a free number), its own empty profile folder and its own Marionette port
(Firefox picks a free one and writes it into the profile); closing it quits the
browser and ends the display, and only those.

Marionette frames each message as "<length>:<JSON>". A command is
[0, id, name, parameters], its answer [1, id, error, result].
"""

import base64
import json
import os
import shutil
import socket
import subprocess
import tempfile
import time

import page_wait

FIREFOX = os.environ.get("FIREFOX", "firefox-esr")

# A quiet profile: no first-run pages, no network services, full screen without its
# animation and warning, and Marionette on a port of Firefox's choosing.
PREFERENCES = {
    "marionette.port": 0,
    "browser.shell.checkDefaultBrowser": False,
    "browser.startup.homepage_override.mstone": "ignore",
    "browser.aboutwelcome.enabled": False,
    "datareporting.policy.dataSubmissionEnabled": False,
    "datareporting.healthreport.uploadEnabled": False,
    "toolkit.telemetry.reportingpolicy.firstRun": False,
    "app.update.disabledForTesting": True,
    "network.captive-portal-service.enabled": False,
    "network.connectivity-service.enabled": False,
    "extensions.update.enabled": False,
    "browser.safebrowsing.update.enabled": False,
    "full-screen-api.transition-duration.enter": "0 0",
    "full-screen-api.transition-duration.leave": "0 0",
    "full-screen-api.warning.timeout": 0,
    # Without a window manager the X window cannot go full screen, and Firefox would
    # leave DOM full screen at once; the page's full screen is what is tested.
    "full-screen-api.ignore-widgets": True,
}

# WebDriver's codes for keys that have no character of their own.
KEY_VALUES = {"Enter": "\ue007", "Tab": "\ue004", "Escape": "\ue00c"}


class BrowserError(Exception):
    pass


class Browser:
    def __init__(self, window_size=(1280, 800), timeout=60):
        self.profile = tempfile.mkdtemp(prefix="saver-firefox-")
        self.xvfb = self.process = self.socket = None
        self.buffer = b""
        self.next_id = 0
        try:
            self._start(window_size, timeout)
        except BaseException:
            self.close()
            raise

    def _start(self, window_size, timeout):
        with open(os.path.join(self.profile, "user.js"), "w") as f:
            for name, value in PREFERENCES.items():
                f.write("user_pref(%s, %s);\n" % (json.dumps(name), json.dumps(value)))
        # Xvfb writes the display number it took to the pipe once it is ready.
        read_end, write_end = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % window_size, "-nolisten", "tcp"],
            pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as f:
            number = f.readline().strip()
        if not number:
            raise BrowserError("Xvfb did not start (exit status %s)" % self.xvfb.poll())
        # HOME in the profile folder too: Firefox and GTK write caches and settings there.
        env = dict(os.environ, DISPLAY=":" + number, HOME=self.profile, MOZ_CRASHREPORTER_DISABLE="1")
        for name in ("XDG_CACHE_HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"):
            env.pop(name, None)
        env.pop("WAYLAND_DISPLAY", None)
        self.log = open(os.path.join(self.profile, "firefox.log"), "wb")
        self.process = subprocess.Popen(
            [FIREFOX, "--marionette", "-remote-allow-system-access", "--no-remote", "-profile", self.profile,
             "-width", str(window_size[0]), "-height", str(window_size[1]), "about:blank"],
            env=env, stdin=subprocess.DEVNULL, stdout=self.log, stderr=self.log)
        port_file = os.path.join(self.profile, "MarionetteActivePort")
        deadline = time.monotonic() + timeout
        port = None
        while port is None:
            if self.process.poll() is not None:
                raise BrowserError("firefox ended at start (exit status %s)" % self.process.returncode)
            if time.monotonic() > deadline:
                raise BrowserError("firefox opened no Marionette port in time")
            time.sleep(0.1)
            try:
                with open(port_file) as f:
                    port = int(f.read().strip())
            except (OSError, ValueError):  # not there yet, or made but not yet written
                pass
        self.socket = socket.create_connection(("127.0.0.1", port), timeout=timeout)
        self._read(time.monotonic() + timeout)  # the greeting
        self.send("WebDriver:NewSession", {"capabilities": {"alwaysMatch": {"pageLoadStrategy": "normal"}}},
                  timeout=timeout)

    def close(self):
        if self.socket is not None:
            try:
                self.send("Marionette:Quit", {"flags": ["eForceQuit"]}, timeout=10)
            except (BrowserError, OSError):
                pass
            self.socket.close()
            self.socket = None
        for process in (self.process, self.xvfb):
            if process is None:
                continue
            if process.poll() is None:
                process.terminate()
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        if self.process is not None:
            self.log.close()
        self.process = self.xvfb = None
        shutil.rmtree(self.profile, ignore_errors=True)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def _read(self, deadline):
        while True:
            head, colon, rest = self.buffer.partition(b":")
            if colon and len(rest) >= int(head):
                self.buffer = rest[int(head):]
                return json.loads(rest[:int(head)])
            left = deadline - time.monotonic()
            if left <= 0:
                raise BrowserError("no answer from firefox in time")
            self.socket.settimeout(left)
            try:
                chunk = self.socket.recv(1 << 20)
            except socket.timeout:
                continue
            if not chunk:
                raise BrowserError("firefox closed its Marionette connection")
            self.buffer += chunk

    def send(self, name, params=None, timeout=30):
        self.next_id += 1
        data = json.dumps([0, self.next_id, name, params or {}]).encode()
        self.socket.sendall(str(len(data)).encode() + b":" + data)
        deadline = time.monotonic() + timeout
        while True:
            answer = self._read(deadline)
            if answer[0] == 1 and answer[1] == self.next_id:
                break
        if answer[2]:
            raise BrowserError("%s: %s" % (name, answer[2].get("message") or answer[2].get("error")))
        return answer[3]

    def open(self, url, width=1280, height=800):
        """The browser's one tab, showing `url` in a viewport of about width x height."""
        page = Page(self)
        page.send("WebDriver:SetWindowRect", {"x": 0, "y": 0, "width": width, "height": height})
        page.navigate(url)
        return page


class Page:
    def __init__(self, browser):
        self.browser = browser

    def send(self, name, params=None, timeout=30):
        return self.browser.send(name, params, timeout)

    def navigate(self, url, timeout=30):
        self.send("WebDriver:Navigate", {"url": url}, timeout)
        self.wait_for("document.readyState === 'complete'", timeout)

    def evaluate(self, expression, timeout=30):
        """The value of `expression` (statements allowed) in the page's global scope."""
        try:
            result = self.send("WebDriver:ExecuteScript",
                               {"script": "return (0, eval)(arguments[0]);", "args": [expression]}, timeout)
        except BrowserError as e:
            raise BrowserError("script failed: %s" % e)
        return result.get("value")

    def wait_for(self, expression, timeout=30, interval=0.05):
        """The first truthy value of `expression`, polled until `timeout` seconds pass."""
        return page_wait.first_truthy(self.evaluate, expression, timeout, interval, BrowserError)

    def screenshot(self, path):
        data = self.send("WebDriver:TakeScreenshot", {"full": False})["value"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))

    def _pointer(self, *actions):
        self.send("WebDriver:PerformActions", {"actions": [
            {"type": "pointer", "id": "mouse", "parameters": {"pointerType": "mouse"}, "actions": list(actions)}]})

    def click(self, x, y):
        self._pointer({"type": "pointerMove", "x": x, "y": y, "origin": "viewport", "duration": 0},
                      {"type": "pointerDown", "button": 0}, {"type": "pointerUp", "button": 0})

    def move_mouse(self, x, y):
        self._pointer({"type": "pointerMove", "x": x, "y": y, "origin": "viewport", "duration": 0})

    def key_event(self, kind, key="a", code=None, key_code=None, repeat=False):
        """kind: "keyDown" or "keyUp". WebDriver has no key repeat: `repeat` is refused."""
        if repeat:
            raise BrowserError("Marionette cannot send a repeated key")
        value = KEY_VALUES.get(key, key)
        self.send("WebDriver:PerformActions", {"actions": [
            {"type": "key", "id": "keyboard", "actions": [{"type": kind, "value": value}]}]})

    def press_key(self, key="a", code=None, key_code=None):
        for kind in ("keyDown", "keyUp"):
            self.key_event(kind, key)

    def collect_garbage(self):
        """A full collection in the page's own (content) process."""
        # A plain forced collection can leave a page's objects that caches still
        # name; memory pressure empties those first, as under a real shortage.
        script = ("Services.obs.notifyObservers(null, 'memory-pressure', 'heap-minimize');"
                  " for (let i = 0; i < 2; i++) { Cu.forceGC(); Cu.forceCC(); } Cu.forceGC();")
        self.send("WebDriver:ExecuteScript", {"script": script.replace("Cu.", "Components.utils."), "args": [],
                                              "sandbox": "system"})

    def close(self):
        self.navigate("about:blank")
