// Running one program for the check: in a folder of its own, with its
// standard input from a file and its output into files, a few environment
// variables set, a time limit and a bound on the size of what it writes.
// One implementation per system (kivet/platform/posix, kivet/platform/win32);
// this header needs only the C++ standard library.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kivet::check {

struct RunRequest {
  std::string program;  // an absolute path
  std::string folder;   // the working directory
  // Set (or, with an empty value, emptied) in the program's environment.
  std::vector<std::pair<std::string, std::string>> environment;
  std::string input;   // the file read as standard input
  std::string output;  // the files standard output and standard error go to
  std::string errors;
  double time_limit_seconds = 10;
  // Each file the program writes (standard output included) is cut off at
  // this many bytes; the run then counts as too much output.
  long long file_size_limit = 32LL << 20;
};

struct RunResult {
  enum Ending { exited, signalled, timed_out, too_much_output, not_started };
  Ending ending = not_started;
  int status = 0;      // exited: the exit status
  int signal = 0;      // signalled: the signal's number (on Windows, the exception code)
  std::string reason;  // not_started: why, in words
};

// Runs the program and waits for it. At the time limit it is asked to end
// (SIGTERM on POSIX systems, so that it writes its picture) and is killed
// after a grace period of two seconds; on Windows it is ended at once.
RunResult run_program(const RunRequest& request);

// The number of processors, for the default number of jobs.
int processor_count();

}  // namespace kivet::check
