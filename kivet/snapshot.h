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

}  // namespace kivet
