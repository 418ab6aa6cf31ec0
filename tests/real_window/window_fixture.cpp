#include "real_window/window_fixture.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace xtest {
namespace {

using Clock = std::chrono::steady_clock;

// Where the pointer rests: the bottom-right corner of the client area,
// display point (290, -238), away from everything the tests look at.
constexpr int REST_X = 590;
constexpr int REST_Y = 520;

constexpr int POLL_MS = 40;

bool past(Clock::time_point deadline) { return Clock::now() >= deadline; }

Clock::time_point after_ms(int ms) { return Clock::now() + std::chrono::milliseconds(ms); }

}  // namespace

void pause_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

bool Picture::contains(int x, int y) const {
  int column = ORIGIN_X + x, row = ORIGIN_Y - y;
  return column >= 0 && column < image_.width && row >= 0 && row < image_.height;
}

std::vector<std::pair<int, int>> ink_bands(const Image& image) {
  std::vector<std::pair<int, int>> bands;
  bool in_band = false;
  for (int row = 0; row < image.height; ++row) {
    bool ink = false;
    for (int column = 0; column < image.width && !ink; ++column) {
      ink = ((image.at(column, row) >> 8) & 0xFF) < 0x80;
    }
    if (ink && !in_band) bands.push_back({row, row});
    if (ink) bands.back().second = row;
    in_band = ink;
  }
  return bands;
}

void WindowTest::SetUp() {
  if (!XvfbServer::available()) GTEST_SKIP() << "Xvfb is not installed";
  ASSERT_TRUE(xvfb_.start()) << "Xvfb did not start";
  x_ = std::make_unique<XConnection>(xvfb_.display());
  ASSERT_TRUE(x_->ok());
}

void WindowTest::start(const std::string& program, const std::string& working_dir,
                       const std::vector<std::string>& args) {
  std::vector<std::string> argv{program};
  argv.insert(argv.end(), args.begin(), args.end());
  ASSERT_TRUE(program_.start(argv, xvfb_.display(), working_dir));
  graphics_ = x_->find_window(GRAPHICS_TITLE, 10000);
  text_ = x_->find_window(TEXT_TITLE, 10000);
  ASSERT_NE(graphics_, 0u) << "no graphics window";
  ASSERT_NE(text_, 0u) << "no text window";
  text_place_ = x_->geometry(text_);
  rest_pointer();
}

void WindowTest::xdotool(std::vector<std::string> args, int timeout_ms) {
  args.insert(args.begin(), "xdotool");
  ASSERT_EQ(run_command(args, xvfb_.display(), timeout_ms), 0) << args[1];
}

void WindowTest::point_at(int x, int y) {
  // (Moving with --sync would wait for ever when the pointer is there already.)
  xdotool({"mousemove", std::to_string(x), std::to_string(y)});
  pause_ms(100);
}

void WindowTest::rest_pointer() { point_at(REST_X, REST_Y); }

void WindowTest::key(const std::string& keys) { xdotool({"key", "--delay", "30", keys}); }

void WindowTest::click_display(int x, int y) {
  point_at(screen_x(x), screen_y(y));
  xdotool({"click", "1"});
}

Picture WindowTest::picture() {
  return Picture(x_->capture(0, MENU_BAR_HEIGHT, CLIENT_WIDTH, CLIENT_HEIGHT));
}

Image text_window_below_graphics(XConnection& x, const Geometry& text) {
  const int top = std::max(text.y, GRAPHICS_HEIGHT);
  return x.capture(text.x, top, text.width, text.y + text.height - top);
}

Image WindowTest::text_window() { return text_window_below_graphics(*x_, text_place_); }

Picture WindowTest::wait_for_change(const Picture& before, int timeout_ms) {
  Clock::time_point deadline = after_ms(timeout_ms);
  for (;;) {
    Picture now = picture();
    if (now != before) return now;
    if (past(deadline)) return Picture();
    pause_ms(POLL_MS);
  }
}

Picture WindowTest::wait_still(int quiet_ms, int timeout_ms) {
  Clock::time_point deadline = after_ms(timeout_ms);
  Picture last = picture();
  Clock::time_point since = Clock::now();
  while (!past(deadline)) {
    pause_ms(POLL_MS);
    Picture now = picture();
    if (now != last) {
      last = std::move(now);
      since = Clock::now();
    } else if (Clock::now() - since >= std::chrono::milliseconds(quiet_ms)) {
      return last;
    }
  }
  return Picture();
}

int WindowTest::text_lines_when_still(int timeout_ms) {
  Clock::time_point deadline = after_ms(timeout_ms);
  Image last = text_window();
  Clock::time_point since = Clock::now();
  while (!past(deadline) && Clock::now() - since < std::chrono::milliseconds(300)) {
    pause_ms(POLL_MS);
    Image now = text_window();
    if (now != last) {
      last = std::move(now);
      since = Clock::now();
    }
  }
  return static_cast<int>(ink_bands(last).size());
}

void WindowTest::quit_and_expect_clean_exit() {
  rest_pointer();
  key("ctrl+q");
  EXPECT_EQ(program_.wait_exit(15000), 0);
}

}  // namespace xtest
