// Fuzz target: arbitrary bytes as the script file, played back through the
// event wait. Every event returned must be one the file can describe, and
// playback must end within the events the file stands for.
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "kivet/kivet.h"
#include "kivet/platform/headless/memory_platform.h"
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

// Puts the input in the script file, written over in place and then cut to
// the input's length. Emptying the file first, as fopen's "w" does, makes
// ext4 start writing it to the disk when it is closed: about 470 us per
// input here, against 12 us in place.
void write_script_file(const uint8_t* data, size_t size) {
  int fd = open(kivet::SCRIPT_FILE_NAME, O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) abort();
  for (size_t done = 0; done < size;) {
    ssize_t written = write(fd, data + done, size - done);
    if (written <= 0) abort();
    done += static_cast<size_t>(written);
  }
  if (ftruncate(fd, static_cast<off_t>(size)) != 0 || close(fd) != 0) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  enter_scratch_directory();
  write_script_file(data, size);

  kivet::headless::reset();
  KIVET_open(nullptr, nullptr, "", 1);
  KIVET_set_logging(0);
  kivet::script_toggle_playback();
  KIVET_set_animation(2);  // once playback stops, ticks end the waits
  for (int i = 0; i < MAX_WAITS && kivet::state().playing_back; ++i) {
    int x = 0, y = 0;
    char key = 0;
    int kind = KIVET_wait_event(&x, &y, &key);
    if (kind < 1 || kind > 4) abort();
    if (kind != 1 && (x != 0 || y != 0)) abort();
    if (kind != 2 && key != 0) abort();
  }
  if (kivet::state().playing_back) kivet::script_toggle_playback();
  KIVET_close();
  if (kivet::state().script_file) abort();
  kivet::headless::reset();
  return 0;
}
