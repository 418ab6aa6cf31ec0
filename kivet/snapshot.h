// The snapshot of the off-screen bitmap that a run can ask for with
// KIVET_SNAPSHOT=file.png, written when the library closes.
#pragma once

#include <string>

#include "kivet/draw/bitmap.h"

namespace kivet {

// Writes the bitmap as a 601 x 540 RGB PNG to `path`. Returns an empty
// string, or the reason it could not be written.
std::string write_png(const Bitmap& bitmap, const char* path);

// Writes the off-screen bitmap to the file that KIVET_SNAPSHOT names, when
// it names one. A failure is reported on standard error and changes
// nothing else.
void write_requested_snapshot();

// Snapshots while the program runs: KIVET_SNAPSHOT_FRAMES=20,40 (with
// KIVET_SNAPSHOT=final.png) writes final-20.png and final-40.png, the
// picture as it stands when the program next asks for an event after its
// 20th and 40th periodic event (or when the library closes first).
// Read when the library opens; entries that are not whole numbers from 1 up
// are left out with one line on standard error.
void read_snapshot_frames();
// The wait returns an event of `kind` to the program.
void note_event_for_snapshots(int kind);
// Writes the frame's snapshot that is due, if one is.
void write_due_frame_snapshot();

// KIVET_SNAPSHOT's file name with "-N" before its extension.
std::string frame_snapshot_path(const std::string& path, int frame);

}  // namespace kivet
