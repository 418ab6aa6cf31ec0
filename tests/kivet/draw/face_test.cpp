// The built-in face as a picture: a line of each of its blocks at a few
// sizes, and the letters whose stems and bowls suffer first at small
// sizes, against the reference face.png beside this file. On a mismatch
// the picture got and a difference picture are written to the working
// directory; KIVET_UPDATE_EXPECTED=1 makes the picture got the reference.
// And those letters' shapes at every size from 8 up: no stem or bowl
// vanishes, none merges with another.
#include <cairo.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>

#include "kivet/snapshot.h"
#include "support/bitmap_probe.h"

namespace {

const char* const BLOCKS[] = {
    "ASCII: The quick brown fox jumps over the lazy dog 0123456789 "
    "!\"#$%&'()*+,-./:;<=>?@[\\]^_`{|}~",
    "Latin-1: \u00c0\u00e9\u00ee\u00f5\u00fc\u00ff \u00c7\u00f1 \u00df \u00e6\u00f8\u00e5 "
    "\u00a1\u00bf "
    "\u00ab\u00bb \u00a9\u00ae\u00b0\u00b1\u00b5\u00b6\u00b7\u00d7\u00f7 Caf\u00e9 20\u00b0C "
    "Zo\u00eb",
    "Extended-A: \u0100\u0105 \u0106\u010d \u010e\u0111 \u0118\u011b \u011e \u0131 \u0141\u0142 "
    "\u0143\u0148 \u0150\u0153 \u0158\u0161 \u0164\u016f \u0170\u017a \u017d\u017f",
    "Greek: \u03a9mega \u03b1\u03b2\u03b3\u03b4\u03b5 \u03bb\u03bc\u03c0\u03c3 \u03a3\u03a6\u03a8 "
    "\u03ac\u03ad\u03ae",
    "Cyrillic: \u041f\u0440\u0438\u0432\u0435\u0442, \u043c\u0438\u0440! \u0401\u0416\u0429\u042b"
    "\u042e\u042f \u0451\u0436\u0449\u044b\u044e\u044f \u0490\u0491 \u0404\u0454",
    "Punctuation: \u2018\u2019 \u201c\u201d \u201e \u2020 \u2021 \u2022 \u2026 \u2030 \u2032\u2033 "
    "\u2039\u203a \u203c \u2013\u2014",
    "Currency, arrows: \u20ac \u00a3 \u00a5 \u20b9 \u20bd \u20ba \u20a9 \u20aa \u20ab \u20b4 "
    "\u2190\u2191\u2192\u2193\u2194\u2195 \u21d0\u21d2\u21d4",
    "Box: a\tb \x01 AV To Wa",
};

// Where the pictures are: the reference beside this file, the others in
// the working directory.
std::string reference_path() { return std::string(TEST_SOURCE_DIR) + "/kivet/draw/face.png"; }

// The pixels of a PNG as 0xRRGGBB, or nothing when it cannot be read.
std::vector<uint32_t> read_png(const std::string& path) {
  cairo_surface_t* surface = cairo_image_surface_create_from_png(path.c_str());
  std::vector<uint32_t> pixels;
  if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS &&
      cairo_image_surface_get_width(surface) == kivet::BITMAP_WIDTH &&
      cairo_image_surface_get_height(surface) == kivet::BITMAP_HEIGHT) {
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < kivet::BITMAP_HEIGHT; ++y) {
      for (int x = 0; x < kivet::BITMAP_WIDTH; ++x) {
        uint32_t value;
        memcpy(&value, data + y * stride + 4 * x, sizeof value);
        pixels.push_back(value & 0xFFFFFF);
      }
    }
  }
  cairo_surface_destroy(surface);
  return pixels;
}

class FaceTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    open_library();
  }
};

void draw_sheet() {
  KIVET_clear();
  // Lines one character cell apart, the first at the top.
  int y = 257;
  for (int size : {10, 13, 16}) {
    for (const char* line : BLOCKS) {
      y -= size * 6 / 5 + 1;
      KIVET_draw_text(BLACK, -296, y, size, line);
    }
  }
  y -= 18;
  for (int size : {8, 9, 11, 12, 14}) {
    KIVET_draw_text(BLUE, -296 + (size - 8) * 20 + (size - 8) * (size - 8) * 3, y, size,
                    "Il1|eamg");
  }
  KIVET_draw_text(RED, -296, -250, 24, "Il1|eamg \u00c5\u0416\u03a9");
  KIVET_draw_text(RED, -60, -250, 48, "Il1|eamg");
}

}  // namespace

