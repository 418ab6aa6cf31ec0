// Opening and closing the library: the two windows, the off-screen bitmap
// and the 100 ms timer (or, in an unattended run, the script's playback).
// Closing, like losing the display, finishes the script file, so that no
// recorded event is lost.
#include <cstdio>
#include <cstdlib>

#include "kivet/ending_signals.h"
#include "kivet/event_wait.h"
#include "kivet/platform/platform.h"
#include "kivet/run_endings.h"
#include "kivet/script.h"
#include "kivet/snapshot.h"
#include "kivet/state.h"

using namespace kivet;

// Closes the library when the program ends with it still open: a Display
// at file scope (whose destructor runs only after the library's own objects
// may be gone), or exit() called while a Display is alive.
static void close_at_exit() { KIVET_close(); }

int KIVET_open(void* instance_value, void* /*previous_instance*/, const char* /*command_line*/,
               int /*show_mode*/) {
  Platform& p = platform();
  static bool close_registered = false;
  if (!close_registered) {
    // Registered after the platform exists, so it runs before the platform
    // and the library's objects are destroyed.
    std::atexit(close_at_exit);
    close_registered = true;
  }
  state().library_open = true;
  Size screen = p.screen_size();
  state().running = false;
  state().step_requested = false;

  state().graphics_window = WindowId::graphics;
  p.create_window(WindowId::graphics,
                  WindowSetup{"KIVET Graphics", 0, 0, BITMAP_WIDTH, BITMAP_HEIGHT, false});
  state().text_window = WindowId::text;
  p.create_window(WindowId::text, WindowSetup{"KIVET Text", 0, (2 * screen.height) / 3 + 1,
                                              screen.width, screen.height / 3, true});
  state().instance = instance_value;
  // Until the first clear the bitmap is white, like the windows' background.
  if (!state().offscreen_bitmap) state().offscreen_bitmap = std::make_unique<Bitmap>();
  state().changed_rows = ChangedRows::all();

  p.show_window(WindowId::text, true);
  send_message(Message{WindowId::text, MessageKind::paint, 0, 0});
  p.show_window(WindowId::graphics, true);
  // The window has its size now: set the origin before any drawing or click.
  Size client = p.client_size(WindowId::graphics);
  send_message(Message{WindowId::graphics, MessageKind::size, client.width, client.height});
  read_snapshot_frames();
  if (p.unattended()) {
    watch_ending_signals();
    // No user: the script is the only input, played from its first line at
    // once, as fast as the program takes it. No tick is ever waited for.
    script_toggle_playback();
  } else {
    p.start_timer(TIMER_NUMBER, state().tick_ms);
  }
  return 1;
}

// A program that drew and ended without asking for an event: its windows
// flashed and went. Once, on standard error, the call that keeps them.
static void note_ending_without_waiting() {
  LibraryState& s = state();
  if (!s.has_drawn || s.asked_for_event || s.noted_no_wait || !platform().shows_windows()) return;
  s.noted_no_wait = true;
  fputs("kivet: the program ended without waiting for events, so its windows closed at once; to "
        "keep them, end it with: while (display.get_next_event(x, y, key) != kivet::quit) {}\n",
        stderr);
}

int KIVET_close() {
  if (!state().library_open) return 1;
  state().library_open = false;
  note_ending_without_waiting();
  write_requested_snapshot();
  // Pictures are kept while the Display lives.
  state().pictures.reset();
  bool was_recording = state().recording;
  script_finish();
  if (was_recording) platform().check_menu_entry(CMD_RECORD, false);
  return 1;
}

void kivet::display_lost() { script_finish(); }
