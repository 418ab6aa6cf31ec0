#include "kivet/check/output_text.h"

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace kivet::check {

std::string read_file(const std::string& path, size_t bound, bool* cut) {
  if (cut) *cut = false;
  std::ifstream in(std::filesystem::u8path(path), std::ios::binary);
  std::string bytes;
  if (!in) return bytes;
  // In pieces: a bound of many megabytes costs nothing for a short file.
  char piece[64 * 1024];
  while (in && bytes.size() <= bound) {
    in.read(piece, sizeof piece);
    bytes.append(piece, static_cast<size_t>(in.gcount()));
  }
  if (bytes.size() > bound) {
    bytes.resize(bound);
    if (cut) *cut = true;
  }
  return bytes;
}

bool write_file(const std::string& path, const std::string& bytes) {
  std::ofstream out(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r' && end < text.size()) line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

std::string joined_lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

int first_differing_line(const std::vector<std::string>& expected,
                         const std::vector<std::string>& got) {
  size_t common = std::min(expected.size(), got.size());
  for (size_t i = 0; i < common; ++i) {
    if (expected[i] != got[i]) return static_cast<int>(i + 1);
  }
  if (expected.size() != got.size()) return static_cast<int>(common + 1);
  return 0;
}

std::vector<std::string> lines_around(const std::vector<std::string>& lines, int number,
                                      int before, int after) {
  std::vector<std::string> shown;
  int first = std::max(1, number - before);
  int last = std::min(static_cast<int>(lines.size()), number + after);
  for (int n = first; n <= last; ++n) {
    std::string label = std::to_string(n);
    shown.push_back(std::string(label.size() < 5 ? 5 - label.size() : 0, ' ') + label + "  " +
                    lines[static_cast<size_t>(n - 1)]);
  }
  if (number > static_cast<int>(lines.size())) shown.push_back("       (no more lines)");
  return shown;
}

}  // namespace kivet::check
