// Exact decimal digits of a double: the binary value expanded into a base-10^9
// integer on the stack, then rounded half to even at the requested digit.
#include "text/DecimalDigits.h"

#include <string.h>

namespace {

constexpr uint32_t kLimbBase = 1000000000;
constexpr int32_t kLimbDigits = 9;
// The longest expansion is m * 5^1074 with m < 2^53: 767 digits, 86 limbs.
constexpr int32_t kMaxLimbs = 88;
constexpr int32_t kMaxExpandedDigits = kMaxLimbs * kLimbDigits;

// Largest factors that keep limb * factor + carry inside 64 bits.
constexpr uint32_t kTwoTo31 = 0x80000000u;
constexpr uint32_t kFiveTo13 = 1220703125u;
constexpr uint32_t kPowersOfFive[13] = {1,       5,        25,        125,
                                        625,     3125,     15625,     78125,
                                        390625,  1953125,  9765625,   48828125,
                                        244140625};

struct BigInteger {
  uint32_t limbs[kMaxLimbs];  // least significant first, each below kLimbBase
  int32_t count;
};

// All digits of |x|, most significant first, with no leading zero.
struct Expansion {
  char digits[kMaxExpandedDigits];
  int32_t count;          // 0 when x is zero
  int32_t pointPosition;  // digits before the point; <= 0 puts zeros after it
  bool negative;
};

void MultiplySmall(BigInteger* n, uint32_t factor) {
  uint64_t carry = 0;
  for (int32_t i = 0; i < n->count; ++i) {
    uint64_t product = uint64_t(n->limbs[i]) * factor + carry;
    // One division: on 32-bit targets it is a library call.
    carry = product / kLimbBase;
    n->limbs[i] = uint32_t(product - carry * kLimbBase);
  }
  // carry <= factor < 3 * kLimbBase: at most two new limbs, which the size
  // bound above keeps inside the array.
  while (carry != 0) {
    uint64_t high = carry / kLimbBase;
    n->limbs[n->count++] = uint32_t(carry - high * kLimbBase);
    carry = high;
  }
}

void WriteDigits(const BigInteger& n, Expansion* ex) {
  char* p = ex->digits;
  // The top limb without its leading zeros, every other one in full.
  char top[kLimbDigits];
  int32_t topCount = 0;
  for (uint32_t v = n.limbs[n.count - 1]; v != 0; v /= 10) top[topCount++] = char('0' + v % 10);
  while (topCount > 0) *p++ = top[--topCount];
  for (int32_t i = n.count - 2; i >= 0; --i) {
    uint32_t v = n.limbs[i];
    for (int32_t d = kLimbDigits - 1; d >= 0; --d) {
      p[d] = char('0' + v % 10);
      v /= 10;
    }
    p += kLimbDigits;
  }
  ex->count = int32_t(p - ex->digits);
}

// 1 = expanded; 0 = x is a NaN or an infinity.
int Expand(double x, Expansion* ex) {
  uint64_t bits;
  memcpy(&bits, &x, sizeof bits);
  ex->negative = (bits >> 63) != 0;
  int32_t biased = int32_t((bits >> 52) & 0x7FF);
  uint64_t m = bits & ((uint64_t(1) << 52) - 1);
  if (biased == 0x7FF) return 0;
  int32_t e = -1074;  // subnormals share the smallest normal exponent
  if (biased != 0) {
    m |= uint64_t(1) << 52;
    e = biased - 1075;
  }
  if (m == 0) {
    ex->count = 0;
    ex->pointPosition = 0;
    return 1;
  }
  // Each factor of two dropped here saves a factor of five below.
  while ((m & 1) == 0 && e < 0) {
    m >>= 1;
    ++e;
  }

  BigInteger n;
  n.limbs[0] = uint32_t(m % kLimbBase);
  n.limbs[1] = uint32_t(m / kLimbBase);
  n.count = n.limbs[1] != 0 ? 2 : 1;
  int32_t fractionDigits = 0;
  if (e >= 0) {
    for (; e >= 31; e -= 31) MultiplySmall(&n, kTwoTo31);
    if (e > 0) MultiplySmall(&n, uint32_t(1) << e);
  } else {
    // m * 2^e = m * 5^-e / 10^-e: the point sits -e digits from the right.
    fractionDigits = -e;
    int32_t k = -e;
    for (; k >= 13; k -= 13) MultiplySmall(&n, kFiveTo13);
    if (k > 0) MultiplySmall(&n, kPowersOfFive[k]);
  }
  WriteDigits(n, ex);
  ex->pointPosition = ex->count - fractionDigits;
  return 1;
}

// Whether the digits from `keep` on are more than half a unit of the last
// kept digit, or exactly half with that digit odd. `keep` may lie outside
// the expansion: below zero the value is under a tenth of the unit.
bool RoundsUp(const Expansion& ex, int64_t keep) {
  if (keep < 0 || keep >= ex.count) return false;
  char first = ex.digits[keep];
  if (first != '5') return first > '5';
  for (int32_t i = int32_t(keep) + 1; i < ex.count; ++i) {
    if (ex.digits[i] != '0') return true;
  }
  char last = keep > 0 ? ex.digits[keep - 1] : '0';
  return (last - '0') % 2 != 0;
}

// Copies the first `keep` digits (keep <= kDigitBufferSize), zero-padded,
// and adds one unit to the last when `up`. 1 = the carry ran out of the top:
// the digits are then all zeros.
int CopyKept(const Expansion& ex, int32_t keep, bool up, DecimalDigits* out) {
  int32_t available = keep < ex.count ? keep : ex.count;
  memcpy(out->digits, ex.digits, size_t(available));
  memset(out->digits + available, '0', size_t(keep - available));
  if (!up) return 0;
  for (int32_t i = keep - 1; i >= 0; --i) {
    if (out->digits[i] != '9') {
      ++out->digits[i];
      return 0;
    }
    out->digits[i] = '0';
  }
  return 1;
}

}  // namespace

