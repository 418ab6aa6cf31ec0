"""Remakes docs/browser.png: the airfield's page of a web build in headless
Chromium, a few seconds after it started.

    /usr/bin/python3 scripts/browser-screenshot.py [WEB_BUILD] [OUT.png]
"""
import base64
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
import kivet_browser as kb  # noqa: E402

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
web = sys.argv[1] if len(sys.argv) > 1 else os.path.join(root, "build-web")
out = sys.argv[2] if len(sys.argv) > 2 else os.path.join(root, "docs", "browser.png")
with kb.Session(web) as session:
    page = session.page("airfield.html").load()
    time.sleep(6)
    width, height = page.js("var r = document.getElementById('kivet-text').getBoundingClientRect();"
                            "return [Math.ceil(r.right) + 8, Math.ceil(r.bottom) + 8];")
    shot = page.driver.execute_cdp_cmd("Page.captureScreenshot", {
        "format": "png", "captureBeyondViewport": True,
        "clip": {"x": 0, "y": 0, "width": width, "height": height, "scale": 1}})
    with open(out, "wb") as f:
        f.write(base64.b64decode(shot["data"]))
print("wrote", out)
