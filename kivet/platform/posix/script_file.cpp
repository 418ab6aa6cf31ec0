// The script file on POSIX systems (Linux, and the browser's file system
// through emscripten). The file is opened without blocking and refused
// unless it is a regular file or, for reading, a directory (whose read error
// is then reported); a recording never follows a symbolic link; each line
// goes straight to the file, whole or not at all.
#include "kivet/platform/script_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace kivet {

namespace {

// Why a file of this kind is refused: reading or writing a FIFO, a socket or
// a device may block for ever or never end. Null for a file that may be used.
const char* refusal_reason(const struct stat& info) {
  if (S_ISFIFO(info.st_mode)) return "it is a FIFO, not a regular file";
  if (S_ISSOCK(info.st_mode)) return "it is a socket, not a regular file";
  if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode)) return "it is a device, not a regular file";
  return nullptr;
}

ScriptFileOpening refused(const char* reason) { return ScriptFileOpening{nullptr, reason, true}; }
ScriptFileOpening failed(int error) { return ScriptFileOpening{nullptr, strerror(error), false}; }

// Why opening failed with `error`: a refusal when the name is a link (for
// writing) or a file of a refused kind, else the system's reason.
ScriptFileOpening open_failure(const char* name, bool writing, int error) {
  struct stat info;
  if (writing && error == ELOOP && lstat(name, &info) == 0 && S_ISLNK(info.st_mode)) {
    return refused("it is a symbolic link, which recording does not follow");
  }
  // A FIFO without a reader or a socket fails to open for writing at once.
  if (stat(name, &info) == 0 && refusal_reason(info)) return refused(refusal_reason(info));
  return failed(error);
}

}  // namespace

ScriptFileOpening open_script_file(const char* name, bool writing) {
  int flags = O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  flags |= writing ? O_WRONLY | O_CREAT | O_NOFOLLOW : O_RDONLY;
  int fd = open(name, flags, 0666);
  if (fd < 0) return open_failure(name, writing, errno);
  struct stat info;
  ScriptFileOpening result;
  // Emptying a file for writing comes only after it is known to be regular.
  if (fstat(fd, &info) != 0) {
    result = failed(errno);
  } else if (refusal_reason(info)) {
    result = refused(refusal_reason(info));
  } else if (writing && ftruncate(fd, 0) != 0) {
    result = failed(errno);
  } else if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    result = failed(errno);
  } else if ((result.file = fdopen(fd, writing ? "w" : "r")) == nullptr) {
    result = failed(errno);
  }
  if (!result.file) close(fd);
  return result;
}

std::string append_whole_line(std::FILE* file, const char* line, size_t length) {
  int fd = fileno(file);
  off_t complete = lseek(fd, 0, SEEK_CUR);
  size_t done = 0;
  int error = 0;
  while (done < length && error == 0) {
    ssize_t written = write(fd, line + done, length - done);
    if (written > 0) {
      done += static_cast<size_t>(written);
    } else if (written == 0 || errno != EINTR) {
      error = written == 0 ? EIO : errno;
    }
  }
  if (error == 0) return std::string();
  // Back to the last complete line.
  if (complete < 0 || ftruncate(fd, complete) != 0) error = errno;
  return strerror(error);
}

std::string read_failure_reason(std::FILE*) { return strerror(errno); }

std::string close_script_file(std::FILE* file) {
  if (fclose(file) == 0) return std::string();
  return strerror(errno);
}

}  // namespace kivet
