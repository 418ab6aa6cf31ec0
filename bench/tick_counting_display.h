// Put before examples/catch.cpp (with the compiler's -include) in the bench
// build of the catch game: its Display becomes one that notes the time of
// every tick and, once BENCH_TICK_SECONDS (60 by default) have passed since
// the game first asked for an event, answers quit. The game then ends as
// after Ctrl+Q, and the Display prints its row: ticks, intervals and the
// verdict against the count its tick gives for that time (+-2).
//
// The game itself is left as a learner reads it; only its name for the
// Display is changed here.
#pragma once

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "kivet/display.h"

namespace bench {

class TickCountingDisplay : public ::Display {
 public:
  using Clock = std::chrono::steady_clock;

  TickCountingDisplay() {
    const char* text = std::getenv("BENCH_TICK_SECONDS");
    seconds_ = text ? std::atof(text) : 60;
    if (seconds_ <= 0) seconds_ = 60;
  }

  void set_tick(int milliseconds) {
    tick_ms_ = milliseconds;
    ::Display::set_tick(milliseconds);
  }

  kivet::EventKind get_next_event(int& x, int& y, char& key) {
    if (!started_) {
      started_ = true;
      start_ = Clock::now();
    }
    kivet::EventKind kind = ::Display::get_next_event(x, y, key);
    Clock::time_point now = Clock::now();
    if (since_start(now) >= seconds_ * 1e3) return kivet::quit;
    if (kind == kivet::periodic) ticks_.push_back(now);
    return kind;
  }

  ~TickCountingDisplay() {
    std::vector<double> intervals;
    for (size_t i = 1; i < ticks_.size(); ++i) {
      intervals.push_back(std::chrono::duration<double, std::milli>(ticks_[i] - ticks_[i - 1]).count());
    }
    std::sort(intervals.begin(), intervals.end());
    double median = intervals.empty() ? 0 : intervals[intervals.size() / 2];
    double longest = intervals.empty() ? 0 : intervals.back();
    double expected = seconds_ * 1e3 / tick_ms_;
    bool pass = std::abs(static_cast<double>(ticks_.size()) - expected) <= 2;
    std::printf("c2\t%zu ticks in %.0f s (%.0f expected); median interval %.2f ms, max %.1f ms\t%s\n",
                ticks_.size(), seconds_, expected, median, longest, pass ? "pass" : "FAIL");
    std::fflush(stdout);
  }

 private:
  double since_start(Clock::time_point now) const {
    return std::chrono::duration<double, std::milli>(now - start_).count();
  }

  double seconds_ = 60;
  int tick_ms_ = 100;
  bool started_ = false;
  Clock::time_point start_;
  std::vector<Clock::time_point> ticks_;
};

}  // namespace bench

#define Display bench::TickCountingDisplay
