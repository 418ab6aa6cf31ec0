// The library as Windows users have it, run headless under Wine: the
// examples with their scripts (recorded on Linux) against their Linux
// output and pictures, a program drawing text beside the same program
// built for Linux, and a program of a user's own built against the
// installed Windows package beside the same program built for Linux.
#include <dirent.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "windows/wine_fixture.h"

namespace xtest {
namespace {

class WindowsPackageTest : public WineTest {};

// The files of `folder` whose names start with `name` and a dash.
std::vector<std::string> files_named_after(const std::string& folder, const std::string& name) {
  std::vector<std::string> files;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      if (std::string(entry->d_name).rfind(name + "-", 0) == 0) files.push_back(entry->d_name);
    }
    closedir(dir);
  }
  return files;
}

// Every pixel is the library's own drawing, text included: its face is
// built in.
TEST_F(WindowsPackageTest, ExamplesGiveTheirLinuxOutputAndPictures) {
  const std::string examples = EXAMPLES_DIR;
  for (const char* name : {"hello", "ball", "question", "shapes", "catch", "paint"}) {
    SCOPED_TRACE(name);
    TempDir dir;
    std::string data = examples + "/" + name;
    ASSERT_TRUE(write_file(dir.file("KIVET.SCR"), read_file(data + ".scr")));
    // The files it reads (its pictures) are named after it.
    for (const std::string& file : files_named_after(examples, name)) {
      ASSERT_TRUE(write_file(dir.file(file), read_file(examples + "/" + file)));
    }
    std::string input = exists(data + ".in") ? data + ".in" : "";
    HeadlessRun run =
        run_headless(windows_program(std::string("examples/") + name), dir.path(), input);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, read_file(data + ".out"));
    EXPECT_EQ(count_differences(read_png(data + ".png"), run.snapshot), 0);
  }
}

// The airfield's label and accented, Cyrillic and Greek words at several
// sizes, with clicks and ticks, against the same program on Linux.
TEST_F(WindowsPackageTest, TextHasTheLinuxPixels) {
  const char* script = "KIVET_MOUSE(-120, 60);\nKIVET_PERIODIC(3);\nKIVET_MOUSE(37, -101);\n";
  TempDir on_linux, on_windows;
  ASSERT_TRUE(write_file(on_linux.file("KIVET.SCR"), script));
  ASSERT_TRUE(write_file(on_windows.file("KIVET.SCR"), script));
  HeadlessRun linux_run = run_headless(LINUX_EVENTS_PATH, on_linux.path());
  HeadlessRun windows_run = run_headless(windows_program("tests/events"), on_windows.path());
  EXPECT_EQ(windows_run.status, 0);
  EXPECT_EQ(windows_run.output, linux_run.output);
  ASSERT_FALSE(windows_run.snapshot.empty());
  EXPECT_EQ(count_differences(windows_run.snapshot, linux_run.snapshot), 0);
}

// A student's check at home on Windows: the Windows build of kivet-check
// runs the Windows build of the program against the expected folder made
// on Linux (its output, final picture and frames), and tells a program
// that draws otherwise apart.
TEST_F(WindowsPackageTest, KivetCheckPassesTheProgramAgainstAFolderMadeOnLinux) {
  const std::string examples = EXAMPLES_DIR;
  std::string ball = "Z:" + windows_program("examples/ball");
  std::string hello = "Z:" + windows_program("examples/hello");
  std::vector<std::string> argv = {
      "sh", "-c", "exec wine \"$0\" --expected \"$1\" --report report \"$2\" \"$3\" >verdicts.txt",
      windows_program("kivet-check"), "Z:" + examples + "/expected/ball", ball, hello};
  int status = run_command(argv, wine_display(), 120000, dir_.path(), wine_prefix()->environment());
  std::string verdicts;
  for (char c : read_file(dir_.file("verdicts.txt"))) {
    if (c != '\r') verdicts += c;
  }
  EXPECT_EQ(status, 1) << verdicts;
  // The same count as on Linux: every pixel is the library's own.
  EXPECT_EQ(verdicts, ball + ": pass\n" + hello + ": picture differs (10075 pixels)\n");
  EXPECT_TRUE(exists(dir_.file("report/index.html")));
  EXPECT_TRUE(exists(dir_.file("report/001-ball.exe/frame-10.png")));
}