TEST_F(FaceTest, EveryBlockAtSeveralSizesMatchesTheReferencePicture) {
  draw_sheet();
  if (const char* update = getenv("KIVET_UPDATE_EXPECTED"); update && strcmp(update, "1") == 0) {
    ASSERT_EQ(kivet::write_png(*kivet::state().offscreen_bitmap, reference_path().c_str()), "");
  }
  std::vector<uint32_t> expected = read_png(reference_path());
  ASSERT_FALSE(expected.empty()) << "cannot read " << reference_path();
  std::vector<uint32_t> got = bitmap_snapshot();
  int wrong = 0;
  kivet::Bitmap difference;
  for (size_t i = 0; i < got.size(); ++i) {
    uint32_t faded = 0xC0C0C0 + ((expected[i] >> 2) & 0x3F3F3F);
    difference.data()[i] = got[i] == expected[i] ? faded : 0xFF0000;
    wrong += got[i] != expected[i];
  }
  if (wrong > 0) {
    kivet::write_png(*kivet::state().offscreen_bitmap, "face-got.png");
    kivet::write_png(difference, "face-difference.png");
  }
  EXPECT_EQ(wrong, 0) << "pixels unlike " << reference_path()
                      << "; see face-got.png and face-difference.png in the working directory";
}

namespace {

// One glyph's ink, as a grid of its bounding box with a blank border.
struct Shape {
  int width = 0, height = 0;
  std::vector<char> ink;
  bool at(int x, int y) const {
    return x >= 0 && y >= 0 && x < width && y < height && ink[y * width + x];
  }
};

Shape drawn(const char* letter, int size) {
  KIVET_clear();
  KIVET_draw_text(BLACK, -100, 0, size, letter);
  Ink box = ink(BLACK);
  Shape shape;
  shape.width = box.width() + 2;
  shape.height = box.height() + 2;
  shape.ink.resize(shape.width * shape.height);
  for (int y = 0; y < shape.height; ++y) {
    for (int x = 0; x < shape.width; ++x) {
      int display_x = box.left - 1 + x, display_y = box.top + 1 - y;
      shape.ink[y * shape.width + x] = bitmap_pixel(display_x, display_y) == palette_rgb(BLACK);
    }
  }
  return shape;
}

// Blank regions that the ink closes in: the bowls of e, a, g.
int holes(const Shape& shape) {
  std::vector<char> seen(shape.ink.size());
  int regions = 0;
  for (int start = 0; start < static_cast<int>(seen.size()); ++start) {
    if (shape.ink[start] || seen[start]) continue;
    ++regions;
    std::vector<int> todo{start};
    seen[start] = 1;
    while (!todo.empty()) {
      int at = todo.back();
      todo.pop_back();
      int x = at % shape.width, y = at / shape.width;
      for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        int nx = x + dx, ny = y + dy;
        if (nx < 0 || ny < 0 || nx >= shape.width || ny >= shape.height) continue;
        int next = ny * shape.width + nx;
        if (shape.ink[next] || seen[next]) continue;
        seen[next] = 1;
        todo.push_back(next);
      }
    }
  }
  return regions - 1;  // the blank around the glyph
}

// Runs of ink along one row.
int runs_in_row(const Shape& shape, int y) {
  int runs = 0;
  for (int x = 0; x < shape.width; ++x) runs += shape.at(x, y) && !shape.at(x - 1, y);
  return runs;
}

}  // namespace

TEST_F(FaceTest, NoStemOrBowlVanishesOrMergesFromSize8Up) {
  for (int size = 8; size <= 48; ++size) {
    SCOPED_TRACE("size " + std::to_string(size));
    for (const char* stem : {"I", "l", "1", "|"}) {
      Shape shape = drawn(stem, size);
      for (int y = 1; y < shape.height - 1; ++y) {
        EXPECT_GE(runs_in_row(shape, y), 1) << stem << " is broken in row " << y;
      }
      EXPECT_EQ(runs_in_row(shape, shape.height / 2), 1) << stem;
    }
    for (const char* bowl : {"e", "a", "g"}) EXPECT_EQ(holes(drawn(bowl, size)), 1) << bowl;
    Shape m = drawn("m", size);
    EXPECT_EQ(runs_in_row(m, m.height / 2), 3) << "m's three stems";
    EXPECT_EQ(holes(m), 0);
  }
}
