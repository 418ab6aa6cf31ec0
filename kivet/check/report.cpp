#include "kivet/check/report.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "kivet/check/output_text.h"

namespace kivet::check {
namespace fs = std::filesystem;
namespace {

constexpr int OUTPUT_LINES_BEFORE = 2;
constexpr int OUTPUT_LINES_AFTER = 3;

std::string make_folder(const std::string& folder) {
  std::error_code error;
  fs::create_directories(fs::u8path(folder), error);
  return error ? "cannot make " + folder + ": " + error.message() : std::string();
}

std::string first_error(const std::string& a, const std::string& b) { return a.empty() ? b : a; }

const char* PAGE_STYLE =
    "body{font-family:sans-serif;margin:1em}table{border-collapse:collapse}"
    "td,th{border:1px solid #ccc;padding:4px;vertical-align:top;text-align:left}"
    ".pass{color:#070}.fail{color:#b00;font-weight:bold}"
    "img{width:601px;image-rendering:pixelated;border:1px solid #888}"
    "pre{margin:0;font-size:12px;max-width:40em;overflow:auto}";

std::string image_cell(const std::string& path, const std::string& label) {
  if (path.empty()) return "<td>" + html_escaped(label) + "</td>";
  return "<td><a href=\"" + html_escaped(path) + "\"><img src=\"" + html_escaped(path) +
         "\" alt=\"" + html_escaped(label) + "\"></a></td>";
}

std::string pre_block(const std::string& title, const std::vector<std::string>& lines) {
  std::string text = "<p>" + html_escaped(title) + "</p><pre>";
  for (const std::string& line : lines) text += html_escaped(line) + "\n";
  return text + "</pre>";
}

bool file_exists(const std::string& path) {
  std::error_code error;
  return fs::exists(fs::u8path(path), error);
}

}  // namespace

std::string csv_field(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

std::string html_escaped(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    switch (c) {
      case '&': escaped += "&amp;"; break;
      case '<': escaped += "&lt;"; break;
      case '>': escaped += "&gt;"; break;
      case '"': escaped += "&quot;"; break;
      default: escaped += c;
    }
  }
  return escaped;
}

std::string row_folder(int row, const std::string& program) {
  std::string name = fs::u8path(program).filename().u8string();
  std::string safe;
  for (char c : name) {
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                 c == '-' || c == '_' || c == '.';
    safe += plain ? c : '_';
  }
  char number[16];
  snprintf(number, sizeof number, "%03d-", row);
  return number + safe;
}

std::string write_expected_pictures(const std::string& report, const CheckSettings& settings) {
  std::string folder = report + "/expected";
  std::string failure = make_folder(folder);
  if (!failure.empty()) return failure;
  failure = write_picture(visible_part(settings.expected_final), folder + "/" + FINAL_PICTURE);
  for (size_t i = 0; i < settings.setup.frames.size(); ++i) {
    failure = first_error(failure, write_picture(visible_part(settings.expected_frames[i]),
                                                 folder + "/" + frame_picture(settings.setup.frames[i])));
  }
  return failure;
}

std::string write_row_pictures(const std::string& report, int row, ProgramCheck& check,
                               const CheckSettings& settings) {
  std::string folder = report + "/" + row_folder(row, check.program);
  std::string failure = make_folder(folder);
  if (!failure.empty()) return failure;
  RunOutcome& got = check.outcome;
  if (!got.final_png.empty()) {
    const Picture& want = settings.expected_final;
    Picture picture = decode_picture(got.final_png);
    failure = first_error(failure, write_picture(visible_part(picture), folder + "/got.png"));
    failure = first_error(failure, write_picture(difference_picture(want, picture),
                                                 folder + "/difference.png"));
  }
  for (size_t i = 0; i < got.frame_pngs.size(); ++i) {
    if (got.frame_pngs[i].empty()) continue;
    Picture picture = decode_picture(got.frame_pngs[i]);
    int frame = settings.setup.frames[i];
    const Picture& want = settings.expected_frames[i];
    std::string name = "frame-" + std::to_string(frame);
    failure = first_error(failure, write_picture(visible_part(picture),
                                                 folder + "/" + name + ".png"));
    failure = first_error(failure, write_picture(difference_picture(want, picture),
                                                 folder + "/" + name + "-difference.png"));
  }
  got.final_png.clear();
  got.frame_pngs.assign(got.frame_pngs.size(), std::string());
  return failure;
}

std::string write_report(const std::string& report, const std::vector<ProgramCheck>& checks,
                         const CheckSettings& settings) {
  std::string csv = "program,verdict,differing pixels,first differing line\n";
  std::string page =
      "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
      "<title>kivet-check report</title><style>" + std::string(PAGE_STYLE) +
      "</style></head><body>\n<h1>kivet-check report</h1>\n";
  int passed = 0;
  for (const ProgramCheck& check : checks) passed += check.passed ? 1 : 0;
  page += "<p>" + std::to_string(passed) + " of " + std::to_string(checks.size()) +
          " programs pass, checked against " + html_escaped(settings.expected.folder) + ".</p>\n";
  page += "<table>\n<tr><th>Program</th><th>Verdict</th><th>Expected</th><th>Got</th>"
          "<th>Difference</th><th>Details</th></tr>\n";
  int row = 0;
  for (const ProgramCheck& check : checks) {
    ++row;
    std::string folder = row_folder(row, check.program);
    csv += csv_field(check.program) + "," + csv_field(check.verdict) + "," +
           (check.differing_pixels >= 0 ? std::to_string(check.differing_pixels) : "") + "," +
           (check.first_differing_line > 0 ? std::to_string(check.first_differing_line) : "") +
           "\n";
    std::string got = folder + "/got.png";
    bool has_got = file_exists(report + "/" + got);
    page += "<tr><td>" + html_escaped(check.program) + "</td><td class=\"" +
            (check.passed ? "pass" : "fail") + "\">" + html_escaped(check.verdict) + "</td>";
    page += image_cell(std::string("expected/") + FINAL_PICTURE, "expected");
    page += image_cell(has_got ? got : "", "no picture");
    page += image_cell(has_got ? folder + "/difference.png" : "", "");
    page += "<td>";
    if (check.first_differing_line > 0) {
      page += pre_block("Expected output, from line " +
                            std::to_string(std::max(1, check.first_differing_line - OUTPUT_LINES_BEFORE)) + ":",
                        lines_around(check.expected_lines, check.first_differing_line,
                                     OUTPUT_LINES_BEFORE, OUTPUT_LINES_AFTER));
      page += pre_block("Got:", lines_around(check.got_lines, check.first_differing_line,
                                             OUTPUT_LINES_BEFORE, OUTPUT_LINES_AFTER));
    }
    if (check.first_differing_sentence > 0) {
      page += pre_block("Drawing sentences expected, around the first that differs (line " +
                            std::to_string(check.first_differing_sentence) + "):",
                        check.expected_sentences);
      page += pre_block("Drawing sentences got:", check.got_sentences);
    }
    for (const FrameCheck& frame : check.frames) {
      std::string name = "frame-" + std::to_string(frame.frame);
      std::string text = !frame.present        ? std::string("not reached")
                         : frame.differing == 1 ? std::string("1 pixel differs")
                                                : std::to_string(frame.differing) + " pixels differ";
      page += "<p>Frame " + std::to_string(frame.frame) + ": " + text + "</p>";
      if (frame.present && frame.differing > 0) {
        page += "<a href=\"" + folder + "/" + name + ".png\"><img src=\"" + folder + "/" + name +
                ".png\" alt=\"got\"></a> <a href=\"" + folder + "/" + name +
                "-difference.png\"><img src=\"" + folder + "/" + name +
                "-difference.png\" alt=\"difference\"></a>";
      }
    }
    page += "</td></tr>\n";
  }
  page += "</table>\n</body></html>\n";
  if (!write_file(report + "/results.csv", csv)) return "cannot write " + report + "/results.csv";
  if (!write_file(report + "/index.html", page)) return "cannot write " + report + "/index.html";
  return std::string();
}

}  // namespace kivet::check
