// Text as the library shows it. Programs hand the library bytes; they are
// read as UTF-8, and any byte that is not part of a valid UTF-8 sequence
// stands for its Latin-1 character, so old byte text still shows. Every
// backend shows text converted here: drawn text, the text window, titles,
// the dialog's prompt. Windows needs UTF-16 for its W functions.
#pragma once

#include <string>

namespace kivet {

// What happens to control characters (below 32, 127, and 128 to 159).
enum class ControlCharacters {
  keep,                  // drawn text: the font shows them as its box
  replace,               // one-line texts: each becomes U+FFFD
  replace_but_newline_and_tab,  // the dialog's prompt: a newline breaks the line, a tab moves on
};

// The bytes as valid UTF-8: valid sequences as they are, every other byte
// as its Latin-1 character.
std::string shown_utf8(const std::string& bytes, ControlCharacters controls);

// Valid UTF-8 (as shown_utf8 gives it) to UTF-16, and back. utf16_to_utf8
// turns a lone surrogate into U+FFFD.
std::u16string utf8_to_utf16(const std::string& utf8);
std::string utf16_to_utf8(const std::u16string& utf16);

// The longest start of `utf8` that is at most `max_bytes` long and does not
// cut a character: the dialog's answer buffer holds 255 bytes.
std::string utf8_prefix(const std::string& utf8, size_t max_bytes);

}  // namespace kivet
