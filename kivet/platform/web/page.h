// The page's side of the web backend, as the program calls it: functions
// written in JavaScript (library_kivet_*.js) and linked into the program.
// Texts are UTF-8. Window 1 is the graphics window, 2 the text window.
#pragma once

#include <cstdint>

extern "C" {

// Page event kinds of kivet_page_take_event.
enum {
  KIVET_PAGE_TIMER = 1,     // fields: timer number
  KIVET_PAGE_CLICK = 2,     // fields: x, y of the canvas pixel
  KIVET_PAGE_KEY_DOWN = 3,  // fields: key code, typed character or 0, 1 when Ctrl is held
                            // with 2 added when the key repeats
  KIVET_PAGE_KEY_UP = 4,    // fields: key code, 0, 1 when Ctrl is held
  KIVET_PAGE_COMMAND = 5,   // fields: menu command
  KIVET_PAGE_DIALOG = 6,    // fields: what the user chose in the dialog (below)
  KIVET_PAGE_MOVE = 7,      // fields: x, y of the canvas pixel (outside it during a drag)
  KIVET_PAGE_LIFT = 8,      // fields: x, y, as for a move
  KIVET_PAGE_BLUR = 9,      // the page lost the keyboard
};

// What the user chose in the page's dialog: the button, or Enter in the
// edit box; or to cancel it (Escape, or the browser's own ways of closing
// a dialog).
enum {
  KIVET_PAGE_DIALOG_OKAY = 1,
  KIVET_PAGE_DIALOG_CANCEL = 2,
};

// The canvas (the graphics window's client area) is `width` x `height`
// pixels; the page shows nothing of the program before it knows.
void kivet_page_set_size(int width, int height);

void kivet_page_create_window(int window, const char* title);
// Shows or hides a window; returns 1 when it was visible before.
int kivet_page_show_window(int window, int show);
void kivet_page_screen_size(int* width_height);

void kivet_page_menu_begin(const char* title);
void kivet_page_menu_add(int command, const char* text, int separator, int grayed, int checkable,
                         int checked);
void kivet_page_menu_check(int command, int checked);

void kivet_page_start_timer(int number, int period_ms);
void kivet_page_stop_timer(int number);

// Rows of the bitmap at `pixels` changed (kivet::web::note_canvas_rows
// holds which): they reach the canvas when the program next hands control
// to the browser (waits, yields or sleeps).
void kivet_page_present(const uint32_t* pixels);

void kivet_page_text_clear();
void kivet_page_text_add(const char* line);

// Takes the oldest page event: its kind, its three fields into `fields`;
// 0 when none is queued.
int kivet_page_take_event(int* fields);
// Suspends the program until a page event is queued.
void kivet_page_wait();
// Lets the browser run what is pending (input, frames) and resumes at once.
void kivet_page_yield();
// Suspends the program for `milliseconds`.
void kivet_page_sleep(int milliseconds);

void kivet_page_dialog_open(const char* title, const char* prompt, const char* button);
void kivet_page_dialog_focus();
// The edit field's text into `buffer` (at most size - 1 bytes and a zero);
// returns its whole length in bytes.
int kivet_page_dialog_text(char* buffer, int size);
void kivet_page_dialog_close();

// The browser's name and version ("Firefox 140") into `buffer`, or "".
void kivet_page_browser_name(char* buffer, int size);

// 1 when the page's address names a script to play (page.html?script=FILE):
// it is then KIVET.SCR, and the run is played from it alone.
int kivet_page_plays_script();

// The canvas font, for runs of characters the built-in face lacks: how far
// a run of `length` bytes of UTF-8 moves the pen at characters `height`
// pixels high, and the run drawn into the bitmap at `pixels` (0x00RRGGBB,
// `width` x `rows`), the left end of its baseline at (left, baseline),
// every glyph pixel `color`.
int kivet_canvas_run_width(const char* utf8, int length, int height);
void kivet_canvas_draw_run(uint32_t* pixels, int width, int rows, int left, int baseline,
                           const char* utf8, int length, int height, uint32_t color);
}
