// Pictures from files: own colours with the half-opaque rule, scaling,
// clipping, the sentence, decoding once, and the files that cannot be drawn
// (missing, not a picture, too big), each reported once.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <vector>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"
#include "support/test_support.h"

namespace {

class PictureTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    enter_scratch_directory();
    open_library();
    KIVET_set_logging(0);
  }
  // A PNG of RGBA pixels, rows from the top.
  static void write_png(const char* name, int width, int height,
                        const std::vector<uint32_t>& rgba) {
    std::vector<unsigned char> bytes;
    for (uint32_t p : rgba) {
      for (int shift : {24, 16, 8, 0}) bytes.push_back(static_cast<unsigned char>(p >> shift));
    }
    ASSERT_NE(stbi_write_png(name, width, height, 4, bytes.data(), width * 4), 0);
  }
};

// Three pixels a row: opaque red, green at alpha 128 (drawn), blue at 127 (left out).
const std::vector<uint32_t> SPRITE = {0xFF0000FF, 0x00FF0080, 0x0000FF7F,
                                      0x102030FF, 0x405060FF, 0x708090FF};

TEST_F(PictureTest, OwnColoursHalfOpaqueOrMoreAtScaleOneAndTwo) {
  write_png("s.png", 3, 2, SPRITE);
  KIVET_draw_picture(10, 20, "s.png", 1);
  EXPECT_EQ(bitmap_pixel(10, 20), 0xFF0000u);
  EXPECT_EQ(bitmap_pixel(11, 20), 0x00FF00u);
  EXPECT_EQ(bitmap_pixel(12, 20), 0xFFFFFFu);  // the bitmap as it was
  EXPECT_EQ(bitmap_pixel(12, 19), 0x708090u);
  EXPECT_EQ(bitmap_pixel(13, 20), 0xFFFFFFu);
  EXPECT_EQ(bitmap_pixel(10, 18), 0xFFFFFFu);
  KIVET_draw_picture(-100, 0, "s.png", 2);
  for (int dx : {0, 1}) {
    for (int dy : {0, 1}) {
      EXPECT_EQ(bitmap_pixel(-100 + dx, 0 - dy), 0xFF0000u);
      EXPECT_EQ(bitmap_pixel(-96 + dx, -2 - dy), 0x708090u);
    }
  }
  EXPECT_EQ(bitmap_pixel(-94, 0), 0xFFFFFFu);
  EXPECT_EQ(bitmap_pixel(-100, -4), 0xFFFFFFu);
  EXPECT_TRUE(text_lines().empty());
}

TEST_F(PictureTest, ClippedAtTheBitmapsEdgesAndFarOff) {
  write_png("s.png", 3, 2, SPRITE);
  int left = -kivet::state().origin_x, top = kivet::state().origin_y;
  KIVET_draw_picture(left - 2, top + 1, "s.png", 1);  // only its last column's lower pixel shows
  EXPECT_EQ(bitmap_pixel(left, top), 0x708090u);
  KIVET_draw_picture(2147483647, -2147483647 - 1, "s.png", 1000000);
  KIVET_draw_picture(-2147483647 - 1, 2147483647, "s.png", 2147483647);
  // A huge scale covers the whole bitmap with the first pixel's block.
  KIVET_draw_picture(left, top, "s.png", 100000);
  EXPECT_EQ(bitmap_pixel(0, 0), 0xFF0000u);
  EXPECT_TRUE(text_lines().empty());
}

TEST_F(PictureTest, LoggedAndDecodedOnceWhileTheLibraryIsOpen) {
  write_png("s.png", 3, 2, SPRITE);
  KIVET_set_logging(1);
  KIVET_draw_picture(1, 2, "s.png", 0);
  EXPECT_EQ(last_lines(2), (std::vector<std::string>{"Scale of 0 not possible, using scale 1",
                                                     "picture s.png at (1,2), scale 1"}));
  ASSERT_EQ(unlink("s.png"), 0);
  // Gone from the disk, still drawn: it was decoded at its first use.
  KIVET_draw_picture(50, 50, "s.png", 3);
  EXPECT_EQ(last_lines(1), (std::vector<std::string>{"picture s.png at (50,50), scale 3"}));
  EXPECT_EQ(bitmap_pixel(50, 50), 0xFF0000u);
  // A new Display reads it again.
  KIVET_close();
  open_library();
  KIVET_set_logging(0);
  KIVET_draw_picture(50, 50, "s.png", 1);
  EXPECT_EQ(last_lines(1),
            (std::vector<std::string>{"Cannot draw picture s.png: No such file or directory"}));
}

TEST_F(PictureTest, FilesThatCannotBeDrawnAreReportedOnceAndDrawNothing) {
  std::ofstream("text.png") << "this is not a picture";
  std::vector<uint32_t> wide(5000, 0x000000FF);
  write_png("wide.png", 5000, 1, wide);
  ASSERT_EQ(mkdir("folder.png", 0700), 0);
  ASSERT_EQ(mkfifo("pipe.png", 0600), 0);  // must not block
  for (int twice = 0; twice < 2; ++twice) {
    for (const char* name : {"missing.png", "text.png", "wide.png", "folder.png", "pipe.png", ""}) {
      KIVET_draw_picture(0, 0, name, 1);
    }
  }
  EXPECT_EQ(text_lines(),
            (std::vector<std::string>{
                "Cannot draw picture missing.png: No such file or directory",
                "Cannot draw picture text.png: not a PNG, JPEG, BMP or GIF picture (Image not of "
                "any known type, or corrupt)",
                "Cannot draw picture wide.png: the picture is 5000 x 1 pixels, more than the "
                "4096 x 4096 that can be drawn",
                "Cannot draw picture folder.png: it is a directory",
                "Cannot draw picture pipe.png: it is not a regular file",
                "Cannot draw picture : No such file or directory",
            }));
  EXPECT_EQ(bitmap_pixel(0, 0), 0xFFFFFFu);
}

TEST_F(PictureTest, KeptPicturesStayWithinTheMemoryBound) {
  // Each 2048 x 2048 picture takes 16 MB: the fifth lets the first go.
  std::vector<unsigned char> big(2048 * 2048 * 3);
  for (size_t i = 1; i < big.size(); i += 3) big[i] = 0xFF;
  for (int i = 0; i < 5; ++i) {
    std::string name = "big" + std::to_string(i) + ".bmp";
    ASSERT_NE(stbi_write_bmp(name.c_str(), 2048, 2048, 3, big.data()), 0);
    KIVET_draw_picture(0, 0, name.c_str(), 1);
    ASSERT_EQ(unlink(name.c_str()), 0);
  }
  EXPECT_EQ(bitmap_pixel(0, 0), 0x00FF00u);
  // The files are gone: the four kept still draw, the first is read again.
  for (int i = 4; i >= 0; --i) {
    KIVET_draw_picture(0, 0, ("big" + std::to_string(i) + ".bmp").c_str(), 1);
  }
  EXPECT_EQ(text_lines(),
            (std::vector<std::string>{"Cannot draw picture big0.bmp: No such file or directory"}));
}

}  // namespace
