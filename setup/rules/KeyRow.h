// KeyRow: one row of the key table (a physical key, the virtual-key code the
// user assigned to it, its display-name string id and its scan-code-map target).
#pragma once

#include <stdint.h>

struct KeyRow {
  // Scan code; extended keys carry their prefix in the high byte (0xE0xx,
  // 0xE11D for Pause). 0 ends the table for loops that stop at the first zero.
  uint16_t scanCode;
  // Live table: the virtual-key code the user assigned, 0 for none. Static
  // table: the key's default code with the layout-table flag bits (0x100
  // extended, 0x400 special, 0x800 numeric pad).
  uint16_t assignedKey;
  // String id of the key's display name (152 to 323).
  uint16_t keyNumber;
  // Scan code the system sends instead of this key: 0 not remapped, 255 off.
  uint16_t mapTarget;
};

static_assert(sizeof(KeyRow) == 8, "a key row is four 16-bit columns");

// Mapping target meaning "the key is switched off" (stored as scan code 0).
constexpr uint16_t kKeySwitchedOff = 255;

// Returns the first of the first `count` rows whose scanCode equals the low 16
// bits of `scanCode`, stopping early at the first row with scan code 0; null
// when there is none (so scan code 0 is never found). A null table finds nothing.
const KeyRow* FindKeyRow(const KeyRow* table, int32_t count, uint32_t scanCode);
KeyRow* FindKeyRow(KeyRow* table, int32_t count, uint32_t scanCode);

// How many of the first `count` rows, up to the first with scan code 0, have a
// non-zero `column` (assignedKey, mapTarget). 0 for a null table.
uint32_t CountRowsWith(const KeyRow* table, int32_t count, uint16_t KeyRow::*column);
