// KIVET: a small graphics library with a graphics window, a text window for
// its messages, an event stream (click, key, 100 ms tick, quit), drawing in a
// centred coordinate system with a 24-colour palette, script recording and
// playback, and a text-input dialog.
//
// This header is the library's call interface. Applications normally reach it
// through the Display class (display.h), which includes this header.
//
// Coordinates are display coordinates: integers with (0, 0) at the centre of
// the graphics window's drawing area, x to the right and y upwards. Every
// drawing call draws into an off-screen bitmap; the window shows it after a
// flush or at the next event wait. Bad arguments are never refused: the call
// writes a complaint line to the text window and goes on with a corrected
// value. See docs/guide.md.
#pragma once

#include <cstdint>

// Lets compilers that know printf formats check the calls of the library's
// printf-style functions.
#if defined(__GNUC__) || defined(__clang__)
#define KIVET_PRINTF_FORMAT(format_index, first_value) \
  __attribute__((format(printf, format_index, first_value)))
#else
#define KIVET_PRINTF_FORMAT(format_index, first_value)
#endif

// The application's entry point, written by the application. The library
// supplies the process's main, which calls kivet_main exactly once; its
// return value is the process's exit status.
int kivet_main();

// Colour indices of the palette: every colour argument is one of these
// numbers, 0 to 23. Any other number is reported and replaced by RED.
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
// The number of palette colours.
constexpr int NUM_COLORS = 24;

// A palette colour's red, green and blue intensities, 0 to 255 each.
struct KivetRgb {
  uint8_t red, green, blue;
};
// The palette's colours and their names ("black", "navy blue", "50% gray"
// ...), by colour index.
extern const KivetRgb KIVET_palette[NUM_COLORS];
extern const char* const KIVET_color_names[NUM_COLORS];

// Kinds of drawing request (KIVET_render).
enum DrawKind {
  DRAW_TRIANGLE = 0,
  DRAW_RECTANGLE = 1,
  DRAW_OVAL = 2,
  DRAW_LINE = 3,
  DRAW_PIXEL = 4,
  DRAW_TEXT = 5,
};

// One drawing request, as every drawing call hands it to KIVET_render. For
// DRAW_TEXT, x2 is the point size and `text` refers to the call's private
// copy of the text (y2 is unused).
struct DrawCommand {
  int32_t kind;
  int32_t color;
  int32_t width;
  int32_t x1, y1;
  int32_t x2, y2;
  int32_t x3, y3;
  const char* text;
};

// The data of one event as it leaves the event wait: the position of a
// click, the character of a key.
struct KIVET_event_data {
  int32_t x;
  int32_t y;
  signed char key;
};

// Opens the library: the graphics window "KIVET Graphics" with its Run menu,
// the text window "KIVET Text", the off-screen bitmap and the 100 ms timer.
// The Display constructor calls it; the arguments are accepted and unused.
// Returns 1.
int KIVET_open(void* instance, void* previous_instance, const char* command_line, int show_mode);
// Closes the library: closes the script file, and writes the snapshot that
// KIVET_SNAPSHOT asks for. The windows stay until the process ends. The
// Display destructor calls it. Returns 1.
int KIVET_close();

// Waits for the next event and returns its kind: 1 mouse click, 2 typed
// character, 3 periodic (a 100 ms tick, only while the animation runs or
// one step is asked for), 4 quit. A click sets *x and *y, a character sets
// *key; the others come back 0. During script playback the script's events
// come at once, one per call.
int KIVET_wait_event(int* x, int* y, char* key);
// Animation control: 0 halt, 1 one periodic event, 2 run (a periodic event
// per tick), 5 quit (every later wait returns quit); other codes do nothing.
// Returns 1, or 0 while the library is not open.
int KIVET_set_animation(int code);

// Switched on by the program only; without them the wait returns only the
// four kinds above, whatever the user does and whatever a script holds.
// Key events (non-zero: on): the wait also returns 5 when a key is pressed
// and 6 when it is released, with the key's code in *key (a letter's
// upper-case letter, 37 to 40 the arrows ...; a code above 127 comes back
// negative). A held key gives one press; its characters still come as 2.
void KIVET_set_key_events(int on);
// Mouse events (non-zero: on): the wait also returns 7 when the mouse has
// moved over the picture and 8 when the left button goes up, with the
// position in *x and *y. Moves waiting together become one, the latest.
void KIVET_set_mouse_events(int on);
// 1 when the key with this code is down as of the events returned so far
// (a key's release, or the window losing the keyboard, lets it up), else 0.
int KIVET_key_down(int code);
// The time between two ticks, 10 to 1000 ms (100 at the start); a value
// outside is reported and the nearest bound used. Returns 1.
int KIVET_set_tick(int milliseconds);

