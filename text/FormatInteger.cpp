// Integer conversions d i u x X o y and the pointer conversions p P: sign,
// prefix, precision zeros and digit groups, with the fill before the sign.
#include "text/FormatSpec.h"

namespace {

constexpr int64_t kMaxIntegerPrecision = 308;

int BaseOf(WChar letter) {
  switch (letter) {
    case 'x': case 'X': case 'p': case 'P': return 16;
    case 'o': return 8;
    case 'y': return 2;
    default: return 10;
  }
}

int DigitCount(uint64_t magnitude, unsigned base) {
  int count = 1;
  if (base == 16) {
    while (magnitude >= 16) {
      magnitude >>= 4;
      ++count;
    }
    return count;
  }
  while (magnitude >= base) {
    magnitude /= base;
    ++count;
  }
  return count;
}

}  // namespace

int FormatInteger(WString* target, const FormatSpec& spec, FormatArguments* arguments) {
  const bool pointer = spec.letter == 'p' || spec.letter == 'P';
  const bool isSigned = spec.letter == 'd' || spec.letter == 'i';
  const unsigned base = static_cast<unsigned>(BaseOf(spec.letter));

  uint64_t magnitude;
  bool negative = false;
  int64_t precision = spec.precision;
  if (pointer) {
    magnitude = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(arguments->NextPointer()));
    precision = 8;
  } else {
    magnitude = TakeMagnitude(spec, isSigned, arguments, &negative);
  }
  if (precision <= 0) precision = 1;
  if (precision > kMaxIntegerPrecision) precision = kMaxIntegerPrecision;

  char sign = 0;
  if (negative) sign = '-';
  else if (isSigned && spec.plus) sign = '+';
  else if (isSigned && spec.space) sign = ' ';
  const int64_t signLength = sign != 0 ? 1 : 0;

  int64_t digits = DigitCount(magnitude, base);
  int64_t prefixLength = 0;
  if (spec.alternate) prefixLength = base == 16 || base == 2 ? 2 : (base == 8 ? 1 : 0);
  if (precision >= signLength + prefixLength + digits) {
    digits = precision;
    if (base == 8) prefixLength = 0;  // the leading zeros already say octal
  }
  const int64_t groupSize = base == 16 || base == 2 ? 4 : 3;
  const int64_t separators = spec.group ? (digits - 1) / groupSize : 0;
  const int64_t length = signLength + prefixLength + digits + separators;

  int64_t fill;
  WChar* out = BeginField(target, spec, length, false, &fill);
  if (out == nullptr) return 0;
  if (pointer && magnitude == 0) {
    static const char kNull[] = "{null}";
    int64_t spaces = length - 6;
    for (int64_t i = 0; i < spaces; ++i) out[i] = ' ';
    for (int i = 0; i < 6; ++i) out[spaces + i] = static_cast<WChar>(kNull[i]);
  } else {
    WChar* w = out;
    if (sign != 0) *w++ = static_cast<WChar>(sign);
    if (prefixLength > 0) *w++ = '0';
    if (prefixLength > 1) *w++ = base == 16 ? 'x' : 'y';
    const char* hex = HexDigits(spec.upper);
    WChar* d = out + length;
    if (!spec.group && magnitude <= UINT32_MAX) {
      // The common case, in 32-bit arithmetic: 64-bit division is slow on x86.
      uint32_t small = static_cast<uint32_t>(magnitude);
      for (int64_t i = 0; i < digits; ++i) {
        *--d = static_cast<WChar>(hex[small % base]);
        small /= base;
      }
    } else {
      for (int64_t i = 0; i < digits; ++i) {
        if (spec.group && i > 0 && i % groupSize == 0) *--d = ' ';
        *--d = static_cast<WChar>(hex[magnitude % base]);
        magnitude /= base;
      }
    }
  }
  EndField(target, spec, out, length, fill);
  return 1;
}
