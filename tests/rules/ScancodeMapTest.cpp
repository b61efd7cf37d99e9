// The scan-code map's stored form: which maps are ignored, how entries reach
// the key table, and the exact bytes built from a table.
#include <gtest/gtest.h>

#include <stdint.h>

#include <vector>

#include "setup/rules/ScancodeMap.h"
#include "text/Memory.h"

namespace {

using Bytes = std::vector<uint8_t>;

void Put32(Bytes& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// Version 0, flags 0, the stored count, then each entry (key << 16 | target).
Bytes Map(uint32_t storedCount, std::initializer_list<uint32_t> words) {
  Bytes b;
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, storedCount);
  for (uint32_t w : words) Put32(b, w);
  return b;
}

uint32_t Entry(uint16_t key, uint16_t target) {
  return (static_cast<uint32_t>(key) << 16) | target;
}

// A small table: three keys, then the zero row that ends it, then a key that
// lies beyond it and must never be reached.
struct Table {
  KeyRow rows[5] = {{0x001D, 0, 279, 0}, {0x003A, 0, 171, 0}, {0xE05B, 0, 225, 0},
                    {0, 0, 152, 0},      {0x0010, 0, 215, 0}};
  static constexpr int32_t kCount = 5;
};

TEST(ScancodeMapEntryCount, IgnoresMapsTooShortOrWithoutEntries) {
  EXPECT_EQ(0u, ScancodeMapEntryCount(nullptr, 16));
  Bytes shortMap = Map(2, {Entry(0x3A, 0x1D)});  // 16 bytes
  EXPECT_EQ(0u, ScancodeMapEntryCount(shortMap.data(), 15));
  EXPECT_EQ(0u, ScancodeMapEntryCount(Map(0, {0}).data(), 16));
  EXPECT_EQ(0u, ScancodeMapEntryCount(Map(1, {0}).data(), 16));
}

TEST(ScancodeMapEntryCount, IgnoresACountBeyondTheData) {
  // Count 3 needs 4 x 3 + 12 = 24 bytes; 20 are there.
  Bytes b = Map(3, {Entry(0x3A, 0x1D), 0});
  EXPECT_EQ(0u, ScancodeMapEntryCount(b.data(), static_cast<uint32_t>(b.size())));
  b = Map(3, {Entry(0x3A, 0x1D), Entry(0x1D, 0x3A), 0});
  EXPECT_EQ(2u, ScancodeMapEntryCount(b.data(), static_cast<uint32_t>(b.size())));
  // The count includes the terminator: without it the map is short.
  b.resize(b.size() - 4);
  EXPECT_EQ(0u, ScancodeMapEntryCount(b.data(), static_cast<uint32_t>(b.size())));
}

TEST(ScancodeMapEntryCount, HugeCountsDoNotWrapTheSizeCheck) {
  // 4 x 0x40000000 + 12 wraps to 12 in 32 bits, 4 x 0x40000001 + 12 to 16:
  // either would pass a naive check against a 16-byte map.
  for (uint32_t count : {0x40000000u, 0x40000001u, 0x80000000u, 0xFFFFFFFFu}) {
    Bytes b = Map(count, {Entry(0x3A, 0x1D), 0});
    EXPECT_EQ(0u, ScancodeMapEntryCount(b.data(), static_cast<uint32_t>(b.size()))) << count;
  }
}

TEST(ApplyScancodeMap, SetsTargetsAndSwitchesOffForTargetZero) {
  Table t;
  Bytes b = Map(4, {Entry(0x3A, 0x1D), Entry(0xE05B, 0), Entry(0x1D, 0x1D), 0});
  EXPECT_EQ(3, ApplyScancodeMap(t.rows, Table::kCount, b.data(), static_cast<uint32_t>(b.size())));
  EXPECT_EQ(0x1D, t.rows[1].mapTarget);
  EXPECT_EQ(kKeySwitchedOff, t.rows[2].mapTarget);
  // Mapping a key to itself is recorded here; normalising clears it later.
  EXPECT_EQ(0x1D, t.rows[0].mapTarget);
}

TEST(ApplyScancodeMap, SkipsKeysNotInTheTableOrBehindItsEnd) {
  Table t;
  // 0x0010 sits behind the zero row; 0x0000 would match the zero row itself.
  Bytes b = Map(4, {Entry(0x10, 0x3A), Entry(0x00, 0x3A), Entry(0x7F, 0x3A), 0});
  EXPECT_EQ(0, ApplyScancodeMap(t.rows, Table::kCount, b.data(), static_cast<uint32_t>(b.size())));
  for (const KeyRow& row : t.rows) EXPECT_EQ(0, row.mapTarget);
}

TEST(ApplyScancodeMap, LeavesTheTableAloneForAnIgnoredMap) {
  Table t;
  Bytes b = Map(3, {Entry(0x3A, 0x1D), 0});  // count beyond the data
  EXPECT_EQ(0, ApplyScancodeMap(t.rows, Table::kCount, b.data(), static_cast<uint32_t>(b.size())));
  EXPECT_EQ(0, t.rows[1].mapTarget);
  b = Map(2, {Entry(0x3A, 0x1D), 0});
  EXPECT_EQ(0, ApplyScancodeMap(nullptr, 0, b.data(), static_cast<uint32_t>(b.size())));
}

TEST(BuildScancodeMap, EmptyTableGivesTheSixteenByteEmptyMap) {
  Table t;
  uint32_t size = 99;
  uint8_t* block = BuildScancodeMap(t.rows, Table::kCount, size);
  ASSERT_NE(nullptr, block);
  EXPECT_EQ(Map(1, {0}), Bytes(block, block + size));
  FreeBlock(block);
}

TEST(BuildScancodeMap, WritesRemappedKeysInTableOrderWithSwitchedOffAsZero) {
  Table t;
  t.rows[2].mapTarget = kKeySwitchedOff;
  t.rows[0].mapTarget = 0x3A;
  t.rows[4].mapTarget = 0x1D;  // behind the zero row: not written
  EXPECT_EQ(2u, CountRemappedKeys(t.rows, Table::kCount));
  uint32_t size = 0;
  uint8_t* block = BuildScancodeMap(t.rows, Table::kCount, size);
  EXPECT_EQ(4u * 2 + 16, size);
  EXPECT_EQ(Map(3, {Entry(0x1D, 0x3A), Entry(0xE05B, 0), 0}), Bytes(block, block + size));
  FreeBlock(block);
}

TEST(BuildScancodeMap, WhatIsBuiltReadsBackTheSame) {
  Table written;
  written.rows[1].mapTarget = 0x1D;
  written.rows[2].mapTarget = kKeySwitchedOff;
  uint32_t size = 0;
  uint8_t* block = BuildScancodeMap(written.rows, Table::kCount, size);
  Table read;
  EXPECT_EQ(2, ApplyScancodeMap(read.rows, Table::kCount, block, size));
  for (int32_t i = 0; i < Table::kCount; ++i) {
    EXPECT_EQ(i == 4 ? 0 : written.rows[i].mapTarget, read.rows[i].mapTarget) << i;
  }
  FreeBlock(block);
}

}  // namespace
