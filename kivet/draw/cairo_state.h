// One request's own settings on the memory context: the context's state is
// saved before the request sets its colour, stroke or font, and restored
// when it is done, so nothing carries over to the next request. Only
// requests that draw through cairo need it; those that miss the bitmap or
// set pixels directly leave the context alone.
#pragma once

#include <cairo.h>

#include "kivet/kivet.h"

namespace kivet {

class SavedState {
 public:
  explicit SavedState(cairo_t* cr) : cr_(cr) { cairo_save(cr_); }
  ~SavedState() { cairo_restore(cr_); }
  SavedState(const SavedState&) = delete;
  SavedState& operator=(const SavedState&) = delete;

 private:
  cairo_t* cr_;
};

// Makes a palette colour the context's source.
inline void set_source(cairo_t* cr, int color) {
  const KivetRgb& c = KIVET_palette[color];
  cairo_set_source_rgb(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0);
}

}  // namespace kivet
