// The layout of a text request: lines cut at newline bytes, each line's
// character cells one line height lower than the one before, the first
// standing on the anchor. The glyphs of each line are drawn by the
// system's font engine (kivet/platform/font.h).
#pragma once

#include "kivet/draw/clipping.h"
#include "kivet/kivet.h"

namespace kivet {

void render_text(DrawTarget& target, const DrawCommand& command);

}  // namespace kivet
