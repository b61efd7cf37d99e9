// libFuzzer target: stored scan-code maps read into a small key table. The
// first byte chooses between the input as a map as it is, and a map the
// harness builds from the input with its count right (entries for the table's
// keys and for others, then the terminator) and then perhaps damaged. Checks
// that an accepted map fits its size, that a right map is read whole with the
// last entry of a key winning, and that what the table holds survives a
// rebuild and a second read.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>

#include "setup/rules/ScancodeMap.h"
#include "text/LittleEndian.h"
#include "text/Memory.h"

namespace {

const KeyRow kRows[] = {{0x0001, 0, 172, 0}, {0x001D, 0, 279, 0}, {0x003A, 0, 171, 0},
                        {0x0053, 0, 187, 0}, {0xE01D, 0, 280, 0}, {0xE05B, 0, 225, 0},
                        {0xE11D, 0, 170, 0}, {0, 0, 152, 0},      {0x0010, 0, 215, 0}};
constexpr int32_t kCount = sizeof(kRows) / sizeof(kRows[0]);
// The keys a built entry names: the table's, the one behind its end row, one it lacks.
constexpr uint16_t kKeys[] = {0x0001, 0x001D, 0x003A, 0x0053, 0xE01D, 0xE05B, 0xE11D, 0x0010, 0x0057};
constexpr uint32_t kKeyCount = sizeof(kKeys) / sizeof(kKeys[0]);

enum Damage : uint32_t { kAsGiven, kNone, kCountField, kCutMap, kDamageCount };

// A map of entries from the input (a key choice and a 16-bit target each),
// its count right; the target each table row must end with in `expected`.
std::string BuildMap(const uint8_t* data, size_t size, uint16_t* expected) {
  std::string map(kScancodeMapHeaderBytes, '\0');
  uint32_t entries = 0;
  for (size_t i = 0; i + 3 <= size; i += 3, ++entries) {
    const uint16_t key = kKeys[data[i] % kKeyCount];
    const uint16_t target = static_cast<uint16_t>(data[i + 1] | data[i + 2] << 8);
    uint8_t entry[4];
    WriteLittle32(entry, static_cast<uint32_t>(key) << 16 | target);
    map.append(reinterpret_cast<const char*>(entry), 4);
    for (int32_t row = 0; row < kCount - 2; ++row) {
      if (kRows[row].scanCode == key) expected[row] = target != 0 ? target : kKeySwitchedOff;
    }
  }
  map.append(4, '\0');  // terminator
  WriteLittle32(reinterpret_cast<uint8_t*>(&map[8]), entries + 1);
  return map;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 1 << 20) return 0;
  const uint32_t damage = data[0] % kDamageCount;
  std::string map(reinterpret_cast<const char*>(data + 1), size - 1);
  uint16_t expected[kCount] = {};
  uint32_t builtEntries = 0;
  if (damage != kAsGiven) {
    const uint32_t word = size >= 5 ? ReadLittle32(data + 1) : 0;
    map = BuildMap(data + 1 + (size >= 5 ? 4 : size - 1), size >= 5 ? size - 5 : 0, expected);
    builtEntries = ReadLittle32(reinterpret_cast<const uint8_t*>(&map[8])) - 1;
    if (damage == kCountField) {
      WriteLittle32(reinterpret_cast<uint8_t*>(&map[8]), (builtEntries + 1) ^ (word | 1));
    } else if (damage == kCutMap) {
      map.resize(map.size() - 1 - word % map.size());
    }
  }
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(map.data());
  const uint32_t length = static_cast<uint32_t>(map.size());
  const uint32_t entries = ScancodeMapEntryCount(bytes, length);
  // An accepted map holds its entries and its header inside the data.
  if (entries != 0 && (length < 16 || (length - 12) / 4 < entries + 1)) __builtin_trap();
  // A right map is read whole; a cut one not at all; one whose count is
  // changed as far as the count says when the map holds that many, else not at all.
  const uint32_t storedCount = map.size() >= 12 ? ReadLittle32(bytes + 8) : 0;
  if (damage == kNone && entries != builtEntries) __builtin_trap();
  if (damage == kCutMap && entries != 0) __builtin_trap();
  if (damage == kCountField &&
      entries != (storedCount > 1 && storedCount <= builtEntries + 1 ? storedCount - 1 : 0)) {
    __builtin_trap();
  }

  KeyRow table[kCount];
  memcpy(table, kRows, sizeof(table));
  const int32_t applied = ApplyScancodeMap(table, kCount, bytes, length);
  if (applied < 0 || static_cast<uint32_t>(applied) > entries) __builtin_trap();
  // The row behind the end row is never touched.
  if (table[kCount - 1].mapTarget != 0) __builtin_trap();
  if (applied == 0) {
    for (const KeyRow& row : table) {
      if (row.mapTarget != 0) __builtin_trap();
    }
  }
  if (damage == kNone) {
    for (int32_t row = 0; row < kCount; ++row) {
      if (table[row].mapTarget != expected[row]) __builtin_trap();  // the last entry of a key wins
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
