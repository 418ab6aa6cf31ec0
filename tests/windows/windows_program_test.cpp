// The Windows build's programs under Wine, driven like a user: the
// simulation's windows and animation, its picture against a headless run
// of the same script (also on a 200% screen), keys, clicks, the menu, the
// dialog, recording and playback, Ctrl+C (Wine turns a SIGINT into the
// console's Ctrl+C event), and exit statuses.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>
#include <thread>

#include "windows/wine_fixture.h"

namespace xtest {
namespace {

constexpr int CENTRE_X = 300, CENTRE_Y = 257;

// A script of the fixed-seed simulation: runs of ticks, a click and a key.
const char* const SCENE_SCRIPT =
    "KIVET_PERIODIC(40);\nKIVET_MOUSE(10, 20);\nKIVET_PERIODIC(25);\nKIVET_KBD(120);\n"
    "KIVET_PERIODIC(10);\n";

class WindowsProgramTest : public WineTest {
 protected:
  // Runs the fixed-seed simulation headless with the scene script; returns
  // its snapshot.
  Image headless_scene_snapshot() {
    EXPECT_TRUE(write_file(dir_.file("KIVET.SCR"), SCENE_SCRIPT));
    HeadlessRun headless = run_headless(windows_program("tests/kivet_scene"), dir_.path());
    EXPECT_EQ(headless.status, 0) << headless.output;
    return headless.snapshot;
  }
};

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
  Image snapshot = headless_scene_snapshot();
  ASSERT_FALSE(snapshot.empty());
  start("tests/kivet_scene");
  ASSERT_EQ(line("ready"), "ready");
  key("ctrl+p");
  EXPECT_EQ(line("periodic 75", 20000), "periodic 75");
  Image shown = wait_still(500, 5000);
  EXPECT_EQ(count_differences(shown, shown_part(snapshot)), 0)
      << "the window differs from the headless snapshot, text included";
  key("ctrl+q");
  EXPECT_EQ(line("quit"), "quit");
  EXPECT_EQ(program_.wait_exit(10000), 0);
}

// At 200% every pixel is a sharp 2 x 2 block and clicks map back to the
// library's pixels; Ctrl+C in the console quits as Ctrl+Q does.
TEST_F(WindowsProgramTest, ScaledScreenShowsSharpBlocks) {
  Image snapshot = headless_scene_snapshot();
  ASSERT_FALSE(snapshot.empty());
  XvfbServer large;
  ASSERT_TRUE(large.start(1600, 1200));
  struct Restore {
    ~Restore() { wine_prefix()->switch_screen(wine_display(), 96); }
  } restore;
  ASSERT_TRUE(wine_prefix()->switch_screen(large.display(), 192));
  ASSERT_TRUE(program_.start(WinePrefix::command(windows_program("tests/kivet_scene")),
                             large.display(), dir_.path(), wine_prefix()->environment()));
  ASSERT_EQ(line("ready", 15000), "ready");
  XConnection x(large.display());
  Window graphics = x.find_window("KIVET Graphics");
  ASSERT_NE(graphics, 0u);
  xtest::run_command({"xdotool", "windowfocus", "--sync", std::to_string(graphics)},
                     large.display());
  xtest::run_command({"xdotool", "key", "ctrl+p"}, large.display());
  ASSERT_EQ(line("periodic 75", 20000), "periodic 75");
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  Image expected = scale_up(shown_part(snapshot), 2);
  Place place = find_image(screenshot(large.display()), expected);
  EXPECT_TRUE(place.found) << "the picture is not on the screen in sharp 2 x 2 blocks";
  // Screen pixels (2x, 2y) and (2x + 1, 2y + 1) are library pixel (x, y).
  xtest::run_command({"xdotool", "mousemove", std::to_string(place.x + 2 * (CENTRE_X + 10) + 1),
                      std::to_string(place.y + 2 * (CENTRE_Y - 20) + 1), "click", "1"},
                     large.display());
  EXPECT_EQ(line("mouse"), "mouse 10 20");
  kill(program_.pid(), SIGINT);
  EXPECT_EQ(line("quit"), "quit");
  EXPECT_EQ(program_.wait_exit(10000), 0);
}

TEST_F(WindowsProgramTest, ClicksKeysDialogAndExitStatuses) {
  start("tests/kivet_scene");
  ASSERT_EQ(line("ready"), "ready");
  click(CENTRE_X, CENTRE_Y);
  EXPECT_EQ(line("mouse"), "mouse 0 0");
  click(CENTRE_X + 10, CENTRE_Y - 20);
  EXPECT_EQ(line("mouse"), "mouse 10 20");
  key("x");
  EXPECT_EQ(line("keyboard"), "keyboard 120");
  // Running, the periodic events come every 100 ms.
  key("ctrl+a");
  ASSERT_EQ(line("periodic 1"), "periodic 1");
  std::this_thread::sleep_for(std::chrono::seconds(3));
  key("ctrl+h");
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  int ticks = 1;
  while (line("periodic", 200) != "") ++ticks;
  EXPECT_NEAR(ticks, 31, 5);
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
  start("tests/kivet_scene");
  ASSERT_EQ(line("ready"), "ready");
  key("d");
  dialog = x.find_window("KIVET_gets");
  ASSERT_NE(dialog, 0u);
  xdotool({"windowfocus", "--sync", std::to_string(dialog)});
  xdotool({"key", "Return"});
  EXPECT_EQ(program_.wait_exit(10000), 255);
}

// The dialog's template pads the prompt to its fixed length; the padding
// shows nothing.
TEST_F(WindowsProgramTest, DialogPromptShowsAsWithoutItsPadding) {
  HeadlessRun check = run_headless(windows_program("tests/dialog_prompt"), dir_.path());
  EXPECT_EQ(check.status, 0);
  EXPECT_EQ(check.output, "same\nsame\nsame\n");
}

TEST_F(WindowsProgramTest, RecordingPlaysBackToTheSamePicture) {
  start("tests/kivet_scene");
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

  start("tests/kivet_scene");
  ASSERT_EQ(line("ready"), "ready");
  key("ctrl+p");
  ASSERT_NE(line("mouse"), "");
  Image played = wait_still(500, 5000);
  EXPECT_EQ(count_differences(played, recorded), 0);
  key("ctrl+q");
  EXPECT_EQ(program_.wait_exit(10000), 0);
}

// Key and mouse events in a program that switched them on: an arrow held
// gives one press with key_down true, its release key_down false; moves, a
// drag and the button's release come with display positions.
TEST_F(WindowsProgramTest, HeldKeysMovesAndADrag) {
  start("tests/game");
  ASSERT_EQ(line("ready"), "ready");
  xdotool({"windowfocus", "--sync", std::to_string(graphics_)});
  xdotool({"keydown", "Left"});
  EXPECT_EQ(line("pressed 37"), "pressed 37 1");
  std::this_thread::sleep_for(std::chrono::milliseconds(900));  // past the repeat delay
  xdotool({"keyup", "Left"});
  EXPECT_EQ(line("released 37"), "released 37 0");
  auto to = [this](int x, int y) {
    xdotool({"mousemove", std::to_string(WINE_CLIENT_LEFT + CENTRE_X + x),
             std::to_string(WINE_CLIENT_TOP + CENTRE_Y - y)});
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  };
  to(-100, 50);
  EXPECT_EQ(line("moved"), "moved -100 50");
  xdotool({"mousedown", "1"});
  EXPECT_EQ(line("mouse"), "mouse -100 50");
  for (int step = 1; step <= 5; ++step) to(-100 + 30 * step, 50 - 16 * step);
  xdotool({"mouseup", "1"});
  EXPECT_EQ(line("lifted"), "lifted 50 -30");
  key("ctrl+q");
  EXPECT_EQ(program_.wait_exit(10000), 3);
  int presses = 0;
  for (const std::string& l : program_.lines()) presses += l.rfind("pressed 37 1", 0) == 0;
  EXPECT_EQ(presses, 1) << "a held arrow is pressed once";
}

// A first Ctrl+C that a program not asking for events cannot take: one
// line on standard error, none on standard output, and a second Ctrl+C
// ends the program (under Wine 8 with status 0, where Windows gives
// STATUS_CONTROL_C_EXIT).
TEST_F(WindowsProgramTest, CtrlCInAProgramThatDoesNotAskForEvents) {
  ASSERT_TRUE(program_.start({"sh", "-c", "exec wine \"$0\" busy 2>errors.txt",
                              windows_program("tests/game")},
                             wine_display(), dir_.path(), wine_prefix()->environment()));
  ASSERT_EQ(line("ready", 20000), "ready");
  kill(program_.pid(), SIGINT);
  const std::string note =
      "kivet: the program is not asking for events, so it cannot take Ctrl+C as its quit; a "
      "second Ctrl+C stops it\n";
  for (int tries = 0; tries < 40 && read_file(dir_.file("errors.txt")) != note; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  EXPECT_EQ(read_file(dir_.file("errors.txt")), note);
  EXPECT_TRUE(program_.running()) << "the first Ctrl+C does not end it";
  kill(program_.pid(), SIGINT);
  EXPECT_NE(program_.wait_exit(10000), -1) << "the second Ctrl+C did not end it";
  EXPECT_EQ(read_file(dir_.file("errors.txt")), note) << "said once";
  for (const std::string& l : program_.lines()) {
    EXPECT_EQ(l.find("kivet:"), std::string::npos) << "on standard output: " << l;
  }
}

}  // namespace
}  // namespace xtest
