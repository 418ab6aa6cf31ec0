// Script recording and playback through the event wait, in a fresh working
// directory per test.
#include "kivet/script.h"

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "kivet/display.h"
#include "support/test_support.h"

namespace headless = kivet::headless;

class ScriptTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    enter_scratch_directory();
    open_library();
    KIVET_set_logging(0);
  }

  static std::string file() {
    std::ifstream in("KIVET.SCR");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  static void write_file(const std::string& text) { std::ofstream("KIVET.SCR") << text; }

  // One periodic event through a single step.
  static WaitResult step() {
    KIVET_set_animation(1);
    return wait_event();
  }
  static WaitResult click(int display_x, int display_y) {
    headless::click(display_x + kivet::state().origin_x, kivet::state().origin_y - display_y);
    return wait_event();
  }
  static void toggle_recording() { kivet::script_toggle_recording(); }
  static void toggle_playback() { kivet::script_toggle_playback(); }
};

TEST_F(ScriptTest, TicksAndAClickAreRecordedAsTwoLines) {
  toggle_recording();
  EXPECT_TRUE(headless::menu_checked(kivet::CMD_RECORD));
  for (int i = 0; i < 10; ++i) EXPECT_EQ(step().kind, 3);
  click(5, 5);
  toggle_recording();
  EXPECT_FALSE(headless::menu_checked(kivet::CMD_RECORD));
  EXPECT_EQ(file(), "KIVET_PERIODIC(10);\nKIVET_MOUSE(5, 5);\n");
}

TEST_F(ScriptTest, StoppingWritesThePendingTicksAndANewRecordingEmptiesTheFile) {
  toggle_recording();
  for (int i = 0; i < 7; ++i) step();
  toggle_recording();
  EXPECT_EQ(file(), "KIVET_PERIODIC(7);\n");
  toggle_recording();
  headless::character('a');
  wait_event();
  toggle_recording();
  EXPECT_EQ(file(), "KIVET_KBD(97);\n");
}

TEST_F(ScriptTest, QuitWritesThePendingTicksAndCharactersAbove127AreNegative) {
  toggle_recording();
  headless::character(0xE9);
  wait_event();
  for (int i = 0; i < 4; ++i) step();
  headless::command(kivet::CMD_QUIT);
  EXPECT_EQ(wait_event().kind, 4);
  KIVET_close();
  EXPECT_EQ(file(), "KIVET_KBD(-23);\nKIVET_PERIODIC(4);\n");
}

TEST_F(ScriptTest, ClosingTheLibraryWhileRecordingLosesNoTick) {
  toggle_recording();
  click(-300, 250);
  for (int i = 0; i < 3; ++i) step();
  KIVET_close();
  EXPECT_EQ(file(), "KIVET_MOUSE(-300, 250);\nKIVET_PERIODIC(3);\n");
}

TEST_F(ScriptTest, RecordingSwitchedOnAndOffWithoutEventsLeavesTheFileAlone) {
  write_file("KIVET_KBD(1);\n");
  headless::ctrl_key('r');
  headless::ctrl_key('r');
  click(0, 0);
  EXPECT_EQ(file(), "KIVET_KBD(1);\n");
}

TEST_F(ScriptTest, PeriodicLineReplaysWithoutWaitingForTheTimer) {
  write_file("KIVET_PERIODIC(3);\nKIVET_MOUSE(-300, 250);\nKIVET_KBD(120);\n");
  headless::ctrl_key('p');
  EXPECT_EQ(wait_event().kind, 3);
  EXPECT_TRUE(kivet::state().playing_back);
  EXPECT_TRUE(headless::menu_checked(kivet::CMD_PLAYBACK));
  EXPECT_EQ(wait_event().kind, 3);
  EXPECT_EQ(wait_event().kind, 3);
  WaitResult r = wait_event();
  EXPECT_EQ(r.kind, 1);
  EXPECT_EQ(r.x, -300);
  EXPECT_EQ(r.y, 250);
  r = wait_event();
  EXPECT_EQ(r.kind, 2);
  EXPECT_EQ(r.key, 120);
  EXPECT_EQ(headless::ticks_delivered(), 0);
  headless::click(1, 1);
  EXPECT_EQ(wait_event().kind, 1);
  EXPECT_EQ(last_lines(1)[0], "EOF encountered in script file KIVET.SCR");
  EXPECT_FALSE(kivet::state().playing_back);
  EXPECT_FALSE(headless::menu_checked(kivet::CMD_PLAYBACK));
}

