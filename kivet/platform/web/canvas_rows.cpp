// The canvas's copy of the bitmap, in the byte order a canvas takes (red,
// green, blue, alpha), brought up to date at each of the page's frames:
// one byte swap per pixel of the rows that may have changed, and the box
// of the pixels that did change, so that the page hands the browser only
// those.
#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

constexpr int WIDTH = 601;
constexpr int HEIGHT = 515;  // the canvas: the rows of the bitmap that show

struct CanvasRows {
  int left, top, right, bottom;  // the changed box, empty when right < left
  const uint8_t* rgba;           // WIDTH x HEIGHT pixels, 4 bytes each
};

std::vector<uint32_t> shown(static_cast<size_t>(WIDTH) * HEIGHT, 0);     // RGBA
std::vector<uint32_t> source(static_cast<size_t>(WIDTH) * HEIGHT, ~0u);  // as it came

// The first and last pixel where two rows differ, by 64-bit words while
// they agree; false when they are the same.
bool differing_span(const uint32_t* a, const uint32_t* b, int& first, int& last) {
  int x = 0;
  for (; x + 2 <= WIDTH; x += 2) {
    uint64_t p, q;
    memcpy(&p, a + x, 8);
    memcpy(&q, b + x, 8);
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

// Rows `top` to `bottom` of the bitmap at `pixels` (0x00RRGGBB) into the
// copy; returns where the copy is and what changed in it.
extern "C" EMSCRIPTEN_KEEPALIVE const CanvasRows* kivet_web_canvas_rows(const uint32_t* pixels,
                                                                        int top, int bottom) {
  static CanvasRows result;
  result = CanvasRows{WIDTH, HEIGHT, -1, -1, reinterpret_cast<const uint8_t*>(shown.data())};
  top = std::max(top, 0);
  bottom = std::min(bottom, HEIGHT - 1);
  for (int y = top; y <= bottom; ++y) {
    size_t row = static_cast<size_t>(y) * WIDTH;
    const uint32_t* from = pixels + row;
    int first = 0, last = 0;
    if (!differing_span(from, source.data() + row, first, last)) continue;
    for (int x = first; x <= last; ++x) {
      uint32_t v = from[x];
      source[row + x] = v;
      shown[row + x] = 0xFF000000u | ((v & 0xFFu) << 16) | (v & 0xFF00u) | ((v >> 16) & 0xFFu);
    }
    result.left = std::min(result.left, first);
    result.right = std::max(result.right, last);
    result.top = std::min(result.top, y);
    result.bottom = y;
  }
  return &result;
}
