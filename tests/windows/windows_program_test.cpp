// The Windows build's programs under Wine, driven like a user: the
// simulation's windows and animation, its picture against a headless run
// of the same script, keys, clicks, the menu, the dialog, recording and
// playback, exit statuses, and the examples against their Linux results.
#include <gtest/gtest.h>

#include <string>

#include "windows/wine_fixture.h"

namespace xtest {
namespace {

constexpr int CENTRE_X = 300, CENTRE_Y = 257;

// A script of the fixed-seed simulation: runs of ticks, a click and a key.
const char* const SCENE_SCRIPT =
    "KIVET_PERIODIC(40);\nKIVET_MOUSE(10, 20);\nKIVET_PERIODIC(25);\nKIVET_KBD(120);\n"
    "KIVET_PERIODIC(10);\n";

class WindowsProgramTest : public WineTest {};

TEST_F(WindowsProgramTest, AirfieldAnimatesHaltsAndQuitsFromTheMenu) {
  start("airfield");
  Image first = client();
  ASSERT_FALSE(wait_for_change(first, 3000).empty()) << "the simulation does not animate";
  key("ctrl+h");
  Image halted = wait_still(1000, 5000);
  EXPECT_FALSE(halted.empty()) << "Ctrl+H did not halt the simulation";
  // Alt+R opens the Run menu; its mnemonic Q chooses Quit.
  key("alt+r");
  key("q");
  EXPECT_EQ(program_.wait_exit(10000), 0);
}

TEST_F(WindowsProgramTest, PlayedScriptShowsTheHeadlessSnapshot) {
  ASSERT_TRUE(write_file(dir_.file("KIVET.SCR"), SCENE_SCRIPT));
  HeadlessRun headless = run_headless("kivet_scene", dir_.path());
  ASSERT_EQ(headless.status, 0) << headless.output;
  ASSERT_FALSE(headless.snapshot.empty());

  start("kivet_scene");
  ASSERT_EQ(line("ready"), "ready");
  key("ctrl+p");
  EXPECT_EQ(line("periodic 75", 20000), "periodic 75");
  Image shown = wait_still(500, 5000);
  EXPECT_EQ(count_differences(shown, shown_part(headless.snapshot)), 0)
      << "the window differs from the headless snapshot, text included";
  key("ctrl+q");
  EXPECT_EQ(line("quit"), "quit");
  EXPECT_EQ(program_.wait_exit(10000), 0);
}

TEST_F(WindowsProgramTest, ClicksKeysDialogAndExitStatuses) {
  start("kivet_scene");
  ASSERT_EQ(line("ready"), "ready");
  click(CENTRE_X, CENTRE_Y);
  EXPECT_EQ(line("mouse"), "mouse 0 0");
  click(CENTRE_X + 10, CENTRE_Y - 20);
  EXPECT_EQ(line("mouse"), "mouse 10 20");
  key("x");
  EXPECT_EQ(line("keyboard"), "keyboard 120");
  // The dialog: Escape leaves it open, Enter gives the typed line.
  key("g");
  XConnection x(wine_display());
  Window dialog = x.find_window("KIVET_gets");
  ASSERT_NE(dialog, 0u);
  xdotool({"windowfocus", "--sync", std::to_string(dialog)});
  xdotool({"key", "Escape"});
  xdotool({"type", "--delay", "50", "Hello you"});
  xdotool({"key", "Return"});
  EXPECT_EQ(line("answer"), "answer 1 Hello you");
  EXPECT_TRUE(x.wait_gone("KIVET_gets"));
  // kivet_main's value is the exit status.
  key("e");
  EXPECT_EQ(program_.wait_exit(10000), 3);

  // A second Display is refused with the dialog, then status -1.
  start("kivet_scene");
  ASSERT_EQ(line("ready"), "ready");
  key("d");
  dialog = x.find_window("KIVET_gets");
  ASSERT_NE(dialog, 0u);
  xdotool({"windowfocus", "--sync", std::to_string(dialog)});
  xdotool({"key", "Return"});
  EXPECT_EQ(program_.wait_exit(10000), 255);
}

TEST_F(WindowsProgramTest, RecordingPlaysBackToTheSamePicture) {
  start("kivet_scene");
  ASSERT_EQ(line("ready"), "ready");
  key("ctrl+r");
  key("ctrl+a");
  ASSERT_EQ(line("periodic 15"), "periodic 15");
  click(CENTRE_X - 50, CENTRE_Y + 40);
  ASSERT_EQ(line("mouse"), "mouse -50 -40");
  ASSERT_EQ(line("periodic 25"), "periodic 25");
  key("ctrl+h");
  key("ctrl+r");
  Image recorded = wait_still(500, 5000);
  key("ctrl+q");
  ASSERT_EQ(program_.wait_exit(10000), 0);
  std::string script = read_file(dir_.file("KIVET.SCR"));
  EXPECT_NE(script.find("KIVET_MOUSE(-50, -40);\n"), std::string::npos) << script;
  EXPECT_EQ(script.find('\r'), std::string::npos) << "lines end in \\n alone";

  start("kivet_scene");
  ASSERT_EQ(line("ready"), "ready");
  key("ctrl+p");
  ASSERT_NE(line("mouse"), "");
  Image played = wait_still(500, 5000);
  EXPECT_EQ(count_differences(played, recorded), 0);
  key("ctrl+q");
  EXPECT_EQ(program_.wait_exit(10000), 0);
}

}  // namespace
}  // namespace xtest
