// Reading the bytes of a program's text as UTF-8, with every byte that is
// not part of a valid sequence taken as its Latin-1 character.
#include "kivet/text_encoding.h"

namespace kivet {

namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

bool is_continuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The length of the valid UTF-8 sequence at `p` (at most `left` bytes),
// with its code point in `c`; 0 when the bytes there are not one.
size_t valid_sequence(const unsigned char* p, size_t left, char32_t& c) {
  unsigned char lead = p[0];
  size_t length;
  char32_t minimum;
  if (lead < 0x80) {
    c = lead;
    return 1;
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, minimum = 0x80, c = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, minimum = 0x800, c = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, minimum = 0x10000, c = lead & 0x07;
  } else {
    return 0;
  }
  if (left < length) return 0;
  for (size_t i = 1; i < length; ++i) {
    if (!is_continuation(p[i])) return 0;
    c = (c << 6) | (p[i] & 0x3F);
  }
  bool surrogate = c >= 0xD800 && c <= 0xDFFF;
  if (c < minimum || c > 0x10FFFF || surrogate) return 0;
  return length;
}

bool is_control(char32_t c) { return c < 0x20 || (c >= 0x7F && c < 0xA0); }

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Calls `take` with each character of `bytes`, read as shown_utf8 reads them.
template <typename Take>
void for_each_character(const std::string& bytes, Take&& take) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t left = bytes.size();
  while (left > 0) {
    char32_t c;
    size_t length = valid_sequence(p, left, c);
    if (length == 0) {
      c = p[0];  // its Latin-1 character
      length = 1;
    }
    take(c);
    p += length;
    left -= length;
  }
}

}  // namespace

std::string shown_utf8(const std::string& bytes, ControlCharacters controls) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  for_each_character(bytes, [&](char32_t c) {
    bool kept = controls == ControlCharacters::keep ||
                (controls == ControlCharacters::replace_but_newline_and_tab &&
                 (c == '\n' || c == '\t'));
    append_utf8(out, !kept && is_control(c) ? REPLACEMENT : c);
  });
  return out;
}

std::u16string utf8_to_utf16(const std::string& utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for_each_character(utf8, [&](char32_t c) {
    if (c < 0x10000) {
      out += static_cast<char16_t>(c);
    } else {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
  });
  return out;
}

std::string utf16_to_utf8(const std::u16string& utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t c = utf16[i];
    bool high = c >= 0xD800 && c <= 0xDBFF;
    bool low_follows = i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF;
    if (high && low_follows) {
      c = 0x10000 + ((c - 0xD800) << 10) + (utf16[++i] - 0xDC00);
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = REPLACEMENT;
    }
    append_utf8(out, c);
  }
  return out;
}

std::string utf8_prefix(const std::string& utf8, size_t max_bytes) {
  if (utf8.size() <= max_bytes) return utf8;
  size_t end = max_bytes;
  // Back to the start of the character that the cut would split; a
  // character has at most three continuation bytes, so bytes that only look
  // like them cost no more than three.
  size_t lowest = max_bytes > 3 ? max_bytes - 3 : 0;
  while (end > lowest && is_continuation(static_cast<unsigned char>(utf8[end]))) --end;
  return utf8.substr(0, end);
}

}  // namespace kivet
