// Fuzz target: arbitrary bytes as the script file, played back through the
// event wait. Every event returned must be one the file can describe, and
// playback must end within the events the file stands for.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "kivet/kivet.h"
#include "kivet/platform/headless/headless.h"
#include "kivet/script.h"
#include "kivet/state.h"

namespace {

// Waits taken per input at most; a periodic line may stand for 2^31 events.
constexpr int MAX_WAITS = 2000;

void enter_scratch_directory() {
  static bool done = false;
  if (done) return;
  char pattern[] = "/tmp/kivet-fuzz-XXXXXX";
  if (!mkdtemp(pattern) || chdir(pattern) != 0) abort();
  done = true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  enter_scratch_directory();
  FILE* file = fopen(kivet::SCRIPT_FILE_NAME, "wb");
  if (!file) abort();
  fwrite(data, 1, size, file);
  fclose(file);

  kivet::headless::reset();
  KIVET_open(nullptr, nullptr, "", 1);
  KIVET_set_logging(0);
  kivet::script_toggle_playback();
  KIVET_set_animation(2);  // once playback stops, ticks end the waits
  for (int i = 0; i < MAX_WAITS && kivet::playing_back; ++i) {
    int x = 0, y = 0;
    char key = 0;
    int kind = KIVET_wait_event(&x, &y, &key);
    if (kind < 1 || kind > 4) abort();
    if (kind != 1 && (x != 0 || y != 0)) abort();
    if (kind != 2 && key != 0) abort();
  }
  if (kivet::playing_back) kivet::script_toggle_playback();
  KIVET_close();
  if (kivet::script_file) abort();
  kivet::headless::reset();
  return 0;
}
