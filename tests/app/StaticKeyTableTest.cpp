// The static key table: its length, telling rows, closing rows, and the
// lookups by scan code on the static and the live table.

#include <gtest/gtest.h>

#include "app/InstallerApp.h"
#include "app/StaticKeyTable.h"
#include "tests/app/doubles/CallScript.h"

namespace {

struct ExpectedRow {
  int index;
  uint16_t scanCode;
  uint16_t assignedKey;
  uint16_t keyNumber;
};

// One row of every group: first, typewriter keys, modifiers, keypad with
// flag bits, the 0x56-0x7E block, 0xFF, the E0 keys and the pause key.
const ExpectedRow kTellingRows[] = {
    {0, 0x01, 0x01B, 172},    {11, 0x0C, 0x0BD, 305},   {13, 0x0E, 0x008, 163},
    {27, 0x1C, 0x00D, 166},   {28, 0x1D, 0x0A2, 279},   {41, 0x2A, 0x0A0, 277},
    {53, 0x36, 0x1A1, 278},   {58, 0x3B, 0x070, 246},   {70, 0x47, 0xC24, 177},
    {75, 0x4C, 0xC0C, 165},   {82, 0x53, 0xC2E, 187},   {83, 0x56, 0x0E2, 314},
    {86, 0x59, 0x00C, 165},   {87, 0x63, 0x02F, 188},   {98, 0x6E, 0x086, 268},
    {101, 0x7B, 0x0EB, 272},  {102, 0x7E, 0x0C2, 271},  {103, 0xFF, 0x0FF, 323},
    {104, 0xE010, 0x1B1, 295}, {115, 0xE035, 0x16F, 245}, {116, 0xE037, 0x02C, 185},
    {118, 0xE046, 0x103, 159}, {119, 0xE047, 0x124, 177}, {129, 0xE05B, 0x15B, 225},
    {142, 0xE06D, 0x1B5, 299}, {143, 0xE11D, 0x013, 170},
};

TEST(StaticKeyTable, Has146Rows) {
  EXPECT_EQ(146, kStaticKeyRowCount);
  EXPECT_EQ(146u * 8u, sizeof(KeyRow) * kStaticKeyRowCount);
}

TEST(StaticKeyTable, TellingRowsHoldTheirCodesAndNames) {
  for (const ExpectedRow& e : kTellingRows) {
    const KeyRow& row = StaticKeyTable[e.index];
    EXPECT_EQ(e.scanCode, row.scanCode) << "row " << e.index;
    EXPECT_EQ(e.assignedKey, row.assignedKey) << "row " << e.index;
    EXPECT_EQ(e.keyNumber, row.keyNumber) << "row " << e.index;
  }
}

TEST(StaticKeyTable, KeyRowsAreDistinctAscendingAndUnmapped) {
  for (int i = 0; i < 144; ++i) {
    const KeyRow& row = StaticKeyTable[i];
    EXPECT_NE(0, row.scanCode) << "row " << i;
    EXPECT_NE(0, row.assignedKey) << "row " << i;
    EXPECT_GE(row.keyNumber, 152) << "row " << i;
    EXPECT_LE(row.keyNumber, 323) << "row " << i;
    EXPECT_EQ(0, row.mapTarget) << "row " << i;
    if (i > 0) {
      EXPECT_LT(StaticKeyTable[i - 1].scanCode, row.scanCode) << "row " << i;
    }
  }
}

TEST(StaticKeyTable, ExtendedKeysCarryTheirPrefix) {
  int e0 = 0;
  int e1 = 0;
  for (int i = 0; i < 144; ++i) {
    const uint16_t prefix = StaticKeyTable[i].scanCode >> 8;
    if (prefix == 0xE0) ++e0;
    if (prefix == 0xE1) ++e1;
    if (prefix != 0) {
      EXPECT_TRUE(prefix == 0xE0 || prefix == 0xE1) << "row " << i;
    }
  }
  EXPECT_EQ(39, e0);
  EXPECT_EQ(1, e1);
}

TEST(StaticKeyTable, EndsWithTheNameRowAndAnAllZeroRow) {
  const KeyRow& nameRow = StaticKeyTable[144];
  EXPECT_EQ(0, nameRow.scanCode);
  EXPECT_EQ(0, nameRow.assignedKey);
  EXPECT_EQ(152, nameRow.keyNumber);
  EXPECT_EQ(0, nameRow.mapTarget);
  const KeyRow& last = StaticKeyTable[145];
  EXPECT_EQ(0, last.scanCode);
  EXPECT_EQ(0, last.assignedKey);
  EXPECT_EQ(0, last.keyNumber);
  EXPECT_EQ(0, last.mapTarget);
}

class KeyLookup : public ::testing::Test {
 protected:
  void SetUp() override { ResetCallScript(); }
  InstallerApp app;
};

TEST_F(KeyLookup, FindStaticKeyReturnsTheRowWithItsDefault) {
  const KeyRow* row = app.findStaticKey(0xE05B);
  ASSERT_NE(nullptr, row);
  EXPECT_EQ(&StaticKeyTable[129], row);
  EXPECT_EQ(0x15B, row->assignedKey);
}

TEST_F(KeyLookup, LookupsUseTheLow16BitsOfTheArgument) {
  EXPECT_EQ(&StaticKeyTable[27], app.findStaticKey(0x0001001Cu));
  EXPECT_EQ(&StaticKeyTable[143], app.findStaticKey(0xFFFFE11Du));
  KeyRow* live = app.findKey(0x7FFF0001u);
  ASSERT_NE(nullptr, live);
  EXPECT_EQ(1, live->scanCode);
}

TEST_F(KeyLookup, MissesReturnNull) {
  EXPECT_EQ(nullptr, app.findStaticKey(0x54));    // in a gap of the table
  EXPECT_EQ(nullptr, app.findStaticKey(0xE0FF));
  EXPECT_EQ(nullptr, app.findStaticKey(0x10000)); // low 16 bits are 0
  EXPECT_EQ(nullptr, app.findKey(0x7F));
}

TEST_F(KeyLookup, ScanCodeZeroIsNeverFoundNotEvenTheNameRow) {
  EXPECT_EQ(nullptr, app.findStaticKey(0));
  EXPECT_EQ(nullptr, app.findKey(0));
}

TEST_F(KeyLookup, FindKeyReturnsTheLiveRowWhichCanBeChanged) {
  KeyRow* row = app.findKey(0x3A);
  ASSERT_NE(nullptr, row);
  EXPECT_EQ(app.getKeyTable() + 57, row);
  EXPECT_EQ(0, row->assignedKey);  // the live copy holds no defaults
  row->assignedKey = 0x11;
  EXPECT_EQ(0x11, app.findKey(0x3A)->assignedKey);
  EXPECT_EQ(0x014, app.findStaticKey(0x3A)->assignedKey);  // static table untouched
}

TEST(FindKeyRow, StopsAtTheFirstZeroScanCode) {
  const KeyRow table[] = {{0x10, 1, 200, 0}, {0, 0, 152, 0}, {0x20, 2, 201, 0}};
  EXPECT_EQ(&table[0], FindKeyRow(table, 3, 0x10));
  EXPECT_EQ(nullptr, FindKeyRow(table, 3, 0x20));
}

TEST(FindKeyRow, StopsAtTheCountWithoutAZeroRow) {
  const KeyRow table[] = {{0x10, 1, 200, 0}, {0x20, 2, 201, 0}};
  EXPECT_EQ(&table[1], FindKeyRow(table, 2, 0x20));
  EXPECT_EQ(nullptr, FindKeyRow(table, 1, 0x20));
  EXPECT_EQ(nullptr, FindKeyRow(static_cast<const KeyRow*>(nullptr), 2, 0x10));
}

}  // namespace
