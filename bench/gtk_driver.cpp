// Whole-program figures that need the real GTK backend, for
// bench/whole_program.sh, which runs this under an Xvfb of its own:
//
//   gtk_driver ticks SECONDS   the simulation running live; the interval
//                              between periodic events from the wait
//   gtk_driver playback COUNT  playback of a script of COUNT periodic events
//                              (written to KIVET.SCR in the working
//                              directory), the scene redrawn for each
//
// Both run the simulation's own driver steps on a Display, as the program
// does. Each prints one table row (measure, figure, goal, verdict), tab
// separated, on standard output.
#include <gtk/gtk.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "app/airfield.h"
#include "app/main.h"
#include "kivet/display.h"
#include "kivet/event_wait.h"
#include "kivet/kivet.h"
#include "kivet/platform/platform.h"
#include "kivet/state.h"

namespace {

using Clock = std::chrono::steady_clock;

double ms_between(Clock::time_point from, Clock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

double percentile(std::vector<double> values, double share) {
  if (values.empty()) return 0;
  size_t index = static_cast<size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
  std::nth_element(values.begin(), values.begin() + index, values.end());
  return values[index];
}

void print_row(const std::string& measure, const std::string& figure, const std::string& goal,
               bool pass) {
  printf("%s\t%s\t%s\t%s\n", measure.c_str(), figure.c_str(), goal.c_str(), pass ? "pass" : "FAIL");
  fflush(stdout);
}

// The program's set-up: the scene, its runways and a first takeoff.
struct Simulation {
  Display display;
  Airfield airfield{&display};
  int tick_counter = 0;

  Simulation() {
    display.clear(WHITE);
    add_runways(airfield);
    queue_first_takeoff(airfield, display);
  }

  EventKind next() {
    int x, y;
    char key;
    EventKind kind = display.get_next_event(x, y, key);
    handle_event(kind, airfield, display, tick_counter);
    return kind;
  }
};

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
  cairo_surface_flush(kivet::offscreen_bitmap);
  const unsigned char* bitmap = cairo_image_surface_get_data(kivet::offscreen_bitmap);
  int bitmap_stride = cairo_image_surface_get_stride(kivet::offscreen_bitmap);
  const guchar* screen = gdk_pixbuf_read_pixels(shown);
  int screen_stride = gdk_pixbuf_get_rowstride(shown);
  int channels = gdk_pixbuf_get_n_channels(shown);
  long unlike = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint32_t pixel;
      memcpy(&pixel, bitmap + y * bitmap_stride + 4 * x, sizeof pixel);
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
    if (kind == kivet::periodic) ticks.push_back(Clock::now());
    if (!handle_event(kind, sim.airfield, sim.display, sim.tick_counter)) break;
  }
  // The first interval runs from the start of the timer, not from a tick.
  std::vector<double> intervals;
  for (size_t i = 2; i < ticks.size(); ++i) intervals.push_back(ms_between(ticks[i - 1], ticks[i]));
  if (intervals.empty()) {
    print_row("2. Periodic event interval (GTK, Xvfb)", "no periodic events", "", false);
    return 1;
  }
  // A tick lost while the program keeps up shows as an interval of about two.
  long lost = std::count_if(intervals.begin(), intervals.end(), [](double v) { return v > 150; });
  double median = percentile(intervals, 0.5);
  double p99 = percentile(intervals, 0.99);
  double longest = *std::max_element(intervals.begin(), intervals.end());
  char figure[200];
  snprintf(figure, sizeof figure, "median %.2f ms, p99 %.2f ms, max %.1f ms, %ld lost of %zu",
           median, p99, longest, lost, intervals.size());
  char measure[120];
  snprintf(measure, sizeof measure, "2. Periodic event interval, GTK under Xvfb, %.0f s", seconds);
  bool pass = median >= 98 && median <= 102 && p99 < 120 && lost == 0;
  print_row(measure, figure, "median 100 +-2 ms, p99 < 120 ms, none lost", pass);
  return 0;
}

int measure_playback(int count) {
  FILE* script = fopen("KIVET.SCR", "w");
  if (!script) {
    perror("KIVET.SCR");
    return 1;
  }
  fprintf(script, "KIVET_PERIODIC(%d);\n", count);
  fclose(script);

  Simulation sim;
  // Halted, as after Ctrl+P; the command arrives as the menu's would.
  kivet::post_message(kivet::Message{kivet::WindowId::graphics, kivet::MessageKind::command,
                                     kivet::CMD_PLAYBACK, 0});
  int periodic = 0;
  Clock::time_point first{}, last{};
  while (periodic < count) {
    if (sim.next() != kivet::periodic) continue;
    if (periodic++ == 0) first = Clock::now();
  }
  last = Clock::now();
  // The script is used up: the next wait reads its end, which stops the
  // playback, and then waits for a live tick.
  sim.display.set_animation(kivet::run);
  sim.next();
  bool ended = !kivet::playing_back;
  // The window must show exactly the bitmap, although each frame sends it
  // only what changed.
  kivet::copy_bitmap_to_window();
  long unlike = pixels_unlike_bitmap();

  double seconds = ms_between(first, last) / 1e3;
  double rate = seconds > 0 ? (count - 1) / seconds : 0;
  char figure[200];
  snprintf(figure, sizeof figure, "%.0f events/s (%d in %.1f s)%s%s", rate, count, seconds,
           ended ? "" : ", playback did not end",
           unlike == 0 ? "" : ", WINDOW DIFFERS FROM THE BITMAP");
  char measure[120];
  snprintf(measure, sizeof measure, "6. Script playback, %d periodic events, GTK under Xvfb",
           count);
  print_row(measure, figure, ">= 2,000 events/s", ended && unlike == 0 && rate >= 2000);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  kivet::start_argc = argc;
  kivet::start_argv = argv;
  kivet::start_command_line = "";
  kivet::start_show_mode = 1;
  std::srand(static_cast<unsigned>(std::time(nullptr)));
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "ticks" && argc > 2) return measure_ticks(atof(argv[2]));
  if (mode == "playback" && argc > 2) return measure_playback(atoi(argv[2]));
  fprintf(stderr, "usage: %s ticks SECONDS | playback COUNT\n", argv[0]);
  return 2;
}
