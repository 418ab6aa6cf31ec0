// Xvfb, child processes, screen images and Xlib look-ups for the
// real-window tests.
#include "real_window/x_session.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <cairo.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <sstream>
#include <thread>

namespace xtest {
namespace {

using Clock = std::chrono::steady_clock;

int remaining_ms(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

Clock::time_point after_ms(int ms) { return Clock::now() + std::chrono::milliseconds(ms); }

[[noreturn]] void exec(const std::vector<std::string>& argv) {
  // Nothing started by a test outlives it, even when the test crashes.
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  // Signals a test sends act as they would from a terminal, whatever the
  // test itself inherited (a background job ignores SIGINT).
  for (int number : {SIGINT, SIGTERM, SIGHUP}) signal(number, SIG_DFL);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  execvp(args[0], args.data());
  _exit(127);
}

// Waits for a child; returns its exit status (128 + signal when killed), or
// -1 at the timeout.
int wait_child(pid_t pid, int timeout_ms) {
  Clock::time_point deadline = after_ms(timeout_ms);
  for (;;) {
    int status = 0;
    pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    if (done < 0 || remaining_ms(deadline) == 0) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

void kill_child(pid_t pid) {
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

}  // namespace

bool operator==(const Geometry& a, const Geometry& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

std::ostream& operator<<(std::ostream& out, const Geometry& g) {
  return out << g.width << "x" << g.height << " at (" << g.x << ", " << g.y << ")";
}

void set_test_environment(const std::string& display) {
  if (display.empty()) {
    unsetenv("DISPLAY");
  } else {
    setenv("DISPLAY", display.c_str(), 1);
  }
  setenv("NO_AT_BRIDGE", "1", 1);
  setenv("LC_ALL", "C.UTF-8", 1);
}

// In a child before exec: its environment and working directory.
static void prepare_child(const std::string& display, const std::string& working_dir,
                          const std::vector<std::string>& environment) {
  set_test_environment(display);
  for (const std::string& variable : environment) {
    size_t equals = variable.find('=');
    if (equals == std::string::npos) continue;
    setenv(variable.substr(0, equals).c_str(), variable.substr(equals + 1).c_str(), 1);
  }
  if (!working_dir.empty() && chdir(working_dir.c_str()) != 0) _exit(126);
}

bool on_path(const std::string& program) {
  const char* path = getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  size_t start = 0;
  while (start <= dirs.size()) {
    size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string candidate = dirs.substr(start, end - start) + "/" + program;
    if (access(candidate.c_str(), X_OK) == 0) return true;
    start = end + 1;
  }
  return false;
}

bool XvfbServer::available() { return on_path("Xvfb"); }

bool XvfbServer::start(int width, int height) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  pid_ = fork();
  if (pid_ == 0) {
    close(fds[0]);
    int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    // The server writes the display number it chose to this descriptor.
    std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    exec({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", screen, "-nolisten", "tcp",
          "-extension", "GLX"});
  }
  close(fds[1]);
  std::string number;
  Clock::time_point deadline = after_ms(10000);
  pollfd poll_fd{fds[0], POLLIN, 0};
  while (number.find('\n') == std::string::npos && poll(&poll_fd, 1, remaining_ms(deadline)) > 0) {
    char buffer[32];
    ssize_t got = read(fds[0], buffer, sizeof buffer);
    if (got <= 0) break;
    number.append(buffer, got);
  }
  close(fds[0]);
  if (number.empty() || number.find('\n') == std::string::npos) {
    stop();
    return false;
  }
  display_ = ":" + number.substr(0, number.find('\n'));
  return true;
}

void XvfbServer::stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  if (wait_child(pid_, 5000) == -1) kill_child(pid_);
  pid_ = -1;
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) kill_child(pid_);
  if (out_fd_ >= 0) close(out_fd_);
}

bool ChildProcess::start(const std::vector<std::string>& argv, const std::string& display,
                         const std::string& working_dir,
                         const std::vector<std::string>& environment) {
  int fds[2];
  if (pipe(fds) != 0) return false;
  pid_ = fork();
  if (pid_ < 0) return false;
  if (pid_ == 0) {
    close(fds[0]);
    dup2(fds[1], STDOUT_FILENO);
    close(fds[1]);
    prepare_child(display, working_dir, environment);
    exec(argv);
  }
  close(fds[1]);
  out_fd_ = fds[0];
  return true;
}

bool ChildProcess::read_more(int timeout_ms) {
  pollfd poll_fd{out_fd_, POLLIN, 0};
  if (out_fd_ < 0 || poll(&poll_fd, 1, timeout_ms) <= 0) return false;
  char buffer[4096];
  ssize_t got = read(out_fd_, buffer, sizeof buffer);
  if (got <= 0) {
    close(out_fd_);
    out_fd_ = -1;
    return false;
  }
  pending_.append(buffer, got);
  for (size_t end = pending_.find('\n'); end != std::string::npos; end = pending_.find('\n')) {
    lines_.push_back(pending_.substr(0, end));
    pending_.erase(0, end + 1);
  }
  return true;
}

std::string ChildProcess::wait_for_line(const std::string& prefix, int timeout_ms) {
  Clock::time_point deadline = after_ms(timeout_ms);
  for (;;) {
    while (next_line_ < lines_.size()) {
      const std::string& line = lines_[next_line_++];
      if (line.compare(0, prefix.size(), prefix) == 0) return line;
    }
    if (remaining_ms(deadline) == 0) return "";
    if (!read_more(remaining_ms(deadline)) && out_fd_ < 0) return "";
  }
}

int ChildProcess::wait_exit(int timeout_ms) {
  if (pid_ <= 0) return -1;
  Clock::time_point deadline = after_ms(timeout_ms);
  while (read_more(0)) {
  }
  int status = wait_child(pid_, remaining_ms(deadline));
  if (status == -1) {
    kill_child(pid_);
  }
  pid_ = -1;
  while (read_more(0)) {
  }
  return status;
}

bool ChildProcess::running() const {
  if (pid_ <= 0) return false;
  siginfo_t info;
  memset(&info, 0, sizeof info);
  // Looks without reaping, so that wait_exit still gets the status.
  if (waitid(P_PID, pid_, &info, WEXITED | WNOHANG | WNOWAIT) != 0) return false;
  return info.si_pid == 0;
}

bool operator==(const Image& a, const Image& b) {
  return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

Image read_png(const std::string& path) {
  Image result;
  cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
  cairo_format_t format = cairo_image_surface_get_format(png);
  if (cairo_surface_status(png) == CAIRO_STATUS_SUCCESS &&
      (format == CAIRO_FORMAT_RGB24 || format == CAIRO_FORMAT_ARGB32)) {
    result.width = cairo_image_surface_get_width(png);
    result.height = cairo_image_surface_get_height(png);
    const unsigned char* data = cairo_image_surface_get_data(png);
    int stride = cairo_image_surface_get_stride(png);
    for (int y = 0; y < result.height; ++y) {
      const uint32_t* row = reinterpret_cast<const uint32_t*>(data + y * stride);
      result.pixels.insert(result.pixels.end(), row, row + result.width);
    }
    for (uint32_t& pixel : result.pixels) pixel &= 0xFFFFFF;
  }
  cairo_surface_destroy(png);
  return result;
}

Image crop(const Image& image, int x, int y, int width, int height) {
  Image part;
  part.width = width;
  part.height = height;
  for (int row = y; row < y + height; ++row) {
    auto start = image.pixels.begin() + static_cast<long>(row) * image.width + x;
    part.pixels.insert(part.pixels.end(), start, start + width);
  }
  return part;
}

Image scale_up(const Image& image, int factor) {
  Image scaled;
  scaled.width = image.width * factor;
  scaled.height = image.height * factor;
  scaled.pixels.resize(static_cast<size_t>(scaled.width) * scaled.height);
  for (int y = 0; y < scaled.height; ++y) {
    for (int x = 0; x < scaled.width; ++x) {
      scaled.pixels[static_cast<size_t>(y) * scaled.width + x] = image.at(x / factor, y / factor);
    }
  }
  return scaled;
}

long count_differences(const Image& a, const Image& b) {
  if (a.width != b.width || a.height != b.height) {
    return static_cast<long>(std::max(a.pixels.size(), b.pixels.size()));
  }
  long differences = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) differences += a.pixels[i] != b.pixels[i];
  return differences;
}

Place find_image(const Image& image, const Image& part) {
  if (part.empty()) return Place{};
  // A few pixels spread over the part rule out nearly every place before
  // the whole part is compared.
  std::vector<std::pair<int, int>> probes;
  for (int i = 1; i < 8; ++i) {
    for (int j = 1; j < 8; ++j) probes.push_back({part.width * i / 8, part.height * j / 8});
  }
  for (int y = 0; y + part.height <= image.height; ++y) {
    for (int x = 0; x + part.width <= image.width; ++x) {
      bool alike = true;
      for (size_t p = 0; p < probes.size() && alike; ++p) {
        alike = image.at(x + probes[p].first, y + probes[p].second) ==
                part.at(probes[p].first, probes[p].second);
      }
      if (alike && crop(image, x, y, part.width, part.height) == part) return Place{true, x, y};
    }
  }
  return Place{};
}

TempDir::TempDir() {
  const char* base = getenv("TMPDIR");
  std::string pattern = std::string(base && *base ? base : "/tmp") + "/kivet_window_XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (mkdtemp(name.data())) path_ = name.data();
}

TempDir::~TempDir() {
  if (path_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::string();
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

bool write_file(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
  return static_cast<bool>(out);
}

int run_command(const std::vector<std::string>& argv, const std::string& display, int timeout_ms,
                const std::string& working_dir, const std::vector<std::string>& environment) {
  pid_t pid = fork();
  if (pid == 0) {
    prepare_child(display, working_dir, environment);
    exec(argv);
  }
  int status = wait_child(pid, timeout_ms);
  if (status == -1) kill_child(pid);
  return status;
}

unsigned long cpu_ticks(pid_t pid) {
  FILE* stat = fopen(("/proc/" + std::to_string(pid) + "/stat").c_str(), "r");
  unsigned long user = 0, system = 0;
  if (!stat) return 0;
  // Fields 14 and 15, after the command name in parentheses.
  if (fscanf(stat, "%*d (%*[^)]) %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user,
             &system) != 2) {
    user = system = 0;
  }
  fclose(stat);
  return user + system;
}

// Windows come and go while the test looks at them: a request about a window
// that has just gone is not an error worth ending the test for.
static int ignore_x_error(::Display*, XErrorEvent*) { return 0; }

XConnection::XConnection(const std::string& display) {
  XSetErrorHandler(ignore_x_error);
  display_ = XOpenDisplay(display.c_str());
}

XConnection::~XConnection() {
  if (display_) XCloseDisplay(display_);
}

std::string XConnection::title_of(Window window) {
  if (!window) return std::string();
  Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
  Atom net_name = XInternAtom(display_, "_NET_WM_NAME", False);
  Atom type;
  int format;
  unsigned long count, after;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(display_, window, net_name, 0, 1024, False, utf8, &type, &format, &count,
                         &after, &data) == Success &&
      data) {
    title.assign(reinterpret_cast<char*>(data), count);
    XFree(data);
  }
  return title;
}

Window XConnection::find_window(const std::string& title, int timeout_ms) {
  Clock::time_point deadline = after_ms(timeout_ms);
  do {
    Window root = DefaultRootWindow(display_), parent, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (XQueryTree(display_, root, &root, &parent, &children, &count)) {
      for (unsigned i = 0; i < count && !found; ++i) {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display_, children[i], &attributes) &&
            attributes.map_state == IsViewable && title_of(children[i]) == title) {
          found = children[i];
        }
      }
      if (children) XFree(children);
    }
    if (found) return found;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  } while (remaining_ms(deadline) > 0);
  return 0;
}

bool XConnection::wait_gone(const std::string& title, int timeout_ms) {
  Clock::time_point deadline = after_ms(timeout_ms);
  while (find_window(title, 0) != 0) {
    if (remaining_ms(deadline) == 0) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

Geometry XConnection::geometry(Window window) {
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display_, window, &attributes)) return Geometry{};
  int x = 0, y = 0;
  Window child;
  XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
  return Geometry{x, y, attributes.width, attributes.height};
}

uint32_t XConnection::pixel(int x, int y) {
  XImage* image = XGetImage(display_, DefaultRootWindow(display_), x, y, 1, 1, AllPlanes, ZPixmap);
  if (!image) return 0xFFFFFFFF;
  uint32_t value = XGetPixel(image, 0, 0) & 0xFFFFFF;
  XDestroyImage(image);
  return value;
}

Image XConnection::capture(int x, int y, int width, int height) {
  Image result;
  // The part on the screen only: the server refuses the whole request
  // otherwise.
  ::Screen* screen = DefaultScreenOfDisplay(display_);
  width = std::min(x + width, WidthOfScreen(screen)) - std::max(x, 0);
  height = std::min(y + height, HeightOfScreen(screen)) - std::max(y, 0);
  x = std::max(x, 0);
  y = std::max(y, 0);
  if (width <= 0 || height <= 0) return result;
  XImage* image =
      XGetImage(display_, DefaultRootWindow(display_), x, y, width, height, AllPlanes, ZPixmap);
  if (!image) return result;
  result.width = width;
  result.height = height;
  result.pixels.resize(static_cast<size_t>(width) * height);
  for (int row = 0; row < height; ++row) {
    for (int column = 0; column < width; ++column) {
      result.pixels[static_cast<size_t>(row) * width + column] =
          XGetPixel(image, column, row) & 0xFFFFFF;
    }
  }
  XDestroyImage(image);
  return result;
}

void XConnection::send_delete_window(Window window) {
  XEvent event;
  memset(&event, 0, sizeof event);
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, window, False, NoEventMask, &event);
  XFlush(display_);
}

}  // namespace xtest
