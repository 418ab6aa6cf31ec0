// The clock-keeping periodic timer, set again at each tick for the time the
// next one is due.
#include "kivet/platform/win32/clock_timer.h"

#include <algorithm>

namespace kivet::win32 {

int64_t next_tick(int64_t served, int64_t now, int64_t period) {
  return std::max(served + 1, now / period + 1);
}

int64_t now_us() {
  static const int64_t frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<int64_t>(f.QuadPart);
  }();
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  int64_t ticks = count.QuadPart;
  return ticks / frequency * 1000000 + ticks % frequency * 1000000 / frequency;
}

void ClockTimer::start(HWND window, UINT_PTR number, int period_ms) {
  stop();
  window_ = window;
  number_ = number;
  period_us_ = std::max(1, period_ms) * int64_t{1000};
  start_us_ = now_us();
  tick_ = 1;
  arm();
}

void ClockTimer::served() {
  if (!window_) return;
  tick_ = next_tick(tick_, now_us() - start_us_, period_us_);
  arm();
}

void ClockTimer::stop() {
  if (window_) KillTimer(window_, number_);
  window_ = nullptr;
}

// Windows rounds a timer up to its own clock's granularity; the tick after a
// late one is set from the clock again, so lateness never adds up.
void ClockTimer::arm() {
  int64_t wait_us = start_us_ + tick_ * period_us_ - now_us();
  UINT wait_ms = static_cast<UINT>(std::max<int64_t>(USER_TIMER_MINIMUM, (wait_us + 999) / 1000));
  SetTimer(window_, number_, wait_ms, nullptr);
}

}  // namespace kivet::win32
