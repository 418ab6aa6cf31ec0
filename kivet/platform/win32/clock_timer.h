// A periodic timer that keeps to the clock: its k-th tick is due at the
// start plus k periods, however late the ticks before it were served, so
// that it does not drift as a plain repeating SetTimer does. A tick served
// more than a period late skips the ones it has missed instead of bringing
// them in a burst. Each tick is one WM_TIMER to the window, which Windows
// keeps at most once in the queue; the timer is set again for the next due
// time whenever a tick is served.
#pragma once

#include <cstdint>

#include "kivet/platform/win32/windows_api.h"

namespace kivet::win32 {

// The number of the next tick to serve after tick `served` was served at
// `now`, with times counted from the start in the same unit as `period`.
int64_t next_tick(int64_t served, int64_t now, int64_t period);

// Microseconds on a steady clock.
int64_t now_us();

class ClockTimer {
 public:
  // Starts the timer as WM_TIMER `number` to `window`.
  void start(HWND window, UINT_PTR number, int period_ms);
  // Called for each of its WM_TIMER messages: sets the timer for the next
  // tick.
  void served();
  void stop();

 private:
  void arm();

  HWND window_ = nullptr;
  UINT_PTR number_ = 0;
  int64_t start_us_ = 0;
  int64_t period_us_ = 0;
  int64_t tick_ = 0;  // the number of the tick due next
};

}  // namespace kivet::win32
