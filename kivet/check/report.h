// The report of a check: index.html, a page that opens from its folder with
// nothing fetched (its pictures are files beside it), results.csv for a
// grade book, and the pictures themselves.
#pragma once

#include <string>
#include <vector>

#include "kivet/check/program_check.h"

namespace kivet::check {

// The folder, under the report's, of the program in row `row` (from 1).
std::string row_folder(int row, const std::string& program);

// Writes the expected pictures (visible part) into REPORT/expected/.
std::string write_expected_pictures(const std::string& report, const CheckSettings& settings);
// Writes one row's pictures into REPORT/row_folder: got, difference, and
// each frame's; the check keeps no pixels afterwards.
std::string write_row_pictures(const std::string& report, int row, ProgramCheck& check,
                               const CheckSettings& settings);

// index.html and results.csv for the checks, in their order.
std::string write_report(const std::string& report, const std::vector<ProgramCheck>& checks,
                         const CheckSettings& settings);

// One CSV field, quoted when it must be.
std::string csv_field(const std::string& text);
// Text for HTML.
std::string html_escaped(const std::string& text);

}  // namespace kivet::check
