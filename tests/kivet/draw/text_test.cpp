// Text drawing: size and colour corrections, the log sentence, glyph height
// and line placement, transparency, and the formatted form.
#include <pango/pangocairo.h>

#include <climits>
#include <string>

#include "support/bitmap_probe.h"

namespace {

class TextTest : public HeadlessTest {
 protected:
  void SetUp() override {
    HeadlessTest::SetUp();
    open_library();
  }
  // The ink of one text drawn alone on a white bitmap.
  static Ink ink_of(const char* text, int size, int x = 0, int y = 0) {
    KIVET_clear();
    KIVET_draw_text(BLACK, x, y, size, text);
    return ink(BLACK);
  }
};

// The character cell height of the text font at a size, measured apart
// from the renderer: the ascent and descent of the face that the font name
// resolves to, asked of the font map directly.
int cell_height(int size) {
  PangoContext* context = pango_font_map_create_context(pango_cairo_font_map_get_default());
  PangoFontDescription* font = pango_font_description_from_string("KIVET-font");
  pango_font_description_set_absolute_size(font, size * PANGO_SCALE);
  PangoFontMetrics* metrics = pango_context_get_metrics(context, font, nullptr);
  int height = PANGO_PIXELS(pango_font_metrics_get_ascent(metrics) +
                            pango_font_metrics_get_descent(metrics));
  pango_font_metrics_unref(metrics);
  pango_font_description_free(font);
  g_object_unref(context);
  return height;
}

}  // namespace

TEST_F(TextTest, CharacterHeightFollowsThePointSize) {
  Ink small = ink_of("H", 20);
  Ink large = ink_of("H", 40);
  EXPECT_GE(small.height(), 12);
  EXPECT_LE(small.height(), 20);
  EXPECT_NEAR(large.height(), 2 * small.height(), 2);
  Ink standard = ink_of("H", 0);
  EXPECT_GT(standard.height(), 5) << "size 0 draws at a default height";
}

TEST_F(TextTest, FirstLineStandsOnTheAnchorAndEachNextLineIsOneLineLower) {
  Ink first = ink_of("H", 20, -100, 0);
  EXPECT_GE(first.left, -100);
  EXPECT_GE(first.bottom, 1) << "wholly above the anchor's row";
  Ink second = ink_of("\nH", 20, -100, 0);
  Ink third = ink_of("\n\nH", 20, -100, 0);
  const int line_height = cell_height(20);
  EXPECT_LE(first.top, line_height) << "within the cell above the anchor's row";
  EXPECT_EQ(first.top - second.top, line_height);
  EXPECT_LE(second.top, 0) << "the second line's cell starts on the anchor's row";
  EXPECT_GT(second.top, -line_height);
  EXPECT_EQ(second.top - third.top, line_height);
  EXPECT_EQ(first.left, second.left);

  KIVET_clear();
  KIVET_draw_text(BLACK, -100, 0, 20, "H\nH");
  EXPECT_EQ(ink(BLACK).count, first.count + second.count);
  EXPECT_EQ(text_lines().back(), "black text at (-100,0), \"H\nH\"");
}

TEST_F(TextTest, OnlyGlyphPixelsChangeAndTheyTakeThePaletteColour) {
  KIVET_draw_rectangle(GREEN, -50, 50, 150, -50, 0);
  KIVET_draw_text(BLUE, -40, 10, 30, "Hello, world");
  Ink glyphs = ink(BLUE);
  EXPECT_GT(glyphs.count, 100);
  EXPECT_LT(glyphs.count, glyphs.width() * glyphs.height() / 2);
  EXPECT_EQ(ink(GREEN).count + glyphs.count, 201 * 101) << "no other colour appears";
}

TEST_F(TextTest, CarriageReturnAndHighBytesAreOrdinaryCharacters) {
  Ink one = ink_of("A", 20);
  Ink with_return = ink_of("A\rB", 20);
  EXPECT_GE(with_return.bottom, 1) << "still one line";
  EXPECT_GT(with_return.right, one.right);
  EXPECT_GT(ink_of("\xe9\xff\x80", 20).count, 0);
}

