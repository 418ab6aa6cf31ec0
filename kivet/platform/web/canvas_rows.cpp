// What changed on the canvas since it was last drawn: the rows of the
// bitmap that may have changed are compared with a copy of what the canvas
// shows, and the box of pixels that did change is handed out in the byte
// order a canvas takes (red, green, blue, alpha; one byte swap per pixel),
// packed row after row, so that the page hands the browser only those.
#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "kivet/client_area.h"

namespace {

// The canvas: the client area, the bitmap's top rows.
constexpr int WIDTH = kivet::CLIENT_WIDTH;
constexpr int HEIGHT = kivet::CLIENT_HEIGHT;
// The bitmap's rows are copied whole.
static_assert(WIDTH == kivet::BITMAP_WIDTH, "the canvas is as wide as the bitmap");

struct ChangedBox {
  int left, top, right, bottom;  // empty when right < left
  const uint8_t* rgba;           // (right - left + 1) x (bottom - top + 1) pixels
};

// The bitmap's pixels as the canvas shows them; no pixel value has its top
// byte set, so at first every pixel differs.
std::vector<uint32_t> shown(static_cast<size_t>(WIDTH) * HEIGHT, ~0u);
std::vector<uint32_t> box_pixels;

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

uint32_t canvas_pixel(uint32_t v) {
  return 0xFF000000u | ((v & 0xFFu) << 16) | (v & 0xFF00u) | ((v >> 16) & 0xFFu);
}

}  // namespace

// Compares rows `top` to `bottom` of the bitmap at `pixels` (0x00RRGGBB)
// with what the canvas shows, takes them as shown, and returns the box of
// pixels that changed.
extern "C" EMSCRIPTEN_KEEPALIVE const ChangedBox* kivet_web_canvas_rows(const uint32_t* pixels,
                                                                        int top, int bottom) {
  static ChangedBox box;
  box = ChangedBox{WIDTH, HEIGHT, -1, -1, nullptr};
  top = std::max(top, 0);
  bottom = std::min(bottom, HEIGHT - 1);
  for (int y = top; y <= bottom; ++y) {
    size_t row = static_cast<size_t>(y) * WIDTH;
    int first = 0, last = 0;
    if (!differing_span(pixels + row, shown.data() + row, first, last)) continue;
    box.left = std::min(box.left, first);
    box.right = std::max(box.right, last);
    box.top = std::min(box.top, y);
    box.bottom = y;
  }
  if (box.right < box.left) return &box;
  int width = box.right - box.left + 1;
  box_pixels.resize(static_cast<size_t>(width) * (box.bottom - box.top + 1));
  uint32_t* out = box_pixels.data();
  for (int y = box.top; y <= box.bottom; ++y) {
    size_t row = static_cast<size_t>(y) * WIDTH + box.left;
    memcpy(shown.data() + row, pixels + row, static_cast<size_t>(width) * 4);
    for (int x = 0; x < width; ++x) *out++ = canvas_pixel(pixels[row + x]);
  }
  box.rgba = reinterpret_cast<const uint8_t*>(box_pixels.data());
  return &box;
}
