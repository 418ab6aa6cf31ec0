// Drawing a text request into the bitmap through Pango: lines cut at newline
// bytes, each line's character cells standing one line height lower than the
// one before, glyphs in the palette colour and nothing else touched.
#pragma once

#include <cairo.h>

#include "kivet/kivet.h"

namespace kivet {

void render_text(cairo_t* cr, const DrawCommand& command);

}  // namespace kivet
