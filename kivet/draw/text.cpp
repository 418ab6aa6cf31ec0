// Text drawing: a string or a printf-style formatted string at a display
// point, in a palette colour and a character height in pixels. This file
// corrects the arguments, logs, and hands a private copy of the text to
// KIVET_render, whose text branch lays it out (text_layout.h).
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>

#include "kivet/bounded_format.h"
#include "kivet/kivet.h"
#include "kivet/state.h"

using namespace kivet;

namespace {

constexpr int MAX_TEXT_HEIGHT = 127;

int checked_size(int ptsize) {
  if (ptsize < 0) {
    // -INT_MIN does not exist in int; INT_MAX stands in for it, and the
    // upper limit then corrects it further.
    int magnitude = ptsize == INT_MIN ? INT_MAX : -ptsize;
    KIVET_log_message("ptsize of %d not possible, using ptsize %d\n", ptsize, magnitude);
    ptsize = magnitude;
  }
  if (ptsize > MAX_TEXT_HEIGHT) {
    KIVET_log_message("ptsize of %d not possible, using ptsize %d\n", ptsize, MAX_TEXT_HEIGHT);
    ptsize = MAX_TEXT_HEIGHT;
  }
  return ptsize;
}

}  // namespace

int KIVET_draw_text(int color, int x, int y, int ptsize, const char* text) {
  if (!text) text = "";
  ptsize = checked_size(ptsize);
  color = KIVET_check_color(color);
  if (state().KIVET_logging) {
    KIVET_log_message("%s text at (%d,%d), \"%s\"\n", KIVET_color_names[color], x, y, text);
  }
  // The request refers to a copy, so the caller's string is neither touched
  // nor needed once the call returns.
  size_t size = strlen(text) + 1;
  std::unique_ptr<char[]> copy(new char[size]);
  memcpy(copy.get(), text, size);
  DrawCommand command{DRAW_TEXT, color, 0, x, y, ptsize, 0, 0, 0, copy.get()};
  KIVET_render(command);
  return 1;
}

int KIVET_printf_text(int color, int x, int y, int ptsize, const char* format, ...) {
  char buffer[MESSAGE_BUFFER_SIZE];
  va_list args;
  va_start(args, format);
  int formatted = format_bounded(buffer, format, args);
  va_end(args);
  KIVET_draw_text(color, x, y, ptsize, buffer);
  return formatted;
}
