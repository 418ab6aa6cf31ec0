// Keyboard and menu input: Ctrl shortcuts, characters, check marks, the menu.
#include "support/test_support.h"

namespace headless = kivet::headless;
using kivet::WindowId;

class InputTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    open_library();
  }
  // Lets the handlers see what was posted, through one wait ended by a click.
  static void wait_event_after_click() {
    kivet::headless::click(1, 1);
    EXPECT_EQ(wait_event().kind, 1);
  }
};

TEST_F(InputTest, CtrlShortcutsWithAndWithoutShift) {
  for (bool shift : {false, true}) {
    headless::ctrl_key('a', shift);
    EXPECT_EQ(wait_event().kind, 3);
    EXPECT_TRUE(kivet::state().running);
    headless::ctrl_key('h', shift);
    wait_event_after_click();
    EXPECT_FALSE(kivet::state().running);
    headless::ctrl_key('f', shift);
    EXPECT_EQ(wait_event().kind, 3);
    EXPECT_FALSE(kivet::state().running);
    bool logging = kivet::state().KIVET_logging;
    headless::ctrl_key('l', shift);
    wait_event_after_click();
    EXPECT_EQ(kivet::state().KIVET_logging, !logging);
    EXPECT_EQ(headless::menu_checked(kivet::CMD_LOGGING), !logging);
  }
}

TEST_F(InputTest, CharactersAreIgnoredWhileCtrlIsHeld) {
  headless::key_down(kivet::KEY_CONTROL);
  headless::character('x');
  headless::key_up(kivet::KEY_CONTROL);
  headless::character('y');
  WaitResult r = wait_event();
  EXPECT_EQ(r.kind, 2);
  EXPECT_EQ(r.key, 'y');
}

TEST_F(InputTest, LettersWithoutCtrlAreKeyboardEvents) {
  headless::key_down('Q', 'q');
  WaitResult r = wait_event();
  EXPECT_EQ(r.kind, 2);
  EXPECT_EQ(r.key, 113);
  headless::key_down('A', 'a');
  wait_event();
  EXPECT_FALSE(kivet::state().running);
}

TEST_F(InputTest, CharactersAboveOneTwentySevenComeBackNegative) {
  headless::character(0xE9);
  EXPECT_EQ(wait_event().key, -23);
}

TEST_F(InputTest, KeysTypedIntoTheTextWindowReachTheEventStream) {
  headless::key_down('X', 'x', WindowId::text);
  WaitResult r = wait_event();
  EXPECT_EQ(r.kind, 2);
  EXPECT_EQ(r.key, 'x');
  headless::key_down(kivet::KEY_CONTROL, 0, WindowId::text);
  headless::key_down('A', 1, WindowId::text);
  headless::click(5, 5);
  wait_event();  // the keys were forwarded behind the click
  headless::click(5, 5);
  EXPECT_EQ(wait_event().kind, 1);
  EXPECT_TRUE(kivet::state().running);
}

TEST_F(InputTest, MenuIsBuiltWithItsEntriesInOrder) {
  const kivet::Menu& menu = headless::menu();
  EXPECT_EQ(menu.title, "&Run");
  std::vector<std::string> texts;
  for (const auto& e : menu.entries) texts.push_back(e.separator ? "-" : e.text);
  ASSERT_EQ(texts.size(), 15u);
  EXPECT_EQ(texts[0], "&Animate\tCtrl+A");
  EXPECT_EQ(texts[1], "&Halt animation\tCtrl+H");
  EXPECT_EQ(texts[2], "Advance one &frame\tCtrl+F");
  EXPECT_EQ(texts[3], "-");
  EXPECT_EQ(texts[4], "&Logging\tCtrl+L");
  EXPECT_EQ(texts[6], "&Record Script\tCtrl+R");
  EXPECT_EQ(texts[7], "&Playback Script\tCtrl+P");
  EXPECT_EQ(texts[8], "Play &One Script\tCtrl+O");
  EXPECT_EQ(texts[10], "&Quit\tCtrl+Q");
  EXPECT_EQ(texts[12].rfind("MAC: ", 0), 0u);
  EXPECT_EQ(texts[13].rfind("WINDOWS: ", 0), 0u);
  EXPECT_EQ(texts[14].rfind("UPDATES: ", 0), 0u);
  for (int i = 12; i < 15; ++i) EXPECT_TRUE(menu.entries[i].grayed);
  EXPECT_TRUE(headless::menu_checked(kivet::CMD_LOGGING));
  EXPECT_TRUE(kivet::state().KIVET_logging);
}

TEST_F(InputTest, CheckMarkFollowsTheLoggingFlag) {
  EXPECT_EQ(KIVET_set_logging(0), 1);
  EXPECT_FALSE(headless::menu_checked(kivet::CMD_LOGGING));
  headless::command(kivet::CMD_LOGGING);
  headless::click(1, 1);
  wait_event();
  EXPECT_TRUE(kivet::state().KIVET_logging);
  EXPECT_TRUE(headless::menu_checked(kivet::CMD_LOGGING));
}

TEST_F(InputTest, UnknownCommandsAndKeysChangeNothing) {
  headless::command(0);
  headless::command(9);
  headless::command(42);
  headless::key_down(kivet::KEY_CONTROL);
  headless::key_down('Z', 26);
  headless::key_up(kivet::KEY_CONTROL);
  headless::click(3, 3);
  EXPECT_EQ(wait_event().kind, 1);
  EXPECT_FALSE(kivet::state().running);
  EXPECT_FALSE(kivet::state().quit_requested);
}

TEST_F(InputTest, CtrlFollowsTheKeyboardWhereverItWasPressedOrLetGo) {
  // Let go while another window had the keyboard: a plain q is a letter.
  headless::key_down(kivet::KEY_CONTROL);
  headless::release_ctrl_elsewhere();
  headless::key_down('Q', 'q');
  WaitResult r = wait_event();
  EXPECT_EQ(r.kind, 2);
  EXPECT_EQ(r.key, 'q');
  EXPECT_FALSE(kivet::state().quit_requested);
  // Pressed elsewhere and held: the letter's own message says so.
  headless::command(kivet::CMD_ANIMATE);
  headless::post({WindowId::graphics, kivet::MessageKind::key_down, 'H', 8, kivet::CONTROL_HELD});
  wait_event_after_click();
  EXPECT_FALSE(kivet::state().running);
}
