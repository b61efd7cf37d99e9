// Floating conversions f e E g G a A F and the size conversions I U. Each lays
// its text out as UTF-8 in a local buffer (sign, then zero fill, then digits)
// and appends it decoded; digits come from the exact digit generators.
#include <math.h>
#include <string.h>

#include "text/DecimalDigits.h"
#include "text/FormatSpec.h"

namespace {

constexpr int32_t kMaxFloatPrecision = 308;
constexpr int64_t kMaxFloatWidth = 512;
constexpr int32_t kFloatOutputSize = 880;

// The text of one floating conversion without its sign and fill.
struct FloatBody {
  char bytes[kFloatOutputSize];
  int32_t size = 0;
  int32_t characters = 0;  // what the width counts: UTF-8 characters

  void Put(char c) {
    bytes[size++] = c;
    if ((static_cast<uint8_t>(c) & 0xC0) != 0x80) ++characters;
  }
  void PutText(const char* text) {
    while (*text != 0) Put(*text++);
  }
  void PutRepeated(char c, int64_t count) {
    for (int64_t i = 0; i < count; ++i) Put(c);
  }
  void PutDigits(const DecimalDigits& d, int32_t from, int32_t to) {
    for (int32_t i = from; i < to; ++i) Put(d.digits[i]);
  }
  // "e" or "E", the sign and at least two digits.
  void PutExponent(char letter, int32_t exponent) {
    Put(letter);
    Put(exponent < 0 ? '-' : '+');
    int32_t magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude >= 100) Put(static_cast<char>('0' + magnitude / 100));
    Put(static_cast<char>('0' + magnitude / 10 % 10));
    Put(static_cast<char>('0' + magnitude % 10));
  }
};

int32_t ClampPrecision(int64_t precision, int32_t whenNotPositive) {
  if (precision <= 0) return whenNotPositive;
  return precision > kMaxFloatPrecision ? kMaxFloatPrecision : static_cast<int32_t>(precision);
}

char SignOf(const FormatSpec& spec, bool negative) {
  if (negative) return '-';
  if (spec.plus) return '+';
  if (spec.space) return ' ';
  return 0;
}

// Sign, then `prefix` ("0x" of the a conversion), then the fill: zeros after the
// sign and prefix, spaces before them, or spaces after everything.
int EmitFloatField(WString* target, const FormatSpec& spec, char sign, const char* prefix,
                   const FloatBody& body) {
  int64_t width = spec.width < kMaxFloatWidth ? spec.width : kMaxFloatWidth;
  int64_t prefixLength = static_cast<int64_t>(strlen(prefix));
  int64_t characters = (sign != 0 ? 1 : 0) + prefixLength + body.characters;
  int64_t fill = width > characters ? width - characters : 0;
  char field[kFloatOutputSize + kMaxFloatWidth + 8];
  int32_t n = 0;
  if (!spec.leftJustify && !spec.zeroFill) {
    for (int64_t i = 0; i < fill; ++i) field[n++] = ' ';
  }
  if (sign != 0) field[n++] = sign;
  for (int64_t i = 0; i < prefixLength; ++i) field[n++] = prefix[i];
  if (!spec.leftJustify && spec.zeroFill) {
    for (int64_t i = 0; i < fill; ++i) field[n++] = '0';
  }
  memcpy(field + n, body.bytes, static_cast<size_t>(body.size));
  n += body.size;
  if (spec.leftJustify) {
    for (int64_t i = 0; i < fill; ++i) field[n++] = ' ';
  }
  return target->AppendNarrowText(field, n, 0);
}

int LayOutFixed(const FormatSpec& spec, double x, FloatBody* body) {
  const int32_t places = ClampPrecision(spec.precision, 6);
  DecimalDigits d;
  if (!FixedDigits(x, places, &d)) return 0;
  if (d.pointPosition > 0) {
    body->PutDigits(d, 0, d.pointPosition);
    body->Put('.');
    body->PutDigits(d, d.pointPosition, d.count);
  } else {
    body->Put('0');
    body->Put('.');
    int32_t zeros = -d.pointPosition < places ? -d.pointPosition : places;
    body->PutRepeated('0', zeros);
    body->PutDigits(d, 0, d.count);
  }
  return 1;
}

