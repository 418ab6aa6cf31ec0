// Display's switches for games, apart from the rest of the Display: a
// program that switches none of them on links none of them.
#include "kivet/display.h"

void Display::set_key_events(bool on) { KIVET_set_key_events(on ? 1 : 0); }

bool Display::key_down(int code) const { return KIVET_key_down(code) != 0; }

void Display::set_mouse_events(bool on) { KIVET_set_mouse_events(on ? 1 : 0); }

void Display::set_tick(int milliseconds) { KIVET_set_tick(milliseconds); }
