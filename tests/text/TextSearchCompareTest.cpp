// Search, length-first comparison and upper-case mapping: the free primitives
// and the WString members that convert their argument through scratch.
#include <gtest/gtest.h>

#include <stdint.h>

#include "tests/text/TextTestSupport.h"
#include "text/TextPrimitives.h"

namespace {

TEST(TextLength, CountsUpToTheFirstZero) {
  EXPECT_EQ(0, NarrowLength(nullptr));
  EXPECT_EQ(3, NarrowLength("abc"));
  EXPECT_EQ(0, WideLength(nullptr));
  EXPECT_EQ(2, WideLength(WTEXT("ab\0cd")));
}

TEST(TextSearchPrimitives, InvalidArgumentsGiveMinusOne) {
  EXPECT_EQ(-1, FindByteLast(nullptr, 'a', 3, 0));
  EXPECT_EQ(-1, FindByteLast("abc", 'a', 0, 0));
  EXPECT_EQ(-1, FindByteLast("abc", 'a', 3, -1));
  EXPECT_EQ(-1, FindByteLast("abc", 'c', 3, 3));
  EXPECT_EQ(-1, FindBytesForward("abc", nullptr, 3, 1, 0));
  EXPECT_EQ(-1, FindBytesForward("abc", "", 3, 0, 0));
  EXPECT_EQ(-1, FindBytesForward("abc", "bc", 3, 2, 2));       // 3 < 2 + 2
  EXPECT_EQ(-1, FindBytesForward("abc", "c", 3, 1, INT32_MAX));  // no wrap-around
  EXPECT_EQ(-1, FindBytesBackward("abc", "abcd", 3, 4, 0));
  EXPECT_EQ(-1, FindUnitsForward(WTEXT("abc"), WTEXT("c"), 3, 1, -1));
}

TEST(TextSearchPrimitives, ForwardBackwardAndLast) {
  const char* text = "abcabcab";
  EXPECT_EQ(0, FindBytesForward(text, "ab", 8, 2, 0));
  EXPECT_EQ(3, FindBytesForward(text, "ab", 8, 2, 1));
  EXPECT_EQ(6, FindBytesForward(text, "ab", 8, 2, 4));
  EXPECT_EQ(6, FindBytesBackward(text, "ab", 8, 2, 0));
  EXPECT_EQ(-1, FindBytesBackward(text, "ca", 8, 2, 6));
  EXPECT_EQ(5, FindBytesBackward(text, "ca", 8, 2, 5));
  EXPECT_EQ(7, FindByteLast(text, 'b', 8, 0));
  EXPECT_EQ(5, FindByteLast(text, 'c', 8, 2));
  EXPECT_EQ(2, FindByteLast(text, 'c', 5, 1));
  EXPECT_EQ(-1, FindByteLast(text, 'c', 8, 6));
  EXPECT_EQ(3, FindUnitLast(WTEXT("hello"), WChar('l'), 5, 0));
  EXPECT_EQ(2, FindUnitsForward(WTEXT("hello"), WTEXT("ll"), -1, -1, 0));
}

TEST(TextSearchPrimitives, BytesAreMatchedAsUnsigned) {
  const char text[] = {'a', '\xE9', 'b', '\xE9', 0};
  EXPECT_EQ(3, FindByteLast(text, 0xE9, 4, 0));
  EXPECT_EQ(1, FindBytesForwardMeasured(text, "\xE9", -1, -1, 0));
}

TEST(TextSearchPrimitives, MeasuredFormsMeasureNegativeLengths) {
  EXPECT_EQ(4, FindByteLastMeasured("hello", 'o', -1, 0));
  EXPECT_EQ(-1, FindByteLastMeasured(nullptr, 'o', -1, 0));
  EXPECT_EQ(1, FindBytesForwardMeasured("hello", "el", -1, -1, 0));
  EXPECT_EQ(3, FindBytesBackwardMeasured("hello", "l", -1, -1, 0));
  EXPECT_EQ(0, CompareBytesMeasured("ab", "ab", -1, -1));
  EXPECT_EQ(1, CompareBytesMeasured("ab", nullptr, -1, 7));
}

TEST(TextCompare, LengthFirstThenUnsignedContent) {
  EXPECT_EQ(-1, CompareBytes("b", "aa", 1, 2));
  EXPECT_EQ(1, CompareBytes("ab", "aa", 2, 2));
  EXPECT_EQ(0, CompareBytes(nullptr, "", 0, 0));
  EXPECT_EQ(-1, CompareBytes(nullptr, "a", 5, 1));
  EXPECT_EQ(1, CompareBytes("a", "", 1, 0));
  EXPECT_EQ(1, CompareBytes("\x80", "\x7F", 1, 1));
  EXPECT_EQ(1, CompareUnits(WTEXT("\uFFFF"), WTEXT("a"), 1, 1));
  EXPECT_EQ(0, CompareUnits(WTEXT("same"), WTEXT("same"), -1, -1));
}

TEST(WStringCompare, MembersOrderByLengthFirst) {
  WString wide, narrow;
  wide.AssignWide(WTEXT("b"), -1);
  narrow.AssignNarrow("b", -1, -1);
  for (WString* s : {&wide, &narrow}) {
    EXPECT_EQ(-1, s->CompareWide(WTEXT("aa"), -1));
    EXPECT_EQ(-1, s->CompareNarrow("aa", -1));
    EXPECT_EQ(1, s->CompareWide(WTEXT("a"), -1));
    EXPECT_EQ(0, s->CompareWide(WTEXT("b"), -1));
    EXPECT_EQ(1, s->CompareWide(nullptr, -1));
    EXPECT_EQ(1, s->CompareNarrow("", -1));
  }
  wide.AssignWide(WTEXT("ab"), -1);
  EXPECT_EQ(1, wide.CompareWide(WTEXT("aa"), -1));
  WString empty;
  EXPECT_EQ(0, empty.CompareWide(WTEXT(""), -1));
  EXPECT_EQ(0, empty.CompareNarrow(nullptr, 3));
  EXPECT_EQ(-1, empty.CompareWide(WTEXT("a"), -1));
}

TEST(WStringCompare, CrossFormComparesConvertedText) {
  WString narrow;
  narrow.AssignNarrow("\xC3\xA9", -1, -1);
  EXPECT_EQ(0, narrow.CompareWide(WTEXT("\u00E9"), -1));
  // Two bytes of UTF-8 against the three of U+20AC: shorter sorts first.
  EXPECT_EQ(-1, narrow.CompareWide(WTEXT("\u20AC"), -1));
  WString wide;
  wide.AssignWide(WTEXT("\u00E9"), -1);
  EXPECT_EQ(0, wide.CompareNarrow("\xC3\xA9", -1));
  EXPECT_EQ(0, wide.CompareNarrow("\xC3", -1));  // malformed: 0
}

TEST(WStringFind, FindWideInBothForms) {
  WString s;
  s.AssignWide(WTEXT("hello"), -1);
  EXPECT_EQ(3, s.FindWide(WTEXT("lo"), 0, -1));
  EXPECT_EQ(-1, s.FindWide(WTEXT("lo"), 4, -1));
  EXPECT_EQ(-1, s.FindWide(WTEXT("lo"), 5, -1));
  EXPECT_EQ(-1, s.FindWide(WTEXT("lo"), -1, -1));
  EXPECT_EQ(-1, s.FindWide(nullptr, 0, -1));
  EXPECT_EQ(-1, s.FindWide(WTEXT(""), 0, -1));
  EXPECT_EQ(2, s.FindWide(WTEXT("lo"), 0, 1));

  WString narrow;
  narrow.AssignNarrow("caf\xC3\xA9 \xC3\xA9t\xC3\xA9", -1, -1);
  EXPECT_EQ(3, narrow.FindWide(WTEXT("\u00E9"), 0, -1));  // byte index
  EXPECT_EQ(6, narrow.FindWide(WTEXT("\u00E9t"), 0, -1));
  WString empty;
  EXPECT_EQ(-1, empty.FindWide(WTEXT("a"), 0, -1));
}

TEST(WStringFind, FindNarrowInBothForms) {
  WString wide;
  wide.AssignWide(WTEXT("caf\u00E9 \u00E9t\u00E9"), -1);
  EXPECT_EQ(3, wide.FindNarrow("\xC3\xA9", 0, -1));
  EXPECT_EQ(5, wide.FindNarrow("\xC3\xA9", 4, -1));  // unit index
  EXPECT_EQ(-1, wide.FindNarrow("\xC3", 0, -1));       // malformed needle
  WString narrow;
  narrow.AssignNarrow("abcabc", -1, -1);
  EXPECT_EQ(3, narrow.FindNarrow("abc", 1, -1));
  EXPECT_EQ(-1, narrow.FindNarrow("abc", 4, -1));
}

TEST(WStringFind, FindLastChar) {
  WString s;
  s.AssignWide(WTEXT("hello"), -1);
  EXPECT_EQ(3, s.FindLastChar(WChar('l'), 0));
  EXPECT_EQ(-1, s.FindLastChar(WChar('l'), 4));
  WString narrow;
  narrow.AssignNarrow("\xC3\xA9" "a\xC3\xA9" "b", -1, -1);
  EXPECT_EQ(3, narrow.FindLastChar(WChar(0x00E9), 0));
  EXPECT_EQ(-1, narrow.FindLastChar(WChar(0x00E9), 4));
  EXPECT_EQ(2, narrow.FindLastChar(WChar('a'), 0));
  WString empty;
  EXPECT_EQ(-1, empty.FindLastChar(WChar('a'), 0));
}

struct UpperCase {
  uint16_t in;
  uint16_t out;
};

TEST(TextCaseMapping, RangeRulesAndTable) {
  const UpperCase cases[] = {
      {'a', 'A'},       {'z', 'Z'},       {'A', 'A'},       {'{', '{'},       {0x00E0, 0x00C0},
      {0x00F6, 0x00D6}, {0x00F7, 0x00F7}, {0x00F8, 0x00D8}, {0x00DF, 0x00DF}, {0x00B5, 0x00B5},
      {0x00FF, 0x0178}, {0x0101, 0x0100}, {0x0100, 0x0100}, {0x0131, 0x0049}, {0x017F, 0x0053},
      {0x01C6, 0x01C4}, {0x0252, 0x2C70}, {0x03B1, 0x0391}, {0x03D0, 0x03D0}, {0x0430, 0x0410},
      {0x0451, 0x0401}, {0x045F, 0x040F}, {0x0561, 0x0531}, {0x04D1, 0x04D0}, {0x1D79, 0xA77D},
      {0x1E01, 0x1E00}, {0x1F80, 0x1F88}, {0x2170, 0x2160}, {0x24D0, 0x24B6}, {0x2C30, 0x2C00},
      {0x2D00, 0x10A0}, {0xA641, 0xA640}, {0xA78C, 0xA78B}, {0xA78D, 0xA78D}, {0xFF41, 0xFF21},
      {0xD83D, 0xD83D}, {0xFFFF, 0xFFFF},
  };
  for (const UpperCase& c : cases) {
    EXPECT_EQ(c.out, static_cast<uint16_t>(ToUpperChar(static_cast<WChar>(c.in))))
        << std::hex << c.in;
  }
}

TEST(TextCaseMapping, NoUnitMapsToASurrogateOrZero) {
  for (uint32_t u = 1; u <= 0xFFFF; ++u) {
    uint16_t upper = static_cast<uint16_t>(ToUpperChar(static_cast<WChar>(u)));
    bool surrogate = upper >= 0xD800 && upper <= 0xDFFF;
    bool wasSurrogate = u >= 0xD800 && u <= 0xDFFF;
    ASSERT_NE(0, upper) << std::hex << u;
    ASSERT_TRUE(!surrogate || wasSurrogate) << std::hex << u;
  }
}

TEST(WStringUpper, NarrowStaysUtf8AndSharpSStays) {
  WString s;
  s.AssignNarrow("stra\xC3\x9F" "e", -1, -1);
  EXPECT_EQ(1, s.ToUpper());
  EXPECT_FALSE(s.IsWide());
  EXPECT_EQ("STRA\xC3\x9F" "E", NarrowOf(s));
  s.AssignNarrow("\xC5\x82\xC3\xB3" "d\xC5\xBA", -1, -1);
  EXPECT_EQ(1, s.ToUpper());
  EXPECT_EQ("\xC5\x81\xC3\x93" "D\xC5\xB9", NarrowOf(s));
}

TEST(WStringUpper, WideAndMalformed) {
  WString s;
  s.AssignWide(WTEXT("za\u017C\u00F3\u0142\u0107"), -1);
  EXPECT_EQ(1, s.ToUpper());
  EXPECT_EQ(WideString(WTEXT("ZA\u017B\u00D3\u0141\u0106")), WideOf(s));
  s.AssignNarrow("ab\xC3", -1, -1);
  EXPECT_EQ(0, s.ToUpper());
  EXPECT_EQ("ab\xC3", NarrowOf(s));
  WString empty;
  EXPECT_EQ(1, empty.ToUpper());
  empty.AssignWide(WTEXT(""), 0);
  EXPECT_EQ(1, empty.ToUpper());
}

}  // namespace
