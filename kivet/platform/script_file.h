// The file layer of the script reader and writer: the few operations on
// "KIVET.SCR" that differ between systems. One implementation per system:
// POSIX (Linux and the browser's file system) and Windows.
//
// Guarantees every implementation keeps: opening never blocks; a FIFO, a
// socket or a device is refused, and so is a symbolic link (or reparse
// point) for writing; a file is emptied for writing only once it is known
// to be a regular file; a line reaches the file whole or not at all. Files
// are opened in binary mode: lines are written with "\n" alone on every
// system, and the reader accepts "\r\n".
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

namespace kivet {

struct ScriptFileOpening {
  std::FILE* file = nullptr;  // null when the file could not be opened
  std::string reason;         // why not, in words (the system's, or why refused)
  bool refused = false;       // refused for what the file is, not an error of the moment
};

// Opens `name` for reading, or for writing (created, or emptied when it
// exists). A directory opens for reading; its first read fails.
ScriptFileOpening open_script_file(const char* name, bool writing);

// Writes `length` bytes at the end of `file`, opened for writing, straight
// to the file (not buffered). On failure the file is cut back to what it
// held before, and the reason is returned; on success an empty string.
std::string append_whole_line(std::FILE* file, const char* line, size_t length);

// The reason of the last failed read of `file` (ferror set), in words.
std::string read_failure_reason(std::FILE* file);

// Closes `file`; the reason when closing failed, else an empty string.
std::string close_script_file(std::FILE* file);

}  // namespace kivet
