"""Remakes docs/check-report.png: a kivet-check report (index.html) as
headless Chromium shows it, opened from its folder.

    /usr/bin/python3 scripts/check-report-screenshot.py REPORT_DIR [OUT.png]
"""
import base64
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
import kivet_browser as kb  # noqa: E402

root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
report = os.path.abspath(sys.argv[1])
out = sys.argv[2] if len(sys.argv) > 2 else os.path.join(root, "docs", "check-report.png")
browser = kb.Browser(["--window-size=2600,1400"])
try:
    browser.driver.get("file://" + os.path.join(report, "index.html"))
    width, height = browser.driver.execute_script(
        "var r = document.querySelector('table').getBoundingClientRect();"
        "return [Math.ceil(r.right) + 16, Math.ceil(r.bottom) + 16];")
    shot = browser.driver.execute_cdp_cmd("Page.captureScreenshot", {
        "format": "png", "captureBeyondViewport": True,
        "clip": {"x": 0, "y": 0, "width": width, "height": height, "scale": 1}})
    with open(out, "wb") as f:
        f.write(base64.b64decode(shot["data"]))
finally:
    browser.close()
print("wrote", out)
