// libFuzzer target: bytes read as a stored scan-code map into a small key
// table. Checks that an accepted map fits its size and that every target set
// comes from the map, then rebuilds the map and reads it back unchanged.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "setup/rules/ScancodeMap.h"
#include "text/Memory.h"

namespace {

const KeyRow kRows[] = {{0x0001, 0, 172, 0}, {0x001D, 0, 279, 0}, {0x003A, 0, 171, 0},
                        {0x0053, 0, 187, 0}, {0xE01D, 0, 280, 0}, {0xE05B, 0, 225, 0},
                        {0xE11D, 0, 170, 0}, {0, 0, 152, 0},      {0x0010, 0, 215, 0}};
constexpr int32_t kCount = sizeof(kRows) / sizeof(kRows[0]);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1 << 20) return 0;
  const uint32_t bytes = static_cast<uint32_t>(size);
  const uint32_t entries = ScancodeMapEntryCount(data, bytes);
  // An accepted map holds its entries and its header inside the data.
  if (entries != 0 && (bytes < 16 || (bytes - 12) / 4 < entries + 1)) __builtin_trap();

  KeyRow table[kCount];
  memcpy(table, kRows, sizeof(table));
  const int32_t applied = ApplyScancodeMap(table, kCount, data, bytes);
  if (applied < 0 || static_cast<uint32_t>(applied) > entries) __builtin_trap();
  // The row behind the end row is never touched.
  if (table[kCount - 1].mapTarget != 0) __builtin_trap();
  if (applied == 0) {
    for (const KeyRow& row : table) {
      if (row.mapTarget != 0) __builtin_trap();
    }
  }

  // What the table now holds survives a build and a second read.
  uint32_t builtSize = 0;
  uint8_t* built = BuildScancodeMap(table, kCount, builtSize);
  if (builtSize != 4 * CountRemappedKeys(table, kCount) + 16) __builtin_trap();
  KeyRow again[kCount];
  memcpy(again, kRows, sizeof(again));
  ApplyScancodeMap(again, kCount, built, builtSize);
  for (int32_t i = 0; i < kCount; ++i) {
    if (again[i].mapTarget != table[i].mapTarget) __builtin_trap();
  }
  FreeBlock(built);
  return 0;
}
