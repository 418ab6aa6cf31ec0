// The demo program and the simulation in real windows under Xvfb, driven by
// xdotool like a user: window placement, input, quitting in every way, the
// text-input dialog, and the CPU use of the running loop.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "real_window/x_session.h"

namespace {

using xtest::Geometry;

const char* const GRAPHICS_TITLE = "KIVET Graphics";
const char* const TEXT_TITLE = "KIVET Text";
// The graphics window's client area starts below the 25-row menu bar; its
// centre, display point (0, 0), is client pixel (300, 257).
constexpr int MENU_BAR_HEIGHT = 25;
constexpr int CENTRE_X = 300;
constexpr int CENTRE_Y = MENU_BAR_HEIGHT + 257;

std::vector<std::string> programs() {
  std::vector<std::string> list = {KIVET_DEMO_PATH};
#ifdef AIRFIELD_PATH
  list.push_back(AIRFIELD_PATH);
#endif
  return list;
}

void pause_ms(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

class RealWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!xtest::XvfbServer::available()) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_TRUE(xvfb_.start()) << "Xvfb did not start";
    x_ = std::make_unique<xtest::XConnection>(xvfb_.display());
    ASSERT_TRUE(x_->ok());
  }

  // Starts a program and waits until both its windows are on the screen.
  void start(const std::string& program = KIVET_DEMO_PATH) {
    ASSERT_TRUE(program_.start({program}, xvfb_.display()));
    graphics_ = x_->find_window(GRAPHICS_TITLE, 10000);
    text_ = x_->find_window(TEXT_TITLE, 10000);
    ASSERT_NE(graphics_, 0u) << "no graphics window";
    ASSERT_NE(text_, 0u) << "no text window";
    if (program == KIVET_DEMO_PATH) {
      ASSERT_EQ(program_.wait_for_line("ready", 10000), "ready");
    }
  }

  void xdotool(std::vector<std::string> args) {
    args.insert(args.begin(), "xdotool");
    ASSERT_EQ(xtest::run_command(args, xvfb_.display()), 0);
  }

  // Without a window manager the keyboard follows the pointer. (Moving with
  // --sync would wait for ever when the pointer is there already.)
  void move_to(int x, int y) {
    xdotool({"mousemove", std::to_string(x), std::to_string(y)});
    pause_ms(100);
  }

  void type_at(int x, int y, const std::string& keys) {
    move_to(x, y);
    xdotool({"key", "--delay", "50", keys});
  }

  void click_at(int x, int y) {
    move_to(x, y);
    xdotool({"click", "1"});
  }

  void expect_clean_exit() {
    EXPECT_EQ(program_.wait_exit(10000), 0);
    if (!program_.lines().empty() && program_.lines()[0] == "ready") {
      EXPECT_EQ(program_.lines().back(), "quit");
    }
  }

  xtest::XvfbServer xvfb_;
  std::unique_ptr<xtest::XConnection> x_;
  xtest::ChildProcess program_;
  Window graphics_ = 0;
  Window text_ = 0;
};

TEST_F(RealWindowTest, WindowsHaveTheirTitlesSizesAndPlaces) {
  start();
  EXPECT_EQ(x_->geometry(graphics_), (Geometry{0, 0, 601, 540}));
  // The bottom third of the 1024 x 768 screen: y = 2 * 768 / 3 + 1.
  EXPECT_EQ(x_->geometry(text_), (Geometry{0, 513, 1024, 256}));
}

TEST_F(RealWindowTest, ClicksArriveInDisplayCoordinates) {
  start();
  click_at(CENTRE_X, CENTRE_Y);
  EXPECT_EQ(program_.wait_for_line("mouse", 5000), "mouse 0 0");
  click_at(CENTRE_X + 10, CENTRE_Y - 20);
  EXPECT_EQ(program_.wait_for_line("mouse", 5000), "mouse 10 20");
}

