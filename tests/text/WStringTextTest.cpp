// Assignment, appending and form conversion of WString: which form each
// operation accepts, what the UTF-8 codec accepts and refuses, and paths.
#include <gtest/gtest.h>

#include <string.h>

#include "tests/text/TextTestSupport.h"

namespace {

TEST(WStringForm, WideAppendOnNarrowStringFailsAndChangesNothing) {
  WString s;
  EXPECT_EQ(0, s.AppendWide(WTEXT("abc"), -1));
  EXPECT_EQ(0, s.Length());
  EXPECT_EQ(0, s.AppendChar(WChar('a')));
  EXPECT_EQ(1, s.AppendWide(WTEXT(""), -1));  // an empty text succeeds before the form check
  EXPECT_EQ(1, s.AssignWide(WTEXT("abc"), -1));
  EXPECT_EQ(1, s.AppendWide(WTEXT("de"), -1));
  EXPECT_EQ(WideString(WTEXT("abcde")), WideOf(s));
  EXPECT_EQ(0, s.AppendNarrow("x", 1, -1));
  EXPECT_EQ(WideString(WTEXT("abcde")), WideOf(s));
}

TEST(WStringForm, AppendCharLeavesTheTerminatorToItsCaller) {
  WString s;
  s.AssignWide(WTEXT("ab"), -1);
  s.AppendChar(WChar('c'));
  EXPECT_EQ(3, s.Length());
  s.Terminate();
  EXPECT_EQ(WideString(WTEXT("abc")), WideString(s.WideAt(0)));
}

TEST(WStringForm, SwitchingFormWritesAWideTerminator) {
  WString s;
  s.AssignNarrow("abcdef", -1, -1);
  s.AssignWide(WTEXT(""), 0);
  EXPECT_TRUE(s.IsWide());
  EXPECT_EQ(0u, TerminatorOf(s));
  EXPECT_EQ(0, static_cast<WChar*>(s.Terminate())[0]);
}

TEST(WStringAssign, RecordNarrowAndWide) {
  const uint8_t narrow[] = {3, 0, 0, 0x80, 'a', 'b', 'c'};
  WString s;
  EXPECT_EQ(1, s.AssignRecord(narrow));
  EXPECT_FALSE(s.IsWide());
  EXPECT_EQ("abc", NarrowOf(s));

  const uint8_t wide[] = {2, 0, 0, 0x60 /* bits 29-30 ignored */, 'h', 0, 'i', 0, 'X', 0};
  EXPECT_EQ(1, s.AssignRecord(wide));
  EXPECT_TRUE(s.IsWide());
  EXPECT_EQ(WideString(WTEXT("hi")), WideOf(s));
}

TEST(WStringAssign, RecordIsReadFromUnalignedBytes) {
  uint8_t buffer[16] = {0};
  const uint8_t record[] = {2, 0, 0, 0, 0xE9, 0, 'x', 0};
  memcpy(buffer + 1, record, sizeof record);
  WString s;
  EXPECT_EQ(1, s.AssignRecord(buffer + 1));
  EXPECT_EQ(WideString(WTEXT("\u00E9x")), WideOf(s));
}

TEST(WStringAssign, NullRecordEmptiesAndFailsKeepingTheForm) {
  WString s;
  s.AssignWide(WTEXT("abc"), -1);
  EXPECT_EQ(0, s.AssignRecord(nullptr));
  EXPECT_TRUE(s.IsWide());
  EXPECT_EQ(0, s.Length());
}

TEST(WStringAssign, AssignTakesFormAndCopiesText) {
  WString a, b;
  a.AssignNarrow("n\xC3\xA9", -1, -1);
  b.AssignWide(WTEXT("wide"), -1);
  EXPECT_EQ(1, b.Assign(&a));
  EXPECT_FALSE(b.IsWide());
  EXPECT_EQ("n\xC3\xA9", NarrowOf(b));
  EXPECT_EQ(1, b.Assign(&b));  // to itself: nothing lost
  EXPECT_EQ("n\xC3\xA9", NarrowOf(b));
}

TEST(WStringAssign, AssignAsConvertsAndNullFails) {
  WString narrow, wide, out;
  narrow.AssignNarrow("\xC3\xA9t\xC3\xA9", -1, -1);
  EXPECT_EQ(1, out.AssignAsWide(&narrow));
  EXPECT_EQ(WideString(WTEXT("\u00E9t\u00E9")), WideOf(out));
  wide.AssignWide(WTEXT("\u0142\u00F3d\u017A"), -1);
  EXPECT_EQ(1, out.AssignAsNarrow(&wide));
  EXPECT_EQ("\xC5\x82\xC3\xB3" "d\xC5\xBA", NarrowOf(out));

  EXPECT_EQ(0, out.AssignAsWide(nullptr));
  EXPECT_TRUE(out.IsWide());
  EXPECT_EQ(0, out.Length());
  EXPECT_EQ(0, out.AssignAsNarrow(nullptr));
  EXPECT_FALSE(out.IsWide());
  EXPECT_EQ(0, out.Length());
}

TEST(WStringAssign, NarrowAsWideDecodes) {
  WString s;
  EXPECT_EQ(1, s.AssignNarrowAsWide("\xE2\x82\xAC" "5", -1, 0));
  EXPECT_EQ(WideString(WTEXT("\u20AC" "5")), WideOf(s));
}

TEST(WStringAppend, MixedFormsConvert) {
  WString wide, narrow;
  wide.AssignWide(WTEXT("a"), -1);
  narrow.AssignNarrow("\xC3\xA9", -1, -1);
  EXPECT_EQ(1, wide.Append(&narrow));
  EXPECT_EQ(WideString(WTEXT("a\u00E9")), WideOf(wide));
  EXPECT_EQ(1, narrow.Append(&wide));
  EXPECT_EQ("\xC3\xA9" "a\xC3\xA9", NarrowOf(narrow));
  EXPECT_EQ(1, narrow.AppendWideText(WTEXT("\u20AC"), -1));
  EXPECT_EQ("\xC3\xA9" "a\xC3\xA9\xE2\x82\xAC", NarrowOf(narrow));
  EXPECT_EQ(0, narrow.CodePage());
  EXPECT_EQ(0, wide.Append(nullptr));
}

TEST(WStringAppend, AppendingItselfDoublesTheText) {
  WString s;
  s.AssignWide(WideString(29, WChar('k')).c_str(), 29);  // the copy must grow the block
  EXPECT_EQ(1, s.Append(&s));
  EXPECT_EQ(WideString(58, WChar('k')), WideOf(s));
}

TEST(WStringAppend, MalformedNarrowTextLeavesWideStringAsItWas) {
  WString s;
  s.AssignWide(WTEXT("keep"), -1);
  EXPECT_EQ(0, s.AppendNarrowText("ok\xC3", -1, -1));
  EXPECT_EQ(WideString(WTEXT("keep")), WideOf(s));
  EXPECT_EQ(0u, TerminatorOf(s));
}

TEST(WStringAppend, RepeatedCharactersAndBytes) {
  WString s;
  s.AssignNarrow("", 0, -1);
  EXPECT_EQ(1, s.AppendRepeated(WChar('-'), 3));  // ASCII goes to a narrow string as bytes
  EXPECT_EQ("---", NarrowOf(s));
  EXPECT_EQ(0, s.AppendRepeated(WChar(0x00E9), 2));
  EXPECT_EQ(1, s.AppendRepeated(WChar(0), 5));
  EXPECT_EQ(1, s.AppendRepeated(WChar('x'), 0));
  EXPECT_EQ(0, s.AppendRepeated(WChar('x'), -1));
  EXPECT_EQ("---", NarrowOf(s));

  WString w;
  w.AssignWide(WTEXT(""), 0);
  EXPECT_EQ(1, w.AppendRepeatedByte('=', 2));
  EXPECT_EQ(0, w.AppendRepeatedByte(0xC3, 1));
  EXPECT_EQ(WideString(WTEXT("==")), WideOf(w));
}

TEST(WStringAppend, NewlineInEachForm) {
  WString wide, narrow;
  wide.AssignWide(WTEXT("a"), -1);
  narrow.AssignNarrow("a", -1, -1);
  wide.AppendNewline();
  narrow.AppendNewline();
  EXPECT_EQ(WideString(WTEXT("a\r\n")), WideOf(wide));
  EXPECT_EQ("a\r\n", NarrowOf(narrow));
}

TEST(WStringSuffix, AppendsOnlyWhenMissing) {
  WString s;
  s.AssignWide(WTEXT("C:\\"), -1);
  EXPECT_EQ(1, s.EnsureSuffix(WTEXT("\\"), 1));
  EXPECT_EQ(WideString(WTEXT("C:\\")), WideOf(s));
  s.AssignWide(WTEXT("C:/"), -1);
  EXPECT_EQ(1, s.EnsureSuffix(WTEXT("\\"), 1));
  EXPECT_EQ(WideString(WTEXT("C:/\\")), WideOf(s));
  EXPECT_EQ(0, s.EnsureSuffix(nullptr, 1));
  EXPECT_EQ(0, s.EnsureSuffix(WTEXT(""), -1));
}

TEST(WStringSuffix, CrossFormSuffixesConvert) {
  WString narrow;
  narrow.AssignNarrow("caf\xC3\xA9", -1, -1);
  EXPECT_EQ(1, narrow.EnsureSuffix(WTEXT("\u00E9"), -1));
  EXPECT_EQ("caf\xC3\xA9", NarrowOf(narrow));
  EXPECT_EQ(1, narrow.EnsureSuffix(WTEXT(".txt"), -1));
  EXPECT_EQ("caf\xC3\xA9.txt", NarrowOf(narrow));

  WString wide;
  wide.AssignWide(WTEXT("caf\u00E9"), -1);
  EXPECT_EQ(1, wide.EnsureSuffixNarrow("\xC3\xA9", -1));
  EXPECT_EQ(WideString(WTEXT("caf\u00E9")), WideOf(wide));
  EXPECT_EQ(0, wide.EnsureSuffixNarrow("\xC3", -1));
  EXPECT_EQ(WideString(WTEXT("caf\u00E9")), WideOf(wide));
}

struct PathCase {
  const char* base;
  const char* component;
  const char* expected;
};

TEST(WStringPath, ComponentJoinsWithOneBackslash) {
  const PathCase cases[] = {
      {"C:", "/x", "C:\\x"},        {"C:\\", "/x", "C:\\x"},     {"C:\\", "x", "C:\\x"},
      {"C:", "", "C:\\"},           {"C:\\", "", "C:\\"},        {"C:\\a", "\\b\\c", "C:\\a\\b\\c"},
      {"C:", "//x", "C:\\/x"},      {"", "x", "\\x"},            {"C:/", "x", "C:/\\x"},
  };
  for (const PathCase& c : cases) {
    WString wide, narrow, component;
    component.AssignNarrowAsWide(c.component, -1, 0);
    wide.AssignNarrowAsWide(c.base, -1, 0);
    EXPECT_EQ(1, wide.AppendPathComponent(component.WideAt(0), component.Length()));
    wide.ToNarrow(-1);
    EXPECT_EQ(c.expected, NarrowOf(wide)) << c.base << " + " << c.component;
    narrow.AssignNarrow(c.base, -1, -1);
    EXPECT_EQ(1, narrow.AppendPathComponentNarrow(c.component, -1));
    EXPECT_EQ(c.expected, NarrowOf(narrow)) << c.base << " + " << c.component;
  }
}

TEST(WStringPath, CrossFormComponentsConvert) {
  WString wide;
  wide.AssignWide(WTEXT("C:"), -1);
  EXPECT_EQ(1, wide.AppendPathComponentNarrow("/\xC5\x81\xC3\xB3" "d\xC5\xBA", -1));
  EXPECT_EQ(WideString(WTEXT("C:\\\u0141\u00F3d\u017A")), WideOf(wide));
  WString narrow;
  narrow.AssignNarrow("C:", -1, -1);
  EXPECT_EQ(1, narrow.AppendPathComponent(WTEXT("\\\u00E9"), -1));
  EXPECT_EQ("C:\\\xC3\xA9", NarrowOf(narrow));
  EXPECT_EQ(1, narrow.AppendPathComponent(nullptr, 0));
  EXPECT_EQ("C:\\\xC3\xA9\\", NarrowOf(narrow));
}

TEST(WStringPath, MalformedComponentIsReportedNotAppended) {
  WString wide;
  wide.AssignWide(WTEXT("C:"), -1);
  EXPECT_EQ(0, wide.AppendPathComponentNarrow("x\xC3", -1));
  EXPECT_EQ(WideString(WTEXT("C:\\")), WideOf(wide));
}

TEST(WStringConvert, EAcuteRoundTrips) {
  WString s;
  s.AssignWide(WTEXT("\u00E9"), -1);
  ASSERT_NE(nullptr, s.ToNarrow(-1));
  EXPECT_FALSE(s.IsWide());
  EXPECT_EQ("\xC3\xA9", NarrowOf(s));
  ASSERT_NE(nullptr, s.ToWide(-1));
  EXPECT_TRUE(s.IsWide());
  EXPECT_EQ(WideString(WTEXT("\u00E9")), WideOf(s));
}

TEST(WStringConvert, MalformedNarrowStaysNarrow) {
  WString s;
  s.AssignNarrow("\xC3", 1, -1);
  EXPECT_EQ(nullptr, s.ToWide(-1));
  EXPECT_FALSE(s.IsWide());
  EXPECT_EQ("\xC3", NarrowOf(s));
}

TEST(WStringConvert, EncodesUnitsOneByOne) {
  // A surrogate pair becomes two three-byte sequences; a zero unit a zero byte.
  const WChar units[] = {0x0041, 0x0000, 0x07FF, 0x0800, 0xD83D, 0xDE00};
  WString s;
  s.AssignWide(units, 6);
  s.ToNarrow(-1);
  EXPECT_EQ(std::string("A\0\xDF\xBF\xE0\xA0\x80\xED\xA0\xBD\xED\xB8\x80", 13), NarrowOf(s));
  ASSERT_NE(nullptr, s.ToWide(-1));
  EXPECT_EQ(WideString(units, 6), WideOf(s));
}

TEST(WStringConvert, DecoderRefusesWhatItCannotRepresent) {
  const char* refused[] = {
      "\x80",              // continuation byte as lead
      "a\xBF",             // continuation byte later on
      "\xF0\x9F\x98\x80",  // four-byte sequence
      "\xF8\x88\x80\x80",  // five-byte lead
      "\xFF",              //
      "\xC3" "A",          // second byte not a continuation
      "\xE2\x82",          // cut off by the end
      "\xE2\x82" "A",      // third byte not a continuation
  };
  for (const char* text : refused) {
    WString s;
    s.AssignWide(WTEXT("x"), -1);
    EXPECT_EQ(0, s.AppendNarrowText(text, -1, -1)) << text;
    EXPECT_EQ(WideString(WTEXT("x")), WideOf(s));
  }
}

TEST(WStringConvert, MalformedTextIntoABlocklessStringFails) {
  WString s;
  s.AssignWide(WTEXT(""), 0);
  EXPECT_EQ(0, s.AppendNarrowText("\x80", 1, 0));
  EXPECT_EQ(nullptr, s.Block());
  WString n;
  n.AssignNarrow("\xBF", 1, -1);
  EXPECT_EQ(nullptr, n.ToWide(-1));
}

TEST(WStringConvert, OverlongFormsDecodeAsTheyAre) {
  WString s;
  EXPECT_EQ(1, s.AssignNarrowAsWide("\xC1\x81\xE0\x81\x82", -1, 0));
  const WChar expected[] = {0x0041, 0x0042};
  EXPECT_EQ(WideString(expected, 2), WideOf(s));
}

TEST(WStringConvert, EmptyWideBecomesNarrow) {
  WString s;
  s.AssignWide(WTEXT(""), 0);
  ASSERT_NE(nullptr, s.ToNarrow(-1));
  EXPECT_FALSE(s.IsWide());
  EXPECT_EQ(0, s.Length());
}

TEST(WStringConvert, LongTextConvertsBothWays) {
  WideString text;
  for (int i = 0; i < 5000; ++i) text.push_back(static_cast<WChar>(0x20 + (i * 37) % 0xD7E0));
  WString s;
  s.AssignWide(text.c_str(), static_cast<int32_t>(text.size()));
  ASSERT_NE(nullptr, s.ToNarrow(-1));
  ASSERT_NE(nullptr, s.ToWide(-1));
  EXPECT_EQ(text, WideOf(s));
}

}  // namespace
