#include "kivet/draw/bitmap.h"

#include <algorithm>
#include <cstring>

#include "kivet/kivet.h"

namespace kivet {

uint32_t pixel_value(int color) {
  const KivetRgb& c = KIVET_palette[color];
  return (uint32_t{c.red} << 16) | (uint32_t{c.green} << 8) | c.blue;
}

Bitmap::Bitmap() : pixels_(static_cast<size_t>(BITMAP_WIDTH) * BITMAP_HEIGHT, 0xFFFFFF) {}

void Bitmap::fill(uint32_t value) {
  // One row, then copies of it: the wide stores of memcpy.
  std::fill(row(0), row(0) + BITMAP_WIDTH, value);
  for (int y = 1; y < BITMAP_HEIGHT; ++y) memcpy(row(y), row(0), Bitmap::stride());
}

void ChangedRows::add(int64_t first, int64_t last) {
  first = std::max<int64_t>(first, 0);
  last = std::min<int64_t>(last, BITMAP_HEIGHT - 1);
  if (first > last) return;
  top = std::min(top, static_cast<int>(first));
  bottom = std::max(bottom, static_cast<int>(last));
}

}  // namespace kivet
