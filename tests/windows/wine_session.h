// A private Wine prefix for tests of Windows programs: made once per test
// run in a directory of its own, with its server kept alive until the end,
// and screenshots that show Wine's menus and dialogs.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "real_window/x_session.h"

namespace xtest {

class WinePrefix {
 public:
  static bool available();
  ~WinePrefix() { stop(); }
  // Makes the prefix (about 20 s) with windows on `display`, where they are
  // not managed (there is no window manager), and starts its server.
  bool start(const std::string& display);
  // Ends the server and every Windows process of the prefix, and removes it.
  void stop();
  // From now on the prefix's windows go to `display`, whose screen has
  // `dpi` dots per inch (96 is 100%, 192 200%); the server starts afresh.
  bool switch_screen(const std::string& display, int dpi);
  // The variables a Wine process of this prefix needs, each "NAME=VALUE",
  // for ChildProcess::start and run_command.
  const std::vector<std::string>& environment() const { return environment_; }
  // The command line that runs a Windows program under Wine.
  static std::vector<std::string> command(const std::string& program,
                                          const std::vector<std::string>& arguments = {});

 private:
  int run(const std::vector<std::string>& argv, int timeout_ms);
  bool start_server();
  void end_server();

  std::unique_ptr<TempDir> dir_;
  std::string display_;
  std::vector<std::string> environment_;
  bool server_started_ = false;
};

// The whole screen as `import -window root` takes it: unlike a plain
// XGetImage of the root window, it shows Wine's menus and dialogs.
Image screenshot(const std::string& display);

}  // namespace xtest
