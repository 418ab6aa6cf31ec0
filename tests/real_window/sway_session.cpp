// The private headless sway: started as an unprivileged user when the test
// runs as root (sway refuses to run as root), with a keyboard held on its
// seat by a sleeping wtype and a virtual pointer of the test's own.
#include "real_window/sway_session.h"

#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <wayland-client.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace xtest {
namespace {

using Clock = std::chrono::steady_clock;

// The user sway runs as when the test is root: nobody.
constexpr uid_t UNPRIVILEGED = 65534;
constexpr uint32_t LEFT_BUTTON = 0x110;  // BTN_LEFT

// The windows float where the tests expect them: the graphics window at the
// screen's top-left corner as under Xvfb, the text window below it. No
// borders, no Xwayland.
constexpr const char* CONFIG =
    "xwayland disable\n"
    "output HEADLESS-1 resolution 1280x1024 position 0 0\n"
    "default_border none\n"
    "default_floating_border none\n"
    "for_window [title=\"^KIVET Graphics$\"] floating enable, move position 0 0\n"
    "for_window [title=\"^KIVET Text$\"] floating enable, move position 0 600\n";

// The virtual-pointer protocol's two interfaces, as its generated code would
// declare them; only their requests are used.
const wl_interface* const no_types[5] = {};
const wl_message pointer_requests[] = {
    {"motion", "uff", const_cast<const wl_interface**>(no_types)},
    {"motion_absolute", "uuuuu", const_cast<const wl_interface**>(no_types)},
    {"button", "uuu", const_cast<const wl_interface**>(no_types)},
    {"axis", "uuf", const_cast<const wl_interface**>(no_types)},
    {"frame", "", const_cast<const wl_interface**>(no_types)},
    {"axis_source", "u", const_cast<const wl_interface**>(no_types)},
    {"axis_stop", "uu", const_cast<const wl_interface**>(no_types)},
    {"axis_discrete", "uufi", const_cast<const wl_interface**>(no_types)},
    {"destroy", "", const_cast<const wl_interface**>(no_types)},
};
const wl_interface pointer_interface = {"zwlr_virtual_pointer_v1", 1, 9, pointer_requests, 0,
                                        nullptr};
const wl_interface* create_types[] = {&wl_seat_interface, &pointer_interface};
const wl_message manager_requests[] = {
    {"create_virtual_pointer", "?on", create_types},
    {"destroy", "", const_cast<const wl_interface**>(no_types)},
};
const wl_interface manager_interface = {"zwlr_virtual_pointer_manager_v1", 1, 2,
                                        manager_requests, 0, nullptr};

enum PointerRequest { MOTION_ABSOLUTE = 1, BUTTON = 2, FRAME = 4, DESTROY = 8 };

std::string wayland_socket(const std::string& dir) {
  std::string found;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* entry = readdir(d)) {
      std::string name = entry->d_name;
      if (name.rfind("wayland-", 0) == 0 && name.find(".lock") == std::string::npos) found = name;
    }
    closedir(d);
  }
  return found;
}

}  // namespace

struct SwayRegistry {
  static void global(void* data, wl_registry* registry, uint32_t name, const char* interface,
                     uint32_t) {
    SwaySession* s = static_cast<SwaySession*>(data);
    if (strcmp(interface, "wl_seat") == 0 && !s->seat_) {
      s->seat_ = static_cast<wl_proxy*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
      static const wl_seat_listener listener = {capabilities, seat_name};
      wl_seat_add_listener(reinterpret_cast<wl_seat*>(s->seat_), &listener, s);
    } else if (strcmp(interface, manager_interface.name) == 0 && !s->manager_) {
      s->manager_ = static_cast<wl_proxy*>(wl_registry_bind(registry, name, &manager_interface, 1));
    }
  }
  static void global_remove(void*, wl_registry*, uint32_t) {}
  static void capabilities(void* data, wl_seat*, uint32_t capabilities) {
    static_cast<SwaySession*>(data)->seat_capabilities_ = capabilities;
  }
  static void seat_name(void*, wl_seat*, const char*) {}
};

bool SwaySession::available() {
  return on_path("sway") && on_path("wtype") && on_path("grim");
}

