// The graphics window's view of the library's bitmap: the pixels are
// wrapped as a cairo image surface, not copied, and the rows the library
// says changed are kept until the window's next frame. Then they are
// compared with a copy of what the window shows, and only the boxes of
// pixels that differ are redrawn.
#pragma once

#include <cairo.h>

#include <vector>

#include "kivet/draw/bitmap.h"
#include "kivet/draw/changed_pixels.h"

namespace kivet::gtk {

class BitmapView {
 public:
  BitmapView() = default;
  BitmapView(const BitmapView&) = delete;
  BitmapView& operator=(const BitmapView&) = delete;
  ~BitmapView();

  // Shows white again, with no bitmap, as a new window does.
  void forget();
  // The bitmap to show, with the rows that changed since the last present.
  void show(const Bitmap& bitmap, ChangedRows changed);
  // The boxes of pixels that changed since the last frame, top to bottom;
  // none are kept after.
  std::vector<PixelBox> take_changes();
  bool has_changes() const { return !changes_.empty(); }
  // Paints a window area of the given size: the bitmap at (0, 0), each
  // pixel a solid block at any scale, and white beyond it (all white
  // before the first present).
  void paint(cairo_t* cr, int width, int height) const;

 private:
  cairo_surface_t* surface_ = nullptr;
  const Bitmap* bitmap_ = nullptr;
  ChangedRows changes_;
  // The bitmap as the window shows it.
  std::vector<uint32_t> shown_;
};

}  // namespace kivet::gtk
