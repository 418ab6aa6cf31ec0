// Text drawing: size and colour corrections, the log sentence, glyph height
// and line placement, transparency, the formatted form, and the runs of
// characters the built-in face lacks.
#include <pango/pangocairo.h>

#include <climits>
#include <string>

#include "kivet/draw/face.h"
#include "kivet/draw/text_layout.h"
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

// The ascent and descent of DejaVu Sans, the face KIVET-font is made from,
// at a size, as Pango gives them: text laid out before the face was built
// in keeps its place.
struct Cell {
  int ascent, height;
};
Cell pango_cell(int size) {
  PangoContext* context = pango_font_map_create_context(pango_cairo_font_map_get_default());
  PangoFontDescription* font = pango_font_description_from_string("DejaVu Sans");
  pango_font_description_set_absolute_size(font, size * PANGO_SCALE);
  PangoFontMetrics* metrics = pango_context_get_metrics(context, font, nullptr);
  Cell cell{PANGO_PIXELS_CEIL(pango_font_metrics_get_ascent(metrics)),
            PANGO_PIXELS(pango_font_metrics_get_ascent(metrics) +
                         pango_font_metrics_get_descent(metrics))};
  pango_font_metrics_unref(metrics);
  pango_font_description_free(font);
  g_object_unref(context);
  return cell;
}
int cell_height(int size) { return pango_cell(size).height; }

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

TEST_F(TextTest, TheFacesCellIsPangosAtEverySize) {
  const kivet::Face& face = kivet::Face::get();
  EXPECT_EQ(face.ascent(20), 19);
  EXPECT_EQ(face.line_height(20), 24);
  for (int size = 1; size <= 127; ++size) {
    SCOPED_TRACE(size);
    Cell pango = pango_cell(size);
    EXPECT_EQ(face.line_height(size), pango.height);
    EXPECT_EQ(face.ascent(size), pango.ascent);
  }
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

namespace {

// A drawer in place of the system engine that records the runs it is given: each character moves
// the pen 10 pixels, and a run shows as one pixel at its baseline's left
// end.
class RecordingEngine : public kivet::RunDrawer {
 public:
  struct Run {
    std::string text;
    int left, baseline;
  };
  int run_width(const std::string& utf8, int) override {
    int characters = 0;
    for (unsigned char byte : utf8) characters += (byte & 0xC0) != 0x80;
    return 10 * characters;
  }
  void draw_run(kivet::Bitmap& bitmap, int left, int baseline, const std::string& utf8, int,
                uint32_t color) override {
    runs.push_back(Run{utf8, left, baseline});
    if (left >= 0 && left < kivet::BITMAP_WIDTH && baseline >= 0 && baseline < kivet::BITMAP_HEIGHT)
      bitmap.row(baseline)[left] = color;
  }
  std::vector<Run> runs;
};

class FallbackTest : public TextTest {
 protected:
  // The ink of a text drawn alone, what the face lacks going to `engine`.
  static Ink drawn_with(kivet::RunDrawer* engine, const char* text) {
    KIVET_clear();
    DrawCommand command{DRAW_TEXT, BLACK, 0, -200, 0, 20, 0, 0, 0, text};
    kivet::LibraryState& s = kivet::state();
    kivet::DrawTarget target{*s.offscreen_bitmap, s.changed_rows,
                             kivet::Pixel{s.origin_x, s.origin_y}};
    kivet::render_text(target, command, engine);
    return ink(BLACK);
  }
  RecordingEngine engine_;
};

}  // namespace

// A space or a joiner between two lacking characters stays in their run;
// one that leads to a character of the face does not. Control characters
// are the face's box, never the engine's.
TEST_F(FallbackTest, RunsTheFaceLacksGoToTheSystemEngineWhole) {
  drawn_with(&engine_,
             "Li \u674e\u5c0f \u9f99, \U0001F468\u200D\U0001F469 and \u03a9\t\u0645\u0631");
  ASSERT_EQ(engine_.runs.size(), 3u);
  EXPECT_EQ(engine_.runs[0].text, "\u674e\u5c0f \u9f99");
  EXPECT_EQ(engine_.runs[1].text, "\U0001F468\u200D\U0001F469");
  EXPECT_EQ(engine_.runs[2].text, "\u0645\u0631");
  for (const RecordingEngine::Run& run : engine_.runs) {
    EXPECT_EQ(run.baseline, kivet::state().origin_y - kivet::Face::get().descent(20)) << run.text;
  }
  EXPECT_LT(engine_.runs[0].left, engine_.runs[1].left);
}

// The run starts where the face's next glyph would have, and the face goes
// on where the run's width ends.
TEST_F(FallbackTest, ARunStandsAtThePenAndMovesItByItsWidth) {
  Ink two = drawn_with(nullptr, "HH");
  Ink three = drawn_with(nullptr, "HHH");
  int advance = three.right - two.right;
  Ink with_run = drawn_with(&engine_, "HH\u4e2dH");
  ASSERT_EQ(engine_.runs.size(), 1u);
  EXPECT_NEAR(engine_.runs[0].left - (kivet::state().origin_x - 200), 2 * advance, 1);
  EXPECT_NEAR(with_run.right, three.right + 10, 1) << "the last H moved on by the run's width";
}

TEST_F(FallbackTest, WithoutASystemEngineLackingCharactersShowAsTheBox) {
  Ink box = drawn_with(nullptr, "\x01");
  Ink chinese = drawn_with(nullptr, "\u4e2d");
  EXPECT_GT(box.count, 20);
  EXPECT_EQ(chinese.count, box.count);
  EXPECT_EQ(chinese.height(), box.height());
  Ink two = drawn_with(nullptr, "\u4e2d\u6587");
  EXPECT_EQ(two.count, 2 * box.count);
  EXPECT_EQ(drawn_with(&engine_, "\x01\t").count, 2 * box.count);
  EXPECT_TRUE(engine_.runs.empty());
}

// The face's kerning moves V under A's arm: the pair is narrower than the
// two letters at their advances.
TEST_F(TextTest, KerningFromTheFaceTablesNarrowsAV) {
  int advance_of_a = ink_of("AA", 40).right - ink_of("A", 40).right;
  int unkerned_right = ink_of("V", 40).right + advance_of_a;
  EXPECT_LT(ink_of("AV", 40).right, unkerned_right - 1);
  EXPECT_EQ(ink_of("HH", 40).right - ink_of("H", 40).right,
            ink_of("HHH", 40).right - ink_of("HH", 40).right)
      << "no kerning between H and H";
}