TEST_F(RealWindowTest, KeysTypedInEitherWindowBecomeEvents) {
  start();
  type_at(CENTRE_X, CENTRE_Y, "x");
  EXPECT_EQ(program_.wait_for_line("keyboard", 5000), "keyboard 120");
  type_at(CENTRE_X, CENTRE_Y, "shift+x");
  EXPECT_EQ(program_.wait_for_line("keyboard", 5000), "keyboard 88");
  type_at(CENTRE_X, CENTRE_Y, "Return");
  EXPECT_EQ(program_.wait_for_line("keyboard", 5000), "keyboard 13");
  type_at(700, 650, "y");
  EXPECT_EQ(program_.wait_for_line("keyboard", 5000), "keyboard 121");
}

TEST_F(RealWindowTest, QuitMenuEntryEndsTheProgram) {
  start();
  // Open "Run" with the pointer, step into the menu and choose "Quit" by
  // its mnemonic.
  click_at(15, 12);
  pause_ms(300);
  xdotool({"key", "--delay", "100", "Down", "q"});
  expect_clean_exit();
}

TEST_F(RealWindowTest, TextWindowCanBeClosedAlone) {
  start();
  x_->send_delete_window(text_);
  EXPECT_TRUE(x_->wait_gone(TEXT_TITLE));
  // The program runs on and still logs each typed key, to nowhere.
  type_at(CENTRE_X, CENTRE_Y, "z");
  EXPECT_EQ(program_.wait_for_line("keyboard", 5000), "keyboard 122");
  EXPECT_NE(x_->find_window(GRAPHICS_TITLE, 0), 0u);
  type_at(CENTRE_X, CENTRE_Y, "ctrl+q");
  expect_clean_exit();
}

TEST_F(RealWindowTest, DialogIgnoresEscapeAndReturnsTheTypedLine) {
  start();
  type_at(CENTRE_X, CENTRE_Y, "g");
  Window dialog = x_->find_window("KIVET_gets", 5000);
  ASSERT_NE(dialog, 0u);
  Geometry place = x_->geometry(dialog);
  int x = place.x + place.width / 2, y = place.y + place.height / 2;
  type_at(x, y, "Escape");
  pause_ms(300);
  EXPECT_NE(x_->find_window("KIVET_gets", 0), 0u);
  type_at(x, y, "h");
  type_at(x, y, "i");
  type_at(x, y, "Return");
  EXPECT_EQ(program_.wait_for_line("answer", 5000), "answer 1 hi");
  EXPECT_TRUE(x_->wait_gone("KIVET_gets"));
  // The animation goes on afterwards.
  EXPECT_NE(program_.wait_for_line("periodic", 5000), "");
}

TEST_F(RealWindowTest, CpuUseOfTheRunningLoop) {
  start();
  auto cpu_ticks = [this] { return xtest::cpu_ticks(program_.pid()); };
  const int seconds = 10;
  program_.wait_for_line("periodic", 5000);
  unsigned long before = cpu_ticks();
  auto start_time = std::chrono::steady_clock::now();
  int frames = 0;
  while (std::chrono::steady_clock::now() - start_time < std::chrono::seconds(seconds)) {
    if (program_.wait_for_line("periodic", 200) != "") ++frames;
  }
  unsigned long used = cpu_ticks() - before;
  double elapsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start_time).count();
  double percent = 100.0 * used / sysconf(_SC_CLK_TCK) / elapsed;
  printf("CPU use of the running loop: %.1f%% of a core over %.1f s, %d frames redrawn\n", percent,
         elapsed, frames);
  RecordProperty("cpu_percent", std::to_string(percent));
  EXPECT_GT(frames, 5 * seconds) << "the animation did not run at the timer's pace";
  EXPECT_LT(percent, 25.0);
  type_at(CENTRE_X, CENTRE_Y, "ctrl+q");
  expect_clean_exit();
}

// Quitting the simulation and the demo: Ctrl+Q, and the window manager's
// close of the graphics window.
class QuitTest : public RealWindowTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(QuitTest, CtrlQ) {
  start(GetParam());
  type_at(CENTRE_X, CENTRE_Y, "ctrl+q");
  expect_clean_exit();
}

TEST_P(QuitTest, ClosingTheGraphicsWindow) {
  start(GetParam());
  x_->send_delete_window(graphics_);
  expect_clean_exit();
}

INSTANTIATE_TEST_SUITE_P(Programs, QuitTest, ::testing::ValuesIn(programs()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param.substr(info.param.rfind('/') + 1);
                           for (char& c : name) {
                             if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

}  // namespace
