// Key and mouse events in real windows under Xvfb, with xdotool: an arrow
// held and let go gives one press and one release, with key_down true in
// between; a held letter types its repeats but is pressed once; a key held
// as the window loses the keyboard is released; moves, a
// drag and the button's release come with their positions; the exit status
// passes through. The run's recording, played back headless, draws the
// same picture. The same game under a headless sway takes the same input as
// a Wayland client.
#include <gtest/gtest.h>
#include <signal.h>

#include <string>
#include <vector>

#include "real_window/sway_session.h"
#include "real_window/window_fixture.h"

namespace xtest {
namespace {

class GameWindowTest : public WindowTest {
 protected:
  std::vector<std::string> lines_from(size_t first) {
    const std::vector<std::string>& all = program_.lines();
    return std::vector<std::string>(all.begin() + static_cast<long>(first), all.end());
  }
  static int count(const std::vector<std::string>& lines, const std::string& line) {
    int n = 0;
    for (const std::string& l : lines) n += l == line;
    return n;
  }
};

TEST_F(GameWindowTest, HeldKeysDragsAndTheirRecordingPlayedHeadless) {
  TempDir dir;
  start(GAME_PATH, dir.path());
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_EQ(program_.wait_for_line("ready", 10000), "ready");
  key("ctrl+r");  // recording from here, the picture still white
  pause_ms(300);

  xdotool({"keydown", "Left"});
  EXPECT_EQ(program_.wait_for_line("pressed 37", 5000), "pressed 37 1");
  pause_ms(900);  // longer than the keyboard's repeat delay
  xdotool({"keydown", "a"});
  pause_ms(900);
  xdotool({"keyup", "a"});
  xdotool({"keyup", "Left"});
  EXPECT_EQ(program_.wait_for_line("released 37", 5000), "released 37 0");
  // A key held while the window loses the keyboard (the pointer goes to the
  // root window, which takes it without a window manager) is let up.
  xdotool({"keydown", "Right"});
  EXPECT_EQ(program_.wait_for_line("pressed 39", 5000), "pressed 39 1");
  point_at(900, 700);
  EXPECT_EQ(program_.wait_for_line("released 39", 5000), "released 39 0");
  xdotool({"keyup", "Right"});
  rest_pointer();

  point_at(screen_x(-100), screen_y(50));
  xdotool({"mousedown", "1"});
  for (int step = 1; step <= 10; ++step) point_at(screen_x(-100 + 15 * step), screen_y(50 - 8 * step));
  xdotool({"mouseup", "1"});
  EXPECT_EQ(program_.wait_for_line("lifted", 5000), "lifted 50 -30");
  key("ctrl+r");
  pause_ms(300);
  Picture live = picture();
  key("ctrl+q");
  EXPECT_EQ(program_.wait_exit(10000), 3);

  std::vector<std::string> lines = lines_from(0);
  EXPECT_EQ(count(lines, "pressed 37 1"), 1) << "a held arrow is pressed once";
  EXPECT_EQ(count(lines, "pressed 65 1"), 1) << "a held letter is pressed once";
  EXPECT_EQ(count(lines, "released 65 0"), 1);
  EXPECT_GE(count(lines, "keyboard 97"), 1);
  EXPECT_EQ(count(lines, "mouse -100 50"), 1);
  EXPECT_GE(count(lines, "moved 50 -30"), 1);
  EXPECT_EQ(lines.back(), "quit");
  EXPECT_EQ(live.at(-100, 53), rgb::RED) << "the click's dot";
  EXPECT_EQ(live.at(-25, 10), 0x0000FFu) << "the drag's line";

  std::string script = read_file(dir.file("KIVET.SCR"));
  EXPECT_NE(script.find("KIVET_DOWN(37);\n"), std::string::npos) << script;
  EXPECT_NE(script.find("KIVET_LIFT(50, -30);\n"), std::string::npos) << script;
  // The recording played where no window is: the same picture.
  std::string command = "cd '" + dir.path() +
                        "' && env -u DISPLAY -u WAYLAND_DISPLAY KIVET_BACKEND=headless "
                        "KIVET_SNAPSHOT=played.png '" GAME_PATH "' > played.txt";
  EXPECT_EQ(system(command.c_str()) >> 8, 3);
  Image played = read_png(dir.file("played.png"));
  ASSERT_FALSE(played.empty());
  EXPECT_EQ(count_differences(crop(played, 0, 0, CLIENT_WIDTH, CLIENT_HEIGHT), live.image()), 0);
}

// A Wayland window under sway, keys typed through the virtual-keyboard
// protocol (wtype) and the pointer moved by the test's virtual pointer: an
// arrow held with a letter typed while it is down, a key held as the
// pointer takes the keyboard to the text window (sway's focus follows the
// pointer), a drag, the picture it drew, and Ctrl+Q's exit status.
TEST(GameWaylandTest, KeysAndADragUnderSway) {
  if (!SwaySession::available()) GTEST_SKIP() << "sway, wtype or grim is not installed";
  SwaySession sway;
  ASSERT_TRUE(sway.start()) << "sway did not start";
  TempDir dir;
  ChildProcess program;
  ASSERT_TRUE(program.start({GAME_PATH}, "", dir.path(), sway.client_environment()));
  ASSERT_EQ(program.wait_for_line("ready", 15000), "ready");
  // GTK's menu bar is 26 rows here, one more than under Xvfb; the window
  // is one row taller, so that the client area keeps its 515 rows.
  const int menu_bar = MENU_BAR_HEIGHT + 1;
  auto client_area = [&] {
    return Picture(sway.screenshot(0, menu_bar, CLIENT_WIDTH, CLIENT_HEIGHT));
  };
  auto on_screen_y = [&](int y) { return menu_bar + ORIGIN_Y - y; };
  // Shown once the client area is white where the compositor placed it.
  Picture live;
  for (int tries = 0; tries < 100; ++tries) {
    live = client_area();
    if (!live.empty() && live.at(0, 0) == rgb::WHITE && live.at(-300, 257) == rgb::WHITE) break;
    pause_ms(100);
  }
  ASSERT_FALSE(live.empty()) << "grim took no picture";
  ASSERT_EQ(live.at(-300, 257), rgb::WHITE) << "the graphics window is not at the top left";
  EXPECT_EQ(live.at(300, -257), rgb::WHITE) << "the client area's bottom row is hidden";
  ASSERT_TRUE(sway.point_at(590, 520));  // the pointer rests in the graphics window

  // One wtype holds Left for 1.4 s and, in between, holds "a" longer than
  // the keyboard's repeat delay (sway's default: 600 ms, then 25 a second;
  // measured: 9 "keyboard 97" for a 900 ms hold). Each wtype is a keyboard
  // of its own, with its own keymap, gone when it ends: a key is held by a
  // wtype that sleeps between its press and its release.
  ChildProcess hold, hold_right;
  ASSERT_TRUE(hold.start({"wtype", "-P", "Left", "-s", "300", "-P", "a", "-s", "900", "-p", "a",
                          "-s", "200", "-p", "Left"},
                         "", "", sway.client_environment()));
  EXPECT_EQ(program.wait_for_line("pressed 37", 5000), "pressed 37 1");
  EXPECT_EQ(program.wait_for_line("released 37", 5000), "released 37 0");
  EXPECT_EQ(hold.wait_exit(5000), 0);

  ASSERT_TRUE(hold_right.start({"wtype", "-P", "Right", "-s", "2000", "-p", "Right"}, "", "",
                               sway.client_environment()));
  EXPECT_EQ(program.wait_for_line("pressed 39", 5000), "pressed 39 1");
  ASSERT_TRUE(sway.point_at(20, 650));  // into the text window, below the graphics window
  EXPECT_EQ(program.wait_for_line("released 39", 5000), "released 39 0");
  EXPECT_EQ(hold_right.wait_exit(5000), 0);
  ASSERT_TRUE(sway.point_at(590, 520));

  ASSERT_TRUE(sway.point_at(screen_x(-100), on_screen_y(50)));
  ASSERT_TRUE(sway.press());
  for (int step = 1; step <= 10; ++step) {
    ASSERT_TRUE(sway.point_at(screen_x(-100 + 15 * step), on_screen_y(50 - 8 * step)));
  }
  ASSERT_TRUE(sway.release());
  EXPECT_EQ(program.wait_for_line("lifted", 5000), "lifted 50 -30");
  for (int tries = 0; tries < 50; ++tries) {
    live = client_area();
    if (!live.empty() && live.at(-100, 53) == rgb::RED && live.at(-25, 10) == 0x0000FFu) break;
    pause_ms(100);
  }
  ASSERT_FALSE(live.empty());
  EXPECT_EQ(live.at(-100, 53), rgb::RED) << "the click's dot";
  EXPECT_EQ(live.at(-25, 10), 0x0000FFu) << "the drag's line";

  EXPECT_EQ(sway.wtype({"-M", "ctrl", "-k", "q", "-m", "ctrl"}), 0);
  EXPECT_EQ(program.wait_exit(10000), 3);

  const std::vector<std::string>& lines = program.lines();
  ASSERT_FALSE(lines.empty());
  std::string all;
  for (const std::string& l : lines) all += l + "\n";
  auto count = [&](const std::string& line) {
    int n = 0;
    for (const std::string& l : lines) n += l == line;
    return n;
  };
  EXPECT_EQ(count("pressed 37 1"), 1) << "a held arrow is pressed once\n" << all;
  EXPECT_EQ(count("pressed 65 1"), 1) << "a held letter is pressed once";
  EXPECT_EQ(count("released 65 0"), 1);
  EXPECT_GE(count("keyboard 97"), 2) << "a held letter types its repeats\n" << all;
  EXPECT_EQ(count("mouse -100 50"), 1);
  // The drag's ten steps, each handled by the compositor at once, reach
  // the program as fewer moves (measured: one, to the last point).
  EXPECT_GE(count("moved 50 -30"), 1) << all;
  EXPECT_EQ(lines.back(), "quit");
}

// The learner's two notes, each one line on standard error: a program that
// drew and ended without asking for an event, and a first Ctrl+C that a
// program not asking for events cannot take.
TEST_F(GameWindowTest, NotesForAProgramThatDoesNotAskForEvents) {
  TempDir dir;
  const std::string with_errors = "exec \"$0\" \"$1\" 2>errors.txt";
  EXPECT_EQ(run_command({"/bin/sh", "-c", with_errors, GAME_PATH, "no-wait"}, xvfb_.display(),
                        10000, dir.path()),
            0);
  EXPECT_EQ(read_file(dir.file("errors.txt")),
            "kivet: the program ended without waiting for events, so its windows closed at once; "
            "to keep them, end it with: while (display.get_next_event(x, y, key) != kivet::quit) "
            "{}\n");

  start("/bin/sh", dir.path(), {"-c", with_errors, GAME_PATH, "busy"});
  ASSERT_FALSE(HasFatalFailure());
  ASSERT_EQ(program_.wait_for_line("ready", 10000), "ready");
  kill(program_.pid(), SIGINT);
  const std::string note =
      "kivet: the program is not asking for events, so it cannot take Ctrl+C as its quit; a "
      "second Ctrl+C stops it\n";
  for (int tries = 0; tries < 40 && read_file(dir.file("errors.txt")) != note; ++tries) {
    pause_ms(100);
  }
  EXPECT_EQ(read_file(dir.file("errors.txt")), note);
  kill(program_.pid(), SIGINT);
  EXPECT_EQ(program_.wait_exit(10000), 128 + SIGINT);
  EXPECT_EQ(read_file(dir.file("errors.txt")), note) << "said once";
}

}  // namespace
}  // namespace xtest
