"""KIVET pages in headless Chromium, end to end: the airfield and the test
program events_main.cpp (tests/events.html) built for the browser, served
from a local server.

    /usr/bin/python3 tests/web/web_test.py PAGES NATIVE_EVENTS

PAGES is the web build folder (airfield.html, tests/events.html, ...);
NATIVE_EVENTS is events_main.cpp built for Linux, whose headless run gives
the picture a page must match.
"""

import os
import subprocess
import sys
import tempfile
import time
import unittest
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import kivet_browser as kb  # noqa: E402

PAGES = None
NATIVE_EVENTS = None

# Clicks and ticks, no keys. The picture holds text in the built-in face,
# which the page draws as Linux does: every pixel is compared.
SCRIPT = ("KIVET_MOUSE(-120, 60);\nKIVET_PERIODIC(3);\nKIVET_MOUSE(37, -101);\n"
          "KIVET_MOUSE(290, 240);\nKIVET_PERIODIC(12);\nKIVET_MOUSE(0, 0);\n")


def png_rgb(path):
    """Width, height and the RGB bytes of an 8-bit RGB or RGBA PNG."""
    with open(path, "rb") as f:
        data = f.read()
    pos, chunks = 8, {}
    while pos < len(data):
        length = int.from_bytes(data[pos:pos + 4], "big")
        kind = data[pos + 4:pos + 8]
        chunks.setdefault(kind, []).append(data[pos + 8:pos + 8 + length])
        pos += 12 + length
    header = chunks[b"IHDR"][0]
    width, height = int.from_bytes(header[0:4], "big"), int.from_bytes(header[4:8], "big")
    channels = {2: 3, 6: 4}[header[9]]
    raw = zlib.decompress(b"".join(chunks[b"IDAT"]))
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append(bytes(line))
        previous = line
    rgb = bytearray()
    for line in rows:
        for x in range(width):
            rgb += line[x * channels:x * channels + 3]
    return width, height, bytes(rgb)


