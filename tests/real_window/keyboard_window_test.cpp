// The keyboard as desktop users have it, in the demo program under Xvfb:
// Alt+R and F10 open the "Run" menu and its marked letters choose entries
// while other keys stay events; a Ctrl let go over another window does not
// stay held; and on a Cyrillic layout Ctrl with the key that carries a Latin
// letter in the other group is that letter's shortcut.
#include <gtest/gtest.h>

#include <string>

#include "real_window/window_fixture.h"

namespace xtest {
namespace {

class KeyboardWindowTest : public WindowTest {
 protected:
  void start_demo() {
    start(KIVET_DEMO_PATH);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_EQ(program_.wait_for_line("ready", 10000), "ready");
  }

  // The animation has stopped: after the event that `fence` produces, no
  // periodic event follows.
  void expect_halted(const std::string& fence) {
    ASSERT_NE(program_.wait_for_line(fence, 5000), "");
    EXPECT_EQ(program_.wait_for_line("periodic", 700), "") << "the animation still runs";
  }

  void expect_exit() {
    EXPECT_EQ(program_.wait_exit(10000), 0);
    EXPECT_EQ(program_.lines().back(), "quit");
  }
};

TEST_F(KeyboardWindowTest, AltAndF10OpenTheMenuAndItsLettersChooseEntries) {
  start_demo();
  ASSERT_FALSE(HasFatalFailure());
  key("alt+r");
  pause_ms(300);
  key("h");  // "&Halt animation"
  pause_ms(300);
  key("x");
  expect_halted("keyboard");
  EXPECT_EQ(program_.lines().back(), "keyboard 120") << "r or h arrived as a typed key";
  // F10 opens the menu as the toolkit does everywhere: Down steps into it.
  key("F10");
  pause_ms(300);
  key("Down");
  pause_ms(300);
  key("q");  // "&Quit"
  expect_exit();
}

TEST_F(KeyboardWindowTest, CtrlReleasedOverAnotherWindowIsNotHeld) {
  start_demo();
  ASSERT_FALSE(HasFatalFailure());
  xdotool({"keydown", "ctrl"});
  point_at(900, 200);  // the root window: it takes the keyboard
  xdotool({"keyup", "ctrl"});
  rest_pointer();
  key("q");
  EXPECT_EQ(program_.wait_for_line("keyboard", 5000), "keyboard 113");
  quit_and_expect_clean_exit();
}

TEST_F(KeyboardWindowTest, ShortcutsWorkOnACyrillicLayout) {
  ASSERT_EQ(run_command({"setxkbmap", "-layout", "ru,us"}, xvfb_.display()), 0);
  start_demo();
  ASSERT_FALSE(HasFatalFailure());
  key("ctrl+Cyrillic_er");  // the key of H
  click_display(0, 0);
  expect_halted("mouse");
  key("ctrl+Cyrillic_shorti");  // the key of Q
  expect_exit();
}

}  // namespace
}  // namespace xtest
