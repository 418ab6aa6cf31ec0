// A run without a user (KIVET_BACKEND=headless): the script played from
// open and quit after it, text-window lines and the dialog on streams, and
// the snapshot written when the library closes.
#include <cairo.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "kivet/display.h"
#include "support/bitmap_probe.h"

namespace headless = kivet::headless;

class UnattendedRunTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    enter_scratch_directory();
    out_ = tmpfile();
    in_ = tmpfile();
    headless::begin_unattended_run(out_, in_);
  }
  void TearDown() override {
    fclose(out_);
    fclose(in_);
    unsetenv("KIVET_SNAPSHOT");
    HeadlessTest::TearDown();
  }

  std::string output() {
    fflush(out_);
    rewind(out_);
    std::string text;
    for (int c; (c = fgetc(out_)) != EOF;) text += static_cast<char>(c);
    return text;
  }
  void give_input(const std::string& text) {
    fputs(text.c_str(), in_);
    rewind(in_);
  }

  FILE* out_ = nullptr;
  FILE* in_ = nullptr;
};

TEST_F(UnattendedRunTest, TheScriptPlaysFromOpenAtOnceThenEveryWaitQuits) {
  std::ofstream("KIVET.SCR") << "KIVET_MOUSE(3, -4);\nKIVET_PERIODIC(2);\nKIVET_KBD(97);\n";
  Display display;
  EXPECT_FALSE(headless::timer_running());
  EXPECT_TRUE(headless::menu_checked(kivet::CMD_PLAYBACK));
  display.set_animation(kivet::run);
  WaitResult click = wait_event();
  EXPECT_EQ(click.kind, 1);
  EXPECT_EQ(click.x, 3);
  EXPECT_EQ(click.y, -4);
  EXPECT_EQ(wait_event().kind, 3);
  EXPECT_EQ(wait_event().kind, 3);
  EXPECT_EQ(wait_event().key, 97);
  EXPECT_EQ(wait_event().kind, 4);
  EXPECT_EQ(wait_event().kind, 4);
  EXPECT_EQ(headless::sleeps(), 0) << "the run never waits for anything";
  EXPECT_EQ(output(), "EOF encountered in script file KIVET.SCR\n");
}

TEST_F(UnattendedRunTest, WithoutAScriptTheFirstWaitQuitsAndLinesGoToTheStream) {
  KIVET_draw_pixel(99, 0, 0);  // logged before the library opens
  Display display;
  KIVET_set_logging(1);
  display.pixel(1, 2, BLUE);
  EXPECT_EQ(wait_event().kind, 4);
  EXPECT_EQ(output(),
            "Illegal color 99; using RED.\nred pixel at (0,0)\nblue pixel at (1,2)\n"
            "Cannot open script file KIVET.SCR for reading: No such file or directory\n");
}

TEST_F(UnattendedRunTest, TheDialogWritesItsPromptAndReadsOneLine) {
  Display display;
  give_input("Ada\r\nGrace");
  char answer[256] = "unchanged";
  EXPECT_EQ(KIVET_gets("Name?", answer), 1);
  EXPECT_STREQ(answer, "Ada");
  EXPECT_EQ(KIVET_gets("Again?", answer), 1);
  EXPECT_STREQ(answer, "Grace");
  EXPECT_EQ(KIVET_gets("Once more?", answer), 1) << "the end of input is an empty answer";
  EXPECT_STREQ(answer, "");
  EXPECT_EQ(output(), "Name?\nAgain?\nOnce more?\n");
}

TEST_F(UnattendedRunTest, TextIsUtf8EverywhereAndStrayBytesShowAsLatin1) {
  Display display;
  give_input("Zo\xc3\xab\n");
  char answer[256];
  KIVET_gets("Nom, s'il vous pla\xc3\xaet ?", answer);
  EXPECT_STREQ(answer, "Zo\xc3\xab");
  KIVET_set_logging(1);
  auto drawn = [](const char* text) {
    KIVET_clear();
    KIVET_draw_text(BLACK, -200, 0, 30, text);
    return ink(BLACK);
  };
  // The answer, and a UTF-8 text in the program, draw as the same letters
  // as the Latin-1 bytes of older programs: nothing is drawn twice over.
  using Texts = std::pair<const char*, const char*>;
  for (auto [utf8, latin1] : {Texts{answer, "Zo\xeb"}, Texts{"Caf\xc3\xa9 20\xc2\xb0"
                                                             "C",
                                                             "Caf\xe9 20\xb0"
                                                             "C"}}) {
    Ink expected = drawn(latin1);
    Ink got = drawn(utf8);
    EXPECT_EQ(got.count, expected.count) << utf8;
    EXPECT_EQ(got.right, expected.right) << utf8;
  }
  EXPECT_NE(output().find("Nom, s'il vous pla\xc3\xaet ?\n"), std::string::npos);
  EXPECT_NE(output().find("black text at (-200,0), \"Caf\xc3\xa9 20\xc2\xb0"
                          "C\"\n"),
            std::string::npos);
}

TEST_F(UnattendedRunTest, TheSnapshotHoldsTheBitmapOrItsFailureGoesToStandardError) {
  setenv("KIVET_SNAPSHOT", "snapshot.png", 1);
  {
    Display display;
    display.clear(WHITE);
    display.circle(0, 0, 5, GREEN);
  }
  cairo_surface_t* picture = cairo_image_surface_create_from_png("snapshot.png");
  ASSERT_EQ(cairo_surface_status(picture), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(picture), 601);
  EXPECT_EQ(cairo_image_surface_get_height(picture), 540);
  const unsigned char* centre = cairo_image_surface_get_data(picture) +
                                kivet::state().origin_y * cairo_image_surface_get_stride(picture) +
                                kivet::state().origin_x * 4;
  EXPECT_EQ((centre[2] << 16) | (centre[1] << 8) | centre[0], 0x00FF00);
  cairo_surface_destroy(picture);

  setenv("KIVET_SNAPSHOT", "no/such/directory/snapshot.png", 1);
  open_library();
  testing::internal::CaptureStderr();
  EXPECT_EQ(KIVET_close(), 1);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "kivet: cannot write the snapshot to no/such/directory/snapshot.png: No such file or "
            "directory\n");
}
