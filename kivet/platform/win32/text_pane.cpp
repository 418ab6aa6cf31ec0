// The text window's lines and their painting.
#include "kivet/platform/win32/text_pane.h"

#include "kivet/platform/platform.h"
#include "kivet/platform/win32/wide_text.h"

namespace kivet::win32 {

static constexpr int FONT_POINTS = 10;
static constexpr int LEFT_MARGIN = 5;
// Kept while the window has no height yet.
static constexpr size_t LINES_KEPT_UNSIZED = 64;

static int window_dpi(HWND window) {
  HDC dc = GetDC(window);
  int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : USER_DEFAULT_SCREEN_DPI;
  if (dc) ReleaseDC(window, dc);
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  static auto get_dpi = reinterpret_cast<GetDpiForWindowFunction>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (get_dpi && window) dpi = static_cast<int>(get_dpi(window));
  return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

void TextPane::attach(HWND window) {
  window_ = window;
  rescale();
  repaint_requested_ = false;
}

void TextPane::rescale() {
  if (font_) DeleteObject(font_);
  font_ = nullptr;
  line_height_ = 0;
  if (!window_) return;
  // Whatever fixed-pitch face the system has (Courier New, or DejaVu Sans
  // Mono under Wine), 10 points at the window's resolution.
  font_ = CreateFontW(-MulDiv(FONT_POINTS, window_dpi(window_), 72), 0, 0, 0, FW_NORMAL, FALSE,
                      FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                      DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, L"");
}

void TextPane::request_repaint() {
  if (!window_) return;
  repaint_requested_ = true;
  InvalidateRect(window_, nullptr, FALSE);
}

void TextPane::clear() {
  lines_.clear();
  request_repaint();
}

void TextPane::add_line(const char* bytes) {
  lines_.push_back(shown_wide(bytes ? bytes : "", ControlCharacters::replace));
  size_t kept = lines_kept();
  while (lines_.size() > kept) lines_.pop_front();
  request_repaint();
}

int TextPane::line_height() {
  if (line_height_ == 0 && window_ && font_) {
    HDC dc = GetDC(window_);
    HGDIOBJ before = SelectObject(dc, font_);
    TEXTMETRICW metrics;
    if (GetTextMetricsW(dc, &metrics)) {
      line_height_ = metrics.tmHeight + metrics.tmExternalLeading;
    }
    SelectObject(dc, before);
    ReleaseDC(window_, dc);
  }
  return line_height_ > 0 ? line_height_ : 1;
}

// What fits the window, and the partly visible line at the top.
size_t TextPane::lines_kept() {
  RECT client{};
  if (!window_ || !GetClientRect(window_, &client) || client.bottom <= 1) {
    return LINES_KEPT_UNSIZED;
  }
  return static_cast<size_t>(client.bottom / line_height()) + 1;
}

void TextPane::paint(HDC dc, const RECT& client) {
  // A paint that no new line asked for is the library's to answer: it
  // repaints from the lines it keeps. Until then the window shows what it
  // showed.
  if (!repaint_requested_) post_message(Message{WindowId::text, MessageKind::paint, 0, 0});
  repaint_requested_ = false;
  RECT all = client;
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (lines_.empty() || !font_) return;
  HGDIOBJ before = SelectObject(dc, font_);
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  int h = line_height();
  int top = client.bottom - h;
  for (auto line = lines_.rbegin(); line != lines_.rend() && top + h > 0; ++line, top -= h) {
    TextOutW(dc, LEFT_MARGIN, top, line->c_str(), static_cast<int>(line->size()));
  }
  SelectObject(dc, before);
}

}  // namespace kivet::win32
