// What changed on the canvas since it was last drawn: the rows of the
// bitmap that may have changed are compared with a copy of what the canvas
// shows, and the box of pixels that did change is handed out in the byte
// order a canvas takes (red, green, blue, alpha; one byte swap per pixel),
// packed row after row, so that the page hands the browser only those.
#include <emscripten.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "kivet/client_area.h"
#include "kivet/draw/changed_pixels.h"

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

// What the canvas holds, never destroyed: the page draws the last picture
// after the program has ended, when static objects are gone.
struct Canvas {
  // The bitmap's pixels as the canvas shows them; no pixel value has its
  // top byte set, so at first every pixel differs.
  std::vector<uint32_t> shown =
      std::vector<uint32_t>(static_cast<size_t>(kivet::BITMAP_WIDTH) * kivet::BITMAP_HEIGHT, ~0u);
  std::vector<uint32_t> box_pixels;
  std::vector<kivet::PixelBox> boxes;
};

Canvas& canvas() {
  static Canvas* held = new Canvas;
  return *held;
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
  kivet::ChangedRows rows{top, std::min(bottom, HEIGHT - 1)};
  Canvas& c = canvas();
  c.boxes = kivet::take_differences(pixels, c.shown.data(), rows, kivet::BITMAP_HEIGHT);
  if (c.boxes.empty()) return &box;
  const kivet::PixelBox& changed = c.boxes[0];
  box = ChangedBox{changed.left, changed.top, changed.right, changed.bottom, nullptr};
  int width = changed.width();
  c.box_pixels.resize(static_cast<size_t>(width) * changed.height());
  uint32_t* out = c.box_pixels.data();
  for (int y = box.top; y <= box.bottom; ++y) {
    size_t row = static_cast<size_t>(y) * WIDTH + box.left;
    for (int x = 0; x < width; ++x) *out++ = canvas_pixel(pixels[row + x]);
  }
  box.rgba = reinterpret_cast<const uint8_t*>(c.box_pixels.data());
  return &box;
}
