// The system's scan-code map value: reading its entries into a key table and
// building it from one. Portable: the registry access lives in setup/.
#pragma once

#include <stdint.h>

#include "setup/rules/KeyRow.h"

// Header of the stored map: version, flags and entry count (entries + 1, the
// terminator counted), each a 32-bit little-endian word.
constexpr uint32_t kScancodeMapHeaderBytes = 12;
// The smallest map that carries anything: the header and the zero terminator.
constexpr uint32_t kEmptyScancodeMapBytes = 16;

// The number of key entries a stored map of `size` bytes holds (its count
// less the terminator), or 0 when the map is to be ignored: 15 bytes or
// fewer, a count of 0 or 1, or fewer than 4 x count + 12 bytes. Never
// overflows, whatever the count claims.
uint32_t ScancodeMapEntryCount(const uint8_t* bytes, uint32_t size);

// Applies the map's entries to the first `count` rows of `table`: the row of
// each entry's physical key (high word) gets the entry's target (low word),
// or kKeySwitchedOff for target 0; entries for keys not in the table are
// skipped. Returns how many entries were applied (0 for an ignored map).
int32_t ApplyScancodeMap(KeyRow* table, int32_t count, const uint8_t* bytes, uint32_t size);

// Rows (up to the first zero scan code, at most `count`) whose mapTarget is
// not 0.
uint32_t CountRemappedKeys(const KeyRow* table, int32_t count);

// The stored map of the remapped rows, in table order (kKeySwitchedOff is
// written as target 0), with its size in `size`: 4 x n + 16 bytes. An owned
// block (FreeBlock); never null. A null table gives the empty map.
uint8_t* BuildScancodeMap(const KeyRow* table, int32_t count, uint32_t& size);
