#include "kivet/check/expected_folder.h"

#include <algorithm>
#include <cstdlib>

#include "kivet/check/output_text.h"

namespace kivet::check {
namespace {

constexpr size_t DESCRIPTION_BOUND = 64 * 1024;

bool whole_number(const std::string& text, int& value) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  value = std::atoi(text.c_str());
  return true;
}

std::string trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  size_t last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace

std::string ExpectedFolder::path(const std::string& name) const { return folder + "/" + name; }

std::string frame_picture(int frame) { return "frame-" + std::to_string(frame) + ".png"; }

bool parse_frames(const std::string& text, std::vector<int>& frames) {
  frames.clear();
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find_first_of(", ", start);
    if (end == std::string::npos) end = text.size();
    std::string entry = text.substr(start, end - start);
    int frame = 0;
    if (!entry.empty()) {
      if (!whole_number(entry, frame) || frame < 1) return false;
      frames.push_back(frame);
    }
    start = end + 1;
  }
  std::sort(frames.begin(), frames.end());
  frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
  return true;
}

std::string frames_text(const std::vector<int>& frames, const char* separator) {
  std::string text;
  for (int frame : frames) {
    if (!text.empty()) text += separator;
    text += std::to_string(frame);
  }
  return text;
}

bool read_expected_folder(const std::string& folder, ExpectedFolder& expected,
                          std::string& reason) {
  expected = ExpectedFolder{};
  expected.folder = folder;
  std::string text = read_file(expected.path(DESCRIPTION_FILE), DESCRIPTION_BOUND);
  if (text.empty()) {
    reason = folder + " is not an expected folder (it has no " + DESCRIPTION_FILE +
             "; make one with --make-expected)";
    return false;
  }
  for (const std::string& line : lines_of(text)) {
    size_t colon = line.find(':');
    if (line.empty() || line[0] == '#' || colon == std::string::npos) continue;
    std::string key = trimmed(line.substr(0, colon));
    std::string value = trimmed(line.substr(colon + 1));
    if (key == "answers") {
      expected.has_answers = value != "none";
    } else if (key == "frames") {
      if (value != "none" && !parse_frames(value, expected.frames)) {
        reason = expected.path(DESCRIPTION_FILE) + ": \"" + value + "\" are not frame numbers";
        return false;
      }
    } else if (key == "exit status") {
      bool negative = !value.empty() && value[0] == '-';
      if (!whole_number(negative ? value.substr(1) : value, expected.exit_status)) {
        reason = expected.path(DESCRIPTION_FILE) + ": \"" + value + "\" is not an exit status";
        return false;
      }
      if (negative) expected.exit_status = -expected.exit_status;
    } else if (key == "library") {
      expected.version = value;
    }
  }
  return true;
}

std::string description_text(const ExpectedFolder& expected, const std::string& script_source) {
  std::string text =
      "# What a good program gives, made by kivet-check --make-expected.\n"
      "# Check programs against it with: kivet-check --expected FOLDER PROGRAM...\n";
  text += "script: " + std::string(SCRIPT_FILE) + " (from " + script_source + ")\n";
  text += "answers: " + std::string(expected.has_answers ? ANSWERS_FILE : "none") + "\n";
  text += "frames: " + (expected.frames.empty() ? std::string("none") : frames_text(expected.frames, " ")) + "\n";
  text += "exit status: " + std::to_string(expected.exit_status) + "\n";
  text += "library: " + expected.version + "\n";
  return text;
}

}  // namespace kivet::check
