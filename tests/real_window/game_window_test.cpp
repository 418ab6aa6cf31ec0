// Key and mouse events in real windows under Xvfb, with xdotool: an arrow
// held and let go gives one press and one release, with key_down true in
// between; a held letter types its repeats but is pressed once; a key held
// as the window loses the keyboard is released; moves, a
// drag and the button's release come with their positions; the exit status
// passes through. The run's recording, played back headless, draws the
// same picture.
#include <gtest/gtest.h>
#include <signal.h>

#include <string>
#include <vector>

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
