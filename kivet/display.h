// Display: the application's one door into the library. Drawing calls take
// the colour last; the library receives it first.
#pragma once

namespace kivet {

enum AnimationMode : int { halt = 0, single_step = 1, run = 2, quit_animation = 3 };
enum EventKind : int { none = 0, mouse = 1, keyboard = 2, periodic = 3, quit = 4 };

}  // namespace kivet

using kivet::AnimationMode;
using kivet::EventKind;

class Display {
 public:
  Display();
  ~Display();
  Display(const Display&) = delete;
  Display& operator=(const Display&) = delete;

  int width() const { return scene_width; }
  int height() const { return scene_height; }
  int half_width() const { return scene_width / 2; }
  int half_height() const { return scene_height / 2; }

  void clear(int colour);
  void sleep(int milliseconds);
  EventKind get_next_event(int& x, int& y, char& key);
  void set_animation(AnimationMode mode);
  void flush();

  void write_char(int x, int y, char ch, int colour, int size);
  void write_text(int x, int y, const char* text, int colour, int size);
  void write_int(int x, int y, int value, int colour, int size);

  void pixel(int x, int y, int colour);
  void line(int x1, int y1, int x2, int y2, int colour, int width);
  void rectangle(int x1, int y1, int x2, int y2, int colour, int width);
  void triangle(int x1, int y1, int x2, int y2, int x3, int y3, int colour, int width);
  void oval(int x1, int y1, int x2, int y2, int colour, int width);
  void circle(int x, int y, int radius, int colour);

 private:
  int scene_width;
  int scene_height;
};
