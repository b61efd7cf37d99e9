// Storage of WString: the block, growth in granules, the front drop,
// SetLength after direct writes, and the terminator kept after the text.
#include <gtest/gtest.h>

#include <string.h>

#include "tests/text/TextTestSupport.h"

namespace {

TEST(WStringConstruction, DefaultIsEmptyNarrowAndBlockless) {
  WString s;
  EXPECT_FALSE(s.IsWide());
  EXPECT_EQ(0, s.Length());
  EXPECT_EQ(0, s.CodePage());
  EXPECT_EQ(nullptr, s.Block());
  ASSERT_NE(nullptr, s.WideAt(0));
  EXPECT_EQ(0, s.WideAt(0)[0]);
  ASSERT_NE(nullptr, s.NarrowAt(0));
  EXPECT_EQ(0, s.NarrowAt(0)[0]);
  EXPECT_EQ(nullptr, s.Terminate());
  EXPECT_EQ(0, s.SetLength(3));
  EXPECT_EQ(0, s.Capacity());
}

TEST(WStringConstruction, RepeatedCharacterIsWide) {
  WString s(WChar('x'), 3);
  EXPECT_TRUE(s.IsWide());
  EXPECT_EQ(WideString(WTEXT("xxx")), WideOf(s));
  WString none(WChar('x'), 0);
  EXPECT_TRUE(none.IsWide());
  EXPECT_EQ(nullptr, none.Block());
}

TEST(WStringConstruction, AccessorsClampAndNeverReturnNull) {
  WString s;
  s.AssignWide(WTEXT("hello"), -1);
  EXPECT_EQ(WideString(WTEXT("llo")), WideString(s.WideAt(2)));
  EXPECT_EQ(0, s.WideAt(99)[0]);            // clamped to the terminator
  EXPECT_EQ(0, s.WideAt(-1)[0]);            // the shared empty text
  EXPECT_EQ(0, s.NarrowAt(0)[0]);           // wrong form
  EXPECT_NE(s.WideAt(99), s.WideAt(-1));    // the first lies in the block
}

TEST(WStringGrowth, WideTextGrowsInGranules) {
  WString s;
  s.AssignWide(WTEXT(""), 0);
  s.AppendRepeated(WChar('a'), 29);
  EXPECT_EQ(64, s.BlockSize());
  EXPECT_EQ(29, s.Capacity());
  s.AppendChar(WChar('b'));
  s.Terminate();
  EXPECT_EQ(128, s.BlockSize());
  EXPECT_EQ(WideString(29, WChar('a')) + WTEXT("b"), WideOf(s));
}

TEST(WStringGrowth, FirstAppendOfThirtyWideCharactersTakesTwoGranules) {
  WString s;
  s.AssignWide(WideString(30, WChar('q')).c_str(), 30);
  EXPECT_EQ(128, s.BlockSize());
}

TEST(WStringGrowth, NarrowTextFitsFiftyNineBytesInOneGranule) {
  WString s;
  s.AssignNarrow(std::string(59, 'n').c_str(), 59, -1);
  EXPECT_EQ(64, s.BlockSize());
  s.AppendNarrow("m", 1, -1);
  EXPECT_EQ(128, s.BlockSize());
  EXPECT_EQ(std::string(59, 'n') + "m", NarrowOf(s));
}

TEST(WStringGrowth, GrowsByAtLeastHalfTheLength) {
  WString s;
  s.AssignWide(WideString(61, WChar('z')).c_str(), 61);
  ASSERT_EQ(128, s.BlockSize());
  // 62 needed, but the block grows to hold 61 + 30 characters: 4 + 92 * 2 bytes.
  s.AppendChar(WChar('z'));
  EXPECT_EQ(192, s.BlockSize());
}

TEST(WStringGrowth, ReserveOfNegativeOrSmallerKeepsBlock) {
  WString s;
  s.AssignWide(WTEXT("abc"), -1);
  const uint8_t* block = s.Block();
  EXPECT_EQ(1, s.Reserve(-5));
  EXPECT_EQ(1, s.Reserve(2));
  EXPECT_EQ(1, s.EnsureRoom(0));
  EXPECT_EQ(block, s.Block());
  EXPECT_EQ(WideString(WTEXT("abc")), WideOf(s));
}

TEST(WStringDropFront, DropsWithoutMovingMemory) {
  WString s;
  s.AssignNarrow("abcdef", -1, -1);
  const char* before = s.NarrowAt(0);
  EXPECT_EQ(1, s.DropFront(2));
  EXPECT_EQ("cdef", NarrowOf(s));
  EXPECT_EQ(before + 2, s.NarrowAt(0));
  EXPECT_EQ(2, s.Start());
}

TEST(WStringDropFront, LaterGrowthMovesTextToTheFront) {
  WString s;
  s.AssignNarrow("abcdef", -1, -1);
  s.DropFront(2);
  s.AppendNarrow(std::string(70, 'x').c_str(), 70, -1);
  EXPECT_EQ(0, s.Start());
  EXPECT_EQ("cdef" + std::string(70, 'x'), NarrowOf(s));
  EXPECT_EQ(0u, TerminatorOf(s));
}

TEST(WStringDropFront, ReserveCompactsWhenTheFrontUsesTheRoom) {
  WString s;
  s.AssignWide(WideString(20, WChar('a')).c_str(), 20);  // 64-byte block, capacity 29
  s.DropFront(15);                                        // capacity now 14
  ASSERT_EQ(14, s.Capacity());
  EXPECT_EQ(1, s.Reserve(25));  // fits the block once the text is at the front
  EXPECT_EQ(64, s.BlockSize());
  EXPECT_EQ(0, s.Start());
  EXPECT_EQ(WideString(5, WChar('a')), WideOf(s));
  EXPECT_EQ(0u, TerminatorOf(s));
}

TEST(WStringDropFront, NonPositiveFailsAndLargeEmpties) {
  WString s;
  s.AssignWide(WTEXT("abc"), -1);
  EXPECT_EQ(0, s.DropFront(0));
  EXPECT_EQ(0, s.DropFront(-1));
  EXPECT_EQ(3, s.Length());
  EXPECT_EQ(1, s.DropFront(1));
  EXPECT_EQ(1, s.DropFront(10));
  EXPECT_EQ(0, s.Length());
  EXPECT_EQ(0, s.Start());
}

TEST(WStringSetLength, MeasuresAfterDirectWrite) {
  WString s;
  WChar* out = s.ReserveWide(10);
  ASSERT_NE(nullptr, out);
  const WChar written[4] = {'a', 'b', 'c', 0};
  memcpy(out, written, sizeof written);
  EXPECT_EQ(1, s.SetLength(-1));
  EXPECT_EQ(3, s.Length());
  EXPECT_EQ(WideString(WTEXT("abc")), WideOf(s));
}

TEST(WStringSetLength, NoZeroWithinCapacityGivesEmpty) {
  WString s;
  WChar* out = s.ReserveWide(10);
  ASSERT_NE(nullptr, out);
  for (int i = 0; i < s.Capacity(); ++i) out[i] = 'x';
  EXPECT_EQ(1, s.SetLength(-1));
  EXPECT_EQ(0, s.Length());
  EXPECT_EQ(0u, TerminatorOf(s));
}

TEST(WStringSetLength, ClampsToCapacityAndTerminates) {
  WString s;
  char* out = s.ReserveNarrow(5);
  ASSERT_NE(nullptr, out);
  memset(out, 'y', static_cast<size_t>(s.Capacity()) + 1);  // capacity plus the terminator slot
  EXPECT_EQ(1, s.SetLength(1000));
  EXPECT_EQ(s.Capacity(), s.Length());
  EXPECT_EQ(0u, TerminatorOf(s));
}

TEST(WStringSetLength, ZeroLengthResetsStart) {
  WString s;
  s.AssignNarrow("abcdef", -1, -1);
  s.DropFront(3);
  EXPECT_EQ(1, s.SetLength(0));
  EXPECT_EQ(0, s.Start());
}

TEST(WStringReserve, ReserveWideSwitchesFormAndKeepsText) {
  WString s;
  s.AssignNarrow("ab", -1, -1);
  WChar* out = s.ReserveWide(4);
  ASSERT_NE(nullptr, out);
  EXPECT_TRUE(s.IsWide());
  EXPECT_EQ(s.WideAt(0) + 2, out);
  out[0] = 'c';
  s.SetLength(3);
  EXPECT_EQ(WideString(WTEXT("abc")), WideOf(s));
}

TEST(WStringReserve, ReserveWideOfMalformedNarrowFails) {
  WString s;
  s.AssignNarrow("\xC3", 1, -1);
  EXPECT_EQ(nullptr, s.ReserveWide(4));
  EXPECT_FALSE(s.IsWide());
}

TEST(WStringReserve, ReserveNarrowGivesAWritableBlockEvenForZero) {
  WString s;
  char* out = s.ReserveNarrow(0);
  ASSERT_NE(nullptr, out);
  EXPECT_FALSE(s.IsWide());
  EXPECT_NE(nullptr, s.Terminate());
}

}  // namespace
