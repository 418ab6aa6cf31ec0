// kivet-check: grades a class's programs in one command. With
// --make-expected it runs the teacher's reference program and keeps what it
// gives; with --expected it runs each program the same way, several at
// once, and prints one verdict line per program, in the order given.
#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <system_error>
#include <thread>

#include "kivet/check/check_options.h"
#include "kivet/check/expected_folder.h"
#include "kivet/check/output_text.h"
#include "kivet/check/program_check.h"
#include "kivet/check/report.h"

#ifndef KIVET_VERSION
#define KIVET_VERSION "unknown"
#endif

namespace fs = std::filesystem;
using namespace kivet::check;

namespace {

constexpr int EXIT_ALL_PASS = 0;
constexpr int EXIT_SOME_FAIL = 1;
constexpr int EXIT_USAGE = 2;

int usage_error(const std::string& problem) {
  fprintf(stderr, "kivet-check: %s\nTry 'kivet-check --help' for more.\n", problem.c_str());
  return EXIT_USAGE;
}

// A trouble that is not the programs': one line, status 2.
int trouble(const std::string& what) {
  fprintf(stderr, "kivet-check: %s\n", what.c_str());
  return EXIT_USAGE;
}

bool is_file(const std::string& path) {
  std::error_code error;
  return fs::is_regular_file(fs::u8path(path), error);
}

bool same_place(const std::string& a, const std::string& b) {
  std::error_code error;
  return fs::exists(fs::u8path(a), error) && fs::equivalent(fs::u8path(a), fs::u8path(b), error);
}

// Why the files given to put beside a program cannot be, or empty: each
// must be a file, and its name must not be one the run itself uses.
std::string files_problem(const std::vector<std::string>& files) {
  std::vector<std::string> names;
  for (const std::string& file : files) {
    if (!is_file(file)) return "cannot read the file " + file;
    std::string name = fs::u8path(file).filename().u8string();
    bool taken = name == "KIVET.SCR" || name == "answers.txt" || name == "stdout.txt" ||
                 name == "stderr.txt" || name == "final.png" || name.compare(0, 6, "final-") == 0 ||
                 std::find(names.begin(), names.end(), name) != names.end();
    if (taken) return "the file " + file + " cannot go beside the program: its name " + name + " is taken";
    names.push_back(name);
  }
  return "";
}

// The files that an expected folder keeps for its programs, by name.
std::vector<std::string> kept_files(const ExpectedFolder& expected) {
  std::vector<std::string> files;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(fs::u8path(expected.path(FILES_FOLDER)), error)) {
    if (entry.is_regular_file(error)) files.push_back(entry.path().u8string());
  }
  std::sort(files.begin(), files.end());
  return files;
}

// Keeps the files in DIR/files, in place of what was there: they are read
// first, since they may be the very files kept there.
bool keep_files(const ExpectedFolder& expected, const std::vector<std::string>& files) {
  std::vector<std::pair<std::string, std::string>> contents;
  for (const std::string& file : files) {
    bool cut = false;
    contents.emplace_back(fs::u8path(file).filename().u8string(), read_file(file, OUTPUT_BOUND, &cut));
    if (cut) return false;
  }
  fs::path folder = fs::u8path(expected.path(FILES_FOLDER));
  std::error_code error;
  fs::remove_all(folder, error);
  if (contents.empty()) return true;
  if (!fs::create_directory(folder, error)) return false;
  for (const auto& [name, bytes] : contents) {
    if (!write_file((folder / fs::u8path(name)).u8string(), bytes)) return false;
  }
  return true;
}

