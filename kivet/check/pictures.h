// Pictures for the check: PNG files read and written through stb, the part
// of a snapshot that a window shows, and the counting and marking of the
// pixels in which two pictures differ.
#pragma once

#include <string>
#include <vector>

namespace kivet::check {

// The graphics window's client area: the rows of a snapshot below it are
// never seen, and do not count.
constexpr int VISIBLE_WIDTH = 601;
constexpr int VISIBLE_HEIGHT = 515;

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<unsigned char> rgb;  // rows of red, green, blue
  bool empty() const { return rgb.empty(); }
};

// Reads a PNG; an empty picture when the file is missing or not a PNG.
Picture read_picture(const std::string& path);
// The same from the file's bytes.
Picture decode_picture(const std::string& png);
// Writes a PNG; an empty string, or why it could not be written.
std::string write_picture(const Picture& picture, const std::string& path);

// The visible area's part of a picture (what lies outside the picture is
// black).
Picture visible_part(const Picture& picture);

// The visible pixels that differ between the two pictures.
long count_differences(const Picture& expected, const Picture& got);
// The expected picture's visible part faded, with each differing pixel red.
Picture difference_picture(const Picture& expected, const Picture& got);

}  // namespace kivet::check
