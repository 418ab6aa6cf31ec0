// Endings that come from outside the window: terminating signals and the
// loss of the display connection.
#pragma once

namespace kivet::gtk {

// Call once the toolkit is initialised. SIGINT, SIGTERM and SIGHUP (unless
// inherited as ignored) then post the platform's quit message, as Ctrl+Q
// does, and a second one before the program waited for events again ends
// the process; a lost display connection lets the library finish what it
// records before the process ends with status 1.
void watch_outside_endings();

// The program waits for events: the signals that came so far reach it as
// its quit.
void note_program_waits();

}  // namespace kivet::gtk