// A class of Windows programs checked under Wine by the Windows build of
// kivet-check against a folder that the Linux build made from the
// reference: the verdicts of Linux, a crash named by its exception.
TEST_F(WindowsPackageTest, AClassOfWindowsProgramsAgainstAFolderMadeOnLinux) {
  ASSERT_TRUE(write_file(dir_.file("house.scr"), "KIVET_PERIODIC(60);\n"));
  ASSERT_EQ(run_command({LINUX_KIVET_CHECK_PATH, "--make-expected", "expected", "--script",
                         "house.scr", "--frames", "30", LINUX_HOUSE_PATH},
                        "", 60000, dir_.path()),
            0);
  std::vector<std::string> argv = {"sh", "-c",
                                   "exec wine \"$0\" --expected expected \"$@\" >verdicts.txt",
                                   windows_program("kivet-check")};
  std::string expected;
  const char* verdicts[][2] = {{"good", "pass"},
                               {"one_pixel", "picture differs (1 pixel)"},
                               {"ignores_quit", "did not end after quit"},
                               {"crashes", "crashed (exception 0xC0000005)"}};
  for (const auto& verdict : verdicts) {
    std::string program = "Z:" + windows_program(std::string("tests/house_") + verdict[0]);
    argv.push_back(program);
    expected += program + ": " + verdict[1] + "\n";
  }
  int status = run_command(argv, wine_display(), 120000, dir_.path(), wine_prefix()->environment());
  std::string got;
  for (char c : read_file(dir_.file("verdicts.txt"))) {
    if (c != '\r') got += c;
  }
  EXPECT_EQ(status, 1);
  EXPECT_EQ(got, expected);
}

TEST_F(WindowsPackageTest, UsersProgramBuiltAgainstTheInstalledPackage) {
  const std::string source = SOURCE_DIR;
  // cmake in the test's directory, its output kept in cmake.log.
  auto cmake = [&](const std::vector<std::string>& args) {
    std::vector<std::string> argv = {"sh", "-c", "exec cmake \"$@\" >>cmake.log 2>&1", "cmake"};
    argv.insert(argv.end(), args.begin(), args.end());
    return run_command(argv, "", 600000, dir_.path()) == 0;
  };
  auto log = [&] { return read_file(dir_.file("cmake.log")); };
  ASSERT_TRUE(cmake({"--install", WINDOWS_BUILD_DIR, "--prefix", dir_.file("prefix")})) << log();
  ASSERT_TRUE(cmake({"-S", source + "/tests/package/outside", "-B", dir_.file("build"),
                     "-DCMAKE_TOOLCHAIN_FILE=" + source + "/cmake/mingw-w64.cmake",
                     "-DCMAKE_PREFIX_PATH=" + dir_.file("prefix"), "-DCMAKE_BUILD_TYPE=Release"}))
      << log();
  ASSERT_TRUE(cmake({"--build", dir_.file("build")})) << log();

  // The same script for both, with a click, a key and ticks.
  const char* script = "KIVET_PERIODIC(3);\nKIVET_MOUSE(10, -20);\nKIVET_KBD(120);\n";
  TempDir on_linux, on_windows;
  ASSERT_TRUE(write_file(on_linux.file("KIVET.SCR"), script));
  ASSERT_TRUE(write_file(on_windows.file("KIVET.SCR"), script));
  HeadlessRun linux_run = run_headless(OUTSIDE_PROGRAM_PATH, on_linux.path());
  HeadlessRun windows_run = run_headless(dir_.file("build/program.exe"), on_windows.path());
  EXPECT_EQ(linux_run.status, 3);
  EXPECT_EQ(windows_run.status, 3);
  EXPECT_EQ(windows_run.output, linux_run.output);
  EXPECT_FALSE(windows_run.snapshot.empty());
  EXPECT_EQ(count_differences(windows_run.snapshot, linux_run.snapshot), 0);
}

}  // namespace
}  // namespace xtest
