// A private headless sway for tests that give a Wayland client real input:
// its own runtime directory and socket, a keyboard and a pointer on its
// seat, keys typed with wtype and the pointer driven from the test itself,
// and pictures of the screen through grim.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

#include "real_window/x_session.h"

struct wl_display;
struct wl_proxy;

namespace xtest {

class SwaySession {
 public:
  static constexpr int WIDTH = 1280;
  static constexpr int HEIGHT = 1024;

  static bool available();
  SwaySession() = default;
  SwaySession(const SwaySession&) = delete;
  SwaySession& operator=(const SwaySession&) = delete;
  ~SwaySession() { stop(); }
  // Starts the compositor and waits until its seat has a keyboard and a
  // pointer, so that a client started afterwards binds both.
  bool start();
  void stop();
  // What a client needs to connect, as a Wayland client of GTK.
  std::vector<std::string> client_environment() const;

  // wtype with these arguments, e.g. {"-k", "Left"}; its exit status.
  int wtype(const std::vector<std::string>& args, int timeout_ms = 10000);
  // The pointer to a point of the screen, and the left button down or up;
  // each returns once the compositor has handled it.
  bool point_at(int x, int y);
  bool press();
  bool release();
  // A rectangle of the screen, or an empty image.
  Image screenshot(int x, int y, int width, int height);

 private:
  bool connect_pointer();
  bool button(bool down);
  void disconnect();

  pid_t pid_ = -1;
  ChildProcess keyboard_;
  std::string socket_;
  TempDir runtime_dir_;
  wl_display* display_ = nullptr;
  wl_proxy* registry_ = nullptr;
  wl_proxy* seat_ = nullptr;
  wl_proxy* manager_ = nullptr;
  wl_proxy* pointer_ = nullptr;
  uint32_t seat_capabilities_ = 0;
  uint32_t time_ms_ = 0;

  friend struct SwayRegistry;
};

}  // namespace xtest
