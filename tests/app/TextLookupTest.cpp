// Text lookup through the application object: the order of the tables, the
// language switch, both record forms, and the string table's own checks.

#include <gtest/gtest.h>

#include "app/InstallerApp.h"
#include "payload/StringTable.h"
#include "tests/app/doubles/CallScript.h"
#include "tests/app/support/InstallerAppProbe.h"
#include "tests/app/support/TableImage.h"
#include "text/Memory.h"
#include "text/WString.h"

namespace {

using P = InstallerAppProbe;

class TextLookup : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetCallScript();
    ASSERT_TRUE(AttachImage(BuildTable({Wide(10, u"common 10"), Wide(20, u"common 20")}),
                            P::commonTable(app)));
    ASSERT_TRUE(AttachImage(BuildTable({Wide(20, u"english 20"), Wide(30, u"english 30")}),
                            P::languageTable(app, 0)));
    ASSERT_TRUE(AttachImage(BuildTable({Wide(20, u"polski 20")}), P::languageTable(app, 1)));
    ASSERT_TRUE(AttachImage(BuildTable({Wide(10, u"supplementary 10"), Wide(40, u"supp 40")}),
                            P::supplementaryTable(app)));
  }
  std::u16string load(uint32_t id, int expectedResult = 1) {
    WString out;
    EXPECT_EQ(expectedResult, app.loadText(id, out)) << "id " << id;
    EXPECT_TRUE(out.IsWide()) << "id " << id;
    return WideOf(out);
  }
  InstallerApp app;
};

TEST_F(TextLookup, LanguageTableWinsThenCommonThenSupplementary) {
  EXPECT_EQ(u"english 20", load(20));
  EXPECT_EQ(u"english 30", load(30));
  EXPECT_EQ(u"common 10", load(10));
  EXPECT_EQ(u"supp 40", load(40));
}

TEST_F(TextLookup, SwitchingTheLanguageSwitchesTheFirstTable) {
  ASSERT_EQ(1, app.setLanguageIndex(1));
  EXPECT_EQ(u"polski 20", load(20));
  EXPECT_EQ(u"common 10", load(10));
  // Language 1 lacks 30; the other language's table is not searched.
  EXPECT_EQ(u"", load(30, 0));
}

TEST_F(TextLookup, AMissingIdEmptiesTheOutputAndReturnsZero) {
  WString out;
  ASSERT_EQ(1, app.loadText(10, out));
  EXPECT_EQ(0, app.loadText(99, out));
  EXPECT_TRUE(out.IsEmpty());
}

TEST_F(TextLookup, BaseSearchLeavesOutTheSupplementaryTable) {
  EXPECT_NE(nullptr, app.findText(40));
  EXPECT_EQ(nullptr, app.AppBase::findText(40));
  EXPECT_EQ(app.AppBase::findText(20), app.findText(20));
}

TEST_F(TextLookup, ReleaseTablesEmptiesAllFourTables) {
  app.releaseTables();
  EXPECT_EQ(nullptr, app.findText(10));
  EXPECT_EQ(nullptr, app.findText(20));
  EXPECT_EQ(nullptr, app.findText(40));
}

TEST(TextLookupForms, NarrowAndWideRecordsLoadAsTheSameWideText) {
  ResetCallScript();
  InstallerApp app;
  ASSERT_TRUE(AttachImage(BuildTable({Narrow(1, "abc"), Wide(2, u"abc"),
                                      Narrow(3, "abc", 0x60000000u), Narrow(4, "\xC5\x82")}),
                          P::commonTable(app)));
  WString out;
  for (uint32_t id = 1; id <= 3; ++id) {
    ASSERT_EQ(1, app.loadText(id, out)) << id;
    EXPECT_EQ(u"abc", WideOf(out)) << id;
  }
  ASSERT_EQ(1, app.loadText(4, out));
  EXPECT_EQ(u"\u0142", WideOf(out));
}

