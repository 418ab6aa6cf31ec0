// The pixels of a frame that differ from what a window shows.
#include "kivet/draw/changed_pixels.h"

#include <algorithm>
#include <cstring>

namespace kivet {
namespace {

constexpr int WIDTH = BITMAP_WIDTH;

// The first and last pixel where two rows differ, compared eight bytes at a
// time while they agree; false when they are the same.
bool differing_span(const uint32_t* a, const uint32_t* b, int& first, int& last) {
  int x = 0;
  for (; x + 2 <= WIDTH; x += 2) {
    uint64_t p, q;
    std::memcpy(&p, a + x, 8);
    std::memcpy(&q, b + x, 8);
    if (p != q) break;
  }
  while (x < WIDTH && a[x] == b[x]) ++x;
  if (x == WIDTH) return false;
  first = x;
  last = WIDTH - 1;
  while (a[last] == b[last]) --last;
  return true;
}

}  // namespace

std::vector<PixelBox> take_differences(const uint32_t* pixels, uint32_t* shown,
                                       ChangedRows changed, int gap) {
  std::vector<PixelBox> boxes;
  int top = std::max(changed.top, 0);
  int bottom = std::min(changed.bottom, BITMAP_HEIGHT - 1);
  for (int y = top; y <= bottom; ++y) {
    size_t row = static_cast<size_t>(y) * WIDTH;
    int first = 0, last = 0;
    if (!differing_span(pixels + row, shown + row, first, last)) continue;
    std::memcpy(shown + row + first, pixels + row + first,
                static_cast<size_t>(last - first + 1) * sizeof(uint32_t));
    if (!boxes.empty() && boxes.back().bottom + gap > y) {
      PixelBox& box = boxes.back();
      box.bottom = y;
      box.left = std::min(box.left, first);
      box.right = std::max(box.right, last);
    } else {
      boxes.push_back(PixelBox{first, y, last, y});
    }
  }
  return boxes;
}

}  // namespace kivet
