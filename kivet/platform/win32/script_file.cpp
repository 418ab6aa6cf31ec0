// The script file on Windows. Opening never waits: the file is opened with
// CreateFileW and refused unless it is a file on a disk (a pipe, a console
// or another device is refused); for writing, a symbolic link or another
// reparse point is opened as itself and refused rather than followed, and
// the file is emptied only once it is known to be a regular file. Each
// line goes straight to the file with WriteFile; when a write fails or is
// short (a full disk), the file is cut back to the end of the last whole
// line. Files are binary: lines end in "\n" alone. Reasons are given in the
// C library's words where it has them, as on other systems.
#include "kivet/platform/script_file.h"

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstring>

#include "kivet/platform/win32/wide_text.h"
#include "kivet/platform/win32/windows_api.h"

namespace kivet {
namespace {

ScriptFileOpening refused(const char* why) { return ScriptFileOpening{nullptr, why, true}; }
ScriptFileOpening failed(DWORD error) {
  return ScriptFileOpening{nullptr, win32::file_error_reason(error), false};
}

HANDLE file_handle(std::FILE* file) {
  return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
}

// Whether a name that could not be opened for writing is a directory.
bool is_directory(const std::wstring& name) {
  DWORD attributes = GetFileAttributesW(name.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Why an open handle is refused, or null when it may be used.
const char* refusal_reason(HANDLE handle, bool writing) {
  switch (GetFileType(handle)) {
    case FILE_TYPE_DISK:
      break;
    case FILE_TYPE_PIPE:
      return "it is a pipe, not a regular file";
    default:
      return "it is a device, not a regular file";
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return nullptr;
  if (writing && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    return "it is a symbolic link, which recording does not follow";
  }
  return nullptr;
}

HANDLE open_handle(const std::wstring& name, bool writing) {
  if (writing) {
    return CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  }
  // A directory opens too (its first read fails, as on other systems).
  return CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// Empties a file opened for writing.
bool empty_file(HANDLE handle) {
  LARGE_INTEGER start{};
  return SetFilePointerEx(handle, start, nullptr, FILE_BEGIN) && SetEndOfFile(handle);
}

}  // namespace

ScriptFileOpening open_script_file(const char* name, bool writing) {
  std::wstring wide = win32::to_wide(shown_utf8(name ? name : "", ControlCharacters::keep));
  HANDLE handle = open_handle(wide, writing);
  if (handle == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    // Windows says only that access is denied.
    if (writing && is_directory(wide)) return ScriptFileOpening{nullptr, std::strerror(EISDIR)};
    return failed(error);
  }
  if (const char* why = refusal_reason(handle, writing)) {
    CloseHandle(handle);
    return refused(why);
  }
  if (writing && !empty_file(handle)) {
    DWORD error = GetLastError();
    CloseHandle(handle);
    return failed(error);
  }
  int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle),
                           _O_BINARY | (writing ? _O_WRONLY : _O_RDONLY));
  if (fd < 0) {
    CloseHandle(handle);
    return ScriptFileOpening{nullptr, std::strerror(errno), false};
  }
  std::FILE* file = _fdopen(fd, writing ? "wb" : "rb");
  if (!file) {
    int error = errno;
    _close(fd);
    return ScriptFileOpening{nullptr, std::strerror(error), false};
  }
  return ScriptFileOpening{file, std::string(), false};
}

std::string append_whole_line(std::FILE* file, const char* line, size_t length) {
  HANDLE handle = file_handle(file);
  LARGE_INTEGER none{}, complete{};
  if (!SetFilePointerEx(handle, none, &complete, FILE_END)) {
    return win32::file_error_reason(GetLastError());
  }
  size_t done = 0;
  DWORD error = 0;
  while (done < length && error == 0) {
    DWORD written = 0;
    DWORD wanted = static_cast<DWORD>(length - done);
    if (!WriteFile(handle, line + done, wanted, &written, nullptr)) {
      error = GetLastError();
    } else if (written == 0) {
      error = ERROR_WRITE_FAULT;
    }
    done += written;
  }
  if (error == 0) return std::string();
  if (!SetFilePointerEx(handle, complete, nullptr, FILE_BEGIN) || !SetEndOfFile(handle)) {
    error = GetLastError();
  }
  return win32::file_error_reason(error);
}

std::string read_failure_reason(std::FILE* file) {
  BY_HANDLE_FILE_INFORMATION info;
  if (GetFileInformationByHandle(file_handle(file), &info) &&
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return std::strerror(EISDIR);
  }
  return win32::file_error_reason(_doserrno ? static_cast<DWORD>(_doserrno) : ERROR_READ_FAULT);
}

std::string close_script_file(std::FILE* file) {
  if (std::fclose(file) != 0) return std::strerror(errno);
  return std::string();
}

}  // namespace kivet
