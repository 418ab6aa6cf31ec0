// The layout of a text request: lines cut at newline bytes, each line's
// character cells one line height lower than the one before, the first
// standing on the anchor; along each line the pen moves by the built-in
// face's advances and kerning (kivet/draw/face.h), and a run of
// characters the face lacks goes to the system's font engine
// (kivet/platform/font.h) at the pen's position.
#pragma once

#include "kivet/draw/clipping.h"
#include "kivet/kivet.h"
#include "kivet/platform/font.h"

namespace kivet {

// Draws with the system's font engine for what the face lacks.
void render_text(DrawTarget& target, const DrawCommand& command);

// Draws with `fallback` for what the face lacks; with none, such
// characters show as the face's box.
void render_text(DrawTarget& target, const DrawCommand& command, FontEngine* fallback);

}  // namespace kivet