TEST_F(ScriptTest, PlayOneTakesOneEventPerRequest) {
  write_file("KIVET_PERIODIC(2);\nKIVET_KBD(65);\n");
  KIVET_set_animation(2);
  headless::ctrl_key('o');
  EXPECT_EQ(wait_event().kind, 3);
  EXPECT_FALSE(kivet::state().running) << "play one stops the animation";
  headless::click(1, 1);
  EXPECT_EQ(wait_event().kind, 1) << "no request: no script event";
  headless::command(kivet::CMD_PLAY_ONE);
  EXPECT_EQ(wait_event().kind, 3);
  headless::command(kivet::CMD_PLAY_ONE);
  EXPECT_EQ(wait_event().key, 65);
}

TEST_F(ScriptTest, EmptyLinesAreSkippedAndALineOfSpacesStopsPlayback) {
  write_file("\n\r\nKIVET_KBD(49);\n\n\n          \nKIVET_KBD(50);\n");
  toggle_playback();
  EXPECT_EQ(wait_event().key, 49);
  headless::click(1, 1);
  EXPECT_EQ(wait_event().kind, 1);
  EXPECT_FALSE(kivet::state().playing_back);
  EXPECT_EQ(last_lines(1)[0],
            "KIVET.SCR line 6: \"          \" is not an event line; ends playback");
  toggle_playback();
  EXPECT_EQ(wait_event().key, 50) << "the file stays open after the unknown line";
}

TEST_F(ScriptTest, MissingFileIsReportedAndRetried) {
  toggle_playback();
  headless::click(1, 1);
  EXPECT_EQ(wait_event().kind, 1);
  EXPECT_EQ(last_lines(1)[0],
            "Cannot open script file KIVET.SCR for reading: No such file or directory");
  EXPECT_FALSE(headless::menu_checked(kivet::CMD_PLAYBACK));
  write_file("KIVET_KBD(7);\n");
  toggle_playback();
  EXPECT_EQ(wait_event().key, 7);
}

TEST_F(ScriptTest, PlayingAgainAfterTheEndStartsFromTheTop) {
  write_file("KIVET_KBD(1);\n");
  toggle_playback();
  EXPECT_EQ(wait_event().key, 1);
  headless::click(1, 1);
  EXPECT_EQ(wait_event().kind, 1);
  EXPECT_EQ(last_lines(1)[0], "EOF encountered in script file KIVET.SCR");
  EXPECT_EQ(kivet::state().script_file, nullptr) << "the file is closed at its end";
  std::ofstream("KIVET.SCR", std::ios::app) << "KIVET_KBD(2);\n";
  headless::command(kivet::CMD_PLAYBACK);
  EXPECT_EQ(wait_event().key, 1);
  EXPECT_EQ(wait_event().key, 2) << "a line added after the end is played";
  headless::click(1, 1);
  wait_event();
  headless::command(kivet::CMD_PLAY_ONE);
  EXPECT_EQ(wait_event().key, 1) << "Play One after the end starts from the top too";
}

TEST_F(ScriptTest, LastLineWithoutALineEndIsPlayed) {
  write_file("KIVET_KBD(1);\nKIVET_MOUSE(3, -4);");
  toggle_playback();
  EXPECT_EQ(wait_event().key, 1);
  WaitResult r = wait_event();
  EXPECT_EQ(r.kind, 1);
  EXPECT_EQ(r.x, 3);
  EXPECT_EQ(r.y, -4);
}

TEST_F(ScriptTest, NumbersSaturateAndOverlongLinesStayInTheirBuffer) {
  std::string huge(600, '9');
  write_file("KIVET_MOUSE(" + huge + ", -" + huge + ");\n");
  toggle_playback();
  WaitResult r = wait_event();
  EXPECT_EQ(r.kind, 1);
  EXPECT_EQ(r.x, 2147483647) << "the first 511 characters hold only the x run";
  EXPECT_EQ(r.y, 0);
  std::string start = "KIVET.SCR line 1: \"KIVET_MOUSE(" + huge.substr(0, 499);
  EXPECT_EQ(last_lines(1)[0],
            start + "\" is not an event line; read as a click at (2147483647, 0)");
  headless::click(1, 1);
  EXPECT_EQ(wait_event().kind, 1) << "the rest of the long line is not an event";
  EXPECT_FALSE(kivet::state().playing_back);
  EXPECT_EQ(last_lines(1)[0].substr(0, 20), "KIVET.SCR line 1: \"9");
}