TEST(TextLookupForms, MalformedUtf8IsNotReportedAsFound) {
  ResetCallScript();
  InstallerApp app;
  ASSERT_TRUE(AttachImage(BuildTable({Narrow(1, "a\xC5")}), P::commonTable(app)));
  WString out;
  EXPECT_EQ(0, app.loadText(1, out));
  EXPECT_TRUE(out.IsEmpty());
}

// ---- StringTable -------------------------------------------------------------

TEST(StringTableFind, OneRecordFindsItsIdAndNoOther) {
  StringTable table;
  ASSERT_TRUE(AttachImage(BuildTable({Wide(7, u"x")}), table));
  EXPECT_NE(nullptr, table.find(7));
  EXPECT_EQ(nullptr, table.find(6));
  EXPECT_EQ(nullptr, table.find(8));
  EXPECT_EQ(nullptr, table.find(0));
}

TEST(StringTableFind, IdsAboveTheSignedRangeSortLast) {
  StringTable table;
  const uint32_t ids[] = {0, 1, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFEu, 0xFFFFFFFFu};
  std::vector<TableText> texts;
  for (uint32_t id : ids) texts.push_back(Wide(id, u"t"));
  ASSERT_TRUE(AttachImage(BuildTable(texts), table));
  for (uint32_t id : ids) EXPECT_NE(nullptr, table.find(id)) << id;
  EXPECT_EQ(nullptr, table.find(2));
  EXPECT_EQ(nullptr, table.find(0x80000001u));
}

TEST(StringTableFind, EveryIdOfALargerTableIsFound) {
  StringTable table;
  std::vector<TableText> texts;
  for (uint32_t id = 3; id < 600; id += 3) texts.push_back(Wide(id, u"t"));
  ASSERT_TRUE(AttachImage(BuildTable(texts), table));
  for (uint32_t id = 0; id < 602; ++id) {
    EXPECT_EQ(id >= 3 && id < 600 && id % 3 == 0, table.find(id) != nullptr) << id;
  }
}

TEST(StringTableFind, RecordsReachingPastTheEntryAreRefused) {
  TableImage image = BuildTable({Wide(1, u"ab"), Wide(2, u"cd")});
  // Record 2's text runs exactly to the end; cut one byte off the entry.
  image.bytes.pop_back();
  StringTable table;
  ASSERT_TRUE(AttachImage(image, table));
  EXPECT_NE(nullptr, table.find(1));
  EXPECT_EQ(nullptr, table.find(2));
  // An offset pointing past the end.
  TableImage pastEnd = BuildTable({Wide(1, u"ab")});
  pastEnd.bytes[4] = 0xF0;
  StringTable other;
  ASSERT_TRUE(AttachImage(pastEnd, other));
  EXPECT_EQ(nullptr, other.find(1));
}

TEST(StringTableAttach, RefusesNullZeroNegativeAndOversizedIndexes) {
  StringTable table;
  uint8_t bytes[16] = {};
  EXPECT_EQ(0, table.attach(nullptr, 1, 16));
  EXPECT_EQ(0, table.attach(bytes, 0, 16));
  EXPECT_EQ(0, table.attach(bytes, -1, 16));
  EXPECT_EQ(0, table.attach(bytes, 3, 16));  // 24 index bytes in 16
  EXPECT_TRUE(table.isEmpty());
  EXPECT_EQ(nullptr, table.find(0));
}

TEST(StringTableAttach, ReplacesEarlierContentAndReleaseEmpties) {
  StringTable table;
  ASSERT_TRUE(AttachImage(BuildTable({Wide(1, u"a")}), table));
  ASSERT_TRUE(AttachImage(BuildTable({Wide(2, u"b")}), table));
  EXPECT_EQ(nullptr, table.find(1));
  EXPECT_NE(nullptr, table.find(2));
  EXPECT_EQ(1, table.count);
  EXPECT_EQ(table.data, table.index);
  EXPECT_EQ(table.data + 8, table.text);
  table.release();
  EXPECT_EQ(0, table.count);
  EXPECT_EQ(nullptr, table.data);
  EXPECT_EQ(nullptr, table.index);
  EXPECT_EQ(nullptr, table.text);
  EXPECT_EQ(nullptr, table.find(2));
}

}  // namespace
