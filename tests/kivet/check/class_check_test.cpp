// kivet-check end to end: an expected folder made from a reference, then a
// class of programs checked in one call, with its verdicts, exit status,
// results.csv, report and difference picture; a frame that differs while
// the final picture does not; a time limit that still leaves a picture;
// usage errors.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "kivet/check/output_text.h"
#include "kivet/check/pictures.h"

namespace fs = std::filesystem;
using namespace kivet::check;

namespace {

const std::string CHECK = KIVET_CHECK_PATH;
const std::string PROGRAMS = HOUSE_PROGRAMS_DIR;

std::string house(const char* variant) { return PROGRAMS + "/house_" + variant; }

struct Ran {
  int status;
  std::string out, err;
};

class ClassCheck : public ::testing::Test {
 protected:
  // A folder of its own for each test process: ctest runs them at once.
  static void SetUpTestSuite() {
    work() = fs::path(TEST_WORK_DIR) / ("class_check-" + std::to_string(getpid()));
    fs::remove_all(work());
    fs::create_directories(work());
    write_file((work() / "house.scr").string(), "KIVET_PERIODIC(60);\n");
    Ran made = run("--make-expected expected --script house.scr --frames 30 " + house("reference"));
    ASSERT_EQ(made.status, 0) << made.err;
  }

  // What a failed test leaves stays for a look.
  static void TearDownTestSuite() {
    if (!::testing::UnitTest::GetInstance()->Failed()) fs::remove_all(work());
  }

  static fs::path& work() {
    static fs::path path;
    return path;
  }

  // kivet-check with `arguments`, in the work folder.
  static Ran run(const std::string& arguments) {
    std::string command = "cd '" + work().string() + "' && '" + CHECK + "' " + arguments +
                          " >out.txt 2>err.txt";
    int raw = std::system(command.c_str());
    Ran ran{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, read_file((work() / "out.txt").string(), 1 << 20),
            read_file((work() / "err.txt").string(), 1 << 20)};
    return ran;
  }

