// Catch the falling stars: move the paddle with the left and right arrow
// keys. A caught star scores a point, a missed one is lost. The game runs
// at about 60 steps a second (a tick of 16 ms) and holds the keys as they
// are held: key_down tells at each step whether an arrow is down. The star
// is a picture, catch-star.png, which must be in the working directory
// (in the browser it is part of the page). End it with Ctrl+Q.
#include <kivet/display.h>

const int PADDLE_Y = -200;      // the paddle's top edge
const int PADDLE_HALF = 40;     // half its width
const int PADDLE_SPEED = 7;     // how far an arrow moves it in one step
const int STAR_SIZE = 16;       // the picture's size in pixels
const int STAR_SCALE = 2;       // drawn twice as large
const int FALL = 3;             // how far a star falls in one step

// The same stars on every computer: a small generator of our own rather
// than rand(), whose numbers differ between systems.
unsigned next_random(unsigned& seed) {
  seed = seed * 1103515245u + 12345u;
  return (seed >> 16) & 0x7FFF;
}

int kivet_main() {
  Display display;
  display.set_key_events(true);  // key_pressed, key_released and key_down
  display.set_tick(16);
  display.set_animation(kivet::run);

  unsigned seed = 2024;
  const int star_width = STAR_SIZE * STAR_SCALE;
  int paddle = 0;
  int star_x = 0, star_y = display.half_height();  // the star's top-left corner
  int caught = 0, missed = 0;

  bool playing = true;
  while (playing) {
    int x, y;
    char key;
    switch (display.get_next_event(x, y, key)) {
      case kivet::periodic: {
        if (display.key_down(kivet::arrow_left)) paddle -= PADDLE_SPEED;
        if (display.key_down(kivet::arrow_right)) paddle += PADDLE_SPEED;
        int limit = display.half_width() - PADDLE_HALF;
        if (paddle < -limit) paddle = -limit;
        if (paddle > limit) paddle = limit;

        star_y -= FALL;
        int star_bottom = star_y - star_width + 1;
        int star_middle = star_x + star_width / 2;
        bool over_paddle = star_middle >= paddle - PADDLE_HALF && star_middle <= paddle + PADDLE_HALF;
        if (star_bottom <= PADDLE_Y && star_bottom > PADDLE_Y - FALL && over_paddle) {
          ++caught;
          star_y = display.half_height();
          star_x = static_cast<int>(next_random(seed) % 560) - 280;
        } else if (star_y < -display.half_height()) {
          ++missed;
          star_y = display.half_height();
          star_x = static_cast<int>(next_random(seed) % 560) - 280;
        }

        display.clear(NAVY_BLUE);
        display.rectangle(paddle - PADDLE_HALF, PADDLE_Y, paddle + PADDLE_HALF, PADDLE_Y - 10,
                          CHALK, 0);
        display.picture(star_x, star_y, "catch-star.png", STAR_SCALE);
        display.write_text(-290, 225, "Caught:", WHITE, 20);
        display.write_int(-205, 225, caught, WHITE, 20);
        display.write_text(160, 225, "Missed:", WHITE, 20);
        display.write_int(245, 225, missed, WHITE, 20);
        break;
      }
      case kivet::quit:
        playing = false;
        break;
      default:  // presses, releases and typed keys: key_down says it all
        break;
    }
  }
  return 0;
}
