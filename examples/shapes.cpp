// Every drawing call and every colour of the palette: a row of shapes, then
// one swatch per colour with its number and name. Click a swatch to see the
// colour's name written large. While the row of shapes is drawn, logging is
// on, so the text window (or standard output, in a headless run) shows the
// sentence each call writes.
#include <kivet/display.h>
#include <kivet/kivet.h>

const int COLUMNS = 6;
const int SWATCH_WIDTH = 100;
const int SWATCH_HEIGHT = 70;
const int TOP_OF_SWATCHES = 120;

void draw_shapes(Display& display) {
  KIVET_set_logging(1);
  display.rectangle(-280, 230, -200, 160, NAVY_BLUE, 0);  // width 0: filled
  display.rectangle(-180, 230, -100, 160, NAVY_BLUE, 3);  // an outline 3 wide
  display.oval(-80, 230, 20, 160, ORANGE, 0);
  display.circle(75, 195, 35, SEA_GREEN);  // always filled
  display.triangle(130, 160, 170, 230, 210, 160, PURPLE, 0);
  display.line(230, 160, 290, 230, RED, 2);
  display.pixel(290, 160, BLACK);
  KIVET_set_logging(0);
}

// The swatch of colour `c`: its box's upper-left corner.
int swatch_left(int c) { return -300 + (c % COLUMNS) * SWATCH_WIDTH; }
int swatch_top(int c) { return TOP_OF_SWATCHES - (c / COLUMNS) * SWATCH_HEIGHT; }

void draw_swatches(Display& display) {
  for (int c = 0; c < NUM_COLORS; ++c) {
    int left = swatch_left(c), top = swatch_top(c);
    display.rectangle(left + 4, top - 4, left + SWATCH_WIDTH - 4, top - 40, c, 0);
    display.rectangle(left + 4, top - 4, left + SWATCH_WIDTH - 4, top - 40, BLACK, 1);
    display.write_int(left + 4, top - 54, c, BLACK, 12);
    display.write_text(left + 24, top - 54, KIVET_color_names[c], BLACK, 12);
  }
}

// The colour whose swatch holds the point, or -1.
int colour_at(int x, int y) {
  for (int c = 0; c < NUM_COLORS; ++c) {
    int left = swatch_left(c), top = swatch_top(c);
    if (x >= left && x < left + SWATCH_WIDTH && y <= top && y > top - SWATCH_HEIGHT) return c;
  }
  return -1;
}

void show_name(Display& display, int c) {
  display.rectangle(-300, -170, 300, -250, WHITE, 0);  // wipe the last name
  display.write_text(-280, -200, KIVET_color_names[c], c == WHITE ? BLACK : c, 40);
}

int kivet_main() {
  Display display;
  display.clear(WHITE);
  draw_shapes(display);
  draw_swatches(display);
  // Nothing is on the screen before a flush or the next wait.
  display.flush();

  while (true) {
    int x, y;
    char key;
    EventKind event = display.get_next_event(x, y, key);
    if (event == kivet::quit) break;
    if (event == kivet::mouse && colour_at(x, y) >= 0) show_name(display, colour_at(x, y));
  }
  return 0;
}
