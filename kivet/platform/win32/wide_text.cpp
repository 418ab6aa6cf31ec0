// UTF-16 for the W functions, through the library's own text conversions.
#include "kivet/platform/win32/wide_text.h"

#include <cerrno>
#include <cstring>

namespace kivet::win32 {

std::wstring shown_wide(const std::string& bytes, ControlCharacters controls) {
  return to_wide(shown_utf8(bytes, controls));
}

std::wstring to_wide(const std::string& utf8) {
  std::u16string utf16 = utf8_to_utf16(utf8);
  return std::wstring(utf16.begin(), utf16.end());
}

std::string to_utf8(const std::wstring& wide) {
  return utf16_to_utf8(std::u16string(wide.begin(), wide.end()));
}

std::string error_text(DWORD error) {
  wchar_t* words = nullptr;
  DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&words), 0, nullptr);
  std::wstring text = length ? std::wstring(words, length) : std::wstring();
  if (words) LocalFree(words);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' ||
                           text.back() == L'.')) {
    text.pop_back();
  }
  if (text.empty()) return "error " + std::to_string(error);
  return to_utf8(text);
}

std::string file_error_reason(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
      return std::strerror(ENOENT);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return std::strerror(EACCES);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return std::strerror(ENOSPC);
    case ERROR_WRITE_PROTECT:
      return std::strerror(EROFS);
    default:
      return error_text(error);
  }
}

}  // namespace kivet::win32
