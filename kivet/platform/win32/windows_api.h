// <windows.h> as this backend includes it: lean, without the min and max
// macros, and without the hot-key modifier macro MOD_CONTROL, whose name
// the library's key messages use for their own constant.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#undef MOD_CONTROL
