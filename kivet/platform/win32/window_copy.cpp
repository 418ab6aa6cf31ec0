// The graphics window's copy of the bitmap: taking changed rows, painting.
#include "kivet/platform/win32/window_copy.h"

#include <algorithm>

#include "kivet/draw/changed_pixels.h"

namespace kivet::win32 {
namespace {

// Changed rows fewer than this many rows apart go to the window as one band.
constexpr int BAND_GAP = 10;

}  // namespace

bool WindowCopy::create() {
  destroy();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = Bitmap::width();
  info.bmiHeader.biHeight = -Bitmap::height();  // top-down, like the library's rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  section_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  dc_ = CreateCompatibleDC(nullptr);
  if (!section_ || !dc_) {
    destroy();
    return false;
  }
  before_ = SelectObject(dc_, section_);
  pixels_ = static_cast<uint32_t*>(bits);
  bitmap_ = nullptr;
  pending_ = ChangedRows{};
  std::fill(pixels_, pixels_ + Bitmap::width() * Bitmap::height(), 0xFFFFFFu);
  return true;
}

void WindowCopy::destroy() {
  if (dc_ && before_) SelectObject(dc_, before_);
  if (dc_) DeleteDC(dc_);
  if (section_) DeleteObject(section_);
  dc_ = nullptr;
  section_ = nullptr;
  before_ = nullptr;
  pixels_ = nullptr;
}

void WindowCopy::show(const Bitmap& bitmap, ChangedRows changed) {
  bitmap_ = &bitmap;
  pending_.add(changed);
}

std::vector<RECT> WindowCopy::take_changes() {
  std::vector<RECT> bands;
  ChangedRows changed = pending_;
  pending_ = ChangedRows{};
  if (!pixels_ || !bitmap_ || changed.empty()) return bands;
  GdiFlush();  // GDI may still be reading the section for a paint
  for (const PixelBox& box : take_differences(bitmap_->data(), pixels_, changed, BAND_GAP)) {
    bands.push_back(RECT{box.left, box.top, box.right + 1, box.bottom + 1});
  }
  return bands;
}

void WindowCopy::paint(HDC target, const RECT& area, int scale) const {
  int width = Bitmap::width() * scale;
  int height = Bitmap::height() * scale;
  if (area.right > width || area.bottom > height) {
    // Beyond the copy the window shows white.
    RECT all = area;
    FillRect(target, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  if (!dc_) return;
  if (scale == 1) {
    BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, dc_,
           area.left, area.top, SRCCOPY);
    return;
  }
  // Whole blocks only: the area widened to multiples of the scale, each
  // pixel of the copy repeated, never blended with its neighbours.
  int left = area.left / scale, top = area.top / scale;
  int right = std::min<int>(Bitmap::width(), (area.right + scale - 1) / scale);
  int bottom = std::min<int>(Bitmap::height(), (area.bottom + scale - 1) / scale);
  if (left >= right || top >= bottom) return;
  int mode = SetStretchBltMode(target, COLORONCOLOR);
  StretchBlt(target, left * scale, top * scale, (right - left) * scale, (bottom - top) * scale, dc_,
             left, top, right - left, bottom - top, SRCCOPY);
  SetStretchBltMode(target, mode);
}

}  // namespace kivet::win32
