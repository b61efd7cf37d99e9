// The live table's stored assignments through InstallerApp: save and load
// round trip, defaults dropped, and the ownership of the block handed in.
#include <gtest/gtest.h>

#include <windows.h>

#include <string.h>

#include "app/InstallerApp.h"
#include "app/StaticKeyTable.h"
#include "tests/app/support/InstallerAppProbe.h"
#include "text/Memory.h"

namespace {

uint8_t* Block(const uint8_t* bytes, uint32_t count) {
  uint8_t* block = static_cast<uint8_t*>(AllocateBlock(count));
  memcpy(block, bytes, count);
  return block;
}

TEST(KeyAssignments, SavedAssignmentsLoadBackIntoAFreshTable) {
  InstallerApp first;
  first.findKey(0x3A)->assignedKey = 0xA2;     // Caps Lock as Left Ctrl
  first.findKey(0xE11D)->assignedKey = 0x91;   // Pause as Scroll Lock
  first.findKey(0x1D)->assignedKey = 0xA2;     // Left Ctrl: its own default
  uint32_t count = 0;
  uint8_t* block = first.saveKeyAssignments(count);
  ASSERT_NE(nullptr, block);
  const uint8_t expected[] = {0x3A, 0x00, 0xA2, 0x00, 0x1D, 0xE1, 0x91, 0x00};
  ASSERT_EQ(sizeof(expected), count);
  EXPECT_EQ(0, memcmp(expected, block, count));
  EXPECT_EQ(0, first.findKey(0x1D)->assignedKey);  // normalised before saving

  InstallerApp second;
  EXPECT_EQ(1, second.loadKeyAssignments(block, count));  // takes the block over
  for (int32_t i = 0; i < first.getKeyCount(); ++i) {
    EXPECT_EQ(first.getKeyTable()[i].assignedKey, second.getKeyTable()[i].assignedKey) << i;
  }
}

TEST(KeyAssignments, AStoredDefaultIsDroppedAndNotWrittenBack) {
  InstallerApp app;
  const KeyRow* row = app.findStaticKey(0x3A);
  ASSERT_NE(nullptr, row);
  const uint8_t stored[] = {0x3A, 0x00, static_cast<uint8_t>(row->assignedKey),
                            static_cast<uint8_t>(row->assignedKey >> 8)};
  EXPECT_EQ(1, app.loadKeyAssignments(Block(stored, 4), 4));
  EXPECT_EQ(0, app.findKey(0x3A)->assignedKey);
  uint32_t count = 99;
  uint8_t* block = app.saveKeyAssignments(count);
  EXPECT_EQ(0u, count);
  FreeBlock(block);
}

TEST(KeyAssignments, LoadRefusesNoBlockOrNoBytes) {
  InstallerApp app;
  EXPECT_EQ(0, app.loadKeyAssignments(nullptr, 4));
  // A block with a count of 0 stays the caller's.
  uint8_t* block = static_cast<uint8_t*>(AllocateBlock(4));
  EXPECT_EQ(0, app.loadKeyAssignments(block, 0));
  FreeBlock(block);
}

TEST(KeyAssignments, NormaliseFailsWithoutATable) {
  InstallerApp app;
  InstallerAppProbe::keyCount(app) = 0;
  EXPECT_EQ(0, app.normaliseKeyTable());
  InstallerAppProbe::keyCount(app) = kStaticKeyRowCount;
  KeyRow* table = InstallerAppProbe::keyTable(app);
  InstallerAppProbe::keyTable(app) = nullptr;
  EXPECT_EQ(0, app.normaliseKeyTable());
  uint32_t count = 5;
  EXPECT_EQ(nullptr, app.saveKeyAssignments(count));
  EXPECT_EQ(0u, count);
  InstallerAppProbe::keyTable(app) = table;
}

}  // namespace
