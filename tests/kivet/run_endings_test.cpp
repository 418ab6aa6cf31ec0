// What a headless run takes from its environment besides the backend, and
// how it ends when its program does not end it: the pictures after given
// periodic events, logging from the start, a program that ignores quit,
// and SIGTERM, each with its snapshot written first.
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "kivet/display.h"
#include "kivet/snapshot.h"
#include "support/test_support.h"

namespace headless = kivet::headless;

namespace {

bool exists(const char* path) { return access(path, F_OK) == 0; }

class RunEndingsTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    enter_scratch_directory();
    out_ = tmpfile();
    headless::begin_unattended_run(out_, stdin);
  }
  void TearDown() override {
    fclose(out_);
    for (const char* name : {"KIVET_SNAPSHOT", "KIVET_SNAPSHOT_FRAMES", "KIVET_LOGGING"}) {
      unsetenv(name);
    }
    HeadlessTest::TearDown();
  }
  std::string output() {
    fflush(out_);
    rewind(out_);
    std::string text;
    for (int c; (c = fgetc(out_)) != EOF;) text += static_cast<char>(c);
    return text;
  }
  FILE* out_ = nullptr;
};

// The library's own PNG of a bitmap drawn with `ticks` ticks: the bytes a
// frame's file must hold.
std::string picture_after(int ticks) {
  kivet::Bitmap bitmap;
  for (int x = 0; x < 601; ++x) {
    for (int y = 0; y < 540; ++y) bitmap.row(y)[x] = 0xFFFFFF;
  }
  for (int t = 1; t <= ticks; ++t) bitmap.row(257)[300 + t] = 0x0000FF;
  kivet::write_png(bitmap, "reference.png");
  std::ifstream in("reference.png", std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string file(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

TEST_F(RunEndingsTest, FramesArePicturesAfterTheirPeriodicEventsBesideTheFinalOne) {
  std::ofstream("KIVET.SCR") << "KIVET_PERIODIC(2);\nKIVET_MOUSE(0, 0);\nKIVET_PERIODIC(3);\n";
  setenv("KIVET_SNAPSHOT", "final.png", 1);
  setenv("KIVET_SNAPSHOT_FRAMES", "3,x,1,3,9", 1);
  testing::internal::CaptureStderr();
  {
    Display display;
    display.clear(WHITE);
    int ticks = 0;
    int x, y;
    char key;
    for (EventKind kind; (kind = display.get_next_event(x, y, key)) != kivet::quit;) {
      // Drawn after the event: the frame is what stands at the next request.
      if (kind == kivet::periodic) display.pixel(++ticks, 0, BLUE);
    }
  }
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "kivet: KIVET_SNAPSHOT_FRAMES: \"x\" is not a number of periodic events (1 or more); "
            "left out\n");
  EXPECT_EQ(file("final-1.png"), picture_after(1));
  EXPECT_EQ(file("final-3.png"), picture_after(3));  // the click between counts for nothing
  EXPECT_EQ(file("final.png"), picture_after(5));
  EXPECT_FALSE(exists("final-9.png"));  // never reached
  EXPECT_EQ(kivet::frame_snapshot_path("out/run.v2/shot.png", 20), "out/run.v2/shot-20.png");
  EXPECT_EQ(kivet::frame_snapshot_path("out.d/shot", 7), "out.d/shot-7");
}

TEST_F(RunEndingsTest, LoggingFromTheStartCarriesTheDrawingSentences) {
  setenv("KIVET_LOGGING", "1", 1);
  {
    Display display;
    display.pixel(1, 2, BLUE);
  }
  setenv("KIVET_LOGGING", "yes", 1);  // only 1 switches it on
  {
    headless::reset();
    headless::begin_unattended_run(out_, stdin);
    Display display;
    display.pixel(3, 4, BLUE);
  }
  std::string text = output();
  EXPECT_NE(text.find("blue pixel at (1,2)\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("blue pixel at (3,4)"), std::string::npos) << text;
}

TEST_F(RunEndingsTest, AProgramThatIgnoresQuitIsEndedWithItsPicture) {
  setenv("KIVET_SNAPSHOT", "ignored.png", 1);
  EXPECT_EXIT(
      {
        Display display;
        display.clear(WHITE);
        int x = 0;
        int y = 0;
        char key = 0;
        for (int asked = 0; asked < 2000; ++asked) display.get_next_event(x, y, key);
        std::exit(0);
      },
      testing::ExitedWithCode(70),
      "^kivet: the program did not end after quit \\(1000 events asked for since\\)\n$");
  EXPECT_TRUE(exists("ignored.png"));
}

TEST_F(RunEndingsTest, SigtermEndsTheRunAtTheNextLibraryCallPictureFirst) {
  setenv("KIVET_SNAPSHOT", "stopped.png", 1);
  EXPECT_EXIT(
      {
        Display display;
        display.clear(WHITE);
        std::raise(SIGTERM);  // only noted
        fprintf(stderr, "still running\n");
        display.pixel(0, 0, BLUE);  // ends here, by the same signal
        fprintf(stderr, "not reached\n");
        std::exit(0);
      },
      testing::KilledBySignal(SIGTERM), "^still running\n$");
  EXPECT_TRUE(exists("stopped.png"));
}
