// Paint with the mouse: hold the left button and drag to draw. Keys choose
// the colour: r red, g green, b blue, y yellow, k black, w white (an
// eraser); c clears the picture. Mouse events are switched on, so every
// move of the mouse comes as an event, and the button's release too.
// End it with Ctrl+Q.
#include <kivet/display.h>

const int BRUSH = 5;

// The colour that a key chooses, or -1 for a key that chooses none.
int colour_of(char key) {
  switch (key) {
    case 'r': return RED;
    case 'g': return GREEN;
    case 'b': return BLUE;
    case 'y': return YELLOW;
    case 'k': return BLACK;
    case 'w': return WHITE;
    default: return -1;
  }
}

void draw_palette_line(Display& display, int colour) {
  display.rectangle(-300, 250, 300, 226, GRAY_20, 0);
  display.write_text(-290, 230, "r g b y k w: colour   c: clear", BLACK, 16);
  display.rectangle(250, 246, 290, 230, colour, 0);
}

int kivet_main() {
  Display display;
  display.set_mouse_events(true);  // mouse_moved and mouse_released
  int colour = BLUE;
  bool drawing = false;
  int last_x = 0, last_y = 0;
  display.clear(WHITE);
  draw_palette_line(display, colour);

  bool painting = true;
  while (painting) {
    int x, y;
    char key;
    switch (display.get_next_event(x, y, key)) {
      case kivet::mouse:  // the button goes down
        drawing = true;
        display.circle(x, y, BRUSH / 2, colour);
        last_x = x;
        last_y = y;
        break;
      case kivet::mouse_moved:
        if (drawing) {
          display.line(last_x, last_y, x, y, colour, BRUSH);
          last_x = x;
          last_y = y;
        }
        break;
      case kivet::mouse_released:
        drawing = false;
        break;
      case kivet::keyboard:
        if (key == 'c') {
          display.clear(WHITE);
        } else if (colour_of(key) >= 0) {
          colour = colour_of(key);
        }
        draw_palette_line(display, colour);
        break;
      case kivet::quit:
        painting = false;
        break;
      default:
        break;
    }
  }
  return 0;
}