int make_expected(const CheckOptions& options) {
  if (!is_file(options.script)) return trouble("cannot read the script " + options.script);
  if (!options.answers.empty() && !is_file(options.answers)) {
    return trouble("cannot read the answers " + options.answers);
  }
  std::string unfit = files_problem(options.files);
  if (!unfit.empty()) return trouble(unfit);
  RunSetup setup;
  setup.files = options.files;
  setup.frames = options.frames;
  setup.time_limit_seconds = options.time_limit_seconds;
  // The teacher's files are read into memory first: the folder may be
  // where they are, and they are never written.
  std::string script = read_file(options.script, OUTPUT_BOUND);
  std::string answers = options.answers.empty() ? "" : read_file(options.answers, OUTPUT_BOUND);
  setup.script = options.script;
  setup.answers = options.answers;
  const std::string& program = options.programs[0];
  RunOutcome outcome = run_headless(program, setup, false);
  std::string problem = run_verdict(outcome, setup.time_limit_seconds, 0);
  if (!problem.empty() && problem.compare(0, 11, "exit status") != 0) {
    return trouble("the reference program " + program + ": " + problem + "; nothing written");
  }
  if (outcome.final_png.empty()) {
    return trouble("the reference program " + program + " wrote no picture; nothing written");
  }
  for (size_t i = 0; i < setup.frames.size(); ++i) {
    if (outcome.frame_pngs[i].empty()) {
      return trouble("the reference program " + program + " ended before frame " +
                     std::to_string(setup.frames[i]) + "; nothing written");
    }
  }
  RunOutcome logged = run_headless(program, setup, true);

  ExpectedFolder expected;
  expected.folder = options.folder;
  expected.has_answers = !options.answers.empty();
  expected.frames = setup.frames;
  expected.exit_status = outcome.result.status;
  expected.version = KIVET_VERSION;
  std::error_code error;
  fs::create_directories(fs::u8path(options.folder), error);
  if (error) return trouble("cannot make " + options.folder + ": " + error.message());
  bool written = write_file(expected.path(SCRIPT_FILE), script);
  fs::remove(fs::u8path(expected.path(ANSWERS_FILE)), error);
  if (expected.has_answers) written = written && write_file(expected.path(ANSWERS_FILE), answers);
  written = written && write_file(expected.path(OUTPUT_FILE), joined_lines(lines_of(outcome.output)));
  written = written && write_file(expected.path(LOG_FILE), joined_lines(lines_of(logged.output)));
  // The pictures as the reference wrote them.
  written = written && write_file(expected.path(FINAL_PICTURE), outcome.final_png);
  for (size_t i = 0; i < setup.frames.size(); ++i) {
    written = written && write_file(expected.path(frame_picture(setup.frames[i])), outcome.frame_pngs[i]);
  }
  written = written && keep_files(expected, options.files);
  written = written &&
            write_file(expected.path(DESCRIPTION_FILE), description_text(expected, options.script));
  if (!written) return trouble("cannot write into " + options.folder);
  fprintf(stderr, "kivet-check: %s made from %s\n", options.folder.c_str(), program.c_str());
  return EXIT_ALL_PASS;
}

// The checks in their order, filled by the workers; each verdict line is
// printed as soon as it and every one before it are known.
struct Class {
  std::vector<ProgramCheck> checks;
  std::vector<bool> done;
  size_t next_to_run = 0;
  size_t next_to_print = 0;
  std::mutex lock;
  std::condition_variable finished;
};

void print_ready(Class& group) {
  while (group.next_to_print < group.checks.size() && group.done[group.next_to_print]) {
    const ProgramCheck& check = group.checks[group.next_to_print];
    printf("%s: %s\n", check.program.c_str(), check.verdict.c_str());
    fflush(stdout);
    ++group.next_to_print;
  }
}