int FixedDigits(double x, int32_t places, DecimalDigits* out) {
  if (places < 0) return 0;
  Expansion ex;
  if (!Expand(x, &ex)) return 0;
  out->negative = ex.negative;
  // 64 bits: a huge `places` plus the point position must not wrap.
  int64_t keep = int64_t(ex.pointPosition) + places;
  bool up = RoundsUp(ex, keep);
  if (ex.count == 0 || keep < 0 || (keep == 0 && !up)) {
    if (places > kDigitBufferSize) return 0;
    memset(out->digits, '0', size_t(places));
    out->count = places;
    out->pointPosition = 0;
    return 1;
  }
  if (keep > kDigitBufferSize) return 0;
  out->count = int32_t(keep);
  out->pointPosition = ex.pointPosition;
  if (CopyKept(ex, out->count, up, out)) {
    // 9.995 -> 10.00: one more digit before the point, same places after it.
    if (out->count == kDigitBufferSize) return 0;
    out->digits[out->count++] = '0';
    out->digits[0] = '1';
    ++out->pointPosition;
  }
  return 1;
}

int SignificantDigits(double x, int32_t count, DecimalDigits* out) {
  if (count < 1 || count > kDigitBufferSize) return 0;
  Expansion ex;
  if (!Expand(x, &ex)) return 0;
  out->negative = ex.negative;
  out->count = count;
  if (ex.count == 0) {
    memset(out->digits, '0', size_t(count));
    out->pointPosition = 1;
    return 1;
  }
  out->pointPosition = ex.pointPosition;
  if (CopyKept(ex, count, RoundsUp(ex, count), out)) {
    // 9.99 -> 10.0: the count stays, the point moves one place right.
    out->digits[0] = '1';
    ++out->pointPosition;
  }
  return 1;
}
