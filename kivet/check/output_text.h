// The text of a run: standard output read back within a bound, its lines
// with their line ends normalised (CR LF as LF, as Windows programs write
// them), and where two runs' lines first part.
#pragma once

#include <string>
#include <vector>

namespace kivet::check {

// A file's bytes, at most `bound` of them; `cut` says whether there were
// more. A missing file reads as empty.
std::string read_file(const std::string& path, size_t bound, bool* cut = nullptr);
bool write_file(const std::string& path, const std::string& bytes);

// The lines of a text, without their line ends ("\n" or "\r\n"). A last
// line without a line end is a line too.
std::vector<std::string> lines_of(const std::string& text);
// The text again with "\n" after every line.
std::string joined_lines(const std::vector<std::string>& lines);

// The number (from 1) of the first line in which the two differ, a line
// missing in one of them included; 0 when they are the same.
int first_differing_line(const std::vector<std::string>& expected,
                         const std::vector<std::string>& got);

// The lines from `before` lines ahead of line `number` (from 1) to `after`
// lines past it, each with its number: "  12  text".
std::vector<std::string> lines_around(const std::vector<std::string>& lines, int number,
                                      int before, int after);

}  // namespace kivet::check
