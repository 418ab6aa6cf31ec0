// Whole-program figures that need the real Win32 backend, for bench/run.sh,
// which runs this under Wine on an Xvfb of its own:
//
//   win32_driver ticks SECONDS          the simulation running live; the
//                                       periodic events and their intervals
//   win32_driver playback COUNT RATE    playback of a script of COUNT periodic
//                                       events (written to KIVET.SCR in the
//                                       working directory), the scene redrawn
//                                       for each, against RATE, the headless
//                                       backend's rate for the same script
//
// Both run the simulation's own driver steps on a Display, as the program
// does, and print one table row (row number, figure, verdict), tab
// separated, on standard output: the rows of bench/gtk_driver.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "bench/playback.h"
#include "kivet/event_wait.h"
#include "kivet/platform/win32/windows_api.h"

namespace {

using bench::Clock;
using bench::ms_between;
using bench::Simulation;

double percentile(std::vector<double> values, double share) {
  if (values.empty()) return 0;
  size_t index = static_cast<size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
  std::nth_element(values.begin(), values.begin() + index, values.end());
  return values[index];
}

void print_row(const char* row, const std::string& figure, bool pass) {
  std::printf("%s\t%s\t%s\n", row, figure.c_str(), pass ? "pass" : "FAIL");
  std::fflush(stdout);
}

// Pixels of the graphics window's client area, read back from the screen,
// that differ from the off-screen bitmap; -1 when they cannot be read.
long pixels_unlike_bitmap() {
  HWND window = FindWindowW(L"DrawWndClass", nullptr);
  RECT client{};
  if (!window || !GetClientRect(window, &client)) return -1;
  int width = std::min<int>(client.right, kivet::BITMAP_WIDTH);
  int height = std::min<int>(client.bottom, kivet::BITMAP_HEIGHT);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP shown = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(nullptr);
  HDC screen = GetDC(window);
  HGDIOBJ before = SelectObject(memory, shown);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  long unlike = 0;
  for (int y = 0; y < height; ++y) {
    const uint32_t* row = static_cast<const uint32_t*>(bits) + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      unlike += (row[x] & 0xFFFFFF) != (kivet::offscreen_bitmap->at(x, y) & 0xFFFFFF);
    }
  }
  SelectObject(memory, before);
  ReleaseDC(window, screen);
  DeleteDC(memory);
  DeleteObject(shown);
  return unlike;
}

int measure_ticks(double seconds) {
  Simulation sim;
  sim.display.set_animation(kivet::run);
  std::vector<Clock::time_point> ticks;
  Clock::time_point start = Clock::now();
  while (ms_between(start, Clock::now()) < seconds * 1e3) {
    // The time the wait returned, before the scene is redrawn.
    int x, y;
    char key;
    EventKind kind = sim.display.get_next_event(x, y, key);
    Clock::time_point now = Clock::now();
    if (kind == kivet::periodic && ms_between(start, now) < seconds * 1e3) ticks.push_back(now);
    if (!handle_event(kind, sim.airfield, sim.display, sim.tick_counter)) break;
  }
  std::vector<double> intervals;
  for (size_t i = 1; i < ticks.size(); ++i) intervals.push_back(ms_between(ticks[i - 1], ticks[i]));
  if (intervals.empty()) {
    print_row("2", "no periodic events", false);
    return 1;
  }
  double expected = seconds * 1e3 / kivet::TIMER_PERIOD_MS;
  double median = percentile(intervals, 0.5);
  double p99 = percentile(intervals, 0.99);
  double longest = *std::max_element(intervals.begin(), intervals.end());
  char figure[200];
  std::snprintf(figure, sizeof figure, "%zu ticks; median %.2f ms, p99 %.2f ms, max %.1f ms",
                ticks.size(), median, p99, longest);
  bool pass = std::abs(ticks.size() - expected) <= 1 && std::abs(median - 100) <= 0.5;
  print_row("2", figure, pass);
  return 0;
}

int measure_playback(int count, double headless_rate) {
  std::srand(bench::PLAYBACK_SEED);
  Simulation sim;
  bench::Playback result = bench::play_back(sim, count);
  if (!result.written) return 1;
  // The window must show exactly the bitmap.
  kivet::copy_bitmap_to_window();
  Clock::time_point settle = Clock::now();
  while (ms_between(settle, Clock::now()) < 300) kivet::platform().process_events(false);
  long unlike = pixels_unlike_bitmap();
  double share = headless_rate > 0 ? result.rate / headless_rate : 0;
  char figure[200];
  std::snprintf(figure, sizeof figure, "%.0f events/s, %.0f%% of headless (%d in %.1f s)%s%s",
                result.rate, 100 * share, count, result.seconds,
                result.ended ? "" : ", playback did not end",
                unlike == 0 ? "" : ", WINDOW DIFFERS FROM THE BITMAP");
  print_row("6", figure, result.ended && unlike == 0 && share >= 0.9);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  kivet::start_argc = argc;
  kivet::start_argv = argv;
  kivet::start_command_line = "";
  kivet::start_show_mode = 1;
  kivet::start_main();
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "ticks" && argc > 2) return measure_ticks(std::atof(argv[2]));
  if (mode == "playback" && argc > 3) {
    return measure_playback(std::atoi(argv[2]), std::atof(argv[3]));
  }
  std::fprintf(stderr, "usage: %s ticks SECONDS | playback COUNT HEADLESS_RATE\n", argv[0]);
  return 2;
}
