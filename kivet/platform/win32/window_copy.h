// The graphics window's own copy of the off-screen bitmap, which WM_PAINT
// paints from: a 32-bit top-down DIB section in a memory DC, the same pixel
// layout as the library's bitmap. The copy takes the rows that changed only
// at the window's next frame, so that any number of changes between two
// frames cost one copy, and of those rows only the pixels that differ: the
// window repaints just the bands that hold them (a scene redrawn whole for
// each frame mostly repaints what moved). On a scaled screen each pixel is
// painted as a k x k block.
#pragma once

#include <vector>

#include "kivet/draw/bitmap.h"
#include "kivet/platform/win32/windows_api.h"

namespace kivet::win32 {

class WindowCopy {
 public:
  WindowCopy() = default;
  WindowCopy(const WindowCopy&) = delete;
  WindowCopy& operator=(const WindowCopy&) = delete;
  ~WindowCopy() { destroy(); }

  // A white copy of the bitmap's size; false when Windows has no room for it.
  bool create();
  void destroy();
  // Rows `changed` of `bitmap` are to be shown from the next frame on; the
  // bitmap is read only then.
  void show(const Bitmap& bitmap, ChangedRows changed);
  // Rows wait to be shown at the next frame.
  bool pending() const { return !pending_.empty(); }
  // At a frame: copies what changed since the last one and returns the
  // bands that hold it, in the bitmap's pixels.
  std::vector<RECT> take_changes();
  // Paints the part `area` of a window whose pixels are `scale` times the
  // copy's: the copy at (0, 0), white beyond it.
  void paint(HDC target, const RECT& area, int scale) const;

 private:
  HDC dc_ = nullptr;
  HBITMAP section_ = nullptr;
  HGDIOBJ before_ = nullptr;
  uint32_t* pixels_ = nullptr;
  const Bitmap* bitmap_ = nullptr;
  ChangedRows pending_;
};

}  // namespace kivet::win32
