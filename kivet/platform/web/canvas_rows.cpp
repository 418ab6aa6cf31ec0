// What changed on the canvas since it was last drawn: the rows of the
// bitmap that may have changed are compared with a copy of what the canvas
// shows, and the boxes of pixels that did change are handed out in the
// byte order a canvas takes (red, green, blue, alpha; one byte swap per
// pixel), packed row after row, so that the page hands the browser only
// those.
#include <emscripten.h>

#include <cstdint>
#include <vector>

#include "kivet/client_area.h"
#include "kivet/draw/changed_pixels.h"
#include "kivet/platform/web/canvas_rows.h"

namespace {

// The canvas: the client area, the bitmap's top rows.
constexpr int WIDTH = kivet::CLIENT_WIDTH;
// The bitmap's rows are copied whole.
static_assert(WIDTH == kivet::BITMAP_WIDTH, "the canvas is as wide as the bitmap");

// Rows that differ and lie fewer than this apart share one box: a few
// boxes a frame, none of them holding much that did not change.
constexpr int BOX_GAP = 10;

// The boxes of pixels that changed, handed to the page.
struct ChangedBoxes {
  int count;
  const int32_t* boxes;  // count x {left, top, width, height}
  const uint8_t* rgba;   // each box's pixels row after row, one box after another
  int bytes;             // of rgba
};

// What the canvas holds, never destroyed: the page draws the last picture
// after the program has ended, when static objects are gone.
struct Canvas {
  // The bitmap's pixels as the canvas shows them; no pixel value has its
  // top byte set, so at first every pixel differs.
  std::vector<uint32_t> shown =
      std::vector<uint32_t>(static_cast<size_t>(kivet::BITMAP_WIDTH) * kivet::BITMAP_HEIGHT, ~0u);
  std::vector<uint32_t> box_pixels;
  std::vector<int32_t> box_list;
  kivet::ChangedRows presented;  // since the canvas was last drawn
};

Canvas& canvas() {
  static Canvas* held = new Canvas;
  return *held;
}

uint32_t canvas_pixel(uint32_t v) {
  return 0xFF000000u | ((v & 0xFFu) << 16) | (v & 0xFF00u) | ((v >> 16) & 0xFFu);
}

}  // namespace

namespace kivet::web {

void note_canvas_rows(const ChangedRows& rows) { canvas().presented.add(rows); }

}  // namespace kivet::web

// Compares the rows presented since the last call of the bitmap at
// `pixels` (0x00RRGGBB) with what the canvas shows, takes them as shown,
// and returns the boxes of pixels that changed. Rows below the canvas are
// compared too (a clear presents them) and cut off by the canvas itself.
extern "C" EMSCRIPTEN_KEEPALIVE const ChangedBoxes* kivet_web_canvas_rows(const uint32_t* pixels) {
  static ChangedBoxes out;
  Canvas& c = canvas();
  std::vector<kivet::PixelBox> boxes =
      kivet::take_differences(pixels, c.shown.data(), c.presented, BOX_GAP);
  c.presented = kivet::ChangedRows{};
  c.box_list.clear();
  c.box_pixels.clear();
  for (const kivet::PixelBox& box : boxes) {
    c.box_list.insert(c.box_list.end(), {box.left, box.top, box.width(), box.height()});
    for (int y = box.top; y <= box.bottom; ++y) {
      const uint32_t* row = pixels + static_cast<size_t>(y) * WIDTH;
      for (int x = box.left; x <= box.right; ++x) c.box_pixels.push_back(canvas_pixel(row[x]));
    }
  }
  out = ChangedBoxes{static_cast<int>(boxes.size()), c.box_list.data(),
                     reinterpret_cast<const uint8_t*>(c.box_pixels.data()),
                     static_cast<int>(c.box_pixels.size() * sizeof(uint32_t))};
  return &out;
}
