#include "app/random_between.h"

#include <cstdint>
#include <cstdlib>

int random_between(int a, int b) {
  if (a == b) return a;
  const int low = a < b ? a : b;
  const int high = a < b ? b : a;
  // The width of the range is taken in 64 bits: for extreme bounds it does
  // not fit in an int. The result lies in [low, high) and so fits again.
  const int64_t span = static_cast<int64_t>(high) - low;
  return static_cast<int>(low + std::rand() % span);
}
