"""The web backend on its own, in headless Chromium: the probe program
(probe_main.cpp) reports every message it gets in the text pane.

    /usr/bin/python3 tests/web/probe/probe_test.py BUILD_FOLDER
"""

import sys
import os
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
import kivet_browser as kb  # noqa: E402

FOLDER = None


def pattern(x, y):
    return ((x & 255) << 16) | ((y & 255) << 8) | ((x * 3 + y * 5 + x // 256 * 64 + y // 256 * 128) & 255)


def reports(page, prefix):
    return [line for line in page.text_lines() if line.startswith(prefix)]


class ProbeTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.session = kb.Session(FOLDER)

    @classmethod
    def tearDownClass(cls):
        cls.session.close()

    def setUp(self):
        self.page = self.session.page("probe.html").load()

    def test_bitmap_reaches_canvas_and_input_arrives_as_messages(self):
        page = self.page
        pixels = page.pixels()
        wrong = [(x, y) for y in range(kb.HEIGHT) for x in range(kb.WIDTH)
                 if kb.Page.rgb(pixels, x, y) != pattern(x, y)]
        self.assertEqual(wrong, [])
        for x, y in [(0, 0), (600, 514), (300, 257)]:
            page.click(x, y)
        page.watch_keys()
        page.type("x")
        page.ctrl("h")
        page.key(kb.Keys.ESCAPE)
        page.wait_for(lambda: reports(page, "up 27"), 5, "the last key")
        self.assertEqual(reports(page, "click"), ["click 0 0", "click 600 514", "click 300 257"])
        self.assertEqual(reports(page, "down"),
                         ["down 88 120 0", "down 17 0 1", "down 72 8 1", "down 27 27 0"])
        self.assertIn(["h", True, True], page.key_log())  # the browser's Ctrl+H prevented

    def test_dialog_returns_typed_text_and_ignores_escape(self):
        page = self.page
        page.type("d")
        page.wait_for(page.dialog_open, 5, "the dialog")
        self.assertEqual(page.js("return document.getElementById('kivet-dialog-prompt').textContent"),
                         "Your name?\tplease")
        page.type("Ada Lovelace")
        page.key(kb.Keys.ESCAPE)
        page.wait_for(lambda: reports(page, "cancel ignored"), 5, "cancel")
        self.assertTrue(page.dialog_open())
        page.key(kb.Keys.ENTER)
        page.wait_for(lambda: reports(page, "answer"), 5, "the answer")
        self.assertEqual(reports(page, "answer"), ["answer Ada Lovelace 1"])
        self.assertFalse(page.dialog_open())

    def test_ticks_keep_to_the_clock(self):
        page = self.page
        page.wait_for(lambda: reports(page, "tick 21 "), 5, "21 ticks")
        last = reports(page, "tick 21 ")[0].split()
        self.assertAlmostEqual(int(last[2]), 2000, delta=30)

    def test_file_survives_reload_and_exit_status_reaches_page(self):
        page = self.page
        page.type("w")
        page.wait_for(lambda: reports(page, "file written"), 5, "the file")
        page.wait_for(lambda: not page.js(
            "return document.documentElement.hasAttribute('data-kivet-saving')"), 5, "storage")
        page.reload()
        page.type("r")
        page.wait_for(lambda: reports(page, "file "), 5, "the file read")
        self.assertEqual(reports(page, "file "), ["file KIVET_PERIODIC(3);"])
        page.type("e")
        page.wait_for(page.end_line, 5, "the end")
        self.assertEqual(page.end_line(), "The program has ended (exit status -1).")


if __name__ == "__main__":
    FOLDER = sys.argv.pop(1)
    unittest.main()
