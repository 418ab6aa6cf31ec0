// What headless runs take from the environment and from signals, as a page
// has it: nothing. A page has no environment (KIVET_SNAPSHOT and
// KIVET_SNAPSHOT_FRAMES name no file there: its picture is the canvas) and
// no terminating signals (closing the tab ends the program, handled by the
// page), so the web build links these in place of the snapshot writer and
// the signal watch, whose code would only add to the download.
#include "kivet/ending_signals.h"
#include "kivet/snapshot.h"

namespace kivet {

void write_requested_snapshot() {}
void read_snapshot_frames() {}
void note_event_for_snapshots(int) {}
void write_due_frame_snapshot() {}

void watch_ending_signals() {}
void end_if_signalled() {}

}  // namespace kivet
