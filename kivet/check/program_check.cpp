#include "kivet/check/program_check.h"

#include <atomic>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#include "kivet/check/output_text.h"
#include "kivet/run_endings.h"

namespace kivet::check {
namespace fs = std::filesystem;
namespace {

constexpr int SENTENCES_BEFORE = 3;
constexpr int SENTENCES_AFTER = 3;

// A folder of its own for one run, under the system's temporary folder.
fs::path make_private_folder() {
  static std::atomic<unsigned> counter{0};
  std::random_device random;
  for (;;) {
    char name[64];
    snprintf(name, sizeof name, "kivet-check-%08x-%u", random(), counter++);
    fs::path folder = fs::temp_directory_path() / name;
    std::error_code error;
    if (fs::create_directory(folder, error)) return folder;
    if (error) throw fs::filesystem_error("cannot make a temporary folder", folder, error);
  }
}

std::string utf8(const fs::path& path) { return path.u8string(); }

bool copy_file_to(const std::string& from, const fs::path& to) {
  std::error_code error;
  return fs::copy_file(fs::u8path(from), to, fs::copy_options::overwrite_existing, error);
}

std::string program_path(const std::string& program) {
  std::error_code error;
  fs::path absolute = fs::absolute(fs::u8path(program), error);
  return error ? program : utf8(absolute);
}

}  // namespace

std::string seconds_text(double seconds) {
  char text[32];
  snprintf(text, sizeof text, "%g s", seconds);
  return text;
}

RunOutcome run_headless(const std::string& program, const RunSetup& setup, bool logging) {
  RunOutcome outcome;
  fs::path folder = make_private_folder();
  RunRequest request;
  request.program = program_path(program);
  request.folder = utf8(folder);
  request.input = utf8(folder / "answers.txt");
  request.output = utf8(folder / "stdout.txt");
  request.errors = utf8(folder / "stderr.txt");
  request.time_limit_seconds = setup.time_limit_seconds;
  request.environment = {{"KIVET_BACKEND", "headless"},
                         {"KIVET_SNAPSHOT", "final.png"},
                         {"KIVET_SNAPSHOT_FRAMES", frames_text(setup.frames, ",")},
                         {"KIVET_LOGGING", logging ? "1" : "0"}};
  bool ready = copy_file_to(setup.script, folder / "KIVET.SCR");
  for (const std::string& file : setup.files) {
    ready = ready && copy_file_to(file, folder / fs::u8path(file).filename());
  }
  if (ready && !setup.answers.empty()) {
    ready = copy_file_to(setup.answers, folder / "answers.txt");
  } else if (ready) {
    ready = write_file(request.input, "");
  }
  if (!ready) {
    outcome.result.ending = RunResult::not_started;
    outcome.result.reason = "cannot set up its folder " + request.folder;
  } else {
    outcome.result = run_program(request);
  }
  bool cut = false;
  outcome.output = read_file(request.output, OUTPUT_BOUND, &cut);
  outcome.output_cut = cut || outcome.result.ending == RunResult::too_much_output ||
                       outcome.output.size() >= static_cast<size_t>(request.file_size_limit);
  outcome.errors = read_file(request.errors, OUTPUT_BOUND);
  outcome.final_png = read_file(utf8(folder / "final.png"), PICTURE_BOUND);
  for (int frame : setup.frames) {
    outcome.frame_pngs.push_back(
        read_file(utf8(folder / ("final-" + std::to_string(frame) + ".png")), PICTURE_BOUND));
  }
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return outcome;
}

std::string run_verdict(const RunOutcome& outcome, double time_limit_seconds,
                        int expected_status) {
  const RunResult& run = outcome.result;
  switch (run.ending) {
    case RunResult::not_started:
      return "did not start (" + run.reason + ")";
    case RunResult::timed_out:
      return "timed out after " + seconds_text(time_limit_seconds);
    case RunResult::too_much_output:
      return "output cut off at " + std::to_string(OUTPUT_BOUND >> 20) + " MB";
    case RunResult::signalled: {
      if (run.signal < 0 || run.signal > 255) {
        char code[32];
        snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(run.signal));
        return std::string("crashed (exception ") + code + ")";
      }
      return "crashed (signal " + std::to_string(run.signal) + ")";
    }
    case RunResult::exited:
      break;
  }
  if (outcome.output_cut) return "output cut off at " + std::to_string(OUTPUT_BOUND >> 20) + " MB";
  if (run.status == EXIT_NO_END_AFTER_QUIT &&
      outcome.errors.find(NO_END_AFTER_QUIT_LINE) != std::string::npos) {
    return "did not end after quit";
  }
  if (run.status != expected_status) return "exit status " + std::to_string(run.status);
  return std::string();
}

