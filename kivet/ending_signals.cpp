// Terminating signals in an unattended run. The handler only notes the
// signal (a sig_atomic_t, the one kind of variable a handler may write);
// the picture is written at the next safe
// point, a call into the library, never inside the handler: encoding a PNG
// allocates memory and opens a file. A program that computes without
// calling the library meanwhile is not ended by the first signal; a second
// one, or SIGKILL, ends it without a picture.
#include "kivet/ending_signals.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "kivet/kivet.h"
#include "kivet/state.h"

namespace kivet {
namespace {

volatile std::sig_atomic_t pending_signal = 0;

extern "C" void on_ending_signal(int number) {
  if (pending_signal != 0) {
    // The program has not reached the library since the first one.
    std::signal(number, SIG_DFL);
    std::raise(number);
    return;
  }
  pending_signal = number;
}

void watch(int number) {
  if (std::signal(number, on_ending_signal) == SIG_IGN) std::signal(number, SIG_IGN);
}

}  // namespace

void watch_ending_signals() {
  watch(SIGTERM);
  watch(SIGINT);
}

void end_if_signalled() {
  int number = pending_signal;
  if (number == 0) return;
  KIVET_close();
  std::fflush(nullptr);
  // Ended by the signal itself, so that whoever sent it sees it.
  std::signal(number, SIG_DFL);
  std::raise(number);
  std::_Exit(128 + number);
}

}  // namespace kivet
