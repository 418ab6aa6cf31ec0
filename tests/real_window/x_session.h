// Helpers for tests that run programs in real windows: a private Xvfb
// server, child processes with timeouts, screen images, and a few Xlib
// look-ups.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace xtest {

struct Geometry {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};
bool operator==(const Geometry& a, const Geometry& b);
std::ostream& operator<<(std::ostream& out, const Geometry& g);

// Whether a program of this name is on the PATH.
bool on_path(const std::string& program);

// An Xvfb server on a display number it picks itself, 1024 x 768 x 24
// unless told otherwise.
class XvfbServer {
 public:
  static bool available();
  ~XvfbServer() { stop(); }
  bool start(int width = 1024, int height = 768);
  void stop();
  const std::string& display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

// A child process on the given display, with its standard output read by
// the test line by line.
class ChildProcess {
 public:
  ~ChildProcess();
  // Starts the program in `working_dir` (the test's own directory when
  // empty), with the test environment for `display` (none when empty) and
  // the variables of `environment`, each "NAME=VALUE".
  bool start(const std::vector<std::string>& argv, const std::string& display,
             const std::string& working_dir = "", const std::vector<std::string>& environment = {});
  // The first line from now on that starts with `prefix`, or "" after the timeout.
  std::string wait_for_line(const std::string& prefix, int timeout_ms);
  // Every line read so far.
  const std::vector<std::string>& lines() const { return lines_; }
  // The exit status, or -1 when the process was still running at the timeout
  // (it is then killed).
  int wait_exit(int timeout_ms);
  // Whether the process has neither ended nor been waited for.
  bool running() const;
  pid_t pid() const { return pid_; }

 private:
  bool read_more(int timeout_ms);

  pid_t pid_ = -1;
  int out_fd_ = -1;
  std::string pending_;
  std::vector<std::string> lines_;
  size_t next_line_ = 0;
};

// A rectangle of the screen's pixels, each 0xRRGGBB, row by row.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  bool empty() const { return pixels.empty(); }
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
bool operator==(const Image& a, const Image& b);
inline bool operator!=(const Image& a, const Image& b) { return !(a == b); }

// A PNG file's pixels; an empty image when it cannot be read.
Image read_png(const std::string& path);
// The part of an image from (x, y), `width` x `height`, which must lie in it.
Image crop(const Image& image, int x, int y, int width, int height);
// Each pixel made a `factor` x `factor` block.
Image scale_up(const Image& image, int factor);
// Pixels that differ between two images of the same size (all of them when
// the sizes differ).
long count_differences(const Image& a, const Image& b);

struct Place {
  bool found = false;
  int x = 0;
  int y = 0;
};
// Where `part` appears in `image` pixel for pixel, searched from the top
// left.
Place find_image(const Image& image, const Image& part);

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

// The whole content of a file, or "" when it cannot be read.
std::string read_file(const std::string& path);
bool write_file(const std::string& path, const std::string& content);

// Runs a command (e.g. xdotool) on the display and returns its exit status.
// Its working directory and further environment as for ChildProcess.
int run_command(const std::vector<std::string>& argv, const std::string& display,
                int timeout_ms = 10000, const std::string& working_dir = "",
                const std::vector<std::string>& environment = {});

// Processor ticks (user and system, in sysconf(_SC_CLK_TCK) units) that a
// process has used so far; 0 when it cannot be read.
unsigned long cpu_ticks(pid_t pid);

// The environment every program under test gets; without a display, none
// is named.
void set_test_environment(const std::string& display);

class XConnection {
 public:
  explicit XConnection(const std::string& display);
  ~XConnection();
  bool ok() const { return display_ != nullptr; }
  ::Display* get() const { return display_; }

  // A mapped top-level window with this title, or 0 after the timeout.
  Window find_window(const std::string& title, int timeout_ms = 5000);
  // Waits until no mapped top-level window has this title.
  bool wait_gone(const std::string& title, int timeout_ms = 5000);
  Geometry geometry(Window window);
  // The screen's pixel as 0xRRGGBB.
  uint32_t pixel(int x, int y);
  // A rectangle of the screen in one request, cut to the screen's edges; an
  // empty image on failure.
  Image capture(int x, int y, int width, int height);
  // What a window manager sends when the user closes the window.
  void send_delete_window(Window window);

 private:
  std::string title_of(Window window);

  ::Display* display_ = nullptr;
};

}  // namespace xtest
