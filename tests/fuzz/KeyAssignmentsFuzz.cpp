// libFuzzer target: bytes read as stored key assignments into a small key
// table, normalised against its defaults, built back and merged again: the
// second table must equal the first, and the built size must be 4 x assigned.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "setup/rules/KeyAssignments.h"
#include "text/Memory.h"

namespace {

const KeyRow kDefaults[] = {{0x0001, 0x01B, 172, 0}, {0x001D, 0x0A2, 279, 0},
                            {0x003A, 0x014, 171, 0}, {0x0053, 0xC2E, 187, 0},
                            {0xE01D, 0x1A3, 280, 0}, {0xE05B, 0x15B, 225, 0},
                            {0xE11D, 0x013, 170, 0}, {0, 0, 152, 0},
                            {0x0010, 0x051, 215, 0}};
constexpr int32_t kCount = sizeof(kDefaults) / sizeof(kDefaults[0]);

void LiveTable(KeyRow* table) {
  memcpy(table, kDefaults, sizeof(kDefaults));
  for (int32_t i = 0; i < kCount; ++i) table[i].assignedKey = 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  KeyRow table[kCount];
  LiveTable(table);
  const int32_t merged = MergeKeyAssignments(table, kCount, data, static_cast<uint32_t>(size));
  if (merged < 0 || static_cast<size_t>(merged) > size / 4) __builtin_trap();
  if (table[kCount - 1].assignedKey != 0 || table[kCount - 2].assignedKey != 0) __builtin_trap();
  if (NormaliseKeyRows(table, kCount, kDefaults, kCount) != 1) __builtin_trap();
  for (int32_t i = 0; i < kCount; ++i) {
    if (table[i].assignedKey != 0 && table[i].assignedKey == kDefaults[i].assignedKey) {
      __builtin_trap();
    }
  }

  uint32_t builtSize = 0;
  uint8_t* built = BuildKeyAssignments(table, kCount, builtSize);
  if (built == nullptr || builtSize != 4 * CountAssignedKeys(table, kCount)) __builtin_trap();
  KeyRow again[kCount];
  LiveTable(again);
  MergeKeyAssignments(again, kCount, built, builtSize);
  if (memcmp(again, table, sizeof(table)) != 0) __builtin_trap();
  FreeBlock(built);
  return 0;
}
