// Exact decimal digits of a double, rounded half to even: the digit source of
// the floating conversions. Same digits on every platform (no C runtime).
#pragma once

#include <stdint.h>

// The most digits a conversion may produce; a value needing more is refused.
constexpr int32_t kDigitBufferSize = 352;

struct DecimalDigits {
  char digits[kDigitBufferSize];  // ASCII '0'-'9', `count` of them, not terminated
  int32_t count;
  // Digits before the decimal point. Zero or negative when |x| < 1: then
  // -pointPosition zeros follow the point before the first digit.
  int32_t pointPosition;
  bool negative;  // the sign bit of x (so -0.0 is negative)
};

// |x| rounded to `places` digits after the point (places >= 0), without
// leading zeros: count = pointPosition + places. A result that rounds to zero
// gives `places` zeros with pointPosition 0. 1 = done; 0 = more than
// kDigitBufferSize digits needed, or x is not finite (out is then unspecified).
int FixedDigits(double x, int32_t places, DecimalDigits* out);

// The first `count` significant digits of |x| (1 <= count <= kDigitBufferSize),
// rounded; pointPosition places the point. Zero gives `count` zeros with
// pointPosition 1. 1 = done; 0 = bad count or x not finite.
int SignificantDigits(double x, int32_t count, DecimalDigits* out);