void work(Class& group, const CheckOptions& options, const CheckSettings& settings) {
  for (;;) {
    size_t index;
    {
      std::lock_guard<std::mutex> hold(group.lock);
      if (group.next_to_run >= group.checks.size()) return;
      index = group.next_to_run++;
    }
    ProgramCheck check;
    try {
      check = check_program(options.programs[index], settings);
    } catch (const std::exception& e) {
      check.program = options.programs[index];
      check.verdict = std::string("did not start (") + e.what() + ")";
    }
    if (!options.report.empty()) {
      std::string failure = write_row_pictures(options.report, static_cast<int>(index + 1), check, settings);
      if (!failure.empty()) fprintf(stderr, "kivet-check: %s\n", failure.c_str());
    }
    std::lock_guard<std::mutex> hold(group.lock);
    group.checks[index] = std::move(check);
    group.done[index] = true;
    print_ready(group);
  }
}

int check_class(const CheckOptions& options) {
  CheckSettings settings;
  std::string reason;
  if (!read_expected_folder(options.folder, settings.expected, reason)) return trouble(reason);
  const ExpectedFolder& expected = settings.expected;
  settings.setup.script = options.script.empty() ? expected.path(SCRIPT_FILE) : options.script;
  settings.setup.answers = !options.answers.empty() ? options.answers
                           : expected.has_answers   ? expected.path(ANSWERS_FILE)
                                                    : "";
  settings.setup.frames = options.frames_given ? options.frames : expected.frames;
  settings.setup.files = options.files.empty() ? kept_files(expected) : options.files;
  std::string unfit = files_problem(settings.setup.files);
  if (!unfit.empty()) return trouble(unfit);
  settings.setup.time_limit_seconds = options.time_limit_seconds;
  settings.tolerance = options.tolerance;
  if (!is_file(settings.setup.script)) return trouble("cannot read the script " + settings.setup.script);
  if (!settings.setup.answers.empty() && !is_file(settings.setup.answers)) {
    return trouble("cannot read the answers " + settings.setup.answers);
  }
  if (!read_expected_pictures(settings)) {
    return trouble(options.folder + " has no picture " + FINAL_PICTURE + " that can be read");
  }
  for (size_t i = 0; i < settings.setup.frames.size(); ++i) {
    if (settings.expected_frames[i].empty()) {
      return trouble(options.folder + " has no " + frame_picture(settings.setup.frames[i]) +
                     " (made with other --frames)");
    }
  }
  if (!options.report.empty()) {
    if (same_place(options.report, options.folder)) {
      return usage_error("the report cannot go into the expected folder " + options.folder);
    }
    std::string failure = write_expected_pictures(options.report, settings);
    if (!failure.empty()) return trouble(failure);
  }

  Class group;
  group.checks.resize(options.programs.size());
  group.done.assign(options.programs.size(), false);
  int jobs = options.jobs > 0 ? options.jobs : processor_count();
  jobs = std::max(1, std::min<int>(jobs, static_cast<int>(options.programs.size())));
  std::vector<std::thread> workers;
  for (int j = 1; j < jobs; ++j) {
    workers.emplace_back([&] { work(group, options, settings); });
  }
  work(group, options, settings);
  for (std::thread& worker : workers) worker.join();

  if (!options.report.empty()) {
    std::string failure = write_report(options.report, group.checks, settings);
    if (!failure.empty()) return trouble(failure);
  }
  for (const ProgramCheck& check : group.checks) {
    if (!check.passed) return EXIT_SOME_FAIL;
  }
  return EXIT_ALL_PASS;
}

}  // namespace

int main(int argc, char** argv) {
  CheckOptions options;
  std::string problem;
  if (!parse_options(argc, argv, options, problem)) return usage_error(problem);
  switch (options.mode) {
    case CheckOptions::help:
      fputs(HELP_TEXT, stdout);
      return EXIT_ALL_PASS;
    case CheckOptions::version:
      printf("kivet-check %s\n", KIVET_VERSION);
      return EXIT_ALL_PASS;
    case CheckOptions::make_expected:
      return make_expected(options);
    case CheckOptions::check:
      break;
  }
  try {
    return check_class(options);
  } catch (const std::exception& e) {
    return trouble(e.what());
  }
}
