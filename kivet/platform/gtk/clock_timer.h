// A periodic timer that keeps to the clock: its k-th tick is due at the
// start plus k periods, however late the ticks before it were served, so
// that it does not drift. A tick served more than a period late skips the
// ones it has missed instead of bringing them in a burst.
#pragma once

#include <glib.h>

#include <cstdint>

namespace kivet::gtk {

// The number of the next tick to serve after tick `served` was served at
// `now`, with times counted from the start in the same unit as `period`.
int64_t next_tick(int64_t served, int64_t now, int64_t period);

// Adds the timer to the default main context; `callback` runs at each tick
// until it returns G_SOURCE_REMOVE. Returns the source id for
// g_source_remove.
guint add_clock_timer(int period_ms, GSourceFunc callback, gpointer data);

}  // namespace kivet::gtk
