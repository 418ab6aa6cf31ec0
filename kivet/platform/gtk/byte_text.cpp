// Conversions between the library's byte text (Latin-1) and the toolkit's
// UTF-8, for what the GTK backend shows and for what the user types.
#include "kivet/platform/gtk/byte_text.h"

#include <glib.h>

namespace kivet::gtk {

static constexpr gunichar REPLACEMENT = 0xFFFD;

static void append_utf8(std::string& out, gunichar c) {
  char buffer[6];
  int length = g_unichar_to_utf8(c, buffer);
  out.append(buffer, length);
}

static std::string to_utf8(const std::string& bytes, bool keep_newline_and_tab) {
  std::string out;
  out.reserve(bytes.size());
  for (unsigned char b : bytes) {
    bool kept = keep_newline_and_tab && (b == '\n' || b == '\t');
    bool control = !kept && (b < 0x20 || (b >= 0x7F && b < 0xA0));
    append_utf8(out, control ? REPLACEMENT : b);
  }
  return out;
}

std::string bytes_to_utf8(const std::string& bytes) { return to_utf8(bytes, false); }

std::string static_text_to_utf8(const std::string& bytes) { return to_utf8(bytes, true); }

std::string utf8_to_bytes(const std::string& utf8) {
  std::string out;
  const char* p = utf8.c_str();
  const char* end = p + utf8.size();
  while (p < end) {
    gunichar c = g_utf8_get_char_validated(p, end - p);
    if (c == static_cast<gunichar>(-1) || c == static_cast<gunichar>(-2)) {
      out += '?';
      ++p;
      continue;
    }
    out += c <= 0xFF ? static_cast<char>(c) : '?';
    p = g_utf8_next_char(p);
  }
  return out;
}

}  // namespace kivet::gtk
