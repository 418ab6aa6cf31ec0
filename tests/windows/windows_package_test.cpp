// The library as Windows users have it, run headless under Wine: the
// examples with their scripts (recorded on Linux) against their Linux
// output and pictures, and a program of a user's own built against the
// installed Windows package beside the same program built for Linux.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "windows/wine_fixture.h"

namespace xtest {
namespace {

constexpr int ORIGIN_Y = 257;

// A line of text an example draws: its anchor's y in display coordinates
// and its size, from the example's source.
struct TextLine {
  int y;
  int size;
};

struct Example {
  const char* name;
  std::vector<TextLine> text;
};

// The rows that a line of text covers: the character cells stand on the
// anchor's row, a little taller than the size.
bool in_text(int row, const std::vector<TextLine>& text) {
  for (const TextLine& line : text) {
    int bottom = ORIGIN_Y - line.y;
    if (row < bottom && row >= bottom - line.size * 5 / 4 - 2) return true;
  }
  return false;
}

// Pixels that differ outside the rows of text, and inside them.
struct Differences {
  long outside_text = 0;
  long in_text = 0;
};

Differences compare(const Image& expected, const Image& got, const std::vector<TextLine>& text) {
  Differences d;
  if (expected.width != got.width || expected.height != got.height) {
    d.outside_text = static_cast<long>(expected.pixels.size());
    return d;
  }
  for (int y = 0; y < got.height; ++y) {
    for (int x = 0; x < got.width; ++x) {
      if (expected.at(x, y) == got.at(x, y)) continue;
      ++(in_text(y, text) ? d.in_text : d.outside_text);
    }
  }
  return d;
}

class WindowsPackageTest : public WineTest {};

// Glyphs come from another rasterizer on Windows and may stand a pixel
// apart; everything else is the library's own drawing, the same pixels.
TEST_F(WindowsPackageTest, ExamplesGiveTheirLinuxOutputAndPicturesOutsideText) {
  const std::string examples = EXAMPLES_DIR;
  const std::vector<Example> all = {
      {"hello", {{-80, 24}}},
      {"ball", {{-220, 20}}},
      {"question", {{40, 32}, {-40, 16}}},
      {"shapes", {{66, 12}, {-4, 12}, {-74, 12}, {-144, 12}, {-200, 40}}},
  };
  for (const Example& example : all) {
    SCOPED_TRACE(example.name);
    TempDir dir;
    std::string data = examples + "/" + example.name;
    ASSERT_TRUE(write_file(dir.file("KIVET.SCR"), read_file(data + ".scr")));
    std::string input = exists(data + ".in") ? data + ".in" : "";
    HeadlessRun run =
        run_headless(windows_program(std::string("examples/") + example.name), dir.path(), input);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.output, read_file(data + ".out"));
    Differences d = compare(read_png(data + ".png"), run.snapshot, example.text);
    EXPECT_EQ(d.outside_text, 0);
    RecordProperty(std::string(example.name) + "_text_pixels_unlike_linux",
                   std::to_string(d.in_text));
  }
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