TEST_F(ScriptTest, MissingNumbersReadAsZeroAndHugeCountsSaturate) {
  write_file("KIVET_MOUSE(12-3 ,);\nKIVET_KBD();\nKIVET_PERIODIC(99999999999);\n");
  toggle_playback();
  WaitResult r = wait_event();
  EXPECT_EQ(r.x, 12);
  EXPECT_EQ(r.y, 0);
  r = wait_event();
  EXPECT_EQ(r.kind, 2);
  EXPECT_EQ(r.key, 0);
  EXPECT_EQ(wait_event().kind, 3);
  EXPECT_EQ(kivet::state().periodic_count, 2147483646);
}

TEST_F(ScriptTest, LinesTheRecorderWouldNotWriteAreNamedWithWhatWasMadeOfThem) {
  write_file(
      "KIVET_PERIODIC(2);\r\nKIVET_MOSUE(10, 20);\nKIVET_KBD(x);\nKIVET_KBD(300);\n\n"
      "KIVET_KBD(-23);\nKIVET_PERIODIC(-3);\nKIVET_MOUSE(1,2);\n  KIVET_KBD(98);\n");
  toggle_playback();
  std::vector<int> keys;
  for (int i = 0; i < 10; ++i) {
    WaitResult r = wait_event();
    keys.push_back(r.kind == 2 ? r.key : r.kind * 1000);
  }
  EXPECT_EQ(keys, (std::vector<int>{3000, 3000, 1000, 0, 44, -23, 3000, 3000, 3000, 1000}));
  EXPECT_EQ(click(5, 5).kind, 1) << "the last line ended playback";
  EXPECT_FALSE(kivet::state().playing_back);
  EXPECT_EQ(last_lines(6),
            (std::vector<std::string>{
                "KIVET.SCR line 2: \"KIVET_MOSUE(10, 20);\" is not an event line; read as a "
                "click at (10, 20)",
                "KIVET.SCR line 3: \"KIVET_KBD(x);\" is not an event line; read as key 0",
                "KIVET.SCR line 4: \"KIVET_KBD(300);\" is not an event line; read as key 44",
                "KIVET.SCR line 7: \"KIVET_PERIODIC(-3);\" is not an event line; read as 3 "
                "periodic events",
                "KIVET.SCR line 8: \"KIVET_MOUSE(1,2);\" is not an event line; read as a click "
                "at (1, 2)",
                "KIVET.SCR line 9: \"  KIVET_KBD(98);\" is not an event line; ends playback",
            }));
}

TEST_F(ScriptTest, FullDiskCutsTheFileBackToItsLastCompleteLineAndStopsRecording) {
  // A file size limit fails writes as a full disk does, part way through a
  // line: 50 bytes hold two 24-byte click lines and 2 bytes of the third.
  struct rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  struct rlimit limit = saved;
  limit.rlim_cur = 50;
  sighandler_t saved_handler = signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
  toggle_recording();
  for (int i = 0; i < 5; ++i) click(-100 - i, 100 + i);
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, saved_handler);

  EXPECT_EQ(file(), "KIVET_MOUSE(-100, 100);\nKIVET_MOUSE(-101, 101);\n");
  EXPECT_EQ(last_lines(1)[0],
            "Cannot write to script file KIVET.SCR: File too large; recording switched off");
  EXPECT_FALSE(kivet::state().recording);
  EXPECT_FALSE(headless::menu_checked(kivet::CMD_RECORD));
  EXPECT_EQ(kivet::state().script_file, nullptr);
  toggle_playback();
  EXPECT_EQ(wait_event().x, -100);
  EXPECT_EQ(wait_event().x, -101);
  headless::click(1, 1);
  EXPECT_EQ(wait_event().kind, 1) << "nothing after the last complete line";
  EXPECT_EQ(last_lines(1)[0], "EOF encountered in script file KIVET.SCR");
}

