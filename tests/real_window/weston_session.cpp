// The private headless weston: started, stopped and photographed.
#include "real_window/weston_session.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace xtest {
namespace {

constexpr int WIDTH = 1280;
constexpr int HEIGHT = 1024;

bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

}  // namespace

bool WestonServer::available() { return on_path("weston") && on_path("weston-screenshooter"); }

bool WestonServer::start() {
  static int started = 0;
  const std::string& dir = runtime_dir_.path();
  if (dir.empty() || chmod(dir.c_str(), 0700) != 0) return false;
  socket_ = "kivet-test-" + std::to_string(getpid()) + "-" + std::to_string(++started);
  pid_ = fork();
  if (pid_ < 0) return false;
  if (pid_ == 0) {
    // Nothing started by a test outlives it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    // Without pixman the headless output renders nothing; --debug lets
    // weston-screenshooter capture it.
    std::string size_w = "--width=" + std::to_string(WIDTH);
    std::string size_h = "--height=" + std::to_string(HEIGHT);
    execlp("weston", "weston", "--backend=headless-backend.so", "--use-pixman",
           ("--socket=" + socket_).c_str(), size_w.c_str(), size_h.c_str(), "--debug",
           "--no-config", "--idle-time=0", static_cast<char*>(nullptr));
    _exit(127);
  }
  // Ready once its socket is there and a screenshot can be taken (the shell
  // has started).
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    if (exists(dir + "/" + socket_) && !screenshot().empty()) return true;
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  stop();
  return false;
}

void WestonServer::stop() {
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (waitpid(pid_, nullptr, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  pid_ = -1;
}

std::vector<std::string> WestonServer::client_environment() const {
  return {"XDG_RUNTIME_DIR=" + runtime_dir_.path(), "WAYLAND_DISPLAY=" + socket_,
          "GDK_BACKEND=wayland"};
}

Image WestonServer::screenshot() {
  // The screenshooter writes its file into its working directory.
  TempDir shots;
  if (run_command({"weston-screenshooter"}, "", 10000, shots.path(), client_environment()) != 0) {
    return Image();
  }
  for (const auto& entry : std::filesystem::directory_iterator(shots.path())) {
    return read_png(entry.path().string());
  }
  return Image();
}

}  // namespace xtest
