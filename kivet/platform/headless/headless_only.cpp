// The headless platforms linked in alone, as in the library's own tests and
// benchmarks: the in-memory platform, which they drive through
// memory_platform.h, or the unattended runner once one begins an
// unattended run.
#include "kivet/platform/headless/memory_platform.h"
#include "kivet/platform/headless/unattended_platform.h"

namespace {

kivet::Platform* unattended = nullptr;

}  // namespace

kivet::Platform& kivet::platform() { return unattended ? *unattended : memory_platform(); }

void kivet::headless::begin_unattended_run(FILE* out, FILE* in) {
  unattended_platform().use_streams(out, in);
  unattended = &unattended_platform();
}

void kivet::headless::reset() {
  unattended = nullptr;
  reset_memory_platform();
  reset_library();
  // A test's own main has started: a Display opens as it is made.
  start_main();
}
