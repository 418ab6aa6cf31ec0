// The file layer of pictures: a picture file read whole into memory. One
// implementation per system: POSIX (Linux and the browser's file system)
// and Windows, where names are UTF-8.
//
// Reading never blocks: anything but a regular file (a FIFO, a device, a
// directory) is refused, and so is a file larger than the bound given.
#pragma once

#include <cstddef>
#include <string>

namespace kivet {

struct PictureFileRead {
  std::string bytes;   // the file's contents
  std::string reason;  // why it could not be read, in words; empty when it was
};

PictureFileRead read_picture_file(const char* name, size_t max_bytes);

}  // namespace kivet
