// The whole-program figures that need a real windowed backend, shared by
// the drivers of each backend (bench/gtk_driver.cpp, bench/win32_driver.cpp),
// which bring only the reading back of their window's pixels:
//
//   DRIVER ticks SECONDS          the simulation running live; the periodic
//                                 events and their intervals (row 2)
//   DRIVER playback COUNT RATE    playback of a script of COUNT periodic
//                                 events (written to KIVET.SCR in the working
//                                 directory), the scene redrawn for each,
//                                 against RATE, the headless backend's rate
//                                 for the same script (row 6)
//
// Both run the simulation's own driver steps on a Display, as the program
// does. Each prints one table row (row number, figure, verdict), tab
// separated, on standard output.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "bench/playback.h"
#include "kivet/event_wait.h"

namespace bench {

// The pixels of the graphics window's client area, read back from the
// window system, that differ from the off-screen bitmap; -1 when reading
// them failed, PIXELS_UNREAD when the window system does not let a program
// read them (Wayland).
using UnlikePixels = long (*)();
constexpr long PIXELS_UNREAD = -2;

inline double percentile(std::vector<double> values, double share) {
  if (values.empty()) return 0;
  size_t index = static_cast<size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
  std::nth_element(values.begin(), values.begin() + index, values.end());
  return values[index];
}

inline void print_row(const char* row, const std::string& figure, bool pass) {
  std::printf("%s\t%s\t%s\n", row, figure.c_str(), pass ? "pass" : "FAIL");
  std::fflush(stdout);
}

inline int measure_ticks(double seconds) {
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
  // The timer keeps to the clock: as many ticks as periods, whatever the
  // single intervals were.
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

inline int measure_playback(int count, double headless_rate, UnlikePixels unlike_pixels) {
  std::srand(PLAYBACK_SEED);
  Simulation sim;
  Playback result = play_back(sim, count);
  if (!result.written) return 1;
  // The window must show exactly the bitmap, although each frame takes
  // only what changed. It takes the last bitmap at its next frame.
  kivet::copy_bitmap_to_window();
  Clock::time_point settle = Clock::now();
  while (ms_between(settle, Clock::now()) < 300) kivet::platform().process_events(false);
  long unlike = unlike_pixels();

  double share = headless_rate > 0 ? result.rate / headless_rate : 0;
  char figure[200];
  std::snprintf(figure, sizeof figure, "%.0f events/s, %.0f%% of headless (%d in %.1f s)%s%s",
                result.rate, 100 * share, count, result.seconds,
                result.ended ? "" : ", playback did not end",
                unlike == PIXELS_UNREAD ? "; the picture is read back under X11 only"
                : unlike == 0           ? ""
                                        : ", WINDOW DIFFERS FROM THE BITMAP");
  bool shown = unlike == 0 || unlike == PIXELS_UNREAD;
  print_row("6", figure, result.ended && shown && share >= 0.9);
  return 0;
}

inline int driver_main(int argc, char** argv, UnlikePixels unlike_pixels) {
  kivet::state().start_argc = argc;
  kivet::state().start_argv = argv;
  kivet::state().start_command_line = "";
  kivet::state().start_show_mode = 1;
  kivet::start_main();
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "ticks" && argc > 2) return measure_ticks(std::atof(argv[2]));
  if (mode == "playback" && argc > 3) {
    return measure_playback(std::atoi(argv[2]), std::atof(argv[3]), unlike_pixels);
  }
  std::fprintf(stderr, "usage: %s ticks SECONDS | playback COUNT HEADLESS_RATE\n", argv[0]);
  return 2;
}

}  // namespace bench
