// The font engine on Linux: Pango over cairo, drawing straight into the
// library's pixels through a cairo image surface that wraps them, without
// antialiasing, so every glyph pixel takes exactly the text's colour.
#include <pango/pangocairo.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "kivet/platform/font.h"

namespace kivet {
namespace {

// Pango moves a tab on to the next tab stop. Here a tab is an ordinary
// character, drawn in place with the advance of its glyph: the font's own
// box for a character it has no glyph for (glyph 0). Pango cannot be asked
// for that directly (it draws every unknown glyph of a tab as an arrow), so
// the line is laid out with another control byte in each tab's place, and
// those glyphs then become the font's box.
constexpr char TAB = '\t';
constexpr char TAB_STAND_IN = '\x01';
constexpr PangoGlyph FONT_BOX = 0;

void set_line_text(PangoLayout* layout, std::string utf8) {
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

class PangoFontEngine : public FontEngine {
 public:
  ~PangoFontEngine() override { release(); }

  int line_height(int height) override {
    // Measured on a surface of the bitmap's kind, which gives the same
    // font options as drawing does.
    if (!measure_) {
      measure_surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
      measure_ = cairo_create(measure_surface_);
    }
    PangoLayout* layout = make_layout(measure_, height);
    int line = 0;
    pango_layout_get_pixel_size(layout, nullptr, &line);
    g_object_unref(layout);
    return line;
  }

  void draw_line(Bitmap& bitmap, int left, int top, const std::string& utf8, int height,
                 uint32_t color) override {
    wrap(bitmap);
    PangoLayout* layout = make_layout(cr_, height);
    set_line_text(layout, utf8);
    cairo_save(cr_);
    cairo_set_source_rgb(cr_, ((color >> 16) & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0,
                         (color & 0xFF) / 255.0);
    cairo_move_to(cr_, left, top);
    pango_cairo_show_layout(cr_, layout);
    cairo_restore(cr_);
    g_object_unref(layout);
    cairo_surface_flush(surface_);
    clear_unused_byte(bitmap, int64_t{top} - height, int64_t{top} + 2 * int64_t{height} + 8);
  }

 private:
  // A cairo context over the bitmap's own pixels, made once per bitmap.
  void wrap(Bitmap& bitmap) {
    if (wrapped_ == bitmap.data()) {
      cairo_surface_mark_dirty(surface_);
      return;
    }
    release();
    wrapped_ = bitmap.data();
    surface_ = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(wrapped_),
                                                   CAIRO_FORMAT_RGB24, BITMAP_WIDTH,
                                                   BITMAP_HEIGHT, Bitmap::stride());
    cr_ = cairo_create(surface_);
  }

  void release() {
    if (cr_) cairo_destroy(cr_);
    if (surface_) cairo_surface_destroy(surface_);
    cr_ = nullptr;
    surface_ = nullptr;
    wrapped_ = nullptr;
  }

  // A layout for one line in the text font at a character height, without
  // antialiasing. The font is described afresh for every call.
  static PangoLayout* make_layout(cairo_t* cr, int height) {
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
    // The library cuts lines at newline bytes itself; a carriage return or
    // other separator stays an ordinary character.
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    return layout;
  }

  // cairo may set the top byte of the pixels it writes; the library keeps
  // it 0.
  static void clear_unused_byte(Bitmap& bitmap, int64_t first, int64_t last) {
    first = std::max<int64_t>(first, 0);
    last = std::min<int64_t>(last, BITMAP_HEIGHT - 1);
    for (int64_t y = first; y <= last; ++y) {
      uint32_t* row = bitmap.row(static_cast<int>(y));
      for (int x = 0; x < BITMAP_WIDTH; ++x) row[x] &= 0xFFFFFF;
    }
  }

  uint32_t* wrapped_ = nullptr;
  cairo_surface_t* surface_ = nullptr;
  cairo_t* cr_ = nullptr;
  cairo_surface_t* measure_surface_ = nullptr;
  cairo_t* measure_ = nullptr;
};

}  // namespace

FontEngine& font_engine() {
  static PangoFontEngine* engine = new PangoFontEngine;
  return *engine;
}

}  // namespace kivet
