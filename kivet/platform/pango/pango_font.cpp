// The font engine on Linux, for the characters the built-in face lacks:
// Pango over cairo, with fontconfig choosing the system's fonts for them,
// drawing straight into the library's pixels through a cairo image surface
// that wraps them, without antialiasing, so every glyph pixel takes
// exactly the text's colour.
#include <pango/pangocairo.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "kivet/platform/font.h"

namespace kivet {
namespace {

class PangoFontEngine {
 public:
  ~PangoFontEngine() { release(); }

  int run_width(const std::string& utf8, int height) {
    // Measured on a surface of the bitmap's kind, which gives the same
    // font options as drawing does.
    if (!measure_) {
      measure_surface_ = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1);
      measure_ = cairo_create(measure_surface_);
    }
    PangoLayout* layout = make_layout(measure_, utf8, height);
    int width = 0;
    pango_layout_get_pixel_size(layout, &width, nullptr);
    g_object_unref(layout);
    return width;
  }

  void draw_run(Bitmap& bitmap, int left, int baseline, const std::string& utf8, int height,
                uint32_t color) {
    wrap(bitmap);
    PangoLayout* layout = make_layout(cr_, utf8, height);
    int above = PANGO_PIXELS(pango_layout_get_baseline(layout));
    int rows = 0;
    pango_layout_get_pixel_size(layout, nullptr, &rows);
    cairo_save(cr_);
    cairo_set_source_rgb(cr_, ((color >> 16) & 0xFF) / 255.0, ((color >> 8) & 0xFF) / 255.0,
                         (color & 0xFF) / 255.0);
    cairo_move_to(cr_, left, int64_t{baseline} - above);
    pango_cairo_show_layout(cr_, layout);
    cairo_restore(cr_);
    g_object_unref(layout);
    cairo_surface_flush(surface_);
    int64_t top = int64_t{baseline} - above;
    clear_unused_byte(bitmap, top - height, top + rows + height);
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
                                                   CAIRO_FORMAT_RGB24, BITMAP_WIDTH, BITMAP_HEIGHT,
                                                   Bitmap::stride());
    cr_ = cairo_create(surface_);
  }

  void release() {
    if (cr_) cairo_destroy(cr_);
    if (surface_) cairo_surface_destroy(surface_);
    cr_ = nullptr;
    surface_ = nullptr;
    wrapped_ = nullptr;
  }

  // A layout of one run at a character height, without antialiasing, in
  // the system's sans-serif face and whatever fontconfig adds to it for the
  // run's characters. The font is described afresh for every call.
  static PangoLayout* make_layout(cairo_t* cr, const std::string& utf8, int height) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
    pango_cairo_context_set_font_options(pango_layout_get_context(layout), options);
    cairo_font_options_destroy(options);
    pango_layout_context_changed(layout);

    PangoFontDescription* font = pango_font_description_new();
    pango_font_description_set_family(font, "sans-serif");
    pango_font_description_set_weight(font, PANGO_WEIGHT_NORMAL);
    pango_font_description_set_style(font, PANGO_STYLE_NORMAL);
    pango_font_description_set_absolute_size(font, static_cast<double>(height) * PANGO_SCALE);
    pango_layout_set_font_description(layout, font);
    pango_font_description_free(font);
    pango_layout_set_single_paragraph_mode(layout, TRUE);
    // The library's lines run left to right; a run of a right-to-left
    // script is ordered within itself.
    pango_layout_set_auto_dir(layout, FALSE);
    pango_layout_set_text(layout, utf8.data(), static_cast<int>(utf8.size()));
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

// Never destroyed, like the platform: text may be drawn until the very end.
PangoFontEngine& engine() {
  static PangoFontEngine* engine = new PangoFontEngine;
  return *engine;
}

}  // namespace

bool system_fonts_exist() { return true; }

int system_run_width(const std::string& utf8, int height) {
  return engine().run_width(utf8, height);
}

void system_draw_run(Bitmap& bitmap, int left, int baseline, const std::string& utf8, int height,
                     uint32_t color) {
  engine().draw_run(bitmap, left, baseline, utf8, height, color);
}

}  // namespace kivet
