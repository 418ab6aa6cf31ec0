// Whole-program figures that need the real GTK backend, for bench/run.sh,
// which runs this under an Xvfb or a headless weston of its own:
//
//   gtk_driver ticks SECONDS           the simulation running live; the
//                                      periodic events and their intervals
//   gtk_driver playback COUNT RATE     playback of a script of COUNT periodic
//                                      events (written to KIVET.SCR in the
//                                      working directory), the scene redrawn
//                                      for each, against RATE, the headless
//                                      backend's rate for the same script
//
// Both run the simulation's own driver steps on a Display, as the program
// does. Each prints one table row (row number, figure, verdict), tab
// separated, on standard output.
#include <gtk/gtk.h>
#ifdef GDK_WINDOWING_WAYLAND
#include <gdk/gdkwayland.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "bench/playback.h"
#include "kivet/event_wait.h"

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
  printf("%s\t%s\t%s\n", row, figure.c_str(), pass ? "pass" : "FAIL");
  fflush(stdout);
}

bool on_wayland() {
#ifdef GDK_WINDOWING_WAYLAND
  return GDK_IS_WAYLAND_DISPLAY(gdk_display_get_default());
#else
  return false;
#endif
}

// The graphics window's client area, found among the toolkit's windows.
GtkWidget* find_client_area() {
  GtkWidget* area = nullptr;
  GList* toplevels = gtk_window_list_toplevels();
  for (GList* t = toplevels; t && !area; t = t->next) {
    const char* title = gtk_window_get_title(GTK_WINDOW(t->data));
    GtkWidget* box = gtk_bin_get_child(GTK_BIN(t->data));
    if (!title || strcmp(title, "KIVET Graphics") != 0 || !GTK_IS_CONTAINER(box)) continue;
    GList* children = gtk_container_get_children(GTK_CONTAINER(box));
    for (GList* c = children; c; c = c->next) {
      if (GTK_IS_DRAWING_AREA(c->data)) area = GTK_WIDGET(c->data);
    }
    g_list_free(children);
  }
  g_list_free(toplevels);
  return area;
}

// Pixels of the client area, read back from the window system, that differ
// from the off-screen bitmap; -1 when they cannot be read.
long pixels_unlike_bitmap() {
  GtkWidget* area = find_client_area();
  GdkWindow* window = area ? gtk_widget_get_window(area) : nullptr;
  if (!window) return -1;
  int width = std::min(gtk_widget_get_allocated_width(area), kivet::BITMAP_WIDTH);
  int height = std::min(gtk_widget_get_allocated_height(area), kivet::BITMAP_HEIGHT);
  GdkPixbuf* shown = gdk_pixbuf_get_from_window(window, 0, 0, width, height);
  if (!shown) return -1;
  const guchar* screen = gdk_pixbuf_read_pixels(shown);
  int screen_stride = gdk_pixbuf_get_rowstride(shown);
  int channels = gdk_pixbuf_get_n_channels(shown);
  long unlike = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint32_t pixel = kivet::offscreen_bitmap->at(x, y);
      const guchar* p = screen + y * screen_stride + channels * x;
      uint32_t rgb = (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
      if (rgb != (pixel & 0xFFFFFF)) ++unlike;
    }
  }
  g_object_unref(shown);
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
  // The timer keeps to the clock: as many ticks as periods, whatever the
  // single intervals were.
  double expected = seconds * 1e3 / kivet::TIMER_PERIOD_MS;
  double median = percentile(intervals, 0.5);
  double p99 = percentile(intervals, 0.99);
  double longest = *std::max_element(intervals.begin(), intervals.end());
  char figure[200];
  snprintf(figure, sizeof figure, "%zu ticks; median %.2f ms, p99 %.2f ms, max %.1f ms",
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
  // The window must show exactly the bitmap, although each frame takes
  // only what changed. It takes the last bitmap at its next frame.
  kivet::copy_bitmap_to_window();
  Clock::time_point settle = Clock::now();
  while (ms_between(settle, Clock::now()) < 300) kivet::platform().process_events(false);
  long unlike = on_wayland() ? 0 : pixels_unlike_bitmap();

  double share = headless_rate > 0 ? result.rate / headless_rate : 0;
  char figure[200];
  snprintf(figure, sizeof figure, "%.0f events/s, %.0f%% of headless (%d in %.1f s)%s%s",
           result.rate, 100 * share, count, result.seconds,
           result.ended ? "" : ", playback did not end",
           on_wayland()  ? "; the picture is read back under X11 only"
           : unlike == 0 ? ""
                         : ", WINDOW DIFFERS FROM THE BITMAP");
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
  if (mode == "ticks" && argc > 2) return measure_ticks(atof(argv[2]));
  if (mode == "playback" && argc > 3) return measure_playback(atoi(argv[2]), atof(argv[3]));
  fprintf(stderr, "usage: %s ticks SECONDS | playback COUNT HEADLESS_RATE\n", argv[0]);
  return 2;
}
