// Start-up probe for bench/whole_program.sh: starts a program RUNS times and
// measures, each time, how long it takes from the start of the process to
// its first frame on screen, seen as the sky's colour at a pixel of the
// screen that the sky covers. Prints one table row (measure, figure, goal,
// verdict), tab separated.
//
//   first_frame PROGRAM RUNS
//
// Needs DISPLAY. The program's graphics window stands at the screen's top
// left, its client area 25 rows below the window's top; screen pixel
// (300, 100) is then 182 units above the scene's centre, in the sky.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int PROBE_X = 300;
constexpr int PROBE_Y = 100;
constexpr unsigned long SKY = 0x99FFFF;  // ICE_BLUE
constexpr double GIVE_UP_SECONDS = 10;

unsigned long screen_pixel(Display* display) {
  XImage* image =
      XGetImage(display, DefaultRootWindow(display), PROBE_X, PROBE_Y, 1, 1, AllPlanes, ZPixmap);
  if (!image) return 0;
  unsigned long pixel = XGetPixel(image, 0, 0) & 0xFFFFFF;
  XDestroyImage(image);
  return pixel;
}

double seconds_since(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Waits until the probe pixel is (or, with `sky` false, is no longer) the sky.
bool wait_for(Display* display, bool sky, Clock::time_point start) {
  while (seconds_since(start) < GIVE_UP_SECONDS) {
    if ((screen_pixel(display) == SKY) == sky) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

// Seconds from the start of the program to its first frame; negative when
// no frame came.
double one_run(Display* display, const char* program) {
  Clock::time_point start = Clock::now();
  pid_t child = fork();
  if (child == 0) {
    execl(program, program, static_cast<char*>(nullptr));
    _exit(127);
  }
  bool seen = wait_for(display, true, start);
  double elapsed = seconds_since(start);
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
  // The next run must not see this run's window.
  wait_for(display, false, Clock::now());
  return seen ? elapsed : -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: %s PROGRAM RUNS\n", argv[0]);
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    fprintf(stderr, "cannot open the display\n");
    return 1;
  }
  if (!wait_for(display, false, Clock::now())) {
    fprintf(stderr, "the sky's colour is on screen before the program starts\n");
    return 1;
  }
  int runs = std::max(1, atoi(argv[2]));
  std::vector<double> times;
  bool all_seen = true;
  for (int i = 0; i < runs; ++i) {
    double t = one_run(display, argv[1]);
    if (t < 0) all_seen = false;
    times.push_back(t < 0 ? GIVE_UP_SECONDS : t);
  }
  XCloseDisplay(display);
  std::sort(times.begin(), times.end());
  double median = times[times.size() / 2];
  double worst = times.back();
  printf(
      "7. Start of build/airfield to its first frame, Xvfb\tmedian %.3f s, worst %.3f s of %d%s"
      "\t<= 0.5 s\t%s\n",
      median, worst, runs, all_seen ? "" : ", some runs showed no frame",
      all_seen && median <= 0.5 ? "pass" : "FAIL");
  return 0;
}
