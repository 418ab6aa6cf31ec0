// What a window must be sent of a frame. A window keeps a copy of the
// bitmap as it shows it; at each frame the rows that the library says
// changed are compared with that copy, and only the pixels that really
// differ are taken into it and sent on. A scene redrawn whole for every
// frame (a clear, then every shape again) then sends only what moved.
#pragma once

#include <cstdint>
#include <vector>

#include "kivet/draw/bitmap.h"

namespace kivet {

// Pixels `left` to `right` of rows `top` to `bottom`, all included.
struct PixelBox {
  int left, top, right, bottom;
  int width() const { return right - left + 1; }
  int height() const { return bottom - top + 1; }
};

// Compares the rows `changed` holds of `pixels` with `shown` (both laid out as the
// bitmap), copies into `shown` the pixels of each row from its first to its
// last difference, and returns the boxes that hold them, top to bottom.
// Rows that differ and lie fewer than `gap` rows apart share one box, so a
// gap of BITMAP_HEIGHT gives at most one box.
std::vector<PixelBox> take_differences(const uint32_t* pixels, uint32_t* shown,
                                       ChangedRows changed, int gap);

}  // namespace kivet
