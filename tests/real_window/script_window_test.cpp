// Script recording and playback in the running simulation, driven through
// the real window: what Ctrl+R writes to KIVET.SCR for real clicks, keys and
// ticks, and how Ctrl+P and Ctrl+O feed a script back into a halted
// simulation, with the end of the script reported in the text window and
// the Record and Playback check marks of the "Run" menu; and that a
// recording keeps every tick when a signal or a lost X server ends it.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "real_window/window_fixture.h"

namespace xtest {
namespace {

const char* const SCRIPT = "KIVET.SCR";
const char* const END_MESSAGE = "EOF encountered in script file KIVET.SCR";

std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The rows of an image from `first` to `last`.
Image rows(const Image& image, int first, int last) {
  Image part;
  part.width = image.width;
  part.height = last - first + 1;
  part.pixels.assign(image.pixels.begin() + static_cast<size_t>(first) * image.width,
                     image.pixels.begin() + static_cast<size_t>(last + 1) * image.width);
  return part;
}

// The lowest text line of the text window: the band of its newest message.
Image newest_line(const Image& text_window) {
  std::vector<std::pair<int, int>> bands = ink_bands(text_window);
  if (bands.empty()) return Image();
  return rows(text_window, bands.back().first, bands.back().second);
}

class ScriptWindowTest : public WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    ASSERT_FALSE(dir_.path().empty());
  }

  void TearDown() override {
    if (program_.running()) quit_and_expect_clean_exit();
  }

  void start_airfield() {
    start(AIRFIELD_PATH, dir_.path());
    ASSERT_FALSE(HasFatalFailure());
    // Running: the picture moves.
    Picture first = picture();
    ASSERT_FALSE(wait_for_change(first, 5000).empty()) << "the simulation does not run";
  }

  // Runs until traffic has built up, then halts; returns the still picture.
  Picture halt_after(int ms) {
    pause_ms(ms);
    key("ctrl+h");
    return wait_still(1000, 5000);
  }

  // The text line that the library's own text window shows for `message`,
  // drawn by the pattern program under the same server before the test's
  // program starts.
  Image reference_line(const std::string& message) {
    TempDir dir;
    write_file(dir.file("messages.txt"), message + "\n");
    ChildProcess reference;
    if (!reference.start({KIVET_PATTERN_PATH}, xvfb_.display(), dir.path())) return Image();
    if (reference.wait_for_line("ready", 10000) != "ready") return Image();
    Window text = x_->find_window(TEXT_TITLE, 5000);
    Geometry place = x_->geometry(text);
    Image line;
    for (int tries = 0; tries < 50 && line.empty(); ++tries) {
      pause_ms(100);
      line = newest_line(text_window_below_graphics(*x_, place));
    }
    x_->send_delete_window(x_->find_window(GRAPHICS_TITLE, 1000));
    EXPECT_EQ(reference.wait_exit(10000), 0);
    EXPECT_TRUE(x_->wait_gone(GRAPHICS_TITLE));
    return line;
  }

  // Opens the "Run" menu and reads the check boxes of Record Script and
  // Playback Script; closes the menu again.
  void read_check_marks(bool* record, bool* playback) {
    point_at(15, 12);
    xdotool({"click", "1"});
    // Rows of the entries' check boxes in the open drop-down.
    const int record_row = 139, playback_row = 164;
    auto dark_pixels = [&](int top, int bottom) {
      Image box = x_->capture(9, top, 11, bottom - top + 1);
      int dark = 0;
      for (uint32_t p : box.pixels) dark += ((p >> 8) & 0xFF) < 0xA0;
      return dark;
    };
    // Wait for the drop-down: the box's frame appears left of the entry.
    for (int tries = 0; tries < 60 && dark_pixels(record_row - 8, record_row - 8) < 5; ++tries) {
      pause_ms(50);
    }
    ASSERT_GE(dark_pixels(record_row - 8, record_row - 8), 5) << "the menu did not open";
    *record = dark_pixels(record_row - 4, record_row + 4) > 10;
    *playback = dark_pixels(playback_row - 4, playback_row + 4) > 10;
    xdotool({"key", "Escape"});
    for (int tries = 0; tries < 60 && dark_pixels(record_row - 8, record_row - 8) >= 5; ++tries) {
      pause_ms(50);
    }
    rest_pointer();
  }

  // Starts the simulation with a recording of ticks only: nothing reaches
  // the file until the recording ends. Returns when the recording began.
  std::chrono::steady_clock::time_point start_recording_ticks() {
    remove(dir_.file(SCRIPT).c_str());
    start_airfield();
    key("ctrl+r");
    return std::chrono::steady_clock::now();
  }

