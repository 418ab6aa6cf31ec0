// Text crossing into Windows: the library's bytes are shown as UTF-8 (bytes
// that are not UTF-8 as their Latin-1 characters) and handed to the W
// functions as UTF-16; what Windows gives back comes out as UTF-8.
#pragma once

#include <string>

#include "kivet/platform/win32/windows_api.h"
#include "kivet/text_encoding.h"

namespace kivet::win32 {

// Library bytes as Windows shows them, with control characters treated as
// `controls` says.
std::wstring shown_wide(const std::string& bytes, ControlCharacters controls);

// Valid UTF-8 to UTF-16, and UTF-16 from Windows to UTF-8.
std::wstring to_wide(const std::string& utf8);
std::string to_utf8(const std::wstring& wide);

// The system's words for an error code, in UTF-8, without the full stop and
// line end that Windows puts after them.
std::string error_text(DWORD error);

// Why a file could not be opened, read or written: in the C library's words
// where it has them (as on other systems), else in Windows' own.
std::string file_error_reason(DWORD error);

}  // namespace kivet::win32