  static std::string file(const std::string& name) {
    return read_file((work() / name).string(), 1 << 24);
  }
};

TEST_F(ClassCheck, ExpectedFolderHoldsWhatTheReferenceGave) {
  for (const char* name : {"check.txt", "script.scr", "output.txt", "log.txt", "final.png",
                           "frame-30.png"}) {
    EXPECT_TRUE(fs::exists(work() / "expected" / name)) << name;
  }
  EXPECT_FALSE(fs::exists(work() / "expected" / "answers.txt"));
  std::string description = file("expected/check.txt");
  EXPECT_NE(description.find("frames: 30\n"), std::string::npos) << description;
  EXPECT_NE(description.find("exit status: 0\n"), std::string::npos) << description;
  EXPECT_EQ(file("expected/output.txt"), "EOF encountered in script file KIVET.SCR\n");
  // The log run carries the drawing sentences.
  EXPECT_NE(file("expected/log.txt").find("text at (-60,-230), \"My house\""), std::string::npos);
  Picture final_picture = read_picture((work() / "expected/final.png").string());
  EXPECT_EQ(final_picture.width, 601);
  EXPECT_EQ(final_picture.height, 540);
}

TEST_F(ClassCheck, AClassInOneCall) {
  fs::remove_all(work() / "report");
  Ran ran = run("--expected expected --report report --jobs 2 --time-limit 5 " + house("good") +
                " " + house("different") + " " + house("one_pixel") + " " +
                house("ignores_quit") + " " + house("crashes"));
  EXPECT_EQ(ran.status, 1) << ran.err;
  EXPECT_EQ(ran.out, house("good") + ": pass\n" + house("different") + ": pass\n" +
                         house("one_pixel") + ": picture differs (1 pixel)\n" +
                         house("ignores_quit") + ": did not end after quit\n" +
                         house("crashes") + ": crashed (signal 11)\n");
  EXPECT_EQ(ran.err, "");
  // The crash came before the end of the script: its output stops short.
  EXPECT_EQ(file("report/results.csv"),
            "program,verdict,differing pixels,first differing line\n" + house("good") +
                ",pass,0,\n" + house("different") + ",pass,0,\n" + house("one_pixel") +
                ",picture differs (1 pixel),1,\n" + house("ignores_quit") +
                ",did not end after quit,0,\n" + house("crashes") + ",crashed (signal 11),,1\n");

  // The difference: one red pixel, where the stray one is, over the faded
  // expected picture (white stays white, the brown walls pale).
  Picture difference = read_picture((work() / "report/003-house_one_pixel/difference.png").string());
  ASSERT_EQ(difference.width, VISIBLE_WIDTH);
  ASSERT_EQ(difference.height, VISIBLE_HEIGHT);
  int red = 0;
  for (int y = 0; y < difference.height; ++y) {
    for (int x = 0; x < difference.width; ++x) {
      const unsigned char* p = &difference.rgb[(static_cast<size_t>(y) * difference.width + x) * 3];
      if (p[0] == 255 && p[1] == 0 && p[2] == 0) {
        ++red;
        EXPECT_EQ(x, 300 + 150);
        EXPECT_EQ(y, 257 + 100);
      }
    }
  }
  EXPECT_EQ(red, 1);
  Picture expected = read_picture((work() / "report/expected/final.png").string());
  size_t white = (10 * static_cast<size_t>(VISIBLE_WIDTH) + 10) * 3;
  size_t wall = ((257 + 100) * static_cast<size_t>(VISIBLE_WIDTH) + 300 + 50) * 3;
  EXPECT_EQ(difference.rgb[white], 255);
  EXPECT_GT(difference.rgb[wall + 1], expected.rgb[wall + 1]);

  // The page: local pictures only, the sentences that part.
  std::string page = file("report/index.html");
  EXPECT_NE(page.find("<img src=\"001-house_good/got.png\""), std::string::npos);
  EXPECT_NE(page.find("<img src=\"expected/final.png\""), std::string::npos);
  EXPECT_EQ(page.find("http"), std::string::npos);
  EXPECT_NE(page.find("pixel at (150,-100)"), std::string::npos) << page;
  EXPECT_TRUE(fs::exists(work() / "report/004-house_ignores_quit/got.png"));
  EXPECT_FALSE(fs::exists(work() / "report/005-house_crashes/got.png"));
}

TEST_F(ClassCheck, AFrameDiffersThoughTheFinalPictureDoesNot) {
  Ran ran = run("--expected expected " + house("early_sun"));
  EXPECT_EQ(ran.status, 1);
  EXPECT_EQ(ran.out, house("early_sun") + ": frame 30 differs\n");
  // Without the frame, the final picture passes; a tolerance lets one pixel by.
  EXPECT_EQ(run("--expected expected --frames '' " + house("early_sun")).status, 0);
  EXPECT_EQ(run("--expected expected --tolerance 1 " + house("one_pixel")).out,
            house("one_pixel") + ": pass\n");
}

TEST_F(ClassCheck, ATimeLimitStillLeavesThePicture) {
  fs::remove_all(work() / "limit");
  Ran ran = run("--expected expected --report limit --time-limit 0.5 " + house("draws_for_ever"));
  EXPECT_EQ(ran.status, 1);
  EXPECT_EQ(ran.out, house("draws_for_ever") + ": timed out after 0.5 s\n");
  // SIGTERM: the snapshot was written at the program's next drawing call.
  EXPECT_TRUE(fs::exists(work() / "limit/001-house_draws_for_ever/got.png"));
}

// A file the program reads goes beside it in each run: kept in the expected
// folder by --make-expected, or given again with --file in its place.
TEST_F(ClassCheck, FilesBesideTheProgram) {
  write_file((work() / "name.txt").string(), "Anna\n");
  Ran made = run("--make-expected signed --script house.scr --file name.txt " + house("signs"));
  ASSERT_EQ(made.status, 0) << made.err;
  EXPECT_EQ(file("signed/files/name.txt"), "Anna\n");
  EXPECT_EQ(file("signed/output.txt"), "Anna\nEOF encountered in script file KIVET.SCR\n");
  EXPECT_EQ(run("--expected signed " + house("signs")).out, house("signs") + ": pass\n");
  fs::create_directories(work() / "other");
  write_file((work() / "other/name.txt").string(), "Bob\n");
  EXPECT_EQ(run("--expected signed --file other/name.txt " + house("signs")).out,
            house("signs") + ": output differs (line 1)\n");
  write_file((work() / "other/house.scr").string(), "");
  Ran taken = run("--expected signed --file house.scr --file other/house.scr " + house("signs"));
  EXPECT_EQ(taken.status, 2);
  EXPECT_EQ(taken.err, "kivet-check: the file other/house.scr cannot go beside the program: its name "
                       "house.scr is taken\n");
}

TEST_F(ClassCheck, UsageErrorsSayWhatIsWrong) {
  Ran none = run("");
  EXPECT_EQ(none.status, 2);
  EXPECT_EQ(none.err.substr(0, none.err.find('\n')),
            "kivet-check: give --expected DIR to check programs, or --make-expected DIR");
  EXPECT_EQ(run("--expected expected --jobs 0 " + house("good")).status, 2);
  EXPECT_EQ(run("--expected nowhere " + house("good")).status, 2);
  EXPECT_EQ(run("--make-expected other " + house("good")).err.substr(0, 41),
            "kivet-check: --make-expected needs --scri");
  Ran help = run("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("kivet-check --expected expected --report report"), std::string::npos);
  // A program that is not there, or that writes too much, is a verdict,
  // and the next still runs.
  Ran missing = run("--expected expected ./nobody " + house("floods") + " " + house("good"));
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "./nobody: did not start (No such file or directory)\n" +
                             house("floods") + ": output cut off at 32 MB\n" + house("good") +
                             ": pass\n");
}

TEST(OutputText, LineEndsNormalisedAndTheFirstDifference) {
  EXPECT_EQ(lines_of("a\r\nb\nc"), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(first_differing_line(lines_of("a\nb\n"), lines_of("a\r\nb\r\n")), 0);
  EXPECT_EQ(first_differing_line(lines_of("a\nb\nc\n"), lines_of("a\nB\nc\n")), 2);
  EXPECT_EQ(first_differing_line(lines_of("a\nb\n"), lines_of("a\n")), 2);
  EXPECT_EQ(lines_around(lines_of("1\n2\n3\n4\n5\n"), 4, 1, 5),
            (std::vector<std::string>{"    3  3", "    4  4", "    5  5"}));
}

}  // namespace
