// A private headless weston for tests of Wayland clients: its own runtime
// directory and socket, and screenshots of its output.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "real_window/x_session.h"

namespace xtest {

class WestonServer {
 public:
  static bool available();
  ~WestonServer() { stop(); }
  bool start();
  void stop();
  // What a client needs to connect (and to run as a Wayland client of GTK),
  // for ChildProcess::start with no X display.
  std::vector<std::string> client_environment() const;
  // The whole output, or an empty image when no screenshot was taken.
  Image screenshot();

 private:
  pid_t pid_ = -1;
  std::string socket_;
  TempDir runtime_dir_;
};

}  // namespace xtest
