// Stored key assignments: merging records into the table, normalising against
// the defaults, and the exact records built back from a table.
#include <gtest/gtest.h>

#include <stdint.h>

#include <vector>

#include "setup/rules/KeyAssignments.h"
#include "text/Memory.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes Records(std::initializer_list<std::pair<uint16_t, uint16_t>> records) {
  Bytes b;
  for (const auto& r : records) {
    b.push_back(static_cast<uint8_t>(r.first));
    b.push_back(static_cast<uint8_t>(r.first >> 8));
    b.push_back(static_cast<uint8_t>(r.second));
    b.push_back(static_cast<uint8_t>(r.second >> 8));
  }
  return b;
}

// Defaults and a live table of the same keys (live codes cleared), ending in a
// zero row with a key behind it that loops must not reach.
const KeyRow kDefaults[5] = {{0x001D, 0x0A2, 279, 0}, {0x003A, 0x014, 171, 0},
                             {0xE05B, 0x15B, 225, 0}, {0, 0, 152, 0}, {0x0010, 0x051, 215, 0}};
struct Table {
  KeyRow rows[5] = {{0x001D, 0, 279, 0}, {0x003A, 0, 171, 0}, {0xE05B, 0, 225, 0},
                    {0, 0, 152, 0},      {0x0010, 0, 215, 0}};
  static constexpr int32_t kCount = 5;
};

TEST(MergeKeyAssignments, TakesEachRecordsCodeForItsKey) {
  Table t;
  Bytes b = Records({{0xE05B, 0x0A3}, {0x003A, 0x0A2}});
  EXPECT_EQ(2, MergeKeyAssignments(t.rows, Table::kCount, b.data(), static_cast<uint32_t>(b.size())));
  EXPECT_EQ(0x0A2, t.rows[1].assignedKey);
  EXPECT_EQ(0x0A3, t.rows[2].assignedKey);
  EXPECT_EQ(0, t.rows[0].assignedKey);
}

TEST(MergeKeyAssignments, SkipsZeroCodesUnknownKeysAndAPartialRecord) {
  Table t;
  t.rows[0].assignedKey = 0x0A4;
  Bytes b = Records({{0x001D, 0}, {0x0077, 0x0A2}, {0x0000, 0x0A2}, {0x0010, 0x0A2}});
  b.push_back(0x3A);  // three bytes of a fifth record
  b.push_back(0x00);
  b.push_back(0x14);
  EXPECT_EQ(0, MergeKeyAssignments(t.rows, Table::kCount, b.data(), static_cast<uint32_t>(b.size())));
  EXPECT_EQ(0x0A4, t.rows[0].assignedKey);  // a zero code leaves the row alone
  EXPECT_EQ(0, t.rows[1].assignedKey);
  EXPECT_EQ(0, t.rows[3].assignedKey);  // scan code 0 never matches the end row
  EXPECT_EQ(0, t.rows[4].assignedKey);
  EXPECT_EQ(0, MergeKeyAssignments(nullptr, 0, b.data(), 4));
  EXPECT_EQ(0, MergeKeyAssignments(t.rows, Table::kCount, nullptr, 4));
}

TEST(NormaliseKeyRows, DropsDefaultCodesAndSelfMappings) {
  Table t;
  t.rows[0].assignedKey = 0x0A2;  // the default: dropped
  t.rows[1].assignedKey = 0x0A2;  // not the default: kept
  t.rows[0].mapTarget = 0x3A;     // another key: kept
  t.rows[1].mapTarget = 0x3A;     // itself: dropped
  t.rows[2].mapTarget = kKeySwitchedOff;
  EXPECT_EQ(1, NormaliseKeyRows(t.rows, Table::kCount, kDefaults, 5));
  EXPECT_EQ(0, t.rows[0].assignedKey);
  EXPECT_EQ(0x0A2, t.rows[1].assignedKey);
  EXPECT_EQ(0x3A, t.rows[0].mapTarget);
  EXPECT_EQ(0, t.rows[1].mapTarget);
  EXPECT_EQ(kKeySwitchedOff, t.rows[2].mapTarget);
}

TEST(NormaliseKeyRows, FailsWithoutATableAndStopsAtTheShorterTable) {
  Table t;
  EXPECT_EQ(0, NormaliseKeyRows(nullptr, 5, kDefaults, 5));
  EXPECT_EQ(0, NormaliseKeyRows(t.rows, 0, kDefaults, 5));
  // Only two default rows: row 2 is beyond them and keeps its code.
  t.rows[1].assignedKey = 0x014;
  t.rows[2].assignedKey = 0x15B;
  EXPECT_EQ(1, NormaliseKeyRows(t.rows, Table::kCount, kDefaults, 2));
  EXPECT_EQ(0, t.rows[1].assignedKey);
  EXPECT_EQ(0x15B, t.rows[2].assignedKey);
}

TEST(BuildKeyAssignments, WritesOneRecordPerAssignedKeyInTableOrder) {
  Table t;
  t.rows[2].assignedKey = 0x0A3;
  t.rows[0].assignedKey = 0x014;
  t.rows[4].assignedKey = 0x0A2;  // behind the zero row: not written
  uint32_t size = 0;
  uint8_t* block = BuildKeyAssignments(t.rows, Table::kCount, size);
  ASSERT_NE(nullptr, block);
  EXPECT_EQ(Records({{0x001D, 0x014}, {0xE05B, 0x0A3}}), Bytes(block, block + size));
  FreeBlock(block);
}

TEST(BuildKeyAssignments, NothingAssignedGivesABlockOfZeroBytes) {
  Table t;
  uint32_t size = 7;
  uint8_t* block = BuildKeyAssignments(t.rows, Table::kCount, size);
  EXPECT_NE(nullptr, block);
  EXPECT_EQ(0u, size);
  FreeBlock(block);
}

TEST(BuildKeyAssignments, RoundTripsThroughMerge) {
  Table written;
  written.rows[0].assignedKey = 0x014;
  written.rows[2].assignedKey = 0x0A3;
  uint32_t size = 0;
  uint8_t* block = BuildKeyAssignments(written.rows, Table::kCount, size);
  Table read;
  EXPECT_EQ(2, MergeKeyAssignments(read.rows, Table::kCount, block, size));
  for (int32_t i = 0; i < Table::kCount; ++i) {
    EXPECT_EQ(written.rows[i].assignedKey, read.rows[i].assignedKey) << i;
  }
  FreeBlock(block);
}

}  // namespace
