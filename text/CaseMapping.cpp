// Upper-case mapping of UTF-16 code units: range rules for the common scripts,
// then a bisection over the generated table for everything else.
#include "text/TextPrimitives.h"
#include "text/UpperCasePairs.h"

namespace {

struct UnitRange {
  uint16_t first;
  uint16_t last;
};

// Blocks where each odd unit is the lower-case partner of the even unit below it.
constexpr UnitRange kAlternatingBlocks[] = {
    {0x0101, 0x012F}, {0x014B, 0x0177}, {0x01F9, 0x021F}, {0x048B, 0x04BF}, {0x04D1, 0x0525},
    {0x1E01, 0x1E95}, {0x1EA1, 0x1EFF}, {0x2C81, 0x2CE3}, {0xA733, 0xA76F},
};

// Stretches without lower-case letters that the table does not cover.
constexpr UnitRange kUncasedStretches[] = {
    {0x04D0, 0x1D78}, {0x2185, 0x2C60}, {0x2CEF, 0xA640},
};

inline bool InRange(uint32_t u, uint32_t first, uint32_t last) { return u >= first && u <= last; }

uint16_t LookUpPair(uint16_t u) {
  int32_t lo = 0;
  int32_t hi = kUpperCasePairCount - 1;
  while (lo <= hi) {
    int32_t mid = (lo + hi) / 2;
    uint16_t key = UpperCasePairs[mid].lower;
    if (key == u) return UpperCasePairs[mid].upper;
    if (key < u) lo = mid + 1;
    else hi = mid - 1;
  }
  return u;
}

}  // namespace

WChar ToUpperChar(WChar unit) {
  uint32_t u = static_cast<uint16_t>(unit);
  if (u < 0x61) return unit;
  if (u <= 0x7A) return static_cast<WChar>(u - 0x20);
  if (u < 0xE0) return unit;
  if (u <= 0xF6) return static_cast<WChar>(u - 0x20);
  if (InRange(u, 0x430, 0x44F) || InRange(u, 0xFF41, 0xFF5A)) return static_cast<WChar>(u - 0x20);
  if ((u & 1) != 0) {
    for (const UnitRange& block : kAlternatingBlocks) {
      if (InRange(u, block.first, block.last)) return static_cast<WChar>(u - 1);
    }
  }
  if (InRange(u, 0x561, 0x586) || InRange(u, 0x2C30, 0x2C5E)) return static_cast<WChar>(u - 0x30);
  if (InRange(u, 0x24D0, 0x24E9)) return static_cast<WChar>(u - 0x1A);
  if (InRange(u, 0x2D00, 0x2D25)) return static_cast<WChar>(u - 0x1C60);
  for (const UnitRange& stretch : kUncasedStretches) {
    if (InRange(u, stretch.first, stretch.last)) return unit;
  }
  if (u > 0xA78C) return unit;
  return static_cast<WChar>(LookUpPair(static_cast<uint16_t>(u)));
}