def canvas_rgb(pixels):
    """The canvas's RGBA bytes as RGB."""
    rgb = bytearray(len(pixels) // 4 * 3)
    rgb[0::3], rgb[1::3], rgb[2::3] = pixels[0::4], pixels[1::4], pixels[2::4]
    return bytes(rgb)


def lines_starting(page, prefix):
    return [line for line in page.text_lines() if line.startswith(prefix)]


class BrowserTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = kb.Session(PAGES)

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def open(self, name):
        return self.session.page(name).load()

    def play(self, page):
        """Plays KIVET.SCR to its end."""
        page.ctrl("p")
        page.wait_for(lambda: lines_starting(page, "EOF encountered"), 20, "the end of the script")

    def put_script(self, page, text):
        """KIVET.SCR from a file on disk, through the page's button."""
        with tempfile.NamedTemporaryFile("w", suffix=".scr", delete=False) as f:
            f.write(text)
        try:
            chooser = page.driver.find_element("id", "kivet-open-file")
            page.js("arguments[0].hidden = false;", chooser)
            chooser.send_keys(f.name)
            page.wait_for(lambda: "is now KIVET.SCR" in page.js(
                "return document.getElementById('kivet-note').textContent"), 5, "the file opened")
        finally:
            os.unlink(f.name)

    def test_airfield_animates_halts_on_ctrl_h_and_ends_on_ctrl_q(self):
        page = self.open("airfield.html")
        first = page.pixels()
        page.wait_for(lambda: page.pixels() != first, 3, "the canvas to change")
        page.watch_keys()
        page.ctrl("h")
        time.sleep(0.3)
        halted = page.pixels()
        time.sleep(0.4)
        self.assertEqual(page.pixels(), halted)
        self.assertIn(["h", True, True], page.key_log())  # the browser's own Ctrl+H did nothing
        page.ctrl("q")
        page.wait_for(page.end_line, 5, "the end of the program")
        self.assertEqual(page.end_line(), "The program has ended (exit status 0).")
        self.assertEqual(page.pixels(), halted)  # the last picture stays

    def test_click_dialog_text_and_second_display(self):
        page = self.open("tests/events.html")
        page.click(400, 100)  # the client area's centre is pixel (300, 257)
        page.wait_for(lambda: lines_starting(page, "mouse"), 5, "the click")
        self.assertEqual(lines_starting(page, "mouse"), ["mouse 100 157"])
        page.type("g")
        page.wait_for(page.dialog_open, 5, "the dialog")
        self.assertEqual(page.js("return document.getElementById('kivet-dialog-prompt').textContent"),
                         "Type a line:\n(then Enter)")
        page.type("Grüße, Ada")
        page.key(kb.Keys.ESCAPE)  # ignored: the dialog stays, however often
        page.key(kb.Keys.ESCAPE)
        time.sleep(0.2)
        self.assertTrue(page.dialog_open())
        page.key(kb.Keys.ENTER)
        page.wait_for(lambda: lines_starting(page, "answer"), 5, "the answer")
        self.assertEqual(lines_starting(page, "answer"), ["answer Grüße, Ada"])
        page.type("d")  # a second Display: its error in the dialog, then exit status -1
        page.wait_for(page.dialog_open, 5, "the error")
        self.assertEqual(page.js("return document.getElementById('kivet-dialog-prompt').textContent"),
                         "Error: Attempted to instantiate multiple KIVET displays")
        page.key(kb.Keys.ENTER)
        page.wait_for(page.end_line, 5, "the end of the program")
        self.assertEqual(page.end_line(), "The program has ended (exit status -1).")

    def test_recording_survives_reload_and_plays_back_to_same_canvas(self):
        page = self.open("tests/events.html")
        page.ctrl("r")
        page.click(100, 100)
        page.ctrl("f")
        page.click(500, 400)
        page.type("k")
        page.ctrl("f")
        page.wait_for(lambda: lines_starting(page, "periodic 2"), 5, "the second step")
        page.ctrl("r")
        recorded = page.pixels()
        page.wait_for(lambda: not page.js(
            "return document.documentElement.hasAttribute('data-kivet-saving')"), 5, "storage")
        page.reload()
        self.assertNotEqual(page.pixels(), recorded)
        self.play(page)
        self.assertEqual(page.pixels(), recorded)
        self.assertEqual(lines_starting(page, "keyboard"), ["keyboard 107"])

    def linux_picture(self, script):
        """What the Linux headless run of the same program shows for `script`."""
        with tempfile.TemporaryDirectory() as work:
            with open(os.path.join(work, "KIVET.SCR"), "w") as f:
                f.write(script)
            env = dict(os.environ, KIVET_BACKEND="headless", KIVET_SNAPSHOT="linux.png")
            subprocess.run([NATIVE_EVENTS], cwd=work, env=env, stdout=subprocess.DEVNULL,
                           stdin=subprocess.DEVNULL, check=True, timeout=30)
            width, height, expected = png_rgb(os.path.join(work, "linux.png"))
        self.assertEqual(width, kb.WIDTH)
        return expected[:kb.WIDTH * kb.HEIGHT * 3]  # the rows the canvas shows

    def assert_same_picture(self, shown, got):
        wrong = sum(1 for i in range(0, len(shown), 3) if shown[i:i + 3] != got[i:i + 3])
        self.assertEqual(wrong, 0)

    def test_script_draws_what_a_linux_headless_run_draws_text_included(self):
        page = self.open("tests/events.html")
        self.put_script(page, SCRIPT)
        self.play(page)
        self.assert_same_picture(self.linux_picture(SCRIPT), canvas_rgb(page.pixels()))

    def test_script_in_the_address_plays_as_a_headless_run_and_the_page_says_so(self):
        # A file beside the page; the page's own stored KIVET.SCR is not touched.
        beside = os.path.join(PAGES, "tests", "check.scr")
        with open(beside, "w") as f:
            f.write(SCRIPT)
        try:
            page = self.session.page("tests/events.html?script=check.scr").load()
            page.wait_for(page.end_line, 20, "the end of the program")
        finally:
            os.unlink(beside)
        self.assertEqual(page.end_line(),
                         'Played the script "check.scr". The program has ended (exit status 0).')
        self.assertEqual(page.js("return document.documentElement.getAttribute('data-kivet-script')"),
                         "played")
        self.assertEqual(lines_starting(page, "periodic")[-1], "periodic 15")
        self.assertIn("EOF encountered in script file KIVET.SCR", page.text_lines())
        self.assert_same_picture(self.linux_picture(SCRIPT), canvas_rgb(page.pixels()))
        # A name that is not a file beside the page is not fetched.
        page = self.session.page("tests/events.html?script=../airfield.html").load()
        page.wait_for(page.end_line, 20, "the end of the program")
        self.assertIn("is not a file beside the page", page.js(
            "return document.getElementById('kivet-note').textContent"))

    def test_after_a_played_script_the_halted_animation_runs_again_on_ctrl_a(self):
        # Playback halts the animation, as on the desktop: the script's ticks
        # alone drive the run. Once it has ended, no tick comes until Animate,
        # which brings the timer's ticks back at once, ten a second.
        page = self.open("tests/events.html")
        self.put_script(page, "KIVET_PERIODIC(30);\n")
        self.play(page)
        self.assertEqual(lines_starting(page, "periodic")[-1], "periodic 30")
        time.sleep(0.5)
        self.assertEqual(lines_starting(page, "periodic")[-1], "periodic 30")
        page.ctrl("a")
        time.sleep(1.0)
        ticks = int(lines_starting(page, "periodic")[-1].split()[1]) - 30
        self.assertGreaterEqual(ticks, 7)
        self.assertLessEqual(ticks, 11)
    def test_game_keys_held_mouse_drag_and_exit_status(self):
        page = self.open("tests/game.html")
        page.wait_for(lambda: lines_starting(page, "ready"), 5, "the program")
        page.watch_keys()
        kb.ActionChains(page.driver).key_down(kb.Keys.ARROW_LEFT).perform()
        page.wait_for(lambda: lines_starting(page, "pressed"), 5, "the press")
        time.sleep(0.5)
        kb.ActionChains(page.driver).key_up(kb.Keys.ARROW_LEFT).perform()
        page.wait_for(lambda: lines_starting(page, "released"), 5, "the release")
        self.assertEqual(lines_starting(page, "pressed"), ["pressed 37 1"])
        self.assertEqual(lines_starting(page, "released"), ["released 37 0"])
        # The arrow does not scroll the page while the canvas has the keyboard.
        self.assertIn(["ArrowLeft", False, True], page.key_log())
        page.drag([(200, 207), (230, 223), (260, 239), (350, 287)])
        page.wait_for(lambda: lines_starting(page, "lifted"), 5, "the release of the button")
        self.assertEqual(lines_starting(page, "mouse"), ["mouse -100 50"])
        self.assertEqual(lines_starting(page, "lifted"), ["lifted 50 -30"])
        self.assertIn("moved 50 -30", page.text_lines())
        page.js("window.dispatchEvent(new Event('blur'));")
        page.ctrl("q")
        page.wait_for(page.end_line, 5, "the end of the program")
        self.assertEqual(page.end_line(), "The program has ended (exit status 3).")

    def test_catch_draws_its_sprite_from_the_pages_own_file(self):
        page = self.open("examples/catch.html")
        gold = bytes([255, 204, 0])

        def star_shown():
            rgb = canvas_rgb(page.pixels())
            return any(rgb[i:i + 3] == gold for i in range(0, len(rgb), 3))
        page.wait_for(star_shown, 5, "the star")
        self.assertEqual(lines_starting(page, "Cannot draw picture"), [])


if __name__ == "__main__":
    PAGES, NATIVE_EVENTS = sys.argv[1], os.path.abspath(sys.argv[2])
    del sys.argv[1:3]
    unittest.main(verbosity=2)
