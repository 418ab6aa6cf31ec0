// Display: the application's one door into the library. A program makes one
// Display, draws and asks for events through it, and lets it go at the end.
// Drawing calls take the colour last; the library receives it first.
//
// The scene is 601 x 501 pixels: x from -300 (left) to 300 (right), y from
// -250 (bottom) to 250 (top), both ends included, (0, 0) in the middle.
// Colours are the palette indices of kivet.h (BLACK, WHITE, RED ...
// GRAY_20). See docs/guide.md.
#pragma once

#include "kivet/keys.h"
#include "kivet/kivet.h"

namespace kivet {

// What set_animation asks for: no periodic events (the start), exactly one,
// one at every 100 ms tick, or quit (every later get_next_event returns quit).
enum AnimationMode : int { halt = 0, single_step = 1, run = 2, quit_animation = 3 };
// What get_next_event returns: a click, a typed character, a tick, or the end
// of the program (Quit from the menu or Ctrl+Q, the window closed, the end of
// a headless run's script); for a program that switched them on, a key
// pressed or released (its code in key), the mouse moved or its left button
// released (the position in x and y).
enum EventKind : int {
  none = 0,
  mouse = 1,
  keyboard = 2,
  periodic = 3,
  quit = 4,
  key_pressed = 5,
  key_released = 6,
  mouse_moved = 7,
  mouse_released = 8,
};

}  // namespace kivet

using kivet::AnimationMode;
using kivet::EventKind;

class Display {
 public:
  // Opens the library's windows, with logging off; a Display made at file
  // scope (so that helper functions can draw) opens them when the program
  // starts. A second Display in one program is an error: its message is
  // shown in the dialog and the program ends with exit status -1.
  Display();
  // Closes the library (the windows stay until the program ends).
  ~Display();
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  // The scene's size from edge to edge, 600 x 500, and half of it, 300 and
  // 250.
  int width() const { return scene_width; }
  int height() const { return scene_height; }
  int half_width() const { return scene_width / 2; }
  int half_height() const { return scene_height / 2; }

  // Shows what was drawn so far, then paints the whole scene `colour`.
  void clear(int colour);
  // Does nothing for `milliseconds`. What was flushed reaches the window
  // meanwhile; input waits until the next get_next_event.
  void sleep(int milliseconds);
  // Waits for the next event and returns its kind; a click sets x and y, a
  // typed character sets key. Drawing done since the last call reaches the
  // window while it waits.
  EventKind get_next_event(int& x, int& y, char& key);
  // Starts or stops the periodic events; the program starts halted.
  void set_animation(AnimationMode mode);
  // Copies what was drawn to the window now.
  void flush();

  // For games, each off until switched on. Key events: key_pressed and
  // key_released with the key's code in key (kivet::arrow_left ... in
  // keys.h; a code above 127 comes negative). One press per press of the
  // key: holding it gives no more presses, but still types characters.
  void set_key_events(bool on);
  // Whether the key with this code is down, as of the events returned so
  // far (with key events on). Keys are let up when the window loses the
  // keyboard.
  bool key_down(int code) const;
  // Mouse events: mouse_moved as the mouse moves (several moves waiting
  // come as one, the latest) and mouse_released when the left button goes
  // up, with the position in x and y.
  void set_mouse_events(bool on);
  // The time between two periodic events, 10 to 1000 ms (100 at the start).
  void set_tick(int milliseconds);

  // Text whose first line stands on (x, y), `size` pixels high (0 to 127):
  // one character, a string (a newline byte starts a further line), an
  // integer.
  void write_char(int x, int y, char ch, int colour, int size);
  void write_text(int x, int y, const char* text, int colour, int size);
  void write_int(int x, int y, int value, int colour, int size);

  // Shapes. A width of 0 fills the shape; a positive width outlines it (a
  // line of width 0 is one pixel wide). Boxes include both corners.
  void pixel(int x, int y, int colour);
  void line(int x1, int y1, int x2, int y2, int colour, int width);
  void rectangle(int x1, int y1, int x2, int y2, int colour, int width);
  void triangle(int x1, int y1, int x2, int y2, int x3, int y3, int colour, int width);
  // The ellipse inside the box with corners (x1, y1) and (x2, y2).
  void oval(int x1, int y1, int x2, int y2, int colour, int width);
  // A filled disc 2 * radius + 1 pixels across.
  void circle(int x, int y, int radius, int colour);

  // The picture in a PNG, JPEG, BMP or GIF file, its top-left corner at
  // (x, y), at its own size or with each pixel a scale x scale block. Its
  // own colours, not the palette's; pixels less than half opaque leave what
  // is under them. Read once, kept while the Display lives. A file that
  // cannot be drawn (missing, not a picture, more than 4096 pixels either
  // way) is reported once in the text window and draws nothing.
  void picture(int x, int y, const char* file);
  void picture(int x, int y, const char* file, int scale);

 private:
  int scene_width;
  int scene_height;
};
