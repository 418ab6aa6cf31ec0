// Display's pictures, apart from the rest of the Display: a program that
// draws no picture links neither them nor their decoder.
#include "kivet/display.h"

void Display::picture(int x, int y, const char* file) { KIVET_draw_picture(x, y, file, 1); }

void Display::picture(int x, int y, const char* file, int scale) {
  KIVET_draw_picture(x, y, file, scale);
}
