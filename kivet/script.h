// Script recording and playback of the event stream in "KIVET.SCR".
#pragma once

#include "kivet/kivet.h"

namespace kivet {

constexpr const char* SCRIPT_FILE_NAME = "KIVET.SCR";

// The playback step of the event wait: takes one event from the script.
// Returns true when it has set the event; false stops playback.
bool script_playback_step();
// The recording step of the event wait, with the event as assembled.
void script_recording_step();

// Menu commands 5, 6 and 7.
void script_toggle_recording();
void script_toggle_playback();
void script_play_one();

// Finishes the script for good, however the program ends: a recording has
// its pending periodic line written and is switched off, and the file is
// closed. Touches no window, so it may run after the display is gone.
void script_finish();

// What KIVET_script_read returns when it has read only empty lines so far,
// or lines of events the program has not switched on:
// no event yet, playback goes on at the next pass of the wait.
constexpr int SCRIPT_READ_LATER = -1;

}  // namespace kivet

void KIVET_script_write(int kind, KIVET_event_data data);
// 1 when it has set the event, 0 when playback stops, SCRIPT_READ_LATER.
int KIVET_script_read();
void KIVET_script_stop_playback();
void KIVET_script_close();