bool SwaySession::start() {
  const std::string& dir = runtime_dir_.path();
  if (dir.empty() || chmod(dir.c_str(), 0700) != 0) return false;
  const std::string config = dir + "/config";
  if (!write_file(config, CONFIG)) return false;
  const bool root = getuid() == 0;
  if (root && (chown(dir.c_str(), UNPRIVILEGED, UNPRIVILEGED) != 0 ||
               chown(config.c_str(), UNPRIVILEGED, UNPRIVILEGED) != 0)) {
    return false;
  }
  pid_ = fork();
  if (pid_ < 0) return false;
  if (pid_ == 0) {
    if (root && (setgroups(0, nullptr) != 0 || setgid(UNPRIVILEGED) != 0 ||
                 setuid(UNPRIVILEGED) != 0)) {
      _exit(126);
    }
    // After the change of user, which clears it: nothing started by a test
    // outlives it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    setenv("HOME", dir.c_str(), 1);
    setenv("WLR_BACKENDS", "headless", 1);
    setenv("WLR_LIBINPUT_NO_DEVICES", "1", 1);
    setenv("WLR_RENDERER", "pixman", 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    unsetenv("SWAYSOCK");
    int log = open((dir + "/sway.log").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(log, STDOUT_FILENO);
    dup2(log, STDERR_FILENO);
    execlp("sway", "sway", "-c", config.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  Clock::time_point deadline = Clock::now() + std::chrono::seconds(15);
  while (Clock::now() < deadline && socket_.empty()) {
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    socket_ = wayland_socket(dir);
  }
  if (socket_.empty() || !connect_pointer()) {
    stop();
    return false;
  }
  // A seat's keyboard exists only while a keyboard device does; a wtype
  // that only sleeps keeps one, so that the client's wl_keyboard stays
  // bound between the short-lived wtype runs that type. (Without it, keys
  // from a fresh wtype often arrive before the client has bound its
  // keyboard, and are lost.)
  if (!keyboard_.start({"wtype", "-s", "600000"}, "", "", client_environment())) {
    stop();
    return false;
  }
  while (Clock::now() < deadline && seat_capabilities_ != (WL_SEAT_CAPABILITY_POINTER |
                                                           WL_SEAT_CAPABILITY_KEYBOARD)) {
    if (wl_display_roundtrip(display_) < 0) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (seat_capabilities_ != (WL_SEAT_CAPABILITY_POINTER | WL_SEAT_CAPABILITY_KEYBOARD)) {
    stop();
    return false;
  }
  return true;
}

bool SwaySession::connect_pointer() {
  display_ = wl_display_connect((runtime_dir_.path() + "/" + socket_).c_str());
  if (!display_) return false;
  registry_ = reinterpret_cast<wl_proxy*>(wl_display_get_registry(display_));
  static const wl_registry_listener listener = {SwayRegistry::global, SwayRegistry::global_remove};
  wl_registry_add_listener(reinterpret_cast<wl_registry*>(registry_), &listener, this);
  if (wl_display_roundtrip(display_) < 0 || !seat_ || !manager_) return false;
  pointer_ = wl_proxy_marshal_flags(manager_, 0, &pointer_interface, wl_proxy_get_version(manager_),
                                    0, seat_, nullptr);
  return pointer_ && wl_display_roundtrip(display_) >= 0;
}

void SwaySession::disconnect() {
  if (!display_) return;
  if (pointer_) {
    wl_proxy_marshal_flags(pointer_, DESTROY, nullptr, wl_proxy_get_version(pointer_),
                           WL_MARSHAL_FLAG_DESTROY);
  }
  if (manager_) wl_proxy_destroy(manager_);
  if (seat_) wl_proxy_destroy(seat_);
  if (registry_) wl_proxy_destroy(registry_);
  wl_display_flush(display_);
  wl_display_disconnect(display_);
  display_ = nullptr;
  registry_ = seat_ = manager_ = pointer_ = nullptr;
  seat_capabilities_ = 0;
}

void SwaySession::stop() {
  disconnect();
  if (keyboard_.running()) keyboard_.wait_exit(0);
  if (pid_ <= 0) return;
  kill(pid_, SIGTERM);
  Clock::time_point deadline = Clock::now() + std::chrono::seconds(5);
  while (waitpid(pid_, nullptr, WNOHANG) == 0) {
    if (Clock::now() > deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  pid_ = -1;
}

std::vector<std::string> SwaySession::client_environment() const {
  return {"XDG_RUNTIME_DIR=" + runtime_dir_.path(), "WAYLAND_DISPLAY=" + socket_,
          "GDK_BACKEND=wayland"};
}

int SwaySession::wtype(const std::vector<std::string>& args, int timeout_ms) {
  std::vector<std::string> argv{"wtype"};
  argv.insert(argv.end(), args.begin(), args.end());
  return run_command(argv, "", timeout_ms, "", client_environment());
}

bool SwaySession::point_at(int x, int y) {
  if (!pointer_) return false;
  time_ms_ += 10;
  // Absolute positions are fractions of the layout, which is the one output.
  wl_proxy_marshal_flags(pointer_, MOTION_ABSOLUTE, nullptr, wl_proxy_get_version(pointer_), 0,
                         time_ms_, static_cast<uint32_t>(x), static_cast<uint32_t>(y),
                         static_cast<uint32_t>(WIDTH), static_cast<uint32_t>(HEIGHT));
  wl_proxy_marshal_flags(pointer_, FRAME, nullptr, wl_proxy_get_version(pointer_), 0);
  return wl_display_roundtrip(display_) >= 0;
}

bool SwaySession::button(bool down) {
  if (!pointer_) return false;
  time_ms_ += 10;
  wl_proxy_marshal_flags(pointer_, BUTTON, nullptr, wl_proxy_get_version(pointer_), 0, time_ms_,
                         LEFT_BUTTON, down ? WL_POINTER_BUTTON_STATE_PRESSED
                                           : WL_POINTER_BUTTON_STATE_RELEASED);
  wl_proxy_marshal_flags(pointer_, FRAME, nullptr, wl_proxy_get_version(pointer_), 0);
  return wl_display_roundtrip(display_) >= 0;
}

bool SwaySession::press() { return button(true); }
bool SwaySession::release() { return button(false); }

Image SwaySession::screenshot(int x, int y, int width, int height) {
  TempDir shots;
  const std::string file = shots.file("screen.png");
  const std::string box = std::to_string(x) + "," + std::to_string(y) + " " +
                          std::to_string(width) + "x" + std::to_string(height);
  if (run_command({"grim", "-g", box, file}, "", 10000, "", client_environment()) != 0) {
    return Image();
  }
  return read_png(file);
}

}  // namespace xtest
