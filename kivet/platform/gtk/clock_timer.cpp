// The clock-keeping periodic timer as a GLib source with a ready time.
#include "kivet/platform/gtk/clock_timer.h"

#include <algorithm>

namespace kivet::gtk {
namespace {

struct ClockSource {
  GSource source;
  gint64 start_us;
  gint64 period_us;
  int64_t tick;  // the number of the tick due next
};

gint64 due_time(const ClockSource& timer) { return timer.start_us + timer.tick * timer.period_us; }

gboolean dispatch(GSource* source, GSourceFunc callback, gpointer data) {
  ClockSource& timer = *reinterpret_cast<ClockSource*>(source);
  timer.tick = next_tick(timer.tick, g_source_get_time(source) - timer.start_us, timer.period_us);
  g_source_set_ready_time(source, due_time(timer));
  return callback ? callback(data) : G_SOURCE_REMOVE;
}

GSourceFuncs clock_source_funcs = {nullptr, nullptr, dispatch, nullptr, nullptr, nullptr};

}  // namespace

int64_t next_tick(int64_t served, int64_t now, int64_t period) {
  return std::max(served + 1, now / period + 1);
}

guint add_clock_timer(int period_ms, GSourceFunc callback, gpointer data) {
  GSource* source = g_source_new(&clock_source_funcs, sizeof(ClockSource));
  ClockSource& timer = *reinterpret_cast<ClockSource*>(source);
  timer.period_us = std::max(1, period_ms) * gint64{1000};
  timer.start_us = g_get_monotonic_time();
  timer.tick = 1;
  g_source_set_ready_time(source, due_time(timer));
  g_source_set_callback(source, callback, data, nullptr);
  guint id = g_source_attach(source, nullptr);
  g_source_unref(source);
  return id;
}

}  // namespace kivet::gtk
