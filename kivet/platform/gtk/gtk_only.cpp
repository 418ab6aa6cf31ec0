// The GTK backend linked in alone, as in the real-window tests: every run
// opens windows.
#include "kivet/platform/platform.h"

kivet::Platform& kivet::platform() { return windowed_platform(); }
