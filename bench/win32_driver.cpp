// The whole-program figures of bench/window_driver.h with the Win32
// backend, for bench/windows.sh, which runs this under Wine on an Xvfb of
// its own.
#include <algorithm>

#include "bench/window_driver.h"
#include "kivet/platform/win32/windows_api.h"

namespace {

// Pixels of the graphics window's client area, read back from the screen,
// that differ from the off-screen bitmap; -1 when they cannot be read.
long pixels_unlike_bitmap() {
  HWND window = FindWindowW(L"DrawWndClass", nullptr);
  RECT client{};
  if (!window || !GetClientRect(window, &client)) return -1;
  int width = std::min<int>(client.right, kivet::BITMAP_WIDTH);
  int height = std::min<int>(client.bottom, kivet::BITMAP_HEIGHT);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP shown = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memory = CreateCompatibleDC(nullptr);
  HDC screen = GetDC(window);
  HGDIOBJ before = SelectObject(memory, shown);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  GdiFlush();
  long unlike = 0;
  for (int y = 0; y < height; ++y) {
    const uint32_t* row = static_cast<const uint32_t*>(bits) + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      unlike += (row[x] & 0xFFFFFF) != (kivet::state().offscreen_bitmap->at(x, y) & 0xFFFFFF);
    }
  }
  SelectObject(memory, before);
  ReleaseDC(window, screen);
  DeleteDC(memory);
  DeleteObject(shown);
  return unlike;
}

}  // namespace

int main(int argc, char** argv) { return bench::driver_main(argc, argv, pixels_unlike_bitmap); }
