// The simulation's one source of chance: a value from a half-open range,
// drawn from the standard library's generator (std::rand), so that a run
// started with the same std::srand seed produces the same traffic.
#pragma once

// A value from the half-open range between a and b, given in either order:
// a + (r mod (b - a)) when a < b, b + (r mod (a - b)) when a > b, where r is
// the next std::rand() value. The larger bound is never returned. When a
// equals b the result is a and no value is drawn.
int random_between(int a, int b);
