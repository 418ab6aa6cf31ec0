// Script recording and playback (to be completed).
#include "kivet/script.h"

#include "kivet/state.h"

namespace kivet {

bool script_playback_step() {
  play_one = false;
  KIVET_script_stop_playback();
  return false;
}
void script_recording_step() {}
void script_toggle_recording() {}
void script_toggle_playback() {}
void script_play_one() {}

}  // namespace kivet

using namespace kivet;

void KIVET_script_write(int, KIVET_event_data) {}
int KIVET_script_read() { return 0; }
void KIVET_script_stop_playback() {
  playing_back = false;
  play_one = false;
}
void KIVET_script_close() {
  if (script_file) fclose(script_file);
  script_file = nullptr;
}
