// The font engine on Windows, for the characters the built-in face lacks:
// GDI draws each run, without antialiasing, into a DIB section that serves
// as a mask, and every pixel it marked becomes exactly the text colour in
// the library's bitmap. The face is the system's interface face, whose
// font linking brings Chinese, Japanese, Korean and the other scripts,
// with the character height (without internal leading) as its height.
#include <algorithm>
#include <cstring>
#include <cwchar>

#include "kivet/platform/font.h"
#include "kivet/platform/win32/wide_text.h"
#include "kivet/platform/win32/windows_api.h"

namespace kivet::win32 {
namespace {

// Segoe UI since Windows Vista, Tahoma before it; both link to the fonts
// of other scripts.
constexpr const wchar_t* FACES[] = {L"Segoe UI", L"Tahoma"};

// A mask pixel at least this bright (in its green byte) belongs to a glyph.
constexpr uint32_t GLYPH_LEVEL = 0x80;

HFONT create_font(int height, const wchar_t* face) {
  return CreateFontW(-height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, face);
}

class GdiFontEngine {
 public:
  GdiFontEngine() {
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = Bitmap::width();
    info.bmiHeader.biHeight = -Bitmap::height();
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    mask_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    mask_pixels_ = static_cast<uint32_t*>(bits);
    if (dc_ && mask_) {
      SelectObject(dc_, mask_);
      SetBkMode(dc_, TRANSPARENT);
      SetTextColor(dc_, RGB(255, 255, 255));
      SetTextAlign(dc_, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
      std::memset(mask_pixels_, 0, static_cast<size_t>(Bitmap::stride()) * Bitmap::height());
    }
    face_ = chosen_face();
  }

  int run_width(const std::string& utf8, int height) {
    if (!dc_) return 0;
    std::wstring text = to_wide(utf8);
    HFONT font = create_font(std::clamp(height, 1, 127), face_.c_str());
    HGDIOBJ before = SelectObject(dc_, font);
    SIZE extent{};
    GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &extent);
    SelectObject(dc_, before);
    DeleteObject(font);
    return extent.cx;
  }

  void draw_run(Bitmap& bitmap, int left, int baseline, const std::string& utf8, int height,
                uint32_t color) {
    if (!mask_pixels_ || utf8.empty()) return;
    std::wstring text = to_wide(utf8);
    HFONT font = create_font(std::clamp(height, 1, 127), face_.c_str());
    HGDIOBJ before = SelectObject(dc_, font);
    SIZE extent{};
    GetTextExtentPoint32W(dc_, text.c_str(), static_cast<int>(text.size()), &extent);
    // Rows of the bitmap the run's glyphs may cover, generously; nothing to
    // do outside.
    int64_t first = std::max<int64_t>(0, int64_t{baseline} - 2 * int64_t{height});
    int64_t last = std::min<int64_t>(Bitmap::height(), int64_t{baseline} + height);
    bool seen = first < last && left < Bitmap::width() && int64_t{left} + extent.cx + height > 0;
    if (seen) {
      draw_rows(bitmap, left, baseline, text, static_cast<int>(first), static_cast<int>(last),
                color);
    }
    SelectObject(dc_, before);
    DeleteObject(font);
  }

 private:
  // The first face of FACES that the system has; else what it gives for the
  // first.
  std::wstring chosen_face() {
    for (const wchar_t* face : FACES) {
      HFONT font = create_font(20, face);
      HGDIOBJ before = SelectObject(dc_, font);
      wchar_t got[LF_FACESIZE] = L"";
      GetTextFaceW(dc_, LF_FACESIZE, got);
      SelectObject(dc_, before);
      DeleteObject(font);
      if (_wcsicmp(got, face) == 0) return face;
    }
    return FACES[0];
  }

  // Draws the run into the mask's rows `first` to `last` (excluded) only,
  // and turns what it marked there into the colour.
  void draw_rows(Bitmap& bitmap, int left, int baseline, const std::wstring& text, int first,
                 int last, uint32_t color) {
    HRGN rows = CreateRectRgn(0, first, Bitmap::width(), last);
    SelectClipRgn(dc_, rows);
    TextOutW(dc_, left, baseline, text.c_str(), static_cast<int>(text.size()));
    GdiFlush();  // the mask's memory is read below
    SelectClipRgn(dc_, nullptr);
    DeleteObject(rows);
    for (int y = first; y < last; ++y) {
      uint32_t* mask = mask_pixels_ + static_cast<size_t>(y) * Bitmap::width();
      uint32_t* target = bitmap.row(y);
      for (int x = 0; x < Bitmap::width(); ++x) {
        if (((mask[x] >> 8) & 0xFF) >= GLYPH_LEVEL) target[x] = color;
        mask[x] = 0;
      }
    }
  }

  HDC dc_ = nullptr;
  HBITMAP mask_ = nullptr;
  uint32_t* mask_pixels_ = nullptr;
  std::wstring face_;
};

// Never destroyed, like the platform: text may be drawn until the very end.
GdiFontEngine& engine() {
  static GdiFontEngine* engine = new GdiFontEngine;
  return *engine;
}

}  // namespace
}  // namespace kivet::win32

bool kivet::system_fonts_exist() { return true; }

int kivet::system_run_width(const std::string& utf8, int height) {
  return win32::engine().run_width(utf8, height);
}

void kivet::system_draw_run(Bitmap& bitmap, int left, int baseline, const std::string& utf8,
                            int height, uint32_t color) {
  win32::engine().draw_run(bitmap, left, baseline, utf8, height, color);
}
