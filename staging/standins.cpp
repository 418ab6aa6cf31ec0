// Throwaway stand-ins for the planned core's text conversions and bitmap,
// enough for the Windows backend's probe program.
#include <string>

#include "kivet/draw/bitmap.h"
#include "kivet/text_encoding.h"

namespace kivet {

namespace {
// The length of a valid UTF-8 sequence at `s`, or 0.
size_t valid_sequence(const std::string& s, size_t i) {
  unsigned char c = s[i];
  size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  unsigned long cp = n == 1 ? c : c & (0x7F >> n);
  for (size_t k = 1; k < n; ++k) {
    unsigned char d = s[i + k];
    if ((d & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (d & 0x3F);
  }
  static const unsigned long least[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < least[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

void append_code_point(std::string& out, unsigned long cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}
}  // namespace

std::string shown_utf8(const std::string& bytes, ControlCharacters controls) {
  std::string out;
  for (size_t i = 0; i < bytes.size();) {
    size_t n = valid_sequence(bytes, i);
    unsigned long cp = 0;
    if (n == 0) {
      cp = static_cast<unsigned char>(bytes[i]);
      n = 1;
      append_code_point(out, cp);
      i += n;
      continue;
    }
    bool control = n == 1 ? (bytes[i] >= 0 && bytes[i] < 32) || bytes[i] == 127
                          : (n == 2 && static_cast<unsigned char>(bytes[i]) == 0xC2 &&
                             static_cast<unsigned char>(bytes[i + 1]) < 0xA0);
    bool kept = controls == ControlCharacters::keep ||
                (controls == ControlCharacters::replace_but_newline_and_tab &&
                 (bytes[i] == '\n' || bytes[i] == '\t'));
    if (control && !kept) {
      out += "\xEF\xBF\xBD";
    } else {
      out.append(bytes, i, n);
    }
    i += n;
  }
  return out;
}

std::u16string utf8_to_utf16(const std::string& utf8) {
  std::u16string out;
  for (size_t i = 0; i < utf8.size();) {
    size_t n = valid_sequence(utf8, i);
    if (n == 0) {
      out += u'\xFFFD';
      ++i;
      continue;
    }
    unsigned long cp = n == 1 ? static_cast<unsigned char>(utf8[i])
                              : static_cast<unsigned char>(utf8[i]) & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (utf8[i + k] & 0x3F);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
    i += n;
  }
  return out;
}

std::string utf16_to_utf8(const std::u16string& utf16) {
  std::string out;
  for (size_t i = 0; i < utf16.size(); ++i) {
    unsigned long cp = utf16[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    append_code_point(out, cp);
  }
  return out;
}

std::string utf8_prefix(const std::string& utf8, size_t max_bytes) {
  if (utf8.size() <= max_bytes) return utf8;
  size_t end = max_bytes;
  while (end > 0 && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
  return utf8.substr(0, end);
}

uint32_t pixel_value(int color) { return static_cast<uint32_t>(color) & 0xFFFFFF; }

Bitmap::Bitmap() : pixels_(static_cast<size_t>(BITMAP_WIDTH) * BITMAP_HEIGHT, 0xFFFFFF) {}

void ChangedRows::add(int64_t first, int64_t last) {
  if (first < 0) first = 0;
  if (last > BITMAP_HEIGHT - 1) last = BITMAP_HEIGHT - 1;
  if (first > last) return;
  if (first < top) top = static_cast<int>(first);
  if (last > bottom) bottom = static_cast<int>(last);
}

}  // namespace kivet
