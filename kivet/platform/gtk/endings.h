// Endings that come from outside the window: terminating signals and the
// loss of the display connection.
#pragma once

namespace kivet::gtk {

// Call once the toolkit is initialised. SIGINT, SIGTERM and SIGHUP (unless
// inherited as ignored) then post the platform's quit message, as Ctrl+Q
// does, and a second one before the first was taken ends the process; a lost display connection
// lets the library finish what it records before the process ends with status 1.
void watch_outside_endings();

}  // namespace kivet::gtk
