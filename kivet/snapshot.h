// The snapshot of the off-screen bitmap that a run can ask for with
// KIVET_SNAPSHOT=file.png, written when the library closes.
#pragma once

namespace kivet {

// Writes the off-screen bitmap as a PNG to the file that KIVET_SNAPSHOT
// names, when it names one. A failure is reported on standard error and
// changes nothing else.
void write_requested_snapshot();

}  // namespace kivet
