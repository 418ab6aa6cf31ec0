// A program on the library for the drawing tests: it draws a fixed pattern
// of shapes in known colours (pattern.h) without animating, writes each line
// of the file "messages.txt" in its working directory, if there is one, to
// the text window (as references for other programs' messages), prints
// "ready", and then answers input: a click draws a red disc where it landed
// and prints "mouse X Y"; a digit d fills the whole scene with palette
// colour d and prints "filled D". Any other key prints "keyboard K".
#include <cstdio>

#include "kivet/display.h"
#include "kivet/kivet.h"
#include "real_window/pattern.h"

namespace {

using namespace pattern;

void draw_pattern(Display& display) {
  display.clear(WHITE);
  for (int i = 0; i < NUM_COLORS; ++i) {
    int left = SQUARE_LEFT + (i % 12) * SQUARE_STEP, top = SQUARE_TOP - (i / 12) * SQUARE_STEP;
    display.rectangle(left, top, left + SQUARE_SIZE - 1, top - SQUARE_SIZE + 1, i, 0);
  }
  for (int i = 0; i < 2; ++i) {
    int left = SQUARE_LEFT + i * SQUARE_STEP, top = SQUARE_TOP - 2 * SQUARE_STEP;
    display.rectangle(left, top, left + SQUARE_SIZE - 1, top - SQUARE_SIZE + 1, BAD_COLOURS[i], 0);
  }
  // Corners given the other way round.
  display.rectangle(BOX_RIGHT, BOX_BOTTOM, BOX_LEFT, BOX_TOP, BLUE, 0);
  display.rectangle(FRAME_LEFT, FRAME_TOP, FRAME_RIGHT, FRAME_BOTTOM, GREEN, 3);
  display.circle(CIRCLE_X, CIRCLE_Y, CIRCLE_RADIUS, RED);
  display.triangle(TRIANGLE_LEFT, TRIANGLE_TOP, TRIANGLE_LEFT + TRIANGLE_SIDE, TRIANGLE_TOP,
                   TRIANGLE_LEFT, TRIANGLE_TOP - TRIANGLE_SIDE, CYAN, 0);
  display.line(LINE_LEFT, THIN_LINE_Y, LINE_RIGHT, THIN_LINE_Y, BLACK, 1);
  display.line(LINE_LEFT, WIDE_LINE_Y, LINE_RIGHT, WIDE_LINE_Y, PURPLE, 5);
  display.pixel(0, 0, BLACK);
  display.pixel(PIXEL_X, PIXEL_Y, ORANGE);
  display.write_text(TEXT_X, TEXT_Y, "Hi", BLACK, TEXT_SIZE);
  display.write_text(TWO_LINES_X, TEXT_Y, "A\nB", BLACK, TEXT_SIZE);
  display.rectangle(CLIPPED_LEFT, CLIPPED_TOP, CLIPPED_RIGHT, CLIPPED_BOTTOM, GOLD, 0);
  display.rectangle(EDGE_LEFT, EDGE_TOP, EDGE_RIGHT, EDGE_BOTTOM, BROWN, 0);
}

void log_messages(const char* file_name) {
  FILE* file = fopen(file_name, "r");
  if (!file) return;
  char line[1024];
  while (fgets(line, sizeof line, file)) KIVET_log_message("%s", line);
  fclose(file);
}

}  // namespace

int kivet_main() {
  Display display;
  draw_pattern(display);
  log_messages("messages.txt");
  printf("ready\n");
  fflush(stdout);
  for (;;) {
    int x = 0, y = 0;
    char key = 0;
    EventKind kind = display.get_next_event(x, y, key);
    if (kind == kivet::quit) break;
    if (kind == kivet::mouse) {
      display.circle(x, y, CLICK_DISC_RADIUS, RED);
      printf("mouse %d %d\n", x, y);
    } else if (kind == kivet::keyboard && key >= '0' && key <= '9') {
      display.clear(key - '0');
      printf("filled %d\n", key - '0');
    } else if (kind == kivet::keyboard) {
      printf("keyboard %d\n", static_cast<unsigned char>(key));
    }
    fflush(stdout);
  }
  return 0;
}
