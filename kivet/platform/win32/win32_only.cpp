// The Win32 backend linked in alone, as in the backend's own tests: every
// run opens windows.
#include "kivet/platform/platform.h"

kivet::Platform& kivet::platform() { return windowed_platform(); }
