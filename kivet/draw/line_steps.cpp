// Exact quotients for the rasterisers: a multiply-divide done one bit of the
// multiplier at a time, and the quotients that step along an edge.
#include "kivet/draw/line_steps.h"

namespace kivet {

Division multiply_divide(uint64_t a, uint64_t b, uint64_t d) {
  // Most products, those of shapes near the bitmap, fit in 64 bits.
  if (a == 0 || b <= UINT64_MAX / a) return Division{a * b / d, a * b % d};
  // a * b = a * whole * d + a * part, with part < d. The second product is
  // divided as it is built, high bit of a first: the remainder stays below
  // 3d, well inside 64 bits, and the quotient below a.
  uint64_t whole = b / d, part = b % d;
  uint64_t quotient = 0, remainder = 0;
  for (int bit = 63; bit >= 0; --bit) {
    quotient <<= 1;
    remainder <<= 1;
    if ((a >> bit) & 1) remainder += part;
    while (remainder >= d) {
      remainder -= d;
      ++quotient;
    }
  }
  return Division{a * whole + quotient, remainder};
}

int64_t floor_divide(int64_t a, int64_t b) {
  int64_t q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

int64_t ceil_divide(int64_t a, int64_t b) {
  int64_t q = a / b;
  return (a % b != 0 && a > 0) ? q + 1 : q;
}

SteppedQuotient::SteppedQuotient(int64_t a, int64_t b, int64_t d, int64_t first) : divisor_(d) {
  step_quotient_ = floor_divide(a, d);
  step_remainder_ = a - step_quotient_ * d;
  Division product =
      multiply_divide(static_cast<uint64_t>(a < 0 ? -a : a),
                      static_cast<uint64_t>(first < 0 ? -first : first), static_cast<uint64_t>(d));
  quotient_ = static_cast<int64_t>(product.quotient);
  remainder_ = static_cast<int64_t>(product.remainder);
  if ((a < 0) != (first < 0)) {
    // A negative product: its floor lies one below minus the quotient
    // unless the division came out even.
    quotient_ = -quotient_;
    if (remainder_ > 0) {
      --quotient_;
      remainder_ = d - remainder_;
    }
  }
  int64_t b_whole = floor_divide(b, d);
  add(b_whole, b - b_whole * d);
}

}  // namespace kivet
