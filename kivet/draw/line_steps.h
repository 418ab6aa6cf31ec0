// Exact positions along a straight edge, one row or column at a time. The
// rasterisers need x at row y of an edge between two device pixels, or the
// minor coordinate of a Bresenham line at each major step: a quotient of
// products that can need 67 bits. The first one is computed exactly with a
// binary multiply-divide on 64-bit integers; every later one is the previous
// one plus a fixed step, carried like Bresenham's error term. Plain integer
// arithmetic throughout: no 128-bit types, no compiler builtins.
#pragma once

#include <cstdint>

namespace kivet {

// a * b / d rounded down, and what is left: quotient * d + remainder == a * b.
// Needs d > 0 and d < 2^62, and a quotient that fits in 64 bits.
struct Division {
  uint64_t quotient, remainder;
};
Division multiply_divide(uint64_t a, uint64_t b, uint64_t d);

// The largest integer not above a / b, and the smallest not below; b > 0.
int64_t floor_divide(int64_t a, int64_t b);
int64_t ceil_divide(int64_t a, int64_t b);

// The value (a * k + b) / d for k = first, first + 1, ...: its floor and the
// remainder in [0, d). Needs d > 0; a, b, d and k below 2^62 in magnitude,
// and every value's floor within 64 bits.
class SteppedQuotient {
 public:
  SteppedQuotient(int64_t a, int64_t b, int64_t d, int64_t first);

  int64_t floor() const { return quotient_; }
  int64_t ceil() const { return quotient_ + (remainder_ > 0 ? 1 : 0); }
  int64_t remainder() const { return remainder_; }

  // On to k + 1: adds a / d.
  void next() { add(step_quotient_, step_remainder_); }

 private:
  // Adds whole + part / d, with part in [0, d).
  void add(int64_t whole, int64_t part) {
    quotient_ += whole;
    remainder_ += part;
    if (remainder_ >= divisor_) {
      remainder_ -= divisor_;
      ++quotient_;
    }
  }

  int64_t divisor_;
  int64_t step_quotient_, step_remainder_;
  int64_t quotient_ = 0, remainder_ = 0;
};

}  // namespace kivet