  // The file holds one periodic line that counts every tick of the
  // recording's `ms` milliseconds, give or take the ticks under way when it
  // started and ended.
  void expect_every_tick_recorded(long ms) {
    std::string content = read_file(dir_.file(SCRIPT));
    int ticks = -1;
    char end = 0;
    ASSERT_EQ(sscanf(content.c_str(), "KIVET_PERIODIC(%d);%c", &ticks, &end), 2) << content;
    EXPECT_EQ(content, "KIVET_PERIODIC(" + std::to_string(ticks) + ");\n");
    EXPECT_GE(ticks, ms / 100 - 3) << "ticks lost in " << ms << " ms";
    EXPECT_LE(ticks, ms / 100 + 3) << ms << " ms";
  }

  static long ms_since(std::chrono::steady_clock::time_point start) {
    return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                 std::chrono::steady_clock::now() - start)
                                 .count());
  }

  TempDir dir_;
};

TEST_F(ScriptWindowTest, SignalsQuitAsCtrlQDoesWithEveryTickRecorded) {
  for (int number : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(strsignal(number));
    auto started = start_recording_ticks();
    ASSERT_FALSE(HasFatalFailure());
    pause_ms(1500);
    long ms = ms_since(started);
    kill(program_.pid(), number);
    EXPECT_EQ(program_.wait_exit(15000), 0);
    ASSERT_TRUE(x_->wait_gone(GRAPHICS_TITLE));
    expect_every_tick_recorded(ms);
  }
}

TEST_F(ScriptWindowTest, LosingTheXServerFinishesTheRecording) {
  auto started = start_recording_ticks();
  ASSERT_FALSE(HasFatalFailure());
  pause_ms(1500);
  x_.reset();  // the test's own connection must not outlive the server
  long ms = ms_since(started);
  xvfb_.stop();
  EXPECT_EQ(program_.wait_exit(15000), 1);
  expect_every_tick_recorded(ms);
}

TEST_F(ScriptWindowTest, RecordingWritesClicksKeysAndRunsOfTicks) {
  start_airfield();
  auto started = std::chrono::steady_clock::now();
  key("ctrl+r");
  pause_ms(500);
  // Client pixel (123, 400) is display point (-177, -143); client pixel
  // (400, 157) is display point (100, 100).
  point_at(123, MENU_BAR_HEIGHT + 400);
  xdotool({"click", "1"});
  pause_ms(300);
  point_at(400, MENU_BAR_HEIGHT + 157);
  xdotool({"click", "1"});
  key("k");
  // A character above 127 is written as a negative number.
  key("eacute");
  pause_ms(1000);
  key("ctrl+r");
  auto stopped = std::chrono::steady_clock::now();

  // Each line reaches the file as it is written; the last one when the
  // recording stops.
  std::string content;
  for (int tries = 0; tries < 100; ++tries) {
    content = read_file(dir_.file(SCRIPT));
    if (content.find("KIVET_KBD") != std::string::npos &&
        content.rfind("KIVET_PERIODIC") > content.find("KIVET_KBD")) {
      break;
    }
    pause_ms(50);
  }
  pause_ms(500);
  EXPECT_EQ(read_file(dir_.file(SCRIPT)), content) << "lines written after the recording stopped";

  std::vector<std::string> events;
  int ticks = 0;
  bool last_was_periodic = false;
  for (const std::string& line : split_lines(content)) {
    int a = 0, b = 0;
    char form[64];
    if (sscanf(line.c_str(), "KIVET_PERIODIC(%d);", &a) == 1) {
      snprintf(form, sizeof form, "KIVET_PERIODIC(%d);", a);
      EXPECT_GE(a, 1) << line;
      EXPECT_FALSE(last_was_periodic) << "two periodic lines in a row";
      ticks += a;
      last_was_periodic = true;
    } else if (sscanf(line.c_str(), "KIVET_MOUSE(%d, %d);", &a, &b) == 2) {
      snprintf(form, sizeof form, "KIVET_MOUSE(%d, %d);", a, b);
      events.push_back(form);
      last_was_periodic = false;
    } else if (sscanf(line.c_str(), "KIVET_KBD(%d);", &a) == 1) {
      snprintf(form, sizeof form, "KIVET_KBD(%d);", a);
      events.push_back(form);
      last_was_periodic = false;
    } else {
      snprintf(form, sizeof form, "(not a script line)");
    }
    EXPECT_EQ(line, form);
  }
  EXPECT_EQ(events, (std::vector<std::string>{"KIVET_MOUSE(-177, -143);", "KIVET_MOUSE(100, 100);",
                                              "KIVET_KBD(107);", "KIVET_KBD(-23);"}))
      << content;
  EXPECT_TRUE(last_was_periodic) << "the ticks before the stop are written at the stop";
  // At most one tick per 100 ms went by while recording, and some did.
  auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(stopped - started).count();
  EXPECT_GE(ticks, 3);
  EXPECT_LE(ticks, elapsed / 100 + 2) << content;
}

