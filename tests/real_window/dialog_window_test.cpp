// The text-input dialog in a real window, as far as the demo's other tests
// leave it open: a line longer than the answer buffer, the Okay button, and
// the graphics window taking no input while the dialog is up.
#include <gtest/gtest.h>

#include <string>

#include "real_window/window_fixture.h"

namespace xtest {
namespace {

class DialogWindowTest : public WindowTest {};

TEST_F(DialogWindowTest, LongLineIsCutAndTheOkayButtonEndsTheDialog) {
  start(KIVET_DEMO_PATH);
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_EQ(program_.wait_for_line("ready", 10000), "ready");
  key("g");
  Window dialog = x_->find_window("KIVET_gets", 5000);
  ASSERT_NE(dialog, 0u);
  Geometry place = x_->geometry(dialog);

  // A click on the graphics window, outside the dialog, is not an event.
  click_display(-250, -200);

  std::string typed;
  for (int i = 0; i < 30; ++i) typed += "0123456789";
  point_at(place.x + place.width / 2, place.y + place.height / 2);
  xdotool({"type", "--delay", "4", typed}, 30000);
  // The button sits centred at the bottom of the dialog.
  point_at(place.x + place.width / 2, place.y + place.height - 26);
  xdotool({"click", "1"});

  std::string answer = program_.wait_for_line("answer", 10000);
  EXPECT_EQ(answer, "answer 1 " + typed.substr(0, 255));
  EXPECT_TRUE(x_->wait_gone("KIVET_gets"));
  // The animation goes on, and the click made while the dialog was open
  // never arrived.
  EXPECT_NE(program_.wait_for_line("periodic", 5000), "");
  for (const std::string& line : program_.lines()) EXPECT_NE(line.rfind("mouse", 0), 0u) << line;
  quit_and_expect_clean_exit();
}

}  // namespace
}  // namespace xtest
