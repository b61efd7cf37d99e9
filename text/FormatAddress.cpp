// Address conversions w W: a dotted IPv4 address from four bytes, or with "h"
// a GUID in braces from the sixteen bytes of a Windows GUID.
#include "text/FormatSpec.h"

namespace {

// Byte order of a GUID's text: its first three fields are little-endian.
constexpr int kGuidByteOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
constexpr int32_t kGuidLength = 38;

int32_t DecimalLength(uint8_t b) { return b >= 100 ? 3 : (b >= 10 ? 2 : 1); }

WChar* WriteDecimal(WChar* out, uint8_t b, int32_t digits) {
  for (int32_t i = digits - 1; i >= 0; --i) {
    out[i] = static_cast<WChar>('0' + b % 10);
    b = static_cast<uint8_t>(b / 10);
  }
  return out + digits;
}

}  // namespace

int FormatAddress(WString* target, const FormatSpec& spec, FormatArguments* arguments) {
  const uint8_t* bytes = static_cast<const uint8_t*>(arguments->NextPointer());
  if (bytes == nullptr) return FormatNull(target, spec);
  int64_t fill;
  if (spec.narrow) {
    WChar* out = BeginField(target, spec, kGuidLength, true, &fill);
    if (out == nullptr) return 0;
    const char* hex = HexDigits(spec.upper);
    WChar* w = out;
    *w++ = '{';
    for (int i = 0; i < 16; ++i) {
      if (i == 4 || i == 6 || i == 8 || i == 10) *w++ = '-';
      uint8_t b = bytes[kGuidByteOrder[i]];
      *w++ = static_cast<WChar>(hex[b >> 4]);
      *w++ = static_cast<WChar>(hex[b & 0xF]);
    }
    *w = '}';
    EndField(target, spec, out, kGuidLength, fill);
    return 1;
  }
  int32_t length = 3;  // the dots
  for (int i = 0; i < 4; ++i) length += spec.zeroFill ? 3 : DecimalLength(bytes[i]);
  WChar* out = BeginField(target, spec, length, true, &fill);
  if (out == nullptr) return 0;
  WChar* w = out;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) *w++ = '.';
    w = WriteDecimal(w, bytes[i], spec.zeroFill ? 3 : DecimalLength(bytes[i]));
  }
  EndField(target, spec, out, length, fill);
  return 1;
}
