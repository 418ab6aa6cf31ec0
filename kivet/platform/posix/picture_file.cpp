// Picture files on POSIX systems: opened without blocking, read whole when
// they are regular files within the bound. In the browser a picture not in
// the working directory (the page's storage) is looked for among the
// page's own files, which kivet_add_files puts under /page/.
#include "kivet/platform/picture_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace kivet {

namespace {

int open_picture(const char* name) {
  int flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
  int fd = open(name, flags);
#ifdef __EMSCRIPTEN__
  if (fd < 0 && errno == ENOENT && name[0] != '/' && name[0] != '\0') {
    int in_page = open((std::string("/page/") + name).c_str(), flags);
    if (in_page >= 0) return in_page;
    errno = ENOENT;
  }
#endif
  return fd;
}

}  // namespace

PictureFileRead read_picture_file(const char* name, size_t max_bytes) {
  PictureFileRead read;
  int fd = open_picture(name);
  if (fd < 0) {
    read.reason = strerror(errno);
    return read;
  }
  struct stat info;
  if (fstat(fd, &info) != 0) {
    read.reason = strerror(errno);
  } else if (!S_ISREG(info.st_mode)) {
    read.reason = S_ISDIR(info.st_mode) ? "it is a directory" : "it is not a regular file";
  } else if (static_cast<unsigned long long>(info.st_size) > max_bytes) {
    read.reason = "the file is larger than " + std::to_string(max_bytes >> 20) + " MB";
  } else {
    read.bytes.resize(static_cast<size_t>(info.st_size));
    size_t got = 0;
    while (got < read.bytes.size()) {
      ssize_t n = ::read(fd, &read.bytes[got], read.bytes.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        read.reason = strerror(errno);
        break;
      }
      if (n == 0) break;  // cut short while being read: what is there
      got += static_cast<size_t>(n);
    }
    read.bytes.resize(got);
  }
  close(fd);
  if (!read.reason.empty()) read.bytes.clear();
  return read;
}

}  // namespace kivet
