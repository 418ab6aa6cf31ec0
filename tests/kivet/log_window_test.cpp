// The text window: the ring of the last 25 lines, repaints, long messages,
// the logging switch and showing the window.
#include "support/test_support.h"

namespace headless = kivet::headless;
using kivet::WindowId;

class LogWindowTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    open_library();
  }
  static void repaint() {
    headless::post(kivet::Message{WindowId::text, kivet::MessageKind::paint, 0, 0});
    headless::click(1, 1);
    wait_event();
  }
};

TEST(LogWindowBeforeOpen, SetLoggingReturnsZeroAndChangesNothing) {
  kivet::headless::reset();
  EXPECT_EQ(KIVET_set_logging(0), 0);
  EXPECT_TRUE(kivet::state().KIVET_logging);
  EXPECT_EQ(KIVET_set_animation(2), 0);
  EXPECT_FALSE(kivet::state().running);
}

TEST_F(LogWindowTest, EachMessageIsOneLineAtTheBottom) {
  EXPECT_EQ(KIVET_log_message("first %d\n", 1), 8);
  KIVET_log_message("second");
  KIVET_log_message("with\nnewline inside\n");
  KIVET_log_message("%s", "");
  EXPECT_EQ(text_lines(),
            (std::vector<std::string>{"first 1", "second", "with\nnewline inside", ""}));
}

TEST_F(LogWindowTest, TwentySixthLineReleasesTheFirstAndRepaintShowsTheRest) {
  for (int i = 1; i <= 26; ++i) KIVET_log_message("line %d\n", i);
  repaint();
  std::vector<std::string> expected;
  for (int i = 2; i <= 26; ++i) expected.push_back("line " + std::to_string(i));
  EXPECT_EQ(text_lines(), expected);
  EXPECT_EQ(kivet::state().log_head, 1);
  EXPECT_EQ(kivet::state().log_next, 1);
}

TEST_F(LogWindowTest, RepaintOfAPartlyFilledRingAndOfAnEmptyOne) {
  repaint();
  EXPECT_TRUE(text_lines().empty());
  KIVET_log_message("a\n");
  KIVET_log_message("b");
  repaint();
  EXPECT_EQ(text_lines(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(LogWindowTest, MessagesLongerThan1023CharactersAreCut) {
  std::string long_text(5000, 'x');
  EXPECT_EQ(KIVET_log_message("%s", long_text.c_str()), 1023);
  EXPECT_EQ(text_lines().back(), std::string(1023, 'x'));
}

TEST_F(LogWindowTest, SetLoggingChecksTheMenuAndShowsTheWindowOnlyWhenOn) {
  KIVET_show_text_window(0);
  EXPECT_EQ(KIVET_set_logging(0), 1);
  EXPECT_FALSE(kivet::state().KIVET_logging);
  EXPECT_FALSE(headless::menu_checked(kivet::CMD_LOGGING));
  EXPECT_FALSE(headless::visible(WindowId::text));
  EXPECT_EQ(KIVET_set_logging(7), 1);
  EXPECT_TRUE(kivet::state().KIVET_logging);
  EXPECT_TRUE(headless::menu_checked(kivet::CMD_LOGGING));
  EXPECT_TRUE(headless::visible(WindowId::text));
}

TEST_F(LogWindowTest, LoggingMenuEntryLeavesAHiddenWindowHidden) {
  EXPECT_NE(KIVET_show_text_window(0), 0);
  EXPECT_EQ(KIVET_show_text_window(0), 0);
  headless::command(kivet::CMD_LOGGING);
  headless::command(kivet::CMD_LOGGING);
  headless::click(1, 1);
  wait_event();
  EXPECT_FALSE(headless::visible(WindowId::text));
}

TEST_F(LogWindowTest, LinesWrittenWhileHiddenAreShownAndAfterCloseOnlyStored) {
  KIVET_show_text_window(0);
  KIVET_log_message("while hidden\n");
  EXPECT_EQ(text_lines().back(), "while hidden");
  headless::close_window(WindowId::text);
  headless::click(1, 1);
  wait_event();
  EXPECT_FALSE(headless::exists(WindowId::text));
  KIVET_log_message("after close\n");
  EXPECT_EQ(text_lines().back(), "while hidden");
  EXPECT_EQ(kivet::state().log_ring[(kivet::state().log_next + 24) % 25], "after close\n");
  EXPECT_EQ(KIVET_set_logging(1), 1);
  EXPECT_FALSE(headless::visible(WindowId::text));
}

TEST_F(LogWindowTest, ShowLogLineRemovesOneTrailingNewlineInPlace) {
  char line[] = "text\n";
  KIVET_show_log_line(line);
  EXPECT_STREQ(line, "text");
  EXPECT_EQ(text_lines().back(), "text");
}
