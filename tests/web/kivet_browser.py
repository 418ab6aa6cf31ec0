"""Headless Chromium on KIVET pages: a local HTTP server on 127.0.0.1 for a
build folder, a browser with a fresh profile driven by selenium, and
helpers to read the canvas, click it, type, and read the text pane and the
line that says the program has ended. Everything started here is stopped
by close() (or by leaving the `with` block).

Run with /usr/bin/python3, which has Debian's selenium.
"""

import base64
import functools
import http.server
import os
import shutil
import socketserver
import tempfile
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.keys import Keys

WIDTH = 601
HEIGHT = 515
CHROMIUM = os.environ.get("KIVET_CHROMIUM", "/usr/bin/chromium")
CHROMEDRIVER = os.environ.get("KIVET_CHROMEDRIVER", "/usr/bin/chromedriver")
BROWSER_ARGS = [
    "--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--window-size=900,1200",
]


class _QuietHandler(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map,
                          **{".wasm": "application/wasm", ".js": "text/javascript"})

    def log_message(self, *args):
        pass

    def end_headers(self):
        self.send_header("Cache-Control", "no-store")
        super().end_headers()


class _Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


class Server:
    """Serves `folder` on 127.0.0.1 at a free port until stop()."""

    def __init__(self, folder):
        handler = functools.partial(_QuietHandler, directory=folder)
        self.httpd = _Server(("127.0.0.1", 0), handler)
        self.port = self.httpd.server_address[1]
        self.thread = threading.Thread(target=self.httpd.serve_forever, daemon=True)
        self.thread.start()

    def url(self, page):
        return "http://127.0.0.1:%d/%s" % (self.port, page)

    def stop(self):
        self.httpd.shutdown()
        self.httpd.server_close()
        self.thread.join()


class Browser:
    """Headless Chromium with a profile of its own, driven by chromedriver."""

    def __init__(self, extra_args=()):
        self.profile = tempfile.mkdtemp(prefix="kivet-chromium-")
        options = webdriver.ChromeOptions()
        options.binary_location = CHROMIUM
        for arg in BROWSER_ARGS + list(extra_args):
            options.add_argument(arg)
        options.add_argument("--user-data-dir=" + self.profile)
        self.service = Service(CHROMEDRIVER, log_path=os.devnull)
        try:
            self.driver = webdriver.Chrome(service=self.service, options=options)
        except Exception:
            shutil.rmtree(self.profile, ignore_errors=True)
            raise

    def close(self):
        try:
            self.driver.quit()
        finally:
            shutil.rmtree(self.profile, ignore_errors=True)

    def pids(self):
        """Process ids of chromedriver and every browser process under it."""
        root = self.service.process.pid
        found, frontier = [root], [root]
        while frontier:
            parent = frontier.pop()
            children = []
            try:
                for task in os.listdir("/proc/%d/task" % parent):
                    with open("/proc/%d/task/%s/children" % (parent, task)) as f:
                        children += [int(p) for p in f.read().split()]
            except OSError:
                pass
            found += children
            frontier += children
        return found


class Page:
    """One KIVET page in the browser."""

    def __init__(self, browser, url):
        self.browser = browser
        self.driver = browser.driver
        self.url = url

    def load(self, first_frame_timeout=20):
        self.driver.get(self.url)
        self.wait_for(lambda: self.frames() > 0, first_frame_timeout, "the first frame")
        return self

    def reload(self):
        self.driver.refresh()
        self.wait_for(lambda: self.frames() > 0, 20, "the first frame after reload")

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def wait_for(self, condition, timeout=10, what="the condition"):
        deadline = time.monotonic() + timeout
        while True:
            value = condition()
            if value:
                return value
            if time.monotonic() > deadline:
                raise AssertionError("timed out after %.0f s waiting for %s" % (timeout, what))
            time.sleep(0.02)

    def frames(self):
        return int(self.js("return window.Module && Module.kivetFrames || 0;"))

    def pixels(self):
        """What the canvas shows, as bytes: RGBA, row after row."""
        data = self.driver.execute_async_script(
            "var done = arguments[arguments.length - 1];"
            "KivetCanvas.read().then(function(d) {"
            "  var s = ''; for (var i = 0; i < d.length; i += 8192)"
            "    s += String.fromCharCode.apply(null, d.subarray(i, i + 8192));"
            "  done(btoa(s)); });")
        return base64.b64decode(data)

    @staticmethod
    def rgb(pixels, x, y):
        i = (y * WIDTH + x) * 4
        return (pixels[i] << 16) | (pixels[i + 1] << 8) | pixels[i + 2]

    def click(self, x, y):
        """A left click at the canvas pixel (x, y), placed at its centre."""
        box = self.js("var r = document.getElementById('kivet-graphics').getBoundingClientRect();"
                      "return [r.left, r.top, r.width / %d];" % WIDTH)
        left, top, scale = box
        actions = ActionBuilder(self.driver)
        actions.pointer_action.move_to_location(int(left + (x + 0.5) * scale),
                                                int(top + (y + 0.5) * scale))
        actions.pointer_action.click()
        actions.perform()

    def drag(self, pixels):
        """The left button pressed at the first canvas pixel, the mouse moved
        through the others, and the button released at the last."""
        box = self.js("var r = document.getElementById('kivet-graphics').getBoundingClientRect();"
                      "return [r.left, r.top, r.width / %d];" % WIDTH)
        left, top, scale = box
        at = [(int(left + (x + 0.5) * scale), int(top + (y + 0.5) * scale)) for x, y in pixels]
        actions = ActionBuilder(self.driver)
        actions.pointer_action.move_to_location(*at[0])
        actions.pointer_action.pointer_down()
        for point in at[1:]:
            actions.pointer_action.move_to_location(*point)
        actions.pointer_action.pointer_up()
        actions.perform()

    def type(self, text):
        ActionChains(self.driver).send_keys(text).perform()

    def ctrl(self, letter):
        chain = ActionChains(self.driver).key_down(Keys.CONTROL).send_keys(letter)
        chain.key_up(Keys.CONTROL).perform()

    def alt(self, letter):
        chain = ActionChains(self.driver).key_down(Keys.ALT).send_keys(letter)
        chain.key_up(Keys.ALT).perform()

    def key(self, key):
        ActionChains(self.driver).send_keys(key).perform()

    def text_lines(self):
        return self.js("return document.getElementById('kivet-text').textContent;").split("\n")

    def end_line(self):
        return self.js("var s = document.getElementById('kivet-status');"
                       "return s && !s.hidden ? s.textContent : '';")

    def watch_keys(self):
        """From now on, keydown events are logged with whether the page took them."""
        self.js("window.kivetKeyLog = [];"
                "window.addEventListener('keydown', function(e) {"
                "  window.kivetKeyLog.push([e.key, e.ctrlKey, e.defaultPrevented]); });")

    def key_log(self):
        return self.js("return window.kivetKeyLog;")

    def dialog_open(self):
        return self.js("return document.getElementById('kivet-dialog').open;")


class Session:
    """A server for `folder` and a browser, stopped together."""

    def __init__(self, folder, extra_args=()):
        self.server = Server(folder)
        try:
            self.browser = Browser(extra_args)
        except Exception:
            self.server.stop()
            raise

    def page(self, name):
        return Page(self.browser, self.server.url(name))

    def close(self):
        try:
            self.browser.close()
        finally:
            self.server.stop()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
