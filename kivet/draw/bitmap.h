// The off-screen bitmap: the library's own block of pixels that every
// drawing call draws into and every backend shows. 601 x 540 pixels, rows
// from the top with no padding between them, each pixel a 32-bit value
// 0x00RRGGBB in native byte order (the top byte is unused and kept 0). A
// cairo RGB24 image surface and a Windows top-down 32-bit DIB take it as it
// is; a canvas needs one byte swap per pixel.
#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace kivet {

constexpr int BITMAP_WIDTH = 601;
constexpr int BITMAP_HEIGHT = 540;

// A palette colour as a pixel value.
uint32_t pixel_value(int color);

class Bitmap {
 public:
  // A white bitmap.
  Bitmap();
  ~Bitmap();
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;
  static constexpr int width() { return BITMAP_WIDTH; }
  static constexpr int height() { return BITMAP_HEIGHT; }
  // Bytes from the start of one row to the start of the next.
  static constexpr int stride() { return BITMAP_WIDTH * 4; }
  uint32_t* data() { return pixels_.data(); }
  const uint32_t* data() const { return pixels_.data(); }
  uint32_t* row(int y) { return pixels_.data() + static_cast<size_t>(y) * BITMAP_WIDTH; }
  const uint32_t* row(int y) const {
    return pixels_.data() + static_cast<size_t>(y) * BITMAP_WIDTH;
  }
  uint32_t at(int x, int y) const { return row(y)[x]; }
  // Every pixel `value`.
  void fill(uint32_t value);

 private:
  std::vector<uint32_t> pixels_;
};

// The rows of the bitmap that changed since it was last shown: each row
// that was added, all of them between `top` and `bottom` (both included;
// empty when top > bottom). A scene redrawn at every frame changes rows at
// its top and its bottom; the rows between them need not be looked at.
struct ChangedRows {
  int top = BITMAP_HEIGHT;
  int bottom = -1;

  ChangedRows() = default;
  // Rows `first` to `last`, cut to the bitmap.
  ChangedRows(int64_t first, int64_t last) { add(first, last); }
  bool empty() const { return top > bottom; }
  // Whether row `y` (within the bitmap) was added.
  bool has(int y) const { return rows_[static_cast<size_t>(y)]; }
  // Adds rows `first` to `last`, cut to the bitmap.
  void add(int64_t first, int64_t last);
  // Adds the rows of `other`.
  void add(const ChangedRows& other);
  static ChangedRows all() { return ChangedRows{0, BITMAP_HEIGHT - 1}; }

 private:
  std::bitset<BITMAP_HEIGHT> rows_;
};

}  // namespace kivet
