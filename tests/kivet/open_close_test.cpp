// Opening the library: windows, titles, places, timer, origin.
#include "support/test_support.h"

namespace headless = kivet::headless;
using kivet::WindowId;

TEST(OpenClose, WindowsTitlesSizesAndPlaces) {
  headless::reset();
  EXPECT_EQ(KIVET_open(nullptr, nullptr, "", 1), 1);
  kivet::WindowSetup g = headless::window_setup(WindowId::graphics);
  EXPECT_STREQ(g.title, "KIVET Graphics");
  EXPECT_EQ(g.x, 0);
  EXPECT_EQ(g.y, 0);
  EXPECT_EQ(g.width, 601);
  EXPECT_EQ(g.height, 540);
  EXPECT_FALSE(g.resizable);
  kivet::WindowSetup t = headless::window_setup(WindowId::text);
  EXPECT_STREQ(t.title, "KIVET Text");
  EXPECT_EQ(t.x, 0);
  EXPECT_EQ(t.y, 513);
  EXPECT_EQ(t.width, 1024);
  EXPECT_EQ(t.height, 256);
  EXPECT_TRUE(headless::visible(WindowId::graphics));
  EXPECT_TRUE(headless::visible(WindowId::text));
  EXPECT_TRUE(headless::timer_running());
  EXPECT_EQ(kivet::state().origin_x, 300);
  EXPECT_EQ(kivet::state().origin_y, 257);
  ASSERT_NE(kivet::state().offscreen_bitmap, nullptr);
  EXPECT_EQ(kivet::state().offscreen_bitmap->width(), 601);
  EXPECT_EQ(kivet::state().offscreen_bitmap->height(), 540);
  EXPECT_FALSE(kivet::state().running);
  EXPECT_EQ(KIVET_close(), 1);
  EXPECT_TRUE(headless::visible(WindowId::graphics)) << "windows stay after close";
  headless::reset();
}

TEST(OpenClose, LinesLoggedBeforeOpenAreShownWhenTheWindowOpens) {
  headless::reset();
  KIVET_log_message("early\n");
  KIVET_open(nullptr, nullptr, "", 1);
  EXPECT_EQ(headless::text_lines(), std::vector<std::string>{"early"});
  headless::reset();
}
