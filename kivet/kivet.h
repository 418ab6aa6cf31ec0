// KIVET: a small graphics library with a graphics window, a text window for
// its messages, an event stream (click, key, 100 ms tick, quit), drawing in a
// centred coordinate system with a 24-colour palette, script recording and
// playback, and a text-input dialog.
//
// This header is the library's call interface. Applications normally reach it
// through the Display class (display.h).
#pragma once

#include <cstdint>

// The application's entry point. The library's process entry keeps the
// start-up values and calls it exactly once.
int kivet_main();

// Colour indices of the palette.
enum KivetColor {
  BLACK = 0,
  WHITE = 1,
  RED = 2,
  GREEN = 3,
  BLUE = 4,
  YELLOW = 5,
  MAGENTA = 6,
  CYAN = 7,
  PURPLE = 8,
  NAVY_BLUE = 9,
  DUSTY_PLUM = 10,
  ICE_BLUE = 11,
  TURQUOISE = 12,
  ORANGE = 13,
  BROWN = 14,
  PINK = 15,
  CHALK = 16,
  GOLD = 17,
  PEACH = 18,
  FOREST_GREEN = 19,
  SEA_GREEN = 20,
  OLIVE = 21,
  GRAY_50 = 22,
  GRAY_20 = 23,
};
constexpr int NUM_COLORS = 24;

struct KivetRgb {
  uint8_t red, green, blue;
};
extern const KivetRgb KIVET_palette[NUM_COLORS];
extern const char* const KIVET_color_names[NUM_COLORS];

// Kinds of drawing request.
enum DrawKind {
  DRAW_TRIANGLE = 0,
  DRAW_RECTANGLE = 1,
  DRAW_OVAL = 2,
  DRAW_LINE = 3,
  DRAW_PIXEL = 4,
  DRAW_TEXT = 5,
};

// One drawing request. For DRAW_TEXT, x2 is the point size and `text` refers
// to the call's private copy of the text (y2 is unused).
struct DrawCommand {
  int32_t kind;
  int32_t color;
  int32_t width;
  int32_t x1, y1;
  int32_t x2, y2;
  int32_t x3, y3;
  const char* text;
};

// The data of one event as it leaves the event wait.
struct KIVET_event_data {
  int32_t x;
  int32_t y;
  signed char key;
};

// Library state, windows and entry.
int KIVET_open(void* instance, void* previous_instance, const char* command_line, int show_mode);
int KIVET_close();

// Event wait and animation control.
int KIVET_wait_event(int* x, int* y, char* key);
int KIVET_set_animation(int code);

// Drawing.
int KIVET_check_color(int color);
void KIVET_render(const DrawCommand& command);
int KIVET_draw_pixel(int color, int x, int y);
int KIVET_draw_line(int color, int x1, int y1, int x2, int y2, int width);
int KIVET_draw_triangle(int color, int x1, int y1, int x2, int y2, int x3, int y3, int width);
int KIVET_draw_rectangle(int color, int x1, int y1, int x2, int y2, int width);
int KIVET_draw_oval(int color, int x1, int y1, int x2, int y2, int width);
int KIVET_draw_circle(int color, int x, int y, int radius);
int KIVET_clear();
int KIVET_flush();
int KIVET_undo();

// Text.
int KIVET_draw_text(int color, int x, int y, int ptsize, const char* text);
int KIVET_printf_text(int color, int x, int y, int ptsize, const char* format, ...)
    __attribute__((format(printf, 5, 6)));

// Log window and messages.
int KIVET_log_message(const char* format, ...) __attribute__((format(printf, 1, 2)));
void KIVET_show_log_line(char* line);
int KIVET_set_logging(int on);
int KIVET_show_text_window(int show);

// Text-input dialog: `answer` must hold 256 bytes.
int KIVET_gets(const char* prompt, char* answer);
