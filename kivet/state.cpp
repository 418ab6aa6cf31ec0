#include "kivet/state.h"

#include "kivet/platform/platform.h"

namespace kivet {

// The bitmap's memory goes back to Bitmap's own spare (bitmap.cpp), so the
// next opening costs a fill, not a fresh block.
void reset_library() { state() = LibraryState{}; }

}  // namespace kivet
