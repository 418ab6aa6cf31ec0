// Placeholder: the drawing primitives.
#include "kivet/kivet.h"
#include "kivet/state.h"
int KIVET_draw_pixel(int, int, int) { return 1; }
int KIVET_draw_line(int, int, int, int, int, int) { return 1; }
int KIVET_draw_triangle(int, int, int, int, int, int, int, int) { return 1; }
int KIVET_draw_rectangle(int, int, int, int, int, int) { kivet::KIVET_dirty = true; return 1; }
int KIVET_draw_oval(int, int, int, int, int, int) { return 1; }
int KIVET_draw_circle(int, int, int, int) { return 1; }
int KIVET_clear() { kivet::KIVET_dirty = true; return 1; }
int KIVET_flush() { return 1; }
int KIVET_undo() { return 1; }
