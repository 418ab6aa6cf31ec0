// A ball bouncing around the window. It moves one step on every periodic
// event (ten a second) and takes the next colour of the palette when you
// click. End it with Ctrl+Q, the Run menu's Quit, or the window's close box.
#include <kivet/display.h>

const int RADIUS = 20;

// Moves one coordinate of the ball by `speed`, keeping the whole ball inside
// -limit .. limit. Returns true when the ball bounced.
bool move(int& position, int& speed, int limit) {
  position += speed;
  if (position + RADIUS > limit || position - RADIUS < -limit) {
    speed = -speed;
    position += 2 * speed;
    return true;
  }
  return false;
}

// The next colour of the palette, leaving out white, the background.
int next_colour(int colour) {
  colour = (colour + 1) % NUM_COLORS;
  if (colour == WHITE) colour = colour + 1;
  return colour;
}

int kivet_main() {
  Display display;
  int x = 0, y = 0;    // the ball's centre; (0, 0) is the middle of the scene
  int dx = 9, dy = 6;  // how far it moves in one step
  int colour = RED;
  int bounces = 0;

  // The animation starts halted: ask for periodic events.
  display.set_animation(kivet::run);

  bool running = true;
  while (running) {
    int mouse_x, mouse_y;
    char key;
    switch (display.get_next_event(mouse_x, mouse_y, key)) {
      case kivet::periodic:
        if (move(x, dx, display.half_width())) ++bounces;
        if (move(y, dy, display.half_height())) ++bounces;
        // Draw the whole scene afresh; it reaches the window at the next wait.
        display.clear(WHITE);
        display.circle(x, y, RADIUS, colour);
        display.write_text(-290, -220, "Bounces:", BLACK, 20);
        display.write_int(-190, -220, bounces, BLACK, 20);
        break;
      case kivet::mouse:
        colour = next_colour(colour);
        break;
      case kivet::quit:
        running = false;
        break;
      default:  // typed keys are ignored
        break;
    }
  }
  return 0;
}
