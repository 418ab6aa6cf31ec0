// The expected folder: what a good program gives, made from the teacher's
// reference program (kivet-check --make-expected). It holds
//   check.txt     how it was made: script, answers, frames, exit status,
//                 the library's version
//   script.scr    the script, played as KIVET.SCR
//   answers.txt   the answers on standard input (when there are any)
//   output.txt    standard output, lines ended by "\n"
//   log.txt       standard output of a second run with logging on
//   final.png     the final picture; frame-N.png the picture after tick N
//   files/        the files the program reads (pictures...), put beside it
#pragma once

#include <string>
#include <vector>

namespace kivet::check {

constexpr const char* DESCRIPTION_FILE = "check.txt";
constexpr const char* SCRIPT_FILE = "script.scr";
constexpr const char* ANSWERS_FILE = "answers.txt";
constexpr const char* OUTPUT_FILE = "output.txt";
constexpr const char* LOG_FILE = "log.txt";
constexpr const char* FINAL_PICTURE = "final.png";
constexpr const char* FILES_FOLDER = "files";

struct ExpectedFolder {
  std::string folder;
  bool has_answers = false;
  std::vector<int> frames;
  int exit_status = 0;
  std::string version;  // of the library that made it

  std::string path(const std::string& name) const;
};

// "frame-20.png".
std::string frame_picture(int frame);

// Reads check.txt; false with the reason when the folder is not one.
bool read_expected_folder(const std::string& folder, ExpectedFolder& expected,
                          std::string& reason);
// check.txt's text for a folder made so.
std::string description_text(const ExpectedFolder& expected, const std::string& script_source);

// "20,40" to 20 and 40; false for anything but whole numbers from 1 up.
bool parse_frames(const std::string& text, std::vector<int>& frames);
std::string frames_text(const std::vector<int>& frames, const char* separator);

}  // namespace kivet::check
