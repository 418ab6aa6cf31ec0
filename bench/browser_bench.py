"""The browser's whole-program benchmarks: the airfield's page in headless
Chromium, served from 127.0.0.1. Prints one row per measure, "measure<TAB>
figure<TAB>goal<TAB>verdict", for bench/run.sh's browser table.

    /usr/bin/python3 bench/browser_bench.py PAGES HEADLESS_RATE

PAGES is the folder holding airfield.html, .js and .wasm; HEADLESS_RATE
the events per second of the same script played by the headless backend
on Linux in the same run. Durations come from the environment as for
bench/run.sh: BENCH_CPU_SECONDS, BENCH_TICK_SECONDS, BENCH_PLAYBACK_EVENTS,
BENCH_START_RUNS.
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


def row(measure, figure, goal, passed):
    verdict = "-" if passed is None else ("pass" if passed else "FAIL")
    print("%s\t%s\t%s\t%s" % (measure, figure, goal, verdict), flush=True)


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


def proportional_kib(browser):
    """Memory of the browser's processes, shared pages divided among them."""
    total = 0
    for pid in browser.pids():
        try:
            with open("/proc/%d/smaps_rollup" % pid) as f:
                total += sum(int(line.split()[1]) for line in f if line.startswith("Pss:"))
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
    row("7. Page load to the airfield's first frame",
        "%.0f ms median of %d loads (%.0f to %.0f)" % (median, len(times), min(times), max(times)),
        "<= 1 s", median <= 1000)


def processor_use(session, folder):
    browser = session.browser
    browser.driver.get(session.server.url("kivet-bench-idle.html"))
    time.sleep(2)
    idle = cpu_percent(browser, CPU_SECONDS)
    session.page("airfield.html").load()
    time.sleep(2)
    running = cpu_percent(browser, CPU_SECONDS)
    row("1. CPU of all browser processes, airfield running, %.0f s" % CPU_SECONDS,
        "%.1f%% of one core (idle page %.1f%%: %+.1f points)" % (running, idle, running - idle),
        "<= 5 points above the idle page", running - idle <= 5)
    row("8. Memory of all browser processes (proportional set size)",
        "%.1f MiB" % (proportional_kib(browser) / 1024), "reported", None)
    return idle


def catch_game(session, idle):
    """The catch example at its 16 ms tick: its ticks and, over the same
    time, the processor use of every browser process."""
    page = session.page("examples/catch.html").load()
    page.js("window.kivetTicks = []; window.kivetStart = performance.now();"
            "var push = KivetPage.push;"
            "KivetPage.push = function(e) {"
            "  if (e[0] == KivetPage.TIMER) window.kivetTicks.push(performance.now());"
            "  return push(e); };")
    running = cpu_percent(session.browser, TICK_SECONDS)
    # The ticks within TICK_SECONDS of the hook, whatever the driver's own
    # calls to the page took.
    stamps = page.js("var end = window.kivetStart + %f;"
                     "return window.kivetTicks.filter(function(t) { return t < end; });"
                     % (TICK_SECONDS * 1000))
    intervals = [b - a for a, b in zip(stamps, stamps[1:])]
    median = statistics.median(intervals) if intervals else 0
    span = stamps[-1] - stamps[0] if len(stamps) > 1 else 0
    expected = round(TICK_SECONDS * 1000 / 16)
    row("c1. CPU of all browser processes, catch running (16 ms tick), %.0f s" % TICK_SECONDS,
        "%.1f%% of one core (idle page %.1f%%: %+.1f points)" % (running, idle, running - idle),
        "<= 15 points above the idle page", running - idle <= 15)
    row("c2. Ticks of the catch game (16 ms tick), %.0f s" % TICK_SECONDS,
        "%d, median interval %.2f ms, %.0f ms from the first to the last"
        % (len(stamps), median, span),
        "%d +-2" % expected, abs(len(stamps) - expected) <= 2)


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
    row("2. Ticks of the running airfield, %.0f s" % TICK_SECONDS,
        "%d, median interval %.2f ms" % (len(stamps), median),
        "%d +-1, median interval 100 +-0.5 ms" % expected,
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
    row("6. Script playback, %d periodic events" % PLAYBACK_EVENTS,
        "%.0f events/s (%.1f s), %.0f%% of Linux headless (%.0f events/s)"
        % (rate, seconds, 100 * share, headless_rate),
        ">= 60% of Linux headless, same run", share >= 0.6)


def download_size(folder):
    total = 0
    for name in ("airfield.html", "airfield.js", "airfield.wasm"):
        with open(os.path.join(folder, name), "rb") as f:
            total += len(gzip.compress(f.read(), 9))
    row("9. Download of the airfield's page (.html + .js + .wasm, gzip -9)",
        "%.1f KB" % (total / 1024), "<= 150 KB", total <= 150 * 1024)


def main():
    folder, headless_rate = sys.argv[1], float(sys.argv[2])
    idle = os.path.join(folder, "kivet-bench-idle.html")
    with open(idle, "w") as f:
        f.write(IDLE_PAGE)
    try:
        with kb.Session(folder) as session:
            first_frames(session)
            idle_cpu = processor_use(session, folder)
            ticks(session)
            catch_game(session, idle_cpu)
            playback(session, headless_rate)
    finally:
        os.unlink(idle)
    download_size(folder)


if __name__ == "__main__":
    main()
