// The font seam: what the system draws of text. The library draws text in
// its own face, KIVET-font (kivet/draw/face.h), the same pixels on every
// system; a run of characters that face has no glyph for (Chinese, Arabic,
// emoji...) is handed to the system's own text engine, placed at the pen:
// Pango on Linux, GDI on Windows, the canvas in the browser.
#pragma once

#include <string>

#include "kivet/draw/bitmap.h"

namespace kivet {

class FontEngine {
 public:
  virtual ~FontEngine() = default;

  // How far the pen moves over a run of text, valid UTF-8 without control
  // characters, drawn with characters `height` pixels high (the character
  // height without internal leading, 1 to 127), in whole pixels.
  virtual int run_width(const std::string& utf8, int height) = 0;

  // Draws such a run with the left end of its baseline at bitmap pixel
  // (left, baseline), in the system's fonts. Transparent and not
  // antialiased: only the glyphs' own pixels change, and each of them
  // becomes exactly `color` (0x00RRGGBB). What falls outside the bitmap is
  // cut off; `left` and `baseline` may lie far outside it.
  virtual void draw_run(Bitmap& bitmap, int left, int baseline, const std::string& utf8, int height,
                        uint32_t color) = 0;
};

// The engine of the system the library was built for; null in a build
// without one, where characters the face lacks show as its box.
FontEngine* system_font_engine();

}  // namespace kivet