// Returns `color` when it is 0 to 23; otherwise writes "Illegal color %d;
// using RED." and returns RED.
int KIVET_check_color(int color);
// Draws one request into the off-screen bitmap and marks it changed.
void KIVET_render(const DrawCommand& command);
// The drawing calls take the colour first and return 1. A width of 0 means a
// filled shape (a line is then one pixel wide); a negative width or radius
// is reported and its absolute value used. With logging on, each call writes
// one sentence describing itself to the text window.
// One pixel.
int KIVET_draw_pixel(int color, int x, int y);
// A line from (x1, y1) to (x2, y2).
int KIVET_draw_line(int color, int x1, int y1, int x2, int y2, int width);
// The triangle through three points: filled when width is 0, else outlined.
int KIVET_draw_triangle(int color, int x1, int y1, int x2, int y2, int x3, int y3, int width);
// The box with two opposite corners, both included: filled when width is 0,
// else outlined with a stroke of that width centred on its edge.
int KIVET_draw_rectangle(int color, int x1, int y1, int x2, int y2, int width);
// The ellipse inscribed in the box with two opposite corners.
int KIVET_draw_oval(int color, int x1, int y1, int x2, int y2, int width);
// A filled disc 2 * radius + 1 pixels across, centred on (x, y).
int KIVET_draw_circle(int color, int x, int y, int radius);
// Paints the whole bitmap white. Nothing reaches the window until a flush
// or the next wait.
int KIVET_clear();
// Copies the bitmap to the window when it has changed.
int KIVET_flush();
// Writes "KIVET_undo is no longer supported." and does nothing else.
int KIVET_undo();

// Draws text whose first line stands on (x, y): it starts at x, and its line
// of character cells (a little taller than ptsize: 24 rows at 20) fills the
// rows just above y. Each newline byte starts a further line one line height
// lower. ptsize is the character height in pixels, 0 to 127 (0: the font's
// default); other sizes are reported and corrected. Returns 1.
int KIVET_draw_text(int color, int x, int y, int ptsize, const char* text);
// Formats with the printf rules (at most 1023 characters) and draws the
// result as KIVET_draw_text does. Returns the number of characters formatted.
int KIVET_printf_text(int color, int x, int y, int ptsize, const char* format, ...)
    KIVET_PRINTF_FORMAT(5, 6);

// Draws the picture in a PNG, JPEG, BMP or GIF file (its first frame) with
// its top-left corner at (x, y), each of its pixels a scale x scale block
// (a scale below 1 is reported and 1 used). Pixels at least half opaque
// are drawn in their own colours, the others leave the bitmap as it is. A
// file is read and decoded once and kept while the library is open. A file
// that cannot be read or decoded, or a picture of more than 4096 pixels
// either way, is reported once and draws nothing. Returns 1.
int KIVET_draw_picture(int x, int y, const char* file, int scale);

// Writes one printf-formatted line (at most 1023 characters) to the text
// window, where the last 25 lines are kept; in a headless run, to standard
// output. Returns the number of characters formatted.
int KIVET_log_message(const char* format, ...) KIVET_PRINTF_FORMAT(1, 2);
// Shows one line at the bottom of the text window; removes a trailing
// newline from `line` in place.
void KIVET_show_log_line(char* line);
// Switches the sentences of drawing calls on (non-zero) or off; switching on
// also shows the text window. Complaint lines are written either way.
// Returns 1, or 0 while the library is not open.
int KIVET_set_logging(int on);
// Shows (non-zero) or hides the text window; returns non-zero when it was
// visible before.
int KIVET_show_text_window(int show);

// Asks for one line of text in the "KIVET_gets" dialog, showing `prompt`
// (its first 79 characters). The answer, at most 255 characters, is written
// to `answer`, which must hold 256 bytes. Only the Okay button or Enter ends
// the dialog. In a headless run the prompt goes to standard output and the
// answer is one line of standard input (an empty one at its end). Returns 1,
// or 0 when the dialog cannot be shown.
int KIVET_gets(const char* prompt, char* answer);
