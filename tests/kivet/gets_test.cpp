// The text-input dialog.
#include <cstring>

#include "support/test_support.h"

namespace headless = kivet::headless;

class GetsTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    open_library();
  }
};

// The prompt reaches the platform cut to 79 bytes; padding it to 79
// characters is the Windows dialog template's own business.
TEST_F(GetsTest, PromptIsCutToSeventyNineCharacters) {
  char answer[256];
  EXPECT_EQ(KIVET_gets("", answer), 1);
  EXPECT_EQ(KIVET_gets(std::string(100, 'p').c_str(), answer), 1);
  EXPECT_EQ(KIVET_gets("Name?", answer), 1);
  const auto& shown = headless::dialogs_shown();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].prompt, "");
  EXPECT_EQ(shown[1].prompt, std::string(79, 'p'));
  EXPECT_EQ(shown[2].prompt, "Name?");
  EXPECT_EQ(shown[2].title, "KIVET_gets");
  EXPECT_EQ(shown[2].button, "Okay");
}

TEST_F(GetsTest, AnswerIsCutAt255CharactersAndAnEmptyBoxGivesAnEmptyAnswer) {
  char answer[300];
  memset(answer, 'z', sizeof answer);
  headless::queue_dialog_reply({std::string(300, 'a')});
  EXPECT_EQ(KIVET_gets("Type", answer), 1);
  EXPECT_EQ(strlen(answer), 255u);
  EXPECT_EQ(answer[256], 'z') << "nothing written past the 256-byte buffer";
  headless::queue_dialog_reply({""});
  EXPECT_EQ(KIVET_gets("Type", answer), 1);
  EXPECT_STREQ(answer, "");
}

TEST_F(GetsTest, EscapeAndTheCloseBoxLeaveTheDialogOpen) {
  char answer[256];
  headless::queue_dialog_reply({"typed", true});
  EXPECT_EQ(KIVET_gets("Type", answer), 1);
  EXPECT_EQ(headless::dialog_cancels_ignored(), 2);
  EXPECT_STREQ(answer, "typed");
}

TEST_F(GetsTest, ADialogThatCannotBeCreatedReturnsZeroAndLeavesTheAnswer) {
  char answer[256] = "before";
  headless::fail_next_dialog();
  EXPECT_EQ(KIVET_gets("Type", answer), 0);
  EXPECT_STREQ(answer, "before");
}