TEST_F(ScriptTest, UnwritableFileIsReportedForEveryLine) {
  ASSERT_EQ(mkdir("KIVET.SCR", 0755), 0);
  toggle_recording();
  headless::character('a');
  wait_event();
  headless::character('b');
  wait_event();
  const std::string message = "Cannot open script file KIVET.SCR for writing: Is a directory";
  EXPECT_EQ(last_lines(2), (std::vector<std::string>{message, message}));
  EXPECT_TRUE(headless::menu_checked(kivet::CMD_RECORD));
}

TEST_F(ScriptTest, RecordingAndPlaybackSwitchEachOtherOff) {
  write_file("KIVET_KBD(1);\nKIVET_KBD(2);\n");
  toggle_playback();
  EXPECT_EQ(wait_event().key, 1);
  toggle_recording();
  EXPECT_FALSE(kivet::state().playing_back);
  EXPECT_FALSE(headless::menu_checked(kivet::CMD_PLAYBACK));
  click(1, 2);
  toggle_playback();
  EXPECT_FALSE(kivet::state().recording);
  EXPECT_FALSE(headless::menu_checked(kivet::CMD_RECORD));
  WaitResult r = wait_event();
  EXPECT_EQ(r.kind, 1);
  EXPECT_EQ(r.x, 1);
  EXPECT_EQ(r.y, 2);
}

TEST_F(ScriptTest, PlaybackOffDiscardsTicksStillOwed) {
  write_file("KIVET_PERIODIC(5);\nKIVET_KBD(9);\n");
  toggle_playback();
  EXPECT_EQ(wait_event().kind, 3);
  toggle_playback();
  EXPECT_EQ(kivet::state().periodic_count, 0);
  toggle_playback();
  EXPECT_EQ(wait_event().kind, 3);
  EXPECT_EQ(kivet::state().periodic_count, 4) << "started again from the first line";
}

TEST_F(ScriptTest, RandomEventSequencesSurviveARoundTrip) {
  std::mt19937 random(12345);
  for (int round = 0; round < 20; ++round) {
    std::vector<WaitResult> recorded;
    toggle_recording();
    int length = std::uniform_int_distribution<int>(1, 40)(random);
    for (int i = 0; i < length; ++i) {
      switch (std::uniform_int_distribution<int>(0, 2)(random)) {
        case 0:
          headless::click(std::uniform_int_distribution<int>(0, 0xFFFF)(random),
                          std::uniform_int_distribution<int>(0, 0xFFFF)(random));
          recorded.push_back(wait_event());
          break;
        case 1:
          headless::character(std::uniform_int_distribution<int>(0, 255)(random));
          recorded.push_back(wait_event());
          break;
        default:
          recorded.push_back(step());
          break;
      }
    }
    toggle_recording();
    toggle_playback();
    for (const WaitResult& expected : recorded) {
      WaitResult r = wait_event();
      ASSERT_EQ(r.kind, expected.kind);
      ASSERT_EQ(r.x, expected.x);
      ASSERT_EQ(r.y, expected.y);
      ASSERT_EQ(r.key, expected.key);
    }
    headless::click(1, 1);
    ASSERT_EQ(wait_event().kind, 1) << "the script ends where the recording did";
    toggle_playback();
  }
}

// File faults: each gets its message, nothing crashes, nothing is lost.

TEST_F(ScriptTest, DirectoryThatCannotBeWrittenIsReported) {
  ASSERT_EQ(chdir("/proc"), 0);  // not even root can create files here
  toggle_recording();
  headless::character('a');
  wait_event();
  toggle_recording();
  EXPECT_EQ(last_lines(1)[0],
            "Cannot open script file KIVET.SCR for writing: No such file or directory");
  toggle_playback();
  headless::click(1, 1);
  wait_event();
  EXPECT_EQ(last_lines(1)[0],
            "Cannot open script file KIVET.SCR for reading: No such file or directory");
}

TEST_F(ScriptTest, DirectoryNamedLikeTheScriptIsReportedWhenPlayed) {
  ASSERT_EQ(mkdir("KIVET.SCR", 0755), 0);
  toggle_playback();
  headless::click(1, 1);
  EXPECT_EQ(wait_event().kind, 1);
  EXPECT_FALSE(kivet::state().playing_back);
  EXPECT_EQ(last_lines(1)[0].rfind("Cannot ", 0), 0u) << last_lines(1)[0];
}

