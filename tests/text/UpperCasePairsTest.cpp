// Tests for the generated upper-case table: order, length, known rows, and
// that it holds nothing the range tests of ToUpperChar already answer.
#include "text/UpperCasePairs.h"

#include <gtest/gtest.h>

namespace {

struct Range {
  uint16_t first;
  uint16_t last;
};

// Linear lookup on purpose: independent of the ordering the table promises.
const UpperCasePair* FindLower(uint16_t lower) {
  for (int32_t i = 0; i < kUpperCasePairCount; ++i) {
    if (UpperCasePairs[i].lower == lower) return &UpperCasePairs[i];
  }
  return nullptr;
}

bool InRange(uint16_t u, const Range& r) { return r.first <= u && u <= r.last; }

TEST(UpperCasePairsShape, SortedStrictlyAscendingByLowerUnit) {
  ASSERT_GT(kUpperCasePairCount, 0);
  for (int32_t i = 1; i < kUpperCasePairCount; ++i) {
    EXPECT_LT(UpperCasePairs[i - 1].lower, UpperCasePairs[i].lower)
        << "at index " << i;
  }
}

TEST(UpperCasePairsShape, HoldsTheUnicode52MappingsOnly) {
  // Unicode 5.2 simple mappings left after the range tests; mappings that
  // arrived later (see NewerMappingsAreLeftOut) would raise this.
  EXPECT_EQ(kUpperCasePairCount, 394);
}

TEST(UpperCasePairsShape, EveryEntryChangesTheUnit) {
  for (int32_t i = 0; i < kUpperCasePairCount; ++i) {
    EXPECT_NE(UpperCasePairs[i].lower, UpperCasePairs[i].upper)
        << "at index " << i;
  }
}

TEST(UpperCasePairsRows, FirstAndLastEntries) {
  const UpperCasePair first[] = {
      {0x00F8, 0x00D8}, {0x00F9, 0x00D9}, {0x00FA, 0x00DA}, {0x00FB, 0x00DB},
      {0x00FC, 0x00DC}, {0x00FD, 0x00DD}, {0x00FE, 0x00DE}, {0x00FF, 0x0178},
  };
  const int32_t n = static_cast<int32_t>(sizeof(first) / sizeof(first[0]));
  ASSERT_GE(kUpperCasePairCount, n);
  for (int32_t i = 0; i < n; ++i) {
    EXPECT_EQ(UpperCasePairs[i].lower, first[i].lower) << "at index " << i;
    EXPECT_EQ(UpperCasePairs[i].upper, first[i].upper) << "at index " << i;
  }
  EXPECT_EQ(UpperCasePairs[kUpperCasePairCount - 1].lower, 0xA78C);
  EXPECT_EQ(UpperCasePairs[kUpperCasePairCount - 1].upper, 0xA78B);
}

TEST(UpperCasePairsRows, KnownMappings) {
  const UpperCasePair rows[] = {
      {0x0131, 0x0049},  // dotless i
      {0x017F, 0x0053},  // long s
      {0x01C5, 0x01C4},  // title-case DZ caron goes to the capital
      {0x01C6, 0x01C4},
      {0x0252, 0x2C70},  // capital partner in another block
      {0x0345, 0x0399},  // combining ypogegrammeni
      {0x03C2, 0x03A3},  // final sigma
      {0x1D79, 0xA77D},
      {0x1E9B, 0x1E60},
      {0x1F80, 0x1F88},  // ypogegrammeni letters map to title case
      {0x1FB3, 0x1FBC},
      {0x2184, 0x2183},
      {0xA641, 0xA640},
  };
  for (const UpperCasePair& row : rows) {
    const UpperCasePair* found = FindLower(row.lower);
    ASSERT_NE(found, nullptr) << std::hex << "missing 0x" << row.lower;
    EXPECT_EQ(found->upper, row.upper) << std::hex << "for 0x" << row.lower;
  }
}

TEST(UpperCasePairsRows, CyrillicAndRomanNumeralRuns) {
  // 0x0450..0x045F -> 0x0400..0x040F; 0x2170..0x217F -> 0x2160..0x216F.
  for (uint16_t u = 0x0450; u <= 0x045F; ++u) {
    const UpperCasePair* found = FindLower(u);
    ASSERT_NE(found, nullptr) << std::hex << "missing 0x" << u;
    EXPECT_EQ(found->upper, u - 0x50) << std::hex << "for 0x" << u;
  }
  for (uint16_t u = 0x2170; u <= 0x217F; ++u) {
    const UpperCasePair* found = FindLower(u);
    ASSERT_NE(found, nullptr) << std::hex << "missing 0x" << u;
    EXPECT_EQ(found->upper, u - 0x10) << std::hex << "for 0x" << u;
  }
}

TEST(UpperCasePairsExclusions, SymbolLettersAreLeftOut) {
  const uint16_t symbols[] = {0x00B5, 0x03D0, 0x03D5, 0x03D6, 0x03F0, 0x03F1};
  for (uint16_t u : symbols) {
    EXPECT_EQ(FindLower(u), nullptr) << std::hex << "found 0x" << u;
  }
}

TEST(UpperCasePairsExclusions, NewerMappingsAreLeftOut) {
  // The characters existed by 5.2 but their capitals came later (6.0-12.0),
  // or the lower-case letter itself is newer than 5.2 (0xA661, 0xA699).
  const uint16_t newer[] = {0x025C, 0x0261, 0x0265, 0x0266, 0x026A, 0x026C,
                            0x0282, 0x0287, 0x029D, 0x029E, 0x03F3, 0x1D8E,
                            0xA661, 0xA699, 0xA69B};
  for (uint16_t u : newer) {
    EXPECT_EQ(FindLower(u), nullptr) << std::hex << "found 0x" << u;
  }
}

TEST(UpperCasePairsExclusions, NothingTheRangeTestsSettle) {
  // These bounds repeat the range tests of ToUpperChar on purpose, so that
  // a generator drifting from them shows up here.
  const Range settled[] = {
      {0x0000, 0x00F6},  // ASCII and Latin-1
      {0x0430, 0x044F},  {0xFF41, 0xFF5A}, {0x0561, 0x0586},
      {0x2C30, 0x2C5E},  {0x24D0, 0x24E9}, {0x2D00, 0x2D25},
      {0x04D0, 0x1D78},  {0x2185, 0x2C60}, {0x2CEF, 0xA640},
      {0xA78D, 0xFFFF},
  };
  // In these only the odd units are settled.
  const Range settledOdd[] = {
      {0x0101, 0x012F}, {0x014B, 0x0177}, {0x01F9, 0x021F},
      {0x048B, 0x04BF}, {0x04D1, 0x0525}, {0x1E01, 0x1E95},
      {0x1EA1, 0x1EFF}, {0x2C81, 0x2CE3}, {0xA733, 0xA76F},
  };
  for (int32_t i = 0; i < kUpperCasePairCount; ++i) {
    const uint16_t u = UpperCasePairs[i].lower;
    for (const Range& r : settled) {
      EXPECT_FALSE(InRange(u, r)) << std::hex << "0x" << u << " in 0x"
                                  << r.first << "..0x" << r.last;
    }
    if (u % 2 == 1) {
      for (const Range& r : settledOdd) {
        EXPECT_FALSE(InRange(u, r)) << std::hex << "0x" << u << " in 0x"
                                    << r.first << "..0x" << r.last;
      }
    }
  }
}

}  // namespace
