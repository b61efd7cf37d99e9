// Reading and building the system's scan-code map; the stored words are
// little-endian whatever the host, so they are assembled byte by byte.

#include "setup/rules/ScancodeMap.h"

#include "text/LittleEndian.h"
#include "text/Memory.h"

uint32_t ScancodeMapEntryCount(const uint8_t* bytes, uint32_t size) {
  if (bytes == nullptr || size < kEmptyScancodeMapBytes) return 0;
  const uint32_t stored = ReadLittle32(bytes + 8);
  if (stored <= 1) return 0;
  // size >= 4 x count + 12, asked as (size - 12) / 4 >= count so that a count
  // such as 0x40000000 cannot wrap the product round to a small number.
  if ((size - kScancodeMapHeaderBytes) / 4 < stored) return 0;
  return stored - 1;
}

int32_t ApplyScancodeMap(KeyRow* table, int32_t count, const uint8_t* bytes, uint32_t size) {
  const uint32_t entries = ScancodeMapEntryCount(bytes, size);
  int32_t applied = 0;
  for (uint32_t i = 0; i < entries; ++i) {
    const uint32_t entry = ReadLittle32(bytes + kScancodeMapHeaderBytes + 4 * i);
    KeyRow* row = FindKeyRow(table, count, entry >> 16);
    if (row == nullptr) continue;
    const uint16_t target = static_cast<uint16_t>(entry & 0xFFFFu);
    row->mapTarget = target != 0 ? target : kKeySwitchedOff;
    ++applied;
  }
  return applied;
}

uint32_t CountRemappedKeys(const KeyRow* table, int32_t count) {
  return CountRowsWith(table, count, &KeyRow::mapTarget);
}

uint8_t* BuildScancodeMap(const KeyRow* table, int32_t count, uint32_t& size) {
  const uint32_t remapped = CountRemappedKeys(table, count);
  // A table of n rows takes 8 x n bytes of memory, so 4 x n + 16 cannot wrap.
  const uint32_t bytes = 4 * remapped + kEmptyScancodeMapBytes;
  uint8_t* block = static_cast<uint8_t*>(AllocateBlock(bytes));
  WriteLittle32(block, 0);      // version
  WriteLittle32(block + 4, 0);  // flags
  WriteLittle32(block + 8, remapped + 1);
  uint8_t* out = block + kScancodeMapHeaderBytes;
  for (int32_t i = 0; table != nullptr && i < count && table[i].scanCode != 0; ++i) {
    const KeyRow& row = table[i];
    if (row.mapTarget == 0) continue;
    const uint32_t target = row.mapTarget == kKeySwitchedOff ? 0 : row.mapTarget;
    WriteLittle32(out, (static_cast<uint32_t>(row.scanCode) << 16) | target);
    out += 4;
  }
  WriteLittle32(out, 0);  // terminator
  size = bytes;
  return block;
}
