// The switches of a game: key and mouse events, the keys down, and the
// tick. In a file of their own, so that a program that uses none of them
// links none of them.
#include "kivet/kivet.h"
#include "kivet/platform/platform.h"
#include "kivet/state.h"

using namespace kivet;

void KIVET_set_key_events(int on) {
  state().key_events = on != 0;
  // Keys switched off are up for the program: none is left down for ever.
  if (!state().key_events) {
    for (bool& down : state().keys_down) down = false;
  }
}

void KIVET_set_mouse_events(int on) { state().mouse_events = on != 0; }

int KIVET_key_down(int code) { return state().keys_down[code & 0xFF] ? 1 : 0; }

int KIVET_set_tick(int milliseconds) {
  int used = milliseconds;
  if (used < TICK_MIN_MS) used = TICK_MIN_MS;
  if (used > TICK_MAX_MS) used = TICK_MAX_MS;
  if (used != milliseconds) {
    KIVET_log_message("Tick of %d ms not possible, using %d ms\n", milliseconds, used);
  }
  if (used == state().tick_ms) return 1;
  state().tick_ms = used;
  // The timer starts again: its ticks are due at now + k x the new tick.
  if (state().library_open && !platform().unattended()) platform().start_timer(TIMER_NUMBER, used);
  return 1;
}
