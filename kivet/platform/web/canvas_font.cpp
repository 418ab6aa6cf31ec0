// The canvas font engine, for the characters the built-in face lacks: the
// browser's own text drawing, on a canvas of the page's, thresholded into
// the library's pixels (library_kivet_font.js).
#include "kivet/platform/font.h"
#include "kivet/platform/web/page.h"

bool kivet::system_fonts_exist() { return true; }

int kivet::system_run_width(const std::string& utf8, int height) {
  return kivet_canvas_run_width(utf8.data(), static_cast<int>(utf8.size()), height);
}

void kivet::system_draw_run(Bitmap& bitmap, int left, int baseline, const std::string& utf8,
                            int height, uint32_t color) {
  if (utf8.empty()) return;
  kivet_canvas_draw_run(bitmap.data(), Bitmap::width(), Bitmap::height(), left, baseline,
                        utf8.data(), static_cast<int>(utf8.size()), height, color);
}