// The drawing sentences of both runs around the first line in which they
// part: the expected folder's log and a second run with logging on.
static void compare_sentences(ProgramCheck& check, const CheckSettings& settings) {
  std::vector<std::string> expected =
      lines_of(read_file(settings.expected.path(LOG_FILE), OUTPUT_BOUND));
  RunOutcome logged = run_headless(check.program, settings.setup, true);
  std::vector<std::string> got = lines_of(logged.output);
  check.first_differing_sentence = first_differing_line(expected, got);
  if (check.first_differing_sentence == 0) return;
  check.expected_sentences =
      lines_around(expected, check.first_differing_sentence, SENTENCES_BEFORE, SENTENCES_AFTER);
  check.got_sentences =
      lines_around(got, check.first_differing_sentence, SENTENCES_BEFORE, SENTENCES_AFTER);
}

bool read_expected_pictures(CheckSettings& settings) {
  settings.expected_final_png = read_file(settings.expected.path(FINAL_PICTURE), PICTURE_BOUND);
  settings.expected_final = decode_picture(settings.expected_final_png);
  settings.expected_frames.clear();
  settings.expected_frame_pngs.clear();
  for (int frame : settings.setup.frames) {
    settings.expected_frame_pngs.push_back(
        read_file(settings.expected.path(frame_picture(frame)), PICTURE_BOUND));
    settings.expected_frames.push_back(decode_picture(settings.expected_frame_pngs.back()));
  }
  return !settings.expected_final.empty();
}

// Pixels that differ: none when the files are the same, as the library
// writes the same picture into the same bytes.
static long differences(const std::string& got_png, const std::string& expected_png,
                        const Picture& expected) {
  if (got_png == expected_png) return 0;
  return count_differences(expected, decode_picture(got_png));
}

ProgramCheck check_program(const std::string& program, const CheckSettings& settings) {
  ProgramCheck check;
  check.program = program;
  check.outcome = run_headless(program, settings.setup, false);
  const RunOutcome& got = check.outcome;
  const ExpectedFolder& expected = settings.expected;

  check.expected_lines = lines_of(read_file(expected.path(OUTPUT_FILE), OUTPUT_BOUND));
  check.got_lines = lines_of(got.output);
  check.first_differing_line = first_differing_line(check.expected_lines, check.got_lines);
  if (!got.final_png.empty()) {
    check.differing_pixels =
        differences(got.final_png, settings.expected_final_png, settings.expected_final);
  }
  std::string first_frame_differing;
  for (size_t i = 0; i < settings.setup.frames.size(); ++i) {
    FrameCheck frame;
    frame.frame = settings.setup.frames[i];
    frame.present = !got.frame_pngs[i].empty();
    if (frame.present) {
      frame.differing = differences(got.frame_pngs[i], settings.expected_frame_pngs[i],
                                    settings.expected_frames[i]);
    }
    if ((!frame.present || frame.differing > settings.tolerance) && first_frame_differing.empty()) {
      first_frame_differing = "frame " + std::to_string(frame.frame) + " differs";
    }
    check.frames.push_back(frame);
  }
  bool picture_differs = check.differing_pixels > settings.tolerance;

  check.verdict = run_verdict(got, settings.setup.time_limit_seconds, expected.exit_status);
  if (check.verdict.empty()) {
    if (check.first_differing_line != 0) {
      check.verdict = "output differs (line " + std::to_string(check.first_differing_line) + ")";
    } else if (got.final_png.empty()) {
      check.verdict = "no picture";
    } else if (picture_differs) {
      check.verdict = "picture differs (" + std::to_string(check.differing_pixels) +
                      (check.differing_pixels == 1 ? " pixel)" : " pixels)");
    } else if (!first_frame_differing.empty()) {
      check.verdict = first_frame_differing;
    } else {
      check.verdict = "pass";
      check.passed = true;
    }
  }
  bool ran = got.result.ending == RunResult::exited;
  if (ran && (picture_differs || !first_frame_differing.empty())) {
    compare_sentences(check, settings);
  }
  return check;
}

}  // namespace kivet::check
