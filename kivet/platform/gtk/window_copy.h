// The graphics window's own copy of the off-screen bitmap, which its draw
// handler paints from. The copy takes only the pixels that changed since the
// last frame, and says which bands of rows they lie in, so that only those
// bands are redrawn and sent to the display.
#pragma once

#include <cairo.h>

#include <vector>

namespace kivet::gtk {

// Rows from `top` to `bottom` with the columns from the first to the last
// changed pixel in any of them, all inclusive.
struct ChangedBand {
  int top, bottom, left, right;
};

// Copies into `copy` the pixels of `bitmap` that differ from it, row by row,
// and returns where they lie. Both are image surfaces of the same format.
std::vector<ChangedBand> copy_changes(cairo_surface_t* bitmap, cairo_surface_t* copy);

class WindowCopy {
 public:
  WindowCopy() = default;
  WindowCopy(const WindowCopy&) = delete;
  WindowCopy& operator=(const WindowCopy&) = delete;
  ~WindowCopy();

  // A white copy of the given size, as the window's background, with no
  // bitmap to show yet.
  void create(int width, int height);
  // The bitmap to show from the next frame on. It is read only then, so
  // that any number of changes between two frames cost one copy.
  void show(cairo_surface_t* bitmap);
  // A bitmap waits to be shown at the next frame.
  bool pending() const { return pending_ != nullptr; }
  // Takes what changed in the bitmap since the last frame.
  std::vector<ChangedBand> take_changes();
  // Paints a window area of the given size: the copy at (0, 0), each pixel a
  // solid block at any scale, and white beyond it.
  void paint(cairo_t* cr, int width, int height) const;

 private:
  cairo_surface_t* copy_ = nullptr;
  cairo_surface_t* pending_ = nullptr;  // a reference to the bitmap shown next
};

}  // namespace kivet::gtk
