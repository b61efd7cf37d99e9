// FormatSpec: one parsed conversion, "%" flags width precision modifier letter,
// and the helpers the conversion families share to lay out a field.
#pragma once

#include <stdint.h>

#include "text/FormatArguments.h"
#include "text/WString.h"

struct FormatSpec {
  bool leftJustify = false;  // "-"
  bool plus = false;         // "+"
  bool space = false;        // " "
  bool zeroFill = false;     // "0"
  bool alternate = false;    // "#"
  bool escape = false;       // "$"
  bool group = false;        // "`"
  int64_t width = -1;        // -1 = none
  int64_t precision = 0;     // absent = 0; "*" may make it negative
  bool wide64 = false;       // "L" or "ll"
  bool narrow = false;       // "h"
  WChar letter = 0;
  bool upper = false;        // upper-case hexadecimal digits and exponent letters
};

// A field longer than this many characters fails its call instead of asking
// for gigabytes: nothing the program formats comes near it.
constexpr int64_t kMaxFieldLength = 1 << 20;

// Hexadecimal digits for `upper` or not.
const char* HexDigits(bool upper);

// Reserves room for `length` characters of output plus the fill the width asks
// for, and writes the left fill ("0" with the zero flag unless `spacesOnly`).
// Returns where the output goes, or null when the field is too long.
WChar* BeginField(WString* target, const FormatSpec& spec, int64_t length, bool spacesOnly,
                  int64_t* fill);
// Writes the right fill after `length` characters at `out` and commits the field.
void EndField(WString* target, const FormatSpec& spec, WChar* out, int64_t length, int64_t fill);

// The conversion families. Each consumes exactly its arguments and returns 1,
// or 0 to fail the call.
int FormatInteger(WString* target, const FormatSpec& spec, FormatArguments* arguments);
int FormatCharacter(WString* target, const FormatSpec& spec, FormatArguments* arguments);
int FormatString(WString* target, const FormatSpec& spec, FormatArguments* arguments);
int FormatBytes(WString* target, const FormatSpec& spec, FormatArguments* arguments);
int FormatFloat(WString* target, const FormatSpec& spec, FormatArguments* arguments);
int FormatSize(WString* target, const FormatSpec& spec, FormatArguments* arguments);
int FormatAddress(WString* target, const FormatSpec& spec, FormatArguments* arguments);
// Takes one integer argument (64-bit with "L"/"ll") as a magnitude; for a
// signed conversion a negative value sets *negative.
uint64_t TakeMagnitude(const FormatSpec& spec, bool isSigned, FormatArguments* arguments,
                       bool* negative);
// Writes "{null}" in a field (null pointers of s, z, b, w).
int FormatNull(WString* target, const FormatSpec& spec);
