// The text window's content: the lines it shows, newest at the bottom,
// painted in WM_PAINT with a fixed-pitch font, black on white, 5 pixels
// from the left edge. A paint that the pane did not ask for itself (the
// window was uncovered or shown) asks the library to repaint.
#pragma once

#include <deque>
#include <string>

#include "kivet/platform/win32/windows_api.h"

namespace kivet::win32 {

class TextPane {
 public:
  TextPane() = default;
  TextPane(const TextPane&) = delete;
  TextPane& operator=(const TextPane&) = delete;
  ~TextPane() { attach(nullptr); }

  // The window that shows the lines; null when it is gone.
  void attach(HWND window);
  // The screen's resolution changed: the font follows it.
  void rescale();

  void clear();
  // Adds a line of library bytes at the bottom; lines scrolled off the top
  // are dropped.
  void add_line(const char* bytes);
  void paint(HDC dc, const RECT& client);

 private:
  void request_repaint();
  int line_height();
  size_t lines_kept();

  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  int line_height_ = 0;
  bool repaint_requested_ = false;  // the next paint shows lines added here
  std::deque<std::wstring> lines_;
};

}  // namespace kivet::win32
