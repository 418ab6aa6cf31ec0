// A picture's pixels into the bitmap, clipped: only the part of each block
// row that lies in the bitmap is walked.
#include "kivet/draw/picture.h"

#include <algorithm>

namespace kivet {

void draw_picture(DrawTarget& target, int x, int y, const Picture& picture, int scale) {
  if (picture.width <= 0 || picture.height <= 0 || scale < 1) return;
  Pixel corner = to_device(target.origin, x, y);
  Box box{corner.x, corner.y, corner.x + int64_t{picture.width} * scale - 1,
          corner.y + int64_t{picture.height} * scale - 1};
  if (box.misses_bitmap()) return;
  int64_t left = std::max<int64_t>(box.left, 0), right = std::min<int64_t>(box.right, WIDTH - 1);
  int64_t top = std::max<int64_t>(box.top, 0), bottom = std::min<int64_t>(box.bottom, HEIGHT - 1);
  for (int64_t row = top; row <= bottom; ++row) {
    const uint32_t* source =
        picture.pixels.data() + ((row - box.top) / scale) * static_cast<int64_t>(picture.width);
    uint32_t* out = target.bitmap.row(static_cast<int>(row));
    for (int64_t column = left; column <= right; ++column) {
      uint32_t value = source[(column - box.left) / scale];
      if (value != 0) out[column] = value & 0xFFFFFF;
    }
  }
  target.changed.add(top, bottom);
}

}  // namespace kivet
