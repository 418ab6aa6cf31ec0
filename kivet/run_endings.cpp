// The ending of an unattended run whose program does not end after quit.
#include "kivet/run_endings.h"

#include <cstdio>
#include <cstdlib>

#include "kivet/kivet.h"
#include "kivet/state.h"

namespace kivet {

void note_quit_returned() {
  if (state().quits_returned < QUITS_BEFORE_ENDING) ++state().quits_returned;
}

void end_if_quit_ignored() {
  if (state().quits_returned < QUITS_BEFORE_ENDING) return;
  KIVET_close();
  std::fflush(stdout);
  std::fprintf(stderr, "%s\n", NO_END_AFTER_QUIT_LINE);
  std::fflush(nullptr);
  std::_Exit(EXIT_NO_END_AFTER_QUIT);
}

}  // namespace kivet
