// printf-style formatting into the library's fixed 1024-byte buffers.
#pragma once

#include <cstdarg>

#include "kivet/state.h"

namespace kivet {

// Formats into `buffer`, cutting the result at 1023 characters; returns the
// number of characters kept (0 when the format cannot be used).
int format_bounded(char (&buffer)[MESSAGE_BUFFER_SIZE], const char* format, va_list args);

}  // namespace kivet
