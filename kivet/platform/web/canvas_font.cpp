// The canvas font engine: the browser's own text drawing, on a canvas of
// the page's, thresholded into the library's pixels (library_kivet_font.js).
#include "kivet/platform/font.h"
#include "kivet/platform/web/page.h"

namespace kivet::web {
namespace {

class CanvasFont : public FontEngine {
 public:
  int line_height(int height) override { return kivet_canvas_line_height(height); }

  void draw_line(Bitmap& bitmap, int left, int top, const std::string& utf8, int height,
                 uint32_t color) override {
    if (utf8.empty()) return;
    kivet_canvas_draw_line(bitmap.data(), Bitmap::width(), Bitmap::height(), left, top, utf8.data(),
                           static_cast<int>(utf8.size()), height, color);
  }
};

}  // namespace
}  // namespace kivet::web

// Never destroyed: text may be drawn from an atexit handler.
kivet::FontEngine& kivet::font_engine() {
  static web::CanvasFont* engine = new web::CanvasFont;
  return *engine;
}
