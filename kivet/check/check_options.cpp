#include "kivet/check/check_options.h"

#include <cstdlib>
#include <cstring>

#include "kivet/check/expected_folder.h"

namespace kivet::check {

const char* const HELP_TEXT =
    "Usage: kivet-check --make-expected DIR --script FILE [--answers FILE]\n"
    "                   [--frames N,N...] [--file FILE]... [--time-limit SECONDS]\n"
    "                   PROGRAM\n"
    "       kivet-check --expected DIR [--report DIR] [--time-limit SECONDS]\n"
    "                   [--jobs N] [--tolerance PIXELS] PROGRAM...\n"
    "\n"
    "Checks KIVET programs headless against what a reference program gives.\n"
    "Each program runs in a private temporary folder, with the script as\n"
    "KIVET.SCR and the answers on standard input; its standard output (line\n"
    "ends normalised) and its pictures (the visible 601 x 515 area) are\n"
    "compared with the expected folder, and one verdict per program is printed:\n"
    "  pass, picture differs (81 pixels), frame 20 differs, output differs (line 3),\n"
    "  timed out after 10 s, crashed (signal 11), exit status 3,\n"
    "  did not end after quit, no picture, output cut off at 32 MB,\n"
    "  did not start (...).\n"
    "\n"
    "  --make-expected DIR  run the reference PROGRAM and write into DIR what a\n"
    "                       good program gives: output.txt, final.png,\n"
    "                       frame-N.png, log.txt, the script and answers, check.txt\n"
    "  --script FILE        the events to play (KIVET.SCR)\n"
    "  --answers FILE       standard input: the answers to KIVET_gets\n"
    "  --frames N,N...      also compare the picture after the Nth periodic event\n"
    "  --file FILE          a file the program reads (a picture...), put beside it\n"
    "                       in its folder; --make-expected keeps it in DIR/files\n"
    "  --expected DIR       check each PROGRAM against DIR (its script, answers and\n"
    "                       frames, unless --script, --answers or --frames say other)\n"
    "  --report DIR         write DIR/index.html, DIR/results.csv and the pictures\n"
    "  --time-limit SECONDS each run's limit (default 10)\n"
    "  --jobs N             programs checked at once (default: the processors)\n"
    "  --tolerance PIXELS   differing pixels that still pass (default 0)\n"
    "  --help, --version\n"
    "\n"
    "Exit status: 0 when every program passes, 1 when any does not, 2 for a\n"
    "usage error.\n"
    "\n"
    "Examples:\n"
    "  kivet-check --make-expected expected --script house.scr --frames 20,40 ./house\n"
    "  kivet-check --expected expected --report report --time-limit 10 students/*/house\n"
    "  kivet-check --expected expected --jobs 4 --tolerance 5 anna/house bob/house\n";

namespace {

bool number_from(const char* text, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  return *text && end && *end == '\0';
}

}  // namespace

bool parse_options(int argc, const char* const* argv, CheckOptions& options,
                   std::string& problem) {
  options = CheckOptions{};
  bool expected_given = false, make_given = false;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      options.mode = CheckOptions::help;
      return true;
    }
    if (arg == "--version") {
      options.mode = CheckOptions::version;
      return true;
    }
    bool takes_value = arg == "--expected" || arg == "--make-expected" || arg == "--script" ||
                       arg == "--answers" || arg == "--report" || arg == "--frames" ||
                       arg == "--time-limit" || arg == "--jobs" || arg == "--tolerance" ||
                       arg == "--file";
    if (!takes_value) {
      if (arg.size() > 1 && arg[0] == '-' && arg != "--") {
        problem = "unknown option " + arg;
        return false;
      }
      if (arg == "--") {
        for (++i; i < argc; ++i) options.programs.push_back(argv[i]);
        break;
      }
      options.programs.push_back(arg);
      continue;
    }
    if (i + 1 >= argc || (!*argv[i + 1] && arg != "--frames")) {
      problem = arg + " needs a value";
      return false;
    }
    const char* value = argv[++i];
    double number = 0;
    if (arg == "--expected") {
      options.folder = value;
      expected_given = true;
    } else if (arg == "--make-expected") {
      options.folder = value;
      make_given = true;
    } else if (arg == "--script") {
      options.script = value;
    } else if (arg == "--answers") {
      options.answers = value;
    } else if (arg == "--file") {
      options.files.push_back(value);
    } else if (arg == "--report") {
      options.report = value;
    } else if (arg == "--frames") {
      options.frames_given = true;
      if (!parse_frames(value, options.frames)) {
        problem = std::string("--frames takes periodic event numbers from 1 up, as 20,40, not \"") +
                  value + "\"";
        return false;
      }
    } else if (arg == "--time-limit") {
      if (!number_from(value, number) || !(number > 0) || number > 86400) {
        problem = std::string("--time-limit takes seconds above 0, not \"") + value + "\"";
        return false;
      }
      options.time_limit_seconds = number;
    } else if (arg == "--jobs") {
      if (!number_from(value, number) || number < 1 || number > 256 || number != static_cast<int>(number)) {
        problem = std::string("--jobs takes a whole number from 1 to 256, not \"") + value + "\"";
        return false;
      }
      options.jobs = static_cast<int>(number);
    } else if (arg == "--tolerance") {
      if (!number_from(value, number) || number < 0 || number > 1e9 || number != static_cast<long>(number)) {
        problem = std::string("--tolerance takes a whole number of pixels, not \"") + value + "\"";
        return false;
      }
      options.tolerance = static_cast<long>(number);
    }
  }
  if (expected_given == make_given) {
    problem = expected_given ? "give either --expected or --make-expected, not both"
                             : "give --expected DIR to check programs, or --make-expected DIR";
    return false;
  }
  options.mode = make_given ? CheckOptions::make_expected : CheckOptions::check;
  if (options.programs.empty()) {
    problem = make_given ? "no reference program given" : "no program to check given";
    return false;
  }
  if (make_given) {
    if (options.programs.size() > 1) {
      problem = "--make-expected takes one reference program, not " +
                std::to_string(options.programs.size());
      return false;
    }
    if (options.script.empty()) {
      problem = "--make-expected needs --script FILE";
      return false;
    }
    if (!options.report.empty() || options.jobs != 0 || options.tolerance != 0) {
      problem = "--report, --jobs and --tolerance go with --expected, not --make-expected";
      return false;
    }
  }
  return true;
}

}  // namespace kivet::check
