// An always-on consistency check. Unlike assert() from <cassert> it stays in
// release builds: a failed check reports the expression, the source file and
// the line on stderr and stops the program.
#pragma once

[[noreturn]] void check_failed(const char* expression, const char* file, int line);

#define APP_CHECK(expression) \
  ((expression) ? static_cast<void>(0) : check_failed(#expression, __FILE__, __LINE__))
