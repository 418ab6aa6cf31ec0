// In the browser the page is the only backend: programs run in it.
#include "kivet/platform/platform.h"

kivet::Platform& kivet::platform() { return windowed_platform(); }
