// The upper-case table: simple upper-case mappings of UTF-16 code units that
// the range rules of ToUpperChar do not settle, sorted by the lower-case unit.
#pragma once

#include <stdint.h>

struct UpperCasePair {
  uint16_t lower;
  uint16_t upper;
};

// Generated from the Unicode Character Database (see tools/gen_upper_case_pairs.py).
extern const UpperCasePair UpperCasePairs[];
extern const int32_t kUpperCasePairCount;
