// A fixture for tests of Windows programs under Wine. One Xvfb and one Wine
// prefix serve the whole test binary (making a prefix takes about 20 s);
// each test starts its program in a directory of its own, types and clicks
// with xdotool, and reads the graphics window's client area from
// screenshots.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "windows/wine_session.h"
#include "real_window/x_session.h"

namespace xtest {

// Without a window manager Wine draws the frames itself: the graphics window
// at (0, 0) has its client area at screen (3, 41), below a 3-pixel border,
// a 19-pixel caption and a 19-pixel menu bar.
constexpr int WINE_CLIENT_LEFT = 3;
constexpr int WINE_CLIENT_TOP = 41;
constexpr int CLIENT_WIDTH = 601;
constexpr int CLIENT_HEIGHT = 515;

// The Xvfb and the prefix of the run; null while they are not up.
const std::string& wine_display();
WinePrefix* wine_prefix();

// A program of the Windows build by its path there without ".exe", as
// "airfield" or "examples/ball".
std::string windows_program(const std::string& path);

class WineTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts a Windows program in the test's directory and waits until both
  // its windows are on the screen.
  void start(const std::string& program, const std::vector<std::string>& arguments = {});
  // The next line of the program's output that starts with `prefix`,
  // without the carriage return of Windows' line end; "" at the timeout.
  std::string line(const std::string& prefix, int timeout_ms = 10000);
  void xdotool(std::vector<std::string> args);
  // Keys typed into the graphics window, which gets the keyboard first.
  void key(const std::string& keys);
  // A click at a pixel of the graphics window's client area.
  void click(int x, int y);
  // The graphics window's client area as the screen shows it.
  Image client();
  // A client area that differs from `before`, or an empty image.
  Image wait_for_change(const Image& before, int timeout_ms);
  // A client area that stayed the same for `quiet_ms`, or an empty image.
  Image wait_still(int quiet_ms, int timeout_ms);

  TempDir dir_;
  ChildProcess program_;
  Window graphics_ = 0;
};

// A headless run of a program in `dir`, a Windows one (an .exe, under Wine)
// or one of Linux: KIVET_BACKEND=headless, standard input from `input`
// (none when empty), the snapshot written to snapshot.png there.
struct HeadlessRun {
  int status = -1;
  std::string output;  // standard output with Windows' line ends made "\n"
  Image snapshot;
};
HeadlessRun run_headless(const std::string& program, const std::string& dir,
                         const std::string& input = "");

// Whether a file exists.
bool exists(const std::string& path);

// The rows 0 to 514 of a 601 x 540 snapshot: what the client area shows.
Image shown_part(const Image& snapshot);

}  // namespace xtest
