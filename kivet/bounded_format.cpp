#include "kivet/bounded_format.h"

#include <cstdio>

namespace kivet {

int format_bounded(char (&buffer)[MESSAGE_BUFFER_SIZE], const char* format, va_list args) {
  int formatted = vsnprintf(buffer, sizeof buffer, format, args);
  if (formatted < 0) {
    buffer[0] = '\0';
    return 0;
  }
  return formatted > MESSAGE_BUFFER_SIZE - 1 ? MESSAGE_BUFFER_SIZE - 1 : formatted;
}

}  // namespace kivet
