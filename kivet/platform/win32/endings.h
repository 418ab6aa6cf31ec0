// Endings that come from outside the windows: Ctrl+C and Ctrl+Break in the
// console, the console being closed, and the session ending (log-off or
// shut-down).
#pragma once

#include "kivet/platform/win32/windows_api.h"

namespace kivet::win32 {

// Call once on the thread that runs the library. Ctrl+C, Ctrl+Break and the
// console's close then post the platform's quit message, as Ctrl+Q does; a
// second Ctrl+C or Ctrl+Break before the program waited for events again
// ends the process.
void watch_outside_endings();

// The program waits for events: the endings that came so far reach it as
// its quit.
void note_program_waits();

// A top-level window was told that the session ends (WM_ENDSESSION with
// `ending`): what is recorded is finished at once, since the process may be
// ended as soon as the message returns, and the program is asked to quit.
void session_ends(bool ending);

}  // namespace kivet::win32
