// The layout of a text request: lines cut at newline bytes, each line's
// character cells one line height lower than the one before, the first
// standing on the anchor; along each line the pen moves by the built-in
// face's advances and kerning (kivet/draw/face.h), and a run of
// characters the face lacks goes to the system's font engine
// (kivet/platform/font.h) at the pen's position.
#pragma once

#include <cstdint>
#include <string>

#include "kivet/draw/clipping.h"
#include "kivet/kivet.h"

namespace kivet {

// What draws the runs the face lacks in place of the system's engine (as
// kivet/platform/font.h describes its two calls), for tests.
class RunDrawer {
 public:
  virtual ~RunDrawer() = default;
  virtual int run_width(const std::string& utf8, int height) = 0;
  virtual void draw_run(Bitmap& bitmap, int left, int baseline, const std::string& utf8,
                        int height, uint32_t color) = 0;
};

// Draws with the system's font engine for what the face lacks.
void render_text(DrawTarget& target, const DrawCommand& command);

// Draws with `runs` for what the face lacks; with none, such characters
// show as the face's box.
void render_text(DrawTarget& target, const DrawCommand& command, RunDrawer* runs);

}  // namespace kivet
