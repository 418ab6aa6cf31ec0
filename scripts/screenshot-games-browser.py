"""Remakes docs/catch-browser.png and docs/paint-browser.png: the pages of
the two game examples in headless Chromium after some input (arrows held in
catch, strokes dragged in paint).

    /usr/bin/python3 scripts/screenshot-games-browser.py [WEB_BUILD]
"""
import base64
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
import kivet_browser as kb  # noqa: E402

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
web = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "build-web")


def hold(page, key, seconds):
    kb.ActionChains(page.driver).key_down(key).perform()
    time.sleep(seconds)
    kb.ActionChains(page.driver).key_up(key).perform()


def shoot(page, name):
    width, height = page.js("var r = document.getElementById('kivet-text').getBoundingClientRect();"
                            "return [Math.ceil(r.right) + 8, Math.ceil(r.bottom) + 8];")
    shot = page.driver.execute_cdp_cmd("Page.captureScreenshot", {
        "format": "png", "captureBeyondViewport": True,
        "clip": {"x": 0, "y": 0, "width": width, "height": height, "scale": 1}})
    out = os.path.join(root, "docs", name)
    with open(out, "wb") as f:
        f.write(base64.b64decode(shot["data"]))
    print("wrote", out)


with kb.Session(web) as session:
    page = session.page("examples/catch.html").load()
    time.sleep(0.6)
    hold(page, kb.Keys.ARROW_LEFT, 0.5)
    time.sleep(0.2)
    hold(page, kb.Keys.ARROW_RIGHT, 0.8)
    time.sleep(0.3)
    shoot(page, "catch-browser.png")

    page = session.page("examples/paint.html").load()
    time.sleep(0.5)
    page.drag([(80 + i * 10, 275 - (i * i) // 8 + i * 3) for i in range(41)])
    page.type("r")
    page.drag([(100 + i * 10, 395 - (i % 10) * 6) for i in range(41)])
    time.sleep(0.5)
    shoot(page, "paint-browser.png")
