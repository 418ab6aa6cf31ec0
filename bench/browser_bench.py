"""The browser column of the whole-program benchmarks: the airfield's page
in headless Chromium, served from 127.0.0.1. Prints one row per measure,
"number<TAB>figure<TAB>verdict", like the other columns of bench/run.sh.

    /usr/bin/python3 bench/browser_bench.py PAGES HEADLESS_RATE

PAGES is the folder holding airfield.html, .js and .wasm; HEADLESS_RATE
the events per second of the same script played by the headless backend
on Linux in the same run (row 6h). Durations come from the environment as
for bench/run.sh: BENCH_CPU_SECONDS, BENCH_TICK_SECONDS,
BENCH_PLAYBACK_EVENTS, BENCH_START_RUNS.
"""

import gzip
import os
import statistics
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
import kivet_browser as kb  # noqa: E402

CPU_SECONDS = float(os.environ.get("BENCH_CPU_SECONDS", 60))
TICK_SECONDS = float(os.environ.get("BENCH_TICK_SECONDS", 60))
PLAYBACK_EVENTS = int(os.environ.get("BENCH_PLAYBACK_EVENTS", 100000))
START_RUNS = int(os.environ.get("BENCH_START_RUNS", 10))
IDLE_PAGE = "<!doctype html><title>idle</title><p>An idle page."


def row(number, figure, passed):
    verdict = "-" if passed is None else ("pass" if passed else "FAIL")
    print("%s\t%s\t%s" % (number, figure, verdict), flush=True)


def cpu_seconds(pids):
    total = 0
    for pid in pids:
        try:
            with open("/proc/%d/stat" % pid) as f:
                fields = f.read().rsplit(")", 1)[1].split()
            total += int(fields[11]) + int(fields[12])
        except OSError:
            pass
    return total / os.sysconf("SC_CLK_TCK")


def cpu_percent(browser, seconds):
    """Processor use of chromedriver and every browser process, % of one core."""
    before, start = cpu_seconds(browser.pids()), time.monotonic()
    time.sleep(seconds)
    return 100 * (cpu_seconds(browser.pids()) - before) / (time.monotonic() - start)


def resident_kib(browser):
    total = 0
    for pid in browser.pids():
        try:
            with open("/proc/%d/status" % pid) as f:
                total += sum(int(line.split()[1]) for line in f if line.startswith("VmRSS:"))
        except OSError:
            pass
    return total


def first_frames(session):
    """Page load to first frame (ms from the start of navigation), START_RUNS loads."""
    times = []
    for _ in range(START_RUNS):
        page = session.page("airfield.html").load()
        times.append(page.js("return Module.kivetFirstFrame"))
    median = statistics.median(times)
    row(7, "%.0f ms median of %d loads (%.0f to %.0f)" % (median, len(times), min(times), max(times)),
        median <= 1000)


def processor_use(session, folder):
    browser = session.browser
    browser.driver.get(session.server.url("kivet-bench-idle.html"))
    time.sleep(2)
    idle = cpu_percent(browser, CPU_SECONDS)
    session.page("airfield.html").load()
    time.sleep(2)
    running = cpu_percent(browser, CPU_SECONDS)
    row(1, "%.1f%% of one core, all browser processes (idle page %.1f%%: %+.1f points)"
        % (running, idle, running - idle), running - idle <= 5)
    row(8, "%.1f MiB resident, all browser processes" % (resident_kib(browser) / 1024), None)


def ticks(session):
    page = session.page("airfield.html").load()
    page.js("window.kivetTicks = [];"
            "var push = KivetPage.push;"
            "KivetPage.push = function(e) {"
            "  if (e[0] == KivetPage.TIMER) window.kivetTicks.push(performance.now());"
            "  return push(e); };")
    time.sleep(TICK_SECONDS)
    stamps = page.js("return window.kivetTicks;")
    intervals = [b - a for a, b in zip(stamps, stamps[1:])]
    median = statistics.median(intervals) if intervals else 0
    expected = round(TICK_SECONDS * 10)
    row(2, "%d ticks in %.0f s, median interval %.2f ms" % (len(stamps), TICK_SECONDS, median),
        abs(len(stamps) - expected) <= 1 and abs(median - 100) <= 0.5)


def playback(session, headless_rate):
    page = session.page("airfield.html").load()
    page.ctrl("h")
    page.js("FS.writeFile(KivetStorage.scriptPath(), 'KIVET_PERIODIC(%d);\\n');" % PLAYBACK_EVENTS)
    start = time.monotonic()
    page.ctrl("p")
    page.wait_for(lambda: any(line.startswith("EOF encountered") for line in page.text_lines()),
                  3600, "the end of the script")
    seconds = time.monotonic() - start
    rate = PLAYBACK_EVENTS / seconds
    share = rate / headless_rate if headless_rate > 0 else 0
    row(6, "%.0f events/s (%d in %.1f s), %.0f%% of row 6h" % (rate, PLAYBACK_EVENTS, seconds, 100 * share),
        share >= 0.6)


def download_size(folder):
    total = 0
    for name in ("airfield.html", "airfield.js", "airfield.wasm"):
        with open(os.path.join(folder, name), "rb") as f:
            total += len(gzip.compress(f.read(), 9))
    row(9, "%.1f KB (.html + .js + .wasm, gzip -9)" % (total / 1024), total <= 150 * 1024)


def main():
    folder, headless_rate = sys.argv[1], float(sys.argv[2])
    idle = os.path.join(folder, "kivet-bench-idle.html")
    with open(idle, "w") as f:
        f.write(IDLE_PAGE)
    try:
        with kb.Session(folder) as session:
            first_frames(session)
            processor_use(session, folder)
            ticks(session)
            playback(session, headless_rate)
    finally:
        os.unlink(idle)
    download_size(folder)


if __name__ == "__main__":
    main()
