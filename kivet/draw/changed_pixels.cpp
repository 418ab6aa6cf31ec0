// The pixels of a frame that differ from what a window shows.
#include "kivet/draw/changed_pixels.h"

#include <algorithm>
#include <cstring>

namespace kivet {
namespace {

constexpr int WIDTH = BITMAP_WIDTH;

// Whether `count` pixels from `a` and `b` are the same: eight at a time,
// their differences gathered in one word, so that the loop branches once
// per 32 bytes and any compiler can widen it.
bool same_pixels(const uint32_t* a, const uint32_t* b, int count) {
  int x = 0;
  for (; x + 8 <= count; x += 8) {
    uint64_t differ = 0;
    for (int i = 0; i < 8; i += 2) {
      uint64_t p, q;
      std::memcpy(&p, a + x + i, 8);
      std::memcpy(&q, b + x + i, 8);
      differ |= p ^ q;
    }
    if (differ) return false;
  }
  for (; x < count; ++x) {
    if (a[x] != b[x]) return false;
  }
  return true;
}

// Pixels compared at a time while looking for a row's first and last
// difference, before the last few are looked at one by one.
constexpr int CHUNK = 32;

// The first and last pixel where two rows differ; false when they are the
// same, as most rows of a frame redrawn whole are.
bool differing_span(const uint32_t* a, const uint32_t* b, int& first, int& last) {
  if (same_pixels(a, b, WIDTH)) return false;
  int x = 0;
  while (x + CHUNK <= WIDTH && same_pixels(a + x, b + x, CHUNK)) {
    x += CHUNK;
  }
  while (a[x] == b[x]) ++x;  // a difference lies at or after x
  first = x;
  // From the right, in chunks that stay clear of `first`.
  int end = WIDTH;
  while (end - CHUNK > first && same_pixels(a + end - CHUNK, b + end - CHUNK, CHUNK)) {
    end -= CHUNK;
  }
  last = end - 1;
  while (a[last] == b[last]) --last;  // stops at `first` at the latest
  return true;
}

}  // namespace

std::vector<PixelBox> take_differences(const uint32_t* pixels, uint32_t* shown,
                                       ChangedRows changed, int gap) {
  std::vector<PixelBox> boxes;
  int top = std::max(changed.top, 0);
  int bottom = std::min(changed.bottom, BITMAP_HEIGHT - 1);
  for (int y = top; y <= bottom; ++y) {
    if (!changed.has(y)) continue;
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
