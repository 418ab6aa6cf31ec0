// Text through Pango on the memory context, without antialiasing. A text
// block that cannot reach the bitmap is left before any font work, and lines
// wholly above or below it are skipped, so labels far outside cost next to
// nothing.
#include "kivet/text_rendering.h"

#include <pango/pangocairo.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "kivet/cairo_state.h"
#include "kivet/clipping.h"
#include "kivet/text_encoding.h"

namespace kivet {

namespace {

// Character height for a point size of 0.
constexpr int DEFAULT_TEXT_HEIGHT = 16;

// A rough upper bound of how far a character of this height can advance
// or reach: wide glyphs and the boxes of control bytes stay well inside it.
int64_t generous_extent(int height) { return 4 * int64_t{height} + 16; }

// Whether a text block can touch the bitmap at all.
bool text_may_show(Pixel anchor, int height, const char* text) {
  size_t length = strlen(text);
  int64_t lines = 1 + std::count(text, text + length, '\n');
  int64_t extent = generous_extent(height);
  Box block{anchor.x - extent, anchor.y - extent, anchor.x + static_cast<int64_t>(length) * extent,
            anchor.y + lines * extent};
  return length > 0 && !block.misses_bitmap();
}

PangoLayout* make_text_layout(cairo_t* cr, int height) {
  PangoLayout* layout = pango_cairo_create_layout(cr);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
  pango_cairo_context_set_font_options(pango_layout_get_context(layout), options);
  cairo_font_options_destroy(options);
  pango_layout_context_changed(layout);

  PangoFontDescription* font = pango_font_description_new();
  pango_font_description_set_family(font, "KIVET-font");
  pango_font_description_set_weight(font, PANGO_WEIGHT_NORMAL);
  pango_font_description_set_style(font, PANGO_STYLE_NORMAL);
  pango_font_description_set_absolute_size(font, static_cast<double>(height) * PANGO_SCALE);
  pango_layout_set_font_description(layout, font);
  pango_font_description_free(font);
  // Only newline bytes, cut out before Pango sees them, separate lines; a
  // carriage return or other separator stays an ordinary character.
  pango_layout_set_single_paragraph_mode(layout, TRUE);
  return layout;
}

// Pango moves a tab on to the next tab stop. Here a tab is an ordinary
// character, drawn in place with the advance of its glyph: the font's own
// box for a character it has no glyph for (glyph 0). Pango cannot be asked
// for that directly (it draws every unknown glyph of a tab as an arrow), so
// the line is laid out with another control byte in each tab's place, and
// those glyphs then become the font's box. Only newline bytes, cut out
// before Pango sees them, are special.
constexpr char TAB = '\t';
constexpr char TAB_STAND_IN = '\x01';
constexpr PangoGlyph FONT_BOX = 0;

void set_line_text(PangoLayout* layout, const char* begin, const char* end) {
  std::string utf8 = shown_utf8(std::string(begin, end), ControlCharacters::keep);
  std::vector<int> tabs;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] != TAB) continue;
    utf8[i] = TAB_STAND_IN;
    tabs.push_back(static_cast<int>(i));
  }
  pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
  if (tabs.empty()) return;
  // pango_layout_get_lines, unlike its read-only twin, lets the caller
  // change the glyphs of the lines it returns.
  for (GSList* line = pango_layout_get_lines(layout); line; line = line->next) {
    for (GSList* r = static_cast<PangoLayoutLine*>(line->data)->runs; r; r = r->next) {
      PangoGlyphItem* run = static_cast<PangoGlyphItem*>(r->data);
      PangoGlyphString* glyphs = run->glyphs;
      for (int i = 0; i < glyphs->num_glyphs; ++i) {
        int offset = run->item->offset + glyphs->log_clusters[i];
        if (!std::binary_search(tabs.begin(), tabs.end(), offset)) continue;
        PangoRectangle logical;
        pango_font_get_glyph_extents(run->item->analysis.font, FONT_BOX, nullptr, &logical);
        glyphs->glyphs[i].glyph = FONT_BOX;
        glyphs->glyphs[i].geometry.width = PANGO_UNITS_ROUND(logical.width);
      }
    }
  }
}

}  // namespace

void render_text(cairo_t* cr, const DrawCommand& c) {
  const char* text = c.text ? c.text : "";
  int height = c.x2 > 0 ? c.x2 : DEFAULT_TEXT_HEIGHT;
  Pixel anchor = to_device(c.x1, c.y1);
  if (!text_may_show(anchor, height, text)) return;

  SavedState saved(cr);
  PangoLayout* layout = make_text_layout(cr, height);
  // The line height is the font's cell height, whatever the characters.
  pango_layout_set_text(layout, "", 0);
  int line_height = 0;
  pango_layout_get_pixel_size(layout, nullptr, &line_height);

  set_source(cr, c.color);
  int64_t top = anchor.y - line_height;
  for (const char* line = text;; top += line_height) {
    const char* end = strchr(line, '\n');
    if (!end) end = line + strlen(line);
    if (top - height >= HEIGHT) break;  // this line and all after it are below
    if (end != line && top + line_height + height > 0) {
      set_line_text(layout, line, end);
      cairo_move_to(cr, static_cast<double>(anchor.x), static_cast<double>(top));
      pango_cairo_show_layout(cr, layout);
    }
    if (*end == '\0') break;
    line = end + 1;
  }
  g_object_unref(layout);
}

}  // namespace kivet
