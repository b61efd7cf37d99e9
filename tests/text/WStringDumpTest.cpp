// DebugDump: lines of dumpWidth characters, continued lines marked " \",
// narrow text counted in characters, the character limit respected.
#include <gtest/gtest.h>

#include <vector>

#include "tests/text/TextTestSupport.h"
#include "text/DebugOutput.h"

namespace {

std::vector<WideString>* captured = nullptr;

void Capture(const WChar* text) { captured->push_back(WideString(text)); }

class WStringDump : public ::testing::Test {
 protected:
  void SetUp() override {
    captured = &lines;
    previous = SetDebugTextSink(Capture);
  }
  void TearDown() override {
    SetDebugTextSink(previous);
    captured = nullptr;
  }
  std::vector<WideString> lines;
  DebugTextSink previous = nullptr;
};

TEST_F(WStringDump, ShortTextIsOneLine) {
  WString s;
  s.AssignWide(WTEXT("hello"), -1);
  s.DebugDump(1000);
  ASSERT_EQ(1u, lines.size());
  EXPECT_EQ(WideString(WTEXT("hello\n")), lines[0]);
}

TEST_F(WStringDump, FullLinesAreContinuedExceptTheLast) {
  WString s;
  s.AssignWide(WideString(160, WChar('x')).c_str(), 160);
  s.DebugDump(1000);
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ(WideString(80, WChar('x')) + WTEXT(" \\\n"), lines[0]);
  EXPECT_EQ(WideString(80, WChar('x')) + WTEXT("\n"), lines[1]);
}

TEST_F(WStringDump, LimitCutsTheText) {
  WString s;
  s.AssignWide(WideString(170, WChar('y')).c_str(), 170);
  s.DebugDump(81);
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ(WideString(80, WChar('y')) + WTEXT(" \\\n"), lines[0]);
  EXPECT_EQ(WideString(WTEXT("y\n")), lines[1]);
}

TEST_F(WStringDump, NarrowTextCountsCharacters) {
  WString s;
  std::string text;
  for (int i = 0; i < 81; ++i) text += "\xC3\xA9";
  s.AssignNarrow(text.c_str(), -1, -1);
  s.DebugDump(1000);
  ASSERT_EQ(2u, lines.size());
  EXPECT_EQ(WideString(80, WChar(0xE9)) + WTEXT(" \\\n"), lines[0]);
  EXPECT_EQ(WideString(WTEXT("\u00E9\n")), lines[1]);
  EXPECT_EQ(text, NarrowOf(s));  // the visible text is untouched
}

TEST_F(WStringDump, EmptyOrZeroLimitSendsNothing) {
  WString s;
  s.DebugDump(100);
  s.AssignWide(WTEXT("abc"), -1);
  s.DebugDump(0);
  EXPECT_TRUE(lines.empty());
}

TEST_F(WStringDump, DamagedNarrowBytesShowAsReplacement) {
  WString s;
  s.AssignNarrow("a\xC3", -1, -1);
  s.DebugDump(10);
  ASSERT_EQ(1u, lines.size());
  EXPECT_EQ(WideString(WTEXT("a\uFFFD\n")), lines[0]);
}

}  // namespace