TEST_F(ScriptTest, FileRemovedOrTruncatedDuringPlayback) {
  write_file("KIVET_KBD(1);\nKIVET_KBD(2);\nKIVET_KBD(3);\n");
  toggle_playback();
  EXPECT_EQ(wait_event().key, 1);
  ASSERT_EQ(unlink("KIVET.SCR"), 0);
  EXPECT_EQ(wait_event().key, 2) << "the open file can still be read";
  toggle_playback();
  write_file("KIVET_KBD(4);\nKIVET_KBD(5);\n");
  toggle_playback();
  EXPECT_EQ(wait_event().key, 4);
  ASSERT_EQ(truncate("KIVET.SCR", 0), 0);
  // What was already read ahead may still come; then the end is reported.
  for (int i = 0; i < 3 && kivet::state().playing_back; ++i) {
    headless::click(1, 1);
    wait_event();
  }
  EXPECT_FALSE(kivet::state().playing_back);
  EXPECT_EQ(last_lines(1)[0], "EOF encountered in script file KIVET.SCR");
}

TEST_F(ScriptTest, ScriptOfSeveralMegabytesOnOneLine) {
  std::string line;
  while (line.size() < 5u << 20) line += "KIVET_KBD(65);";
  write_file(line);
  toggle_playback();
  int events = 0;
  while (kivet::state().playing_back && events < 100000) {
    headless::click(1, 1);  // ends the wait once playback stops
    wait_event();
    ++events;
  }
  EXPECT_FALSE(kivet::state().playing_back);
  EXPECT_LE(events, static_cast<int>(line.size() / 511 + 2));
}

TEST_F(ScriptTest, FifoIsRefusedForReadingAndWritingWithoutBlocking) {
  ASSERT_EQ(mkfifo("KIVET.SCR", 0644), 0);
  toggle_playback();
  EXPECT_EQ(click(1, 1).kind, 1);
  EXPECT_FALSE(kivet::state().playing_back);
  EXPECT_EQ(last_lines(1)[0],
            "Cannot open script file KIVET.SCR for reading: it is a FIFO, not a regular file");
  toggle_recording();
  EXPECT_EQ(click(1, 1).kind, 1);
  EXPECT_EQ(last_lines(1)[0],
            "Cannot open script file KIVET.SCR for writing: it is a FIFO, not a regular file");
  EXPECT_FALSE(kivet::state().recording) << "the recording does not start";
  EXPECT_FALSE(headless::menu_checked(kivet::CMD_RECORD));
}

TEST_F(ScriptTest, RecordingDoesNotFollowASymbolicLink) {
  ASSERT_EQ(symlink("target", "KIVET.SCR"), 0);
  toggle_recording();
  click(1, 1);
  EXPECT_EQ(last_lines(1)[0],
            "Cannot open script file KIVET.SCR for writing: it is a symbolic link, which recording "
            "does not follow");
  EXPECT_FALSE(kivet::state().recording);
  EXPECT_NE(access("target", F_OK), 0) << "the link's target was created";
}

TEST_F(ScriptTest, RunsOfEmptyLinesLetInputThroughAndKeepTheEventsInOrder) {
  write_file(std::string(2500, '\n') + "KIVET_KBD(1);\n" + std::string(2500, '\n') +
             "KIVET_KBD(2);\n");
  toggle_playback();
  // A click comes through while the reader is still among the empty lines,
  // and the script's events follow in their order.
  EXPECT_EQ(click(0, 0).kind, 1);
  EXPECT_EQ(wait_event().key, 1);
  headless::character('x');
  EXPECT_EQ(wait_event().key, 'x') << "input is taken between two passes of the reader";
  EXPECT_EQ(wait_event().key, 2);
}

TEST_F(ScriptTest, LosingTheDisplayFinishesTheRecording) {
  toggle_recording();
  click(7, 8);
  for (int i = 0; i < 5; ++i) step();
  kivet::display_lost();
  EXPECT_EQ(file(), "KIVET_MOUSE(7, 8);\nKIVET_PERIODIC(5);\n");
  EXPECT_EQ(kivet::state().script_file, nullptr);
}

TEST_F(ScriptTest, SecondDisplayFinishesTheRecordingBeforeTheProcessEnds) {
  Display first;
  toggle_recording();
  for (int i = 0; i < 3; ++i) step();
  EXPECT_EXIT(
      {
        std::atexit([] { fprintf(stderr, "file: [%s]\n", file().c_str()); });
        Display second;
      },
      testing::ExitedWithCode(255), "file: \\[KIVET_PERIODIC\\(3\\);\n\\]");
}
