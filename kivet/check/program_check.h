// Checking one program: its run in a private temporary folder, headless,
// with the script as KIVET.SCR and the answers on standard input, and what
// it gave compared with the expected folder, down to one verdict.
#pragma once

#include <string>
#include <vector>

#include "kivet/check/expected_folder.h"
#include "kivet/check/pictures.h"
#include "kivet/check/program_run.h"

namespace kivet::check {

// What is read back of a run's standard output and standard error, and of
// a picture.
constexpr size_t OUTPUT_BOUND = 32u << 20;
constexpr size_t PICTURE_BOUND = 16u << 20;

struct RunSetup {
  std::string script;   // the script file to play
  std::string answers;  // the answers file, or empty
  std::vector<std::string> files;  // files the program reads, put beside it
  std::vector<int> frames;
  double time_limit_seconds = 10;
};

// What one headless run of a program gave.
struct RunOutcome {
  RunResult result;
  bool output_cut = false;  // standard output or a file reached the bound
  std::string output;       // standard output
  std::string errors;       // standard error
  // The pictures as the program wrote them (PNG files' bytes): decoding
  // is left for when they differ from the expected ones, or are shown.
  std::string final_png;                // empty when the program wrote none
  std::vector<std::string> frame_pngs;  // by RunSetup::frames, empty when missing
};

// Runs `program` headless in a private temporary folder, removed afterwards;
// with `logging` the run starts with logging on (KIVET_LOGGING=1).
RunOutcome run_headless(const std::string& program, const RunSetup& setup, bool logging);

struct FrameCheck {
  int frame = 0;
  bool present = false;
  long differing = 0;
};

struct ProgramCheck {
  std::string program;  // as given on the command line
  std::string verdict;
  bool passed = false;
  RunOutcome outcome;
  std::vector<std::string> expected_lines, got_lines;
  int first_differing_line = 0;  // 0: the same
  long differing_pixels = -1;    // -1: no picture to compare
  std::vector<FrameCheck> frames;
  // Where the pictures differ: the drawing sentences of both runs around
  // the first line in which they part (from log.txt and a run with logging).
  int first_differing_sentence = 0;
  std::vector<std::string> expected_sentences, got_sentences;
};

struct CheckSettings {
  ExpectedFolder expected;
  RunSetup setup;
  long tolerance = 0;  // differing pixels that still pass
  // The expected pictures, read once for every program: the final one and
  // one for each of setup.frames.
  Picture expected_final;
  std::vector<Picture> expected_frames;
  std::string expected_final_png;
  std::vector<std::string> expected_frame_pngs;
};

// Reads the expected pictures into the settings; false when the final one
// is missing.
bool read_expected_pictures(CheckSettings& settings);

// Runs and compares one program; its pictures stay in the result.
ProgramCheck check_program(const std::string& program, const CheckSettings& settings);

// The verdict's words for what the run gave, before any comparison; empty
// when the run ended as a good program's does.
std::string run_verdict(const RunOutcome& outcome, double time_limit_seconds,
                        int expected_status);

// "timed out after 10 s", "timed out after 2.5 s".
std::string seconds_text(double seconds);

}  // namespace kivet::check
