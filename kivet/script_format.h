// The script's line format: what one line of "KIVET.SCR" means, and the line
// the recorder writes for an event. Pure functions of their arguments: no
// file, no state, no messages.
//
// A line's kind is chosen by the whole name before its "(": KIVET_MOUSE,
// KIVET_KBD, KIVET_PERIODIC, and for the events a program switches on
// KIVET_DOWN (a key pressed), KIVET_UP (released), KIVET_AT (the mouse
// moved) and KIVET_LIFT (its button released). A name that is none of them is read as older
// readers did, by the character at index 6 alone (M, K or P), so that a
// misspelt hand-written line still plays as it always has; anything else
// ends playback. Every line that is not exactly what the recorder writes is
// named with what was made of it.
#pragma once

#include <string>

#include "kivet/kivet.h"

namespace kivet {

// What one line means.
struct ScriptLine {
  int kind = 0;  // an event kind of state.h but quit; 0: no event, playback ends
  int x = 0;     // a click's or the mouse's position
  int y = 0;
  signed char key = 0;  // a typed character, or a key's code
  int count = 0;        // the periodic events a periodic line stands for, at least 1
  bool exact = false;   // the line is what the recorder writes for that event
  std::string meaning;  // for a line that is not exact: what was made of it
};

// `line` is one line as read, with "\n" or "\r\n" at its end, or without a
// line end (the last line of a file, or a piece of a long line).
ScriptLine parse_script_line(const char* line);

// The line the recorder writes for an event of `kind` with its data (for a
// periodic line, `count` events), "\n" included. Empty for a quit, which is
// never written; an event kind that the wait may return has a line.
std::string format_event_line(int kind, const KIVET_event_data& data, int count);

// The line without its line end ("\n" or "\r\n"), as messages quote it.
std::string without_line_end(const char* line);

}  // namespace kivet
