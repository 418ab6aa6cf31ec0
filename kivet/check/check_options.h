// kivet-check's command line.
#pragma once

#include <string>
#include <vector>

namespace kivet::check {

struct CheckOptions {
  enum Mode { check, make_expected, help, version };
  Mode mode = check;
  std::string folder;  // --expected or --make-expected
  std::string script, answers, report;
  bool frames_given = false;
  std::vector<int> frames;
  double time_limit_seconds = 10;
  int jobs = 0;  // 0: the number of processors
  long tolerance = 0;
  std::vector<std::string> files;  // --file: put beside each program
  std::vector<std::string> programs;
};

// Reads the arguments; false with one line saying what is wrong.
bool parse_options(int argc, const char* const* argv, CheckOptions& options,
                   std::string& problem);

extern const char* const HELP_TEXT;

}  // namespace kivet::check
