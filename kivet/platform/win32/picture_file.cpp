// Picture files on Windows: the UTF-8 name opened with CreateFileW, read
// whole when it is a file on a disk within the bound.

#include "kivet/platform/picture_file.h"
#include "kivet/platform/win32/wide_text.h"
#include "kivet/platform/win32/windows_api.h"

namespace kivet {
PictureFileRead read_picture_file(const char* name, size_t max_bytes) {
  PictureFileRead read;
  std::wstring wide = win32::to_wide(shown_utf8(name ? name : "", ControlCharacters::keep));
  DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    read.reason = "it is a directory";
    return read;
  }
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    read.reason = win32::file_error_reason(GetLastError());
    return read;
  }
  LARGE_INTEGER size;
  if (GetFileType(file) != FILE_TYPE_DISK) {
    read.reason = "it is not a regular file";
  } else if (!GetFileSizeEx(file, &size)) {
    read.reason = win32::file_error_reason(GetLastError());
  } else if (static_cast<unsigned long long>(size.QuadPart) > max_bytes) {
    read.reason = "the file is larger than " + std::to_string(max_bytes >> 20) + " MB";
  } else {
    read.bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t got = 0;
    while (got < read.bytes.size()) {
      DWORD n = 0;
      DWORD want = static_cast<DWORD>(read.bytes.size() - got);
      if (!ReadFile(file, &read.bytes[got], want, &n, nullptr)) {
        read.reason = win32::file_error_reason(GetLastError());
        break;
      }
      if (n == 0) break;
      got += n;
    }
    read.bytes.resize(got);
  }
  CloseHandle(file);
  if (!read.reason.empty()) read.bytes.clear();
  return read;
}

}  // namespace kivet
