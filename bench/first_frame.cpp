// Start-up probe for bench/run.sh: starts a program RUNS times and measures,
// each time, how long it takes from the start of the process to its first
// frame on screen, seen as the sky's colour on the screen. Prints one table
// row (row number, figure, verdict), tab separated.
//
//   first_frame x11 PROGRAM RUNS [GOAL]       needs DISPLAY
//   first_frame wayland PROGRAM RUNS [GOAL]   needs WAYLAND_DISPLAY of a
//                                             weston started with --debug
//
// GOAL is the longest median start that passes, in seconds (0.5).
//
// Under X11 the graphics window stands at the screen's top left, its client
// area 25 rows below the window's top; screen pixel (300, 100) is then 182
// units above the scene's centre, in the sky, and is read every millisecond.
// A Wayland compositor places the window itself, and only its screenshots
// show what is on the screen: the frame counts as shown when a screenshot
// holds a sky's worth of the sky's colour. A screenshot takes longer than
// the start-up itself and would compete with it for the processor, so the
// program is stopped every STEP of its running time while a screenshot
// shows what it has sent to the compositor so far; the figure is its
// running time up to the first screenshot that shows the frame.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <cairo.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int PROBE_X = 300;
constexpr int PROBE_Y = 100;
constexpr uint32_t SKY = 0x99FFFF;  // ICE_BLUE
// The sky is 601 x 125 pixels; a third of it is surely the frame's.
constexpr long SKY_PIXELS_SHOWN = 25000;
constexpr double GIVE_UP_SECONDS = 10;
constexpr auto STEP = std::chrono::milliseconds(25);

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Whether the sky is on the screen now.
class Probe {
 public:
  virtual ~Probe() = default;
  virtual bool sky_shown() = 0;
};

class XProbe : public Probe {
 public:
  explicit XProbe(Display* display) : display_(display) {}
  bool sky_shown() override {
    XImage* image = XGetImage(display_, DefaultRootWindow(display_), PROBE_X, PROBE_Y, 1, 1,
                              AllPlanes, ZPixmap);
    if (!image) return false;
    unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return pixel == SKY;
  }

 private:
  Display* display_;
};

class ScreenshotProbe : public Probe {
 public:
  ScreenshotProbe() {
    char pattern[] = "/tmp/first_frame_XXXXXX";
    if (mkdtemp(pattern)) dir_ = pattern;
  }
  ~ScreenshotProbe() override {
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
  }
  bool sky_shown() override {
    std::string command = "cd '" + dir_ + "' && weston-screenshooter >/dev/null 2>&1";
    if (dir_.empty() || system(command.c_str()) != 0) return false;
    long sky = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
      sky += sky_pixels(entry.path().string());
      std::filesystem::remove(entry.path());
    }
    return sky >= SKY_PIXELS_SHOWN;
  }

 private:
  static long sky_pixels(const std::string& png) {
    cairo_surface_t* shot = cairo_image_surface_create_from_png(png.c_str());
    long count = 0;
    if (cairo_surface_status(shot) == CAIRO_STATUS_SUCCESS) {
      const unsigned char* data = cairo_image_surface_get_data(shot);
      int stride = cairo_image_surface_get_stride(shot);
      for (int y = 0; y < cairo_image_surface_get_height(shot); ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < cairo_image_surface_get_width(shot); ++x) {
          count += (row[x] & 0xFFFFFF) == SKY;
        }
      }
    }
    cairo_surface_destroy(shot);
    return count;
  }

  std::string dir_;
};

// Waits until the sky is (or, with `sky` false, is no longer) on the screen.
bool wait_for(Probe& probe, bool sky, Clock::time_point start) {
  while (seconds_since(start) < GIVE_UP_SECONDS) {
    if (probe.sky_shown() == sky) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

pid_t start_program(const char* program) {
  pid_t child = fork();
  if (child == 0) {
    execl(program, program, static_cast<char*>(nullptr));
    _exit(127);
  }
  return child;
}

void end_program(Probe& probe, pid_t child) {
  kill(child, SIGTERM);
  kill(child, SIGCONT);
  waitpid(child, nullptr, 0);
  // The next run must not see this run's window.
  wait_for(probe, false, Clock::now());
}

// Seconds from the start of the program to its first frame; negative when
// no frame came.
double one_run(Probe& probe, const char* program) {
  Clock::time_point start = Clock::now();
  pid_t child = start_program(program);
  bool seen = wait_for(probe, true, start);
  double elapsed = seconds_since(start);
  end_program(probe, child);
  return seen ? elapsed : -1;
}

// The same, counting only the time the program runs between the stops at
// which the probe looks.
double one_stepped_run(Probe& probe, const char* program) {
  double running = 0;
  bool seen = false;
  pid_t child = start_program(program);
  while (!seen && running < GIVE_UP_SECONDS) {
    Clock::time_point resumed = Clock::now();
    std::this_thread::sleep_for(STEP);
    kill(child, SIGSTOP);
    running += seconds_since(resumed);
    int status = 0;
    if (waitpid(child, &status, WUNTRACED) != child || !WIFSTOPPED(status)) break;
    seen = probe.sky_shown();
    kill(child, SIGCONT);
  }
  end_program(probe, child);
  return seen ? running : -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4 || (strcmp(argv[1], "x11") != 0 && strcmp(argv[1], "wayland") != 0)) {
    fprintf(stderr, "usage: %s x11|wayland PROGRAM RUNS [GOAL]\n", argv[0]);
    return 2;
  }
  bool wayland = strcmp(argv[1], "wayland") == 0;
  Display* display = nullptr;
  if (!wayland && !(display = XOpenDisplay(nullptr))) {
    fprintf(stderr, "cannot open the display\n");
    return 1;
  }
  XProbe x_probe(display);
  ScreenshotProbe screenshot_probe;
  Probe& probe = wayland ? static_cast<Probe&>(screenshot_probe) : x_probe;
  if (!wait_for(probe, false, Clock::now())) {
    fprintf(stderr, "the sky's colour is on screen before the program starts\n");
    return 1;
  }
  int runs = std::max(1, atoi(argv[3]));
  double goal = argc > 4 ? atof(argv[4]) : 0.5;
  std::vector<double> times;
  bool all_seen = true;
  for (int i = 0; i < runs; ++i) {
    double t = wayland ? one_stepped_run(probe, argv[2]) : one_run(probe, argv[2]);
    if (t < 0) all_seen = false;
    times.push_back(t < 0 ? GIVE_UP_SECONDS : t);
  }
  if (display) XCloseDisplay(display);
  std::sort(times.begin(), times.end());
  double median = times[times.size() / 2];
  double worst = times.back();
  char resolution[64] = "";
  if (wayland) {
    snprintf(resolution, sizeof resolution, " (looked every %d ms)",
             static_cast<int>(std::chrono::milliseconds(STEP).count()));
  }
  printf("7\tmedian %.3f s, worst %.3f s of %d%s%s\t%s\n", median, worst, runs, resolution,
         all_seen ? "" : ", some runs showed no frame",
         all_seen && median <= goal ? "pass" : "FAIL");
  return 0;
}