TEST_F(TextTest, PointSizesAreCorrectedBeforeTheColour) {
  KIVET_draw_text(RED, -290, 0, 127, "Wg");
  std::vector<uint32_t> at_limit = bitmap_snapshot();
  KIVET_clear();
  KIVET_draw_text(30, -290, 0, -200, "Wg");
  EXPECT_EQ(last_lines(4), (std::vector<std::string>{
                               "ptsize of -200 not possible, using ptsize 200",
                               "ptsize of 200 not possible, using ptsize 127",
                               "Illegal color 30; using RED.",
                               "red text at (-290,0), \"Wg\"",
                           }));
  EXPECT_EQ(bitmap_snapshot(), at_limit);

  KIVET_draw_text(RED, 0, 0, 128, "x");
  EXPECT_EQ(last_lines(2)[0], "ptsize of 128 not possible, using ptsize 127");
  KIVET_draw_text(RED, 0, 0, INT_MIN, "x");
  EXPECT_EQ(last_lines(3),
            (std::vector<std::string>{"ptsize of -2147483648 not possible, using ptsize 2147483647",
                                      "ptsize of 2147483647 not possible, using ptsize 127",
                                      "red text at (0,0), \"x\""}));
  size_t before = text_lines().size();
  KIVET_draw_text(RED, 0, 0, 127, "x");
  KIVET_draw_text(RED, 0, 0, 0, "x");
  EXPECT_EQ(text_lines().size(), before + 2) << "sentences only";
}

TEST_F(TextTest, PrintfDrawsTheFormattedTextAndReturnsItsLength) {
  KIVET_draw_text(BLACK, 0, 0, 20, "42");
  std::vector<uint32_t> plain = bitmap_snapshot();
  KIVET_clear();
  EXPECT_EQ(KIVET_printf_text(BLACK, 0, 0, 20, "%d", 42), 2);
  EXPECT_EQ(text_lines().back(), "black text at (0,0), \"42\"");
  EXPECT_EQ(bitmap_snapshot(), plain);
}

TEST_F(TextTest, FormattedTextIsCutAt1023Characters) {
  std::string kept = std::string(1022, 'A') + "\n";
  Ink cut = ink_of(kept.c_str(), 20, -290, 100);
  std::string longer = kept + "B";
  Ink whole = ink_of(longer.c_str(), 20, -290, 100);
  ASSERT_GT(whole.count, cut.count) << "the B would show";

  KIVET_clear();
  EXPECT_EQ(KIVET_printf_text(BLACK, -290, 100, 20, "%s", longer.c_str()), 1023);
  EXPECT_EQ(ink(BLACK).count, cut.count);
}

TEST_F(TextTest, EmptyOrFarAwayTextIsLoggedAndMarksDirtyButChangesNothing) {
  std::vector<uint32_t> picture = bitmap_snapshot();
  kivet::state().KIVET_dirty = false;
  EXPECT_EQ(KIVET_draw_text(RED, 1, 2, 20, ""), 1);
  EXPECT_EQ(text_lines().back(), "red text at (1,2), \"\"");
  EXPECT_TRUE(kivet::state().KIVET_dirty);
  std::string many_lines(1000, '\n');
  KIVET_draw_text(RED, INT_MIN, INT_MIN, 127, "far away");
  KIVET_draw_text(RED, INT_MAX, INT_MAX, 127, "far away");
  KIVET_draw_text(RED, INT_MIN, 0, 127, "far left");
  KIVET_draw_text(RED, 0, INT_MIN, 127, (many_lines + "below").c_str());
  KIVET_draw_text(RED, 0, INT_MAX, 127, (many_lines + "above").c_str());
  EXPECT_EQ(bitmap_snapshot(), picture);
}

// In place: wherever the tab stands, it takes the same room, as a tab stop
// would not (it would stretch "H\tH" by one H more than "\tHH").
TEST_F(TextTest, ATabIsDrawnInPlaceAsTheFontsBox) {
  Ink between = ink_of("H\tH", 20);
  Ink first = ink_of("\tHH", 20);
  EXPECT_EQ(between.right, first.right);
  EXPECT_EQ(between.top, first.top) << "one line";
  Ink letters = ink_of("HH", 20);
  EXPECT_GT(between.count, letters.count);
  EXPECT_LT(between.bottom, letters.bottom) << "the box reaches below the baseline";
}