int LayOutExponent(const FormatSpec& spec, double x, FloatBody* body) {
  const int32_t places = ClampPrecision(spec.precision, 6);
  DecimalDigits d;
  if (!SignificantDigits(x, places + 1, &d)) return 0;
  body->Put(d.digits[0]);
  body->Put('.');
  body->PutDigits(d, 1, d.count);
  body->PutExponent(spec.upper ? 'E' : 'e', x == 0 ? 0 : d.pointPosition - 1);
  return 1;
}

int LayOutGeneral(const FormatSpec& spec, double x, FloatBody* body) {
  const int32_t precision = spec.precision == 0 ? 1 : ClampPrecision(spec.precision, 6);
  DecimalDigits d;
  if (!SignificantDigits(x, precision, &d)) return 0;
  const int32_t exponent = x == 0 ? 0 : d.pointPosition - 1;
  const bool exponentForm = exponent < -4 || exponent >= precision;
  // Digits before the point never lose their zeros; those after may.
  int32_t keepAtLeast = exponentForm || exponent < 0 ? 1 : exponent + 1;
  int32_t keep = d.count;
  if (!spec.alternate) {
    while (keep > keepAtLeast && d.digits[keep - 1] == '0') --keep;
  }
  if (exponentForm) {
    body->Put(d.digits[0]);
    if (keep > 1 || spec.alternate) body->Put('.');
    body->PutDigits(d, 1, keep);
    body->PutExponent(spec.upper ? 'E' : 'e', exponent);
  } else if (exponent >= 0) {
    body->PutDigits(d, 0, exponent + 1);
    if (keep > exponent + 1 || spec.alternate) body->Put('.');
    body->PutDigits(d, exponent + 1, keep);
  } else {
    body->Put('0');
    body->Put('.');
    body->PutRepeated('0', -exponent - 1);
    body->PutDigits(d, 0, keep);
  }
  return 1;
}

