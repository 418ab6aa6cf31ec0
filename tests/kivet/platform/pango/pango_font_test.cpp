// The Linux engine for what the built-in face lacks: a Chinese name goes to
// Pango, whose fontconfig finds a face for it (a CJK font is among the
// test packages), and shows its glyphs on the line, not boxes.
#include "kivet/draw/face.h"
#include "support/bitmap_probe.h"

namespace {

class PangoFontTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    open_library();
  }
};

// Whether the ink's bounding box has its whole outline inked, as a box for
// a missing glyph has (the face's, or Pango's with the code inside).
bool framed(const Ink& ink, int color) {
  int border = 0, inked = 0;
  for (int x = ink.left; x <= ink.right; ++x) {
    for (int y = ink.bottom; y <= ink.top; ++y) {
      if (x != ink.left && x != ink.right && y != ink.bottom && y != ink.top) continue;
      ++border;
      inked += bitmap_pixel(x, y) == palette_rgb(color);
    }
  }
  return inked * 10 >= border * 9;
}

}  // namespace

TEST_F(PangoFontTest, AChineseNameShowsItsGlyphsOnTheLine) {
  const int descent = kivet::Face::get().descent(24);
  const int line = kivet::Face::get().line_height(24);
  KIVET_draw_text(BLACK, -100, 0, 24, "\x01");
  ASSERT_TRUE(framed(ink(BLACK), BLACK)) << "the face's own box is recognised";
  std::vector<Ink> glyphs;
  for (const char* character : {"\u674e", "\u5c0f", "\u9f99"}) {
    SCOPED_TRACE(character);
    KIVET_clear();
    KIVET_draw_text(BLACK, -100, 0, 24, character);
    Ink glyph = ink(BLACK);
    ASSERT_GT(glyph.count, 30);
    EXPECT_FALSE(framed(glyph, BLACK)) << "a box, not the character";
    EXPECT_GE(glyph.height(), 16);
    EXPECT_LE(glyph.top, line) << "within the line's cell";
    EXPECT_GE(glyph.bottom, -descent) << "within the line's cell";
    glyphs.push_back(glyph);
  }
  KIVET_clear();
  KIVET_draw_text(BLACK, -100, 0, 24, "Li \u674e\u5c0f\u9f99");
  Ink name = ink(BLACK);
  EXPECT_GT(name.count, glyphs[0].count + glyphs[1].count + glyphs[2].count);
  EXPECT_GT(name.width(), 3 * 16);
}
