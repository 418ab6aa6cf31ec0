// The library's text is bytes, one character per byte (Latin-1); the
// toolkit speaks UTF-8. These conversions sit at that border.
#pragma once

#include <string>

namespace kivet::gtk {

// For showing library text: every byte becomes one character. Control bytes
// (a newline inside a line among them) and the C1 range become U+FFFD, so a
// line always stays one line and any byte sequence is valid for Pango.
std::string bytes_to_utf8(const std::string& bytes);

// For a static text of several lines, such as the dialog's prompt: as
// bytes_to_utf8, except that a newline breaks the line and a tab stays a
// tab, which the toolkit moves on to the next tab stop.
std::string static_text_to_utf8(const std::string& bytes);

// For handing typed text to the library: Latin-1 where possible, '?' for
// characters beyond it and for malformed sequences.
std::string utf8_to_bytes(const std::string& utf8);

}  // namespace kivet::gtk
