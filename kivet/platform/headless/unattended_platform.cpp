// The unattended runner. Nothing is ever shown and nothing ever comes but
// the script: when the wait would sleep, the run is over.
#include "kivet/platform/headless/unattended_platform.h"

#include <string>

namespace kivet {
namespace {

// One line of `in` without its line end; at the end of input, what was
// read so far (nothing: an empty answer).
std::string read_answer(FILE* in) {
  std::string answer;
  char piece[256];
  while (fgets(piece, sizeof piece, in)) {
    answer += piece;
    if (answer.back() == '\n') break;
  }
  if (!answer.empty() && answer.back() == '\n') answer.pop_back();
  if (!answer.empty() && answer.back() == '\r') answer.pop_back();
  return answer;
}

}  // namespace

void UnattendedPlatform::use_streams(FILE* out, FILE* in) {
  out_ = out;
  in_ = in;
}

// No screen: the bitmap itself is the picture (KIVET_SNAPSHOT).
void UnattendedPlatform::present(const Bitmap&, ChangedRows) {}

// A line written to the stream cannot be taken back.
void UnattendedPlatform::text_clear() {}

void UnattendedPlatform::text_add_line(const char* line) { write_line(line); }

void UnattendedPlatform::process_events(bool block) {
  // Nothing will ever come: the wait is told to end the run.
  if (block) post_message(Message{WindowId::none, MessageKind::quit, 0, 0});
}

bool UnattendedPlatform::run_dialog(const DialogSetup& setup, DialogHandler handler) {
  write_line(setup.prompt.c_str());
  // The answer is typed and confirmed at once: only Okay ends a dialog.
  handler(DialogChoice{DialogChoice::okay, read_answer(in_)});
  return true;
}

void UnattendedPlatform::write_line(const char* line) {
  fputs(line, out_);
  fputc('\n', out_);
  // Lines reach the stream as they come: a run that stops early still
  // shows everything up to that point.
  fflush(out_);
}

UnattendedPlatform& unattended_platform() {
  static UnattendedPlatform instance;
  return instance;
}

}  // namespace kivet
