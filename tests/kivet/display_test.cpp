// The Display object: sizes, forwarding with the colour first, animation
// modes, and the refusal of a second display.
#include "kivet/display.h"

#include "support/test_support.h"

namespace headless = kivet::headless;

class DisplayTest : public HeadlessTest {};

TEST_F(DisplayTest, SizesAndLoggingAfterConstruction) {
  Display display;
  EXPECT_EQ(display.width(), 600);
  EXPECT_EQ(display.height(), 500);
  EXPECT_EQ(display.half_width(), 300);
  EXPECT_EQ(display.half_height(), 250);
  EXPECT_FALSE(kivet::state().KIVET_logging);
  EXPECT_FALSE(headless::menu_checked(kivet::CMD_LOGGING));
  EXPECT_TRUE(kivet::state().display_exists);
}

TEST_F(DisplayTest, ClearFlushesClearsAndFillsTheScene) {
  Display display;
  KIVET_set_logging(1);
  display.clear(BLUE);
  EXPECT_EQ(last_lines(3),
            (std::vector<std::string>{
                "Flushing the graphics window", "Clearing the graphics window",
                "blue rectangle with bounding box (-300,250) to (300,-250), filled"}));
  for (int x : {-300, 0, 300}) {
    for (int y : {-250, 0, 250}) EXPECT_EQ(bitmap_pixel(x, y), palette_rgb(BLUE)) << x << "," << y;
  }
  EXPECT_EQ(bitmap_pixel(0, 251), palette_rgb(WHITE));
}

TEST_F(DisplayTest, DrawingCallsPassTheColourFirst) {
  Display display;
  KIVET_set_logging(1);
  display.pixel(3, 4, RED);
  display.line(1, 2, 3, 4, GREEN, 2);
  display.rectangle(0, 0, 10, -10, BLUE, 1);
  display.triangle(1, 2, 3, 4, 5, 6, PINK, 0);
  display.oval(0, 0, 10, -10, GRAY_50, 0);
  display.circle(7, 8, 2, BLACK);
  display.write_int(0, 0, -42, BLACK, 12);
  display.write_char(1, 1, 'c', WHITE, 10);
  display.write_text(2, 2, "hi %d", CYAN, 10);
  EXPECT_EQ(last_lines(9),
            (std::vector<std::string>{
                "red pixel at (3,4)",
                "green line from (1,2) to (3,4), width 2",
                "blue rectangle with bounding box (0,0) to (10,-10) with line width 1",
                "pink triangle at (1,2), (3,4), (5,6)",
                "50% gray oval with bounding box (0,0) to (10,-10), filled",
                "black circle at (7,8), radius 2",
                "black text at (0,0), \"-42\"",
                "white text at (1,1), \"c\"",
                "cyan text at (2,2), \"hi %d\"",
            }));
}

TEST_F(DisplayTest, AnimationModesMapToTheLibraryCodes) {
  Display display;
  display.set_animation(kivet::run);
  EXPECT_TRUE(kivet::state().running);
  display.set_animation(kivet::halt);
  EXPECT_FALSE(kivet::state().running);
  display.set_animation(kivet::single_step);
  EXPECT_TRUE(kivet::state().step_requested);
  display.set_animation(static_cast<AnimationMode>(7));
  EXPECT_FALSE(kivet::state().quit_requested);
  int x, y;
  char key;
  EXPECT_EQ(display.get_next_event(x, y, key), kivet::periodic);
  display.set_animation(kivet::quit_animation);
  headless::click(300, 257);
  EXPECT_EQ(display.get_next_event(x, y, key), kivet::quit);
}

TEST_F(DisplayTest, EventsPassThroughWithTheirData) {
  Display display;
  int x = 0, y = 0;
  char key = 0;
  headless::click(310, 247);
  EXPECT_EQ(display.get_next_event(x, y, key), kivet::mouse);
  EXPECT_EQ(x, 10);
  EXPECT_EQ(y, 10);
  headless::character('k');
  EXPECT_EQ(display.get_next_event(x, y, key), kivet::keyboard);
  EXPECT_EQ(key, 'k');
}

TEST(DisplayDeathTest, SecondDisplayShowsTheErrorAndEndsWithStatusMinusOne) {
  headless::reset();
  Display first;
  // Run the refusal in a child and report what the dialog showed on stderr.
  EXPECT_EXIT(
      {
        std::atexit([] {
          const auto& shown = headless::dialogs_shown();
          fprintf(stderr, "dialog: [%s] [%s]\n", shown.at(0).title.c_str(),
                  shown.at(0).prompt.c_str());
        });
        Display second;
      },
      testing::ExitedWithCode(255),
      "dialog: \\[KIVET_gets\\] \\[Error: Attempted to instantiate multiple KIVET displays\\]");
  headless::reset();
}
