// The graphics window's copy of the bitmap: taking changed rows, painting.
#include "kivet/platform/win32/window_copy.h"

#include <algorithm>
#include <cstring>

namespace kivet::win32 {
namespace {

// Changed rows less than this far apart go to the window as one band.
constexpr int BAND_GAP = 8;

// The first and the last pixel where two rows differ; they must differ
// somewhere.
int first_difference(const uint32_t* a, const uint32_t* b) {
  int x = 0;
  while (a[x] == b[x]) ++x;
  return x;
}

int last_difference(const uint32_t* a, const uint32_t* b) {
  int x = Bitmap::width() - 1;
  while (a[x] == b[x]) --x;
  return x;
}

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
  if (!changed.empty()) pending_.add(changed.top, changed.bottom);
}

std::vector<RECT> WindowCopy::take_changes() {
  std::vector<RECT> bands;
  ChangedRows changed = pending_;
  pending_ = ChangedRows{};
  if (!pixels_ || !bitmap_ || changed.empty()) return bands;
  GdiFlush();  // GDI may still be reading the section for a paint
  for (int y = changed.top; y <= changed.bottom; ++y) {
    const uint32_t* source = bitmap_->row(y);
    uint32_t* target = pixels_ + static_cast<size_t>(y) * Bitmap::width();
    if (std::memcmp(source, target, Bitmap::stride()) == 0) continue;
    int left = first_difference(source, target), right = last_difference(source, target);
    std::memcpy(target + left, source + left, static_cast<size_t>(right - left + 1) * 4);
    if (!bands.empty() && bands.back().bottom >= y - BAND_GAP) {
      RECT& band = bands.back();
      band.bottom = y + 1;
      band.left = std::min<LONG>(band.left, left);
      band.right = std::max<LONG>(band.right, right + 1);
    } else {
      bands.push_back(RECT{left, y, right + 1, y + 1});
    }
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