TEST_F(ScriptWindowTest, PlaybackAdvancesAHaltedSimulationUntilTheScriptEnds) {
  Image end_line = reference_line(END_MESSAGE);
  ASSERT_FALSE(end_line.empty()) << "no reference for the end-of-script message";
  ASSERT_TRUE(write_file(dir_.file(SCRIPT), "KIVET_PERIODIC(50);\n"));
  start_airfield();
  ASSERT_FALSE(HasFatalFailure());
  Picture halted = halt_after(2000);
  ASSERT_FALSE(halted.empty()) << "Ctrl+H did not stop the picture";
  EXPECT_EQ(text_lines_when_still(), 0) << "messages before the playback";

  // Fifty ticks are played as fast as the program takes them, and then the
  // picture stands still again: the script is over.
  key("ctrl+p");
  EXPECT_FALSE(wait_for_change(halted, 5000).empty()) << "the playback did not advance the picture";
  Picture played = wait_still(1000, 10000);
  ASSERT_FALSE(played.empty()) << "the picture goes on changing after the script's end";
  EXPECT_EQ(text_lines_when_still(), 1);
  EXPECT_EQ(newest_line(text_window()), end_line)
      << "the text window's line is not the end message";

  // The file is closed at its end: playing again plays the fifty ticks from
  // the top and reports the end once more.
  key("ctrl+p");
  EXPECT_FALSE(wait_for_change(played, 5000).empty()) << "playing again did not replay the script";
  EXPECT_FALSE(wait_still(1000, 10000).empty());
  EXPECT_EQ(text_lines_when_still(), 2);
  EXPECT_EQ(newest_line(text_window()), end_line);
}

TEST_F(ScriptWindowTest, PlayOneTakesOneTickPerRequest) {
  ASSERT_TRUE(write_file(dir_.file(SCRIPT), "KIVET_PERIODIC(3);\n"));
  start_airfield();
  ASSERT_FALSE(HasFatalFailure());
  Picture halted = halt_after(1500);
  ASSERT_FALSE(halted.empty());
  // Three requests take the line's three ticks; only the fourth finds the
  // end of the script. After each the picture stands still.
  for (int request = 1; request <= 4; ++request) {
    key("ctrl+o");
    EXPECT_FALSE(wait_still(600, 5000).empty()) << "request " << request;
    EXPECT_EQ(text_lines_when_still(), request == 4 ? 1 : 0) << "request " << request;
  }
}

TEST_F(ScriptWindowTest, CheckMarksFollowRecordingAndPlayback) {
  start_airfield();
  ASSERT_FALSE(HasFatalFailure());
  bool record = true, playback = true;
  read_check_marks(&record, &playback);
  ASSERT_FALSE(HasFatalFailure());
  EXPECT_FALSE(record);
  EXPECT_FALSE(playback);

  key("ctrl+r");
  read_check_marks(&record, &playback);
  EXPECT_TRUE(record);
  EXPECT_FALSE(playback);
  key("ctrl+r");
  read_check_marks(&record, &playback);
  EXPECT_FALSE(record);

  // A script of endless ticks keeps the picture moving while Playback is
  // checked; switching it off stops both (the animation was halted by it).
  ASSERT_TRUE(write_file(dir_.file(SCRIPT), "KIVET_PERIODIC(2000000000);\n"));
  key("ctrl+p");
  read_check_marks(&record, &playback);
  EXPECT_TRUE(playback);
  EXPECT_FALSE(wait_for_change(picture(), 3000).empty()) << "the playback does not run";
  key("ctrl+p");
  EXPECT_FALSE(wait_still(1000, 5000).empty()) << "the playback goes on after Ctrl+P";
  read_check_marks(&record, &playback);
  EXPECT_FALSE(playback);
  EXPECT_EQ(text_lines_when_still(), 0);
}

}  // namespace
}  // namespace xtest
