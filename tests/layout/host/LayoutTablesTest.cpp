// Tests of the table layout: Caps Lock attributes, the order Windows searches the
// character tables in, dead-key rows, and the bytes the patterns are cut from.
#include <gtest/gtest.h>

#include <string>

#include "tools/layout/LayoutTables.h"
#include "tools/layout/Patterns.h"

namespace {

LayoutTables Build(const std::string& keys) {
  LayoutDefinition d;
  std::string error;
  EXPECT_TRUE(ParseLayoutDefinition("t.layout", "variant 0\nname T\nflags altgr\n[keys]\n" + keys, &d, &error)) << error;
  LayoutTables t;
  EXPECT_TRUE(BuildLayoutTables(d, &t, &error)) << error;
  return t;
}

const char kPrefixed[] =
    "E010 MEDIA_PREV_TRACK+ext\nE019 MEDIA_NEXT_TRACK+ext\nE01C RETURN+ext\nE01D RCONTROL+ext\nE11D PAUSE\n";

TEST(LayoutTablesTest, CapsLockFollowsLetterPairsOnBothLevels) {
  LayoutTables t = Build(std::string("1E A a A ą Ą\n02 1 1 !\n18 O o O ó Ó\n16 U u U €\n") + kPrefixed);
  EXPECT_EQ(FindCharRow(t, 'A')->attributes, kCapsLock | kCapsLockAltGr);
  EXPECT_EQ(FindCharRow(t, 'O')->attributes, kCapsLock | kCapsLockAltGr);
  EXPECT_EQ(FindCharRow(t, 'U')->attributes, kCapsLock);  // € has no capital
  EXPECT_EQ(FindCharRow(t, '1')->attributes, 0);
}

TEST(LayoutTablesTest, LevelsLandInTheirModifierColumns) {
  LayoutTables t = Build(std::string("1A OEM_4 [ { „ « U+001B\n") + kPrefixed);
  const CharRow* row = FindCharRow(t, 0xDB);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->cells[kModifierColumns[0]], '[');
  EXPECT_EQ(row->cells[kModifierColumns[1]], '{');
  EXPECT_EQ(row->cells[kModifierColumns[2]], 0x1B);    // Ctrl
  EXPECT_EQ(row->cells[kModifierColumns[3]], kNone);   // Shift+Ctrl
  EXPECT_EQ(row->cells[kModifierColumns[6]], 0x201E);  // Ctrl+Alt = AltGr
  EXPECT_EQ(row->cells[kModifierColumns[7]], 0xAB);
  EXPECT_EQ(kModifierColumns[4], 0x0F);  // Alt alone types nothing
}

TEST(LayoutTablesTest, MainTablesComeWidestFirstAndTheKeypadLast) {
  LayoutTables t = Build(std::string("34 OEM_PERIOD . >\n1E A a A ą Ą\n0F TAB U+0009 U+0009\n") + kPrefixed +
                         "[keypad]\n53 DELETE DECIMAL . .\n47 HOME NUMPAD7 7\n");
  ASSERT_EQ(t.charTables.size(), 3u);
  EXPECT_EQ(t.charTables[0].width, 6);
  EXPECT_EQ(t.charTables[1].width, 2);
  EXPECT_EQ(t.charTables[1].rows[0].vk, 0xBE);  // "." on the main keyboard before the keypad's
  EXPECT_EQ(t.charTables[2].rows[0].vk, 0x6E);
  EXPECT_EQ(t.charTables[2].rows[1].vk, 0x67);
  EXPECT_EQ(t.scanTable[0x53], 0xC2E);
  EXPECT_EQ(t.scanTable[0x00], 0xFF);  // scan codes without a key
}

TEST(LayoutTablesTest, DeadCellsKeepTheirAccent) {
  LayoutDefinition d;
  std::string error;
  ASSERT_TRUE(ParseLayoutDefinition("t.layout",
                                    std::string("variant 1\nname T\n[keys]\n28 OEM_7 ' \" *´ *¨\n") + kPrefixed +
                                        "[dead ´ acute]\na á\n[dead ¨ diaeresis]\nu ü\n",
                                    &d, &error))
      << error;
  LayoutTables t;
  ASSERT_TRUE(BuildLayoutTables(d, &t, &error)) << error;
  const CharRow* row = FindCharRow(t, 0xDE);
  EXPECT_EQ(row->cells[4], kDeadCell);
  EXPECT_EQ(row->accents[4], 0xB4);
  EXPECT_EQ(row->accents[5], 0xA8);
  ASSERT_EQ(t.deadKeys.size(), 2u);
  EXPECT_EQ(t.deadKeys[1].accent, 0xA8);
  EXPECT_EQ(t.deadKeys[1].composed, 0xFC);
  EXPECT_EQ(t.deadNames[0], u"\u00B4acute");
  EXPECT_EQ(t.localeFlags, 0x10000u);  // no "flags altgr" in this header
}

TEST(LayoutTablesTest, ListBytesArePaddedFourByteRecordsWithAClosingRecord) {
  LayoutTables t = Build(kPrefixed);
  EXPECT_EQ(UpperHex(VscListBytes(t.e1)), "1D00130000000000");
  EXPECT_EQ(UpperHex(VscListBytes(t.e0)).substr(0, 16), "1000B1011900B001");
}

TEST(LayoutTablesTest, ALayoutWithoutPauseIsRefused) {
  LayoutDefinition d;
  std::string error;
  ASSERT_TRUE(ParseLayoutDefinition("t.layout", "variant 0\nname T\n[keys]\n1E A a A\n", &d, &error));
  LayoutTables t;
  EXPECT_FALSE(BuildLayoutTables(d, &t, &error));
  EXPECT_EQ(error, "t.layout: the layout needs an E1 key (E11D, Pause)");
}

}  // namespace
