// The unattended runner: a program's run without a display and without a
// user (KIVET_BACKEND=headless). Its windows are the in-memory ones; the
// script is its only input, played from the start; the text window's lines
// go to a stream, and the dialog writes its prompt there and takes its
// answer from one line of another.
#pragma once

#include <cstdio>

#include "kivet/platform/headless/memory_platform.h"

namespace kivet {

class UnattendedPlatform : public MemoryPlatform {
 public:
  // Text lines and prompts to `out`, answers from `in`.
  void use_streams(FILE* out, FILE* in);

  void present(const Bitmap& bitmap, ChangedRows changed) override;
  void text_clear() override;
  void text_add_line(const char* line) override;
  void process_events(bool block) override;
  bool run_dialog(const DialogSetup& setup, DialogHandler handler) override;
  bool unattended() override { return true; }

 private:
  void write_line(const char* line);

  FILE* out_ = stdout;
  FILE* in_ = stdin;
};

// The one runner, on standard output and standard input until told
// otherwise.
UnattendedPlatform& unattended_platform();

}  // namespace kivet
