// The headless backend linked in alone, as in the library's own tests,
// which drive it through headless.h.
#include "kivet/platform/platform.h"

kivet::Platform& kivet::platform() { return headless_platform(); }
