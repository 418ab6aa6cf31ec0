// A fixture for tests that run one program on the library in real windows
// under a private Xvfb: starting it (in a directory of the test's choice),
// input through xdotool, and pictures of the graphics window's client area
// and of the text window.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "real_window/x_session.h"

namespace xtest {

// Palette colours as they reach a 24-bit screen, 0xRRGGBB.
namespace rgb {
constexpr uint32_t BLACK = 0x000000;
constexpr uint32_t WHITE = 0xFFFFFF;
constexpr uint32_t RED = 0xFF0000;
constexpr uint32_t ICE_BLUE = 0x99FFFF;
constexpr uint32_t PINK = 0xFF99CC;
constexpr uint32_t PEACH = 0xFF9966;
constexpr uint32_t SEA_GREEN = 0x33CC99;
constexpr uint32_t GRAY_50 = 0x808080;
constexpr uint32_t GRAY_20 = 0xCCCCCC;
}  // namespace rgb

constexpr const char* GRAPHICS_TITLE = "KIVET Graphics";
constexpr const char* TEXT_TITLE = "KIVET Text";

// The graphics window sits at the screen's top-left corner; its client area
// is 601 x 515 below a 25-row menu bar, and display point (x, y) is client
// pixel (300 + x, 257 - y).
constexpr int GRAPHICS_HEIGHT = 540;
constexpr int MENU_BAR_HEIGHT = 25;
constexpr int CLIENT_WIDTH = 601;
constexpr int CLIENT_HEIGHT = 515;
constexpr int ORIGIN_X = 300;
constexpr int ORIGIN_Y = 257;

inline int screen_x(int display_x) { return ORIGIN_X + display_x; }
inline int screen_y(int display_y) { return MENU_BAR_HEIGHT + ORIGIN_Y - display_y; }

// A picture of the client area, read in display coordinates.
class Picture {
 public:
  Picture() = default;
  explicit Picture(Image image) : image_(std::move(image)) {}
  bool empty() const { return image_.empty(); }
  bool contains(int x, int y) const;
  // The colour at display point (x, y), which must lie in the client area.
  uint32_t at(int x, int y) const { return image_.at(ORIGIN_X + x, ORIGIN_Y - y); }
  const Image& image() const { return image_; }
  bool operator==(const Picture& other) const { return image_ == other.image_; }
  bool operator!=(const Picture& other) const { return !(image_ == other.image_); }

 private:
  Image image_;
};

// The part of the text window that the graphics window does not cover (the
// text window's top rows lie under it).
Image text_window_below_graphics(XConnection& x, const Geometry& text);

// The bands of rows that hold dark pixels (text), top to bottom, each as its
// first and last row.
std::vector<std::pair<int, int>> ink_bands(const Image& image);

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;

  // Starts the program and waits until both its windows are on the screen;
  // the pointer then rests in the graphics window, so that keys go there.
  void start(const std::string& program, const std::string& working_dir = "",
             const std::vector<std::string>& args = {});
  void xdotool(std::vector<std::string> args, int timeout_ms = 10000);
  // Moves the pointer; without a window manager the keyboard follows it.
  void point_at(int x, int y);
  // Keys typed where the pointer rests, e.g. "ctrl+h" or "a".
  void key(const std::string& keys);
  // A left click at a display point of the graphics window; the pointer
  // stays there.
  void click_display(int x, int y);
  // Puts the pointer back on its resting place in the graphics window.
  void rest_pointer();

  Picture picture();
  // The text window below the graphics window.
  Image text_window();
  // The next picture that differs from `before`, or an empty one after the
  // timeout.
  Picture wait_for_change(const Picture& before, int timeout_ms);
  // A picture that stayed the same for `quiet_ms`, or an empty one when the
  // picture kept changing until the timeout.
  Picture wait_still(int quiet_ms, int timeout_ms);
  // The number of text lines in the text window once it has stayed the same
  // for a moment.
  int text_lines_when_still(int timeout_ms = 5000);

  void quit_and_expect_clean_exit();

  XvfbServer xvfb_;
  std::unique_ptr<XConnection> x_;
  ChildProcess program_;
  Window graphics_ = 0;
  Window text_ = 0;
  Geometry text_place_;
};

void pause_ms(int ms);

}  // namespace xtest