void LayOutHexadecimal(const FormatSpec& spec, double x, FloatBody* body) {
  uint64_t bits;
  memcpy(&bits, &x, sizeof bits);
  const int32_t biased = static_cast<int32_t>((bits >> 52) & 0x7FF);
  uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
  int32_t lead = biased == 0 ? 0 : 1;
  int32_t exponent = biased == 0 ? (fraction == 0 ? 0 : -1022) : biased - 1023;

  int32_t shown;  // fraction digits written
  int64_t precision = spec.precision;
  if (precision <= 0) {
    shown = 13;
    while (shown > 0 && ((fraction >> (52 - 4 * shown)) & 0xF) == 0) --shown;
  } else {
    shown = precision > kMaxFloatPrecision ? kMaxFloatPrecision : static_cast<int32_t>(precision);
  }
  if (shown < 13) {
    const int32_t dropped = 52 - 4 * shown;
    const bool roundUp = ((fraction >> (dropped - 1)) & 1) != 0;  // half up
    fraction >>= dropped;
    if (roundUp) {
      ++fraction;
      if ((fraction >> (4 * shown)) != 0) {  // carried into the leading digit
        fraction = 0;
        ++lead;
      }
    }
  }
  const char* hex = HexDigits(spec.upper);
  body->Put(hex[lead]);
  // A point whenever fraction digits follow, so 1.5 never reads as 0x18.
  if (shown > 0 || spec.alternate) body->Put('.');
  const int32_t fractionDigits = shown < 13 ? shown : 13;
  for (int32_t i = fractionDigits - 1; i >= 0; --i) body->Put(hex[(fraction >> (4 * i)) & 0xF]);
  body->PutRepeated('0', shown - fractionDigits);
  body->Put(spec.upper ? 'P' : 'p');
  body->Put(exponent < 0 ? '-' : '+');
  char digits[8];
  int32_t n = 0;
  int32_t magnitude = exponent < 0 ? -exponent : exponent;
  do {
    digits[n++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  while (n > 0) body->Put(digits[--n]);
}

// Engineering form: one to three integer digits and an exponent that is a
// multiple of 3, or with "#" an SI prefix.
int LayOutEngineering(const FormatSpec& spec, double x, FloatBody* body) {
  static const char* const kPrefixes[] = {"y", "z", "a", "f", "p", "n", "\xC2\xB5", "m", " ",
                                          "k", "M", "G", "T", "P", "E", "Z", "Y"};
  int32_t precision = spec.precision < 3 ? 3 : ClampPrecision(spec.precision, 3);
  DecimalDigits d;
  if (!SignificantDigits(x, precision, &d)) return 0;
  const int32_t exponent = x == 0 ? 0 : d.pointPosition - 1;
  const int32_t lowered = exponent >= 0 ? exponent / 3 * 3 : -((-exponent + 2) / 3 * 3);
  const int32_t integerDigits = 1 + exponent - lowered;
  body->PutDigits(d, 0, integerDigits);
  body->Put('.');
  body->PutDigits(d, integerDigits, d.count);
  if (spec.alternate && lowered >= -24 && lowered <= 24) {
    body->Put(' ');
    body->PutText(kPrefixes[lowered / 3 + 8]);
  } else {
    body->PutExponent('e', lowered);
  }
  return 1;
}

}  // namespace

int FormatFloat(WString* target, const FormatSpec& spec, FormatArguments* arguments) {
  double x;
  if (spec.letter == 'F' && spec.wide64) x = static_cast<double>(arguments->NextInt64());
  else if (spec.letter == 'F' && spec.narrow) x = arguments->NextInt32();
  else x = arguments->NextDouble();

  FloatBody body;
  if (isnan(x) || isinf(x)) {
    body.PutText(isnan(x) ? "{ nan}" : (x > 0 ? "{+inf}" : "{-inf}"));
    return EmitFloatField(target, spec, 0, "", body);
  }
  const char sign = SignOf(spec, signbit(x) != 0);
  const char* prefix = "";
  int laidOut = 1;
  switch (spec.letter) {
    case 'f': laidOut = LayOutFixed(spec, x, &body); break;
    case 'e': case 'E': laidOut = LayOutExponent(spec, x, &body); break;
    case 'g': case 'G': laidOut = LayOutGeneral(spec, x, &body); break;
    case 'a': case 'A':
      prefix = "0x";
      LayOutHexadecimal(spec, x, &body);
      break;
    default: laidOut = LayOutEngineering(spec, x, &body); break;
  }
  if (!laidOut) return 0;
  return EmitFloatField(target, spec, sign, prefix, body);
}

int FormatSize(WString* target, const FormatSpec& spec, FormatArguments* arguments) {
  static const char* const kBinaryUnits[] = {"Ki", "Mi", "Gi", "Ti", "Pi", "Ei", "Zi", "Yi"};
  const bool isSigned = spec.letter == 'I';
  bool negative = false;
  const uint64_t magnitude = TakeMagnitude(spec, isSigned, arguments, &negative);
  int32_t precision;
  if (spec.precision < 0) precision = 3;
  else if (spec.precision <= 1) precision = 2;
  else precision = spec.precision > kMaxFloatPrecision ? kMaxFloatPrecision
                                                       : static_cast<int32_t>(spec.precision);

  double scaled = static_cast<double>(magnitude);
  int32_t steps = 0;
  while (scaled >= 1024) {
    scaled /= 1024;
    ++steps;
  }
  DecimalDigits d;
  if (!SignificantDigits(scaled, precision, &d)) return 0;
  if (d.pointPosition > precision) {
    // The integer part no longer fits the digits (999.7 at three digits, or
    // 1000 and up at two): one more step, shown as "0." and one digit less.
    scaled /= 1024;
    ++steps;
    if (!SignificantDigits(scaled, precision - 1, &d)) return 0;
  }
  FloatBody body;
  if (d.pointPosition > 0) {
    body.PutDigits(d, 0, d.pointPosition);
    body.Put('.');
    body.PutDigits(d, d.pointPosition, d.count);
  } else {
    body.Put('0');
    body.Put('.');
    body.PutRepeated('0', -d.pointPosition);
    body.PutDigits(d, 0, d.count);
  }
  if (spec.alternate) {
    body.Put(' ');
    body.PutText(steps == 0 ? "  " : kBinaryUnits[steps - 1]);
  } else {
    body.Put('b');
    char digits[4];
    int32_t n = 0;
    int32_t power = 10 * steps;
    do {
      digits[n++] = static_cast<char>('0' + power % 10);
      power /= 10;
    } while (power != 0);
    while (n > 0) body.Put(digits[--n]);
  }
  return EmitFloatField(target, spec, isSigned ? SignOf(spec, negative) : 0, "", body);
}
