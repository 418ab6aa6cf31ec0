// A learner's first program in real windows: a Display at file scope,
// the picture on the screen while the dialog asks, an accented answer, and
// a quit that sticks however it came.
#include <gtest/gtest.h>

#include <string>

#include "real_window/window_fixture.h"

namespace xtest {
namespace {

constexpr uint32_t CHALK = 0xFFFF99;
const std::string QUIT = "event 4 0 0 0";

class LearnerWindowTest : public WindowTest {
 protected:
  // After the first quit every later wait quits at once, with no data,
  // although input keeps coming; the program then ends on its own.
  void expect_quit_sticks() {
    EXPECT_EQ(program_.wait_for_line("event", 5000), QUIT);
    key("x");
    EXPECT_EQ(program_.wait_for_line("event", 2000), QUIT);
    EXPECT_EQ(program_.wait_for_line("event", 2000), QUIT);
    EXPECT_EQ(program_.wait_exit(10000), 0);
  }
};

TEST_F(LearnerWindowTest, GlobalDisplayShowsItsPictureUnderTheDialogAndCtrlQSticks) {
  start(LEARNER_PATH);
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_EQ(program_.wait_for_line("ready", 5000), "ready");
  click_display(0, 0);
  Window dialog = x_->find_window("KIVET_gets", 5000);
  ASSERT_NE(dialog, 0u);
  // What was drawn before the question is on the screen while it is asked.
  Picture asked = picture();
  EXPECT_EQ(asked.at(280, -230), CHALK);
  EXPECT_EQ(asked.at(-290, 240), CHALK);

  Geometry place = x_->geometry(dialog);
  point_at(place.x + place.width / 2, place.y + place.height / 2);
  xdotool({"type", "Zo\xc3\xab"});
  key("Return");
  EXPECT_EQ(program_.wait_for_line("answer", 5000), "answer Zo\xc3\xab");
  EXPECT_TRUE(x_->wait_gone("KIVET_gets"));
  rest_pointer();
  key("ctrl+q");
  expect_quit_sticks();
}

TEST_F(LearnerWindowTest, AfterTheCloseBoxEveryWaitQuitsInsteadOfHanging) {
  start(LEARNER_PATH, "", {"no-dialog"});
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_EQ(program_.wait_for_line("ready", 5000), "ready");
  x_->send_delete_window(graphics_);
  EXPECT_TRUE(x_->wait_gone(GRAPHICS_TITLE));
  expect_quit_sticks();
}

}  // namespace
}  // namespace xtest
