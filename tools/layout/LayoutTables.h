// LayoutTables: the tables of a layout library, computed from a definition: the
// one model the C source, the test expectations and the byte patterns come from.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "tools/layout/LayoutDefinition.h"

constexpr int kScanTableLength = 0x7F;  // plain scan codes 0x00-0x7E
constexpr int kColumnCount = 6;         // base, Shift, Ctrl, Shift+Ctrl, AltGr, Shift+AltGr
constexpr uint16_t kNone = 0xF000;      // WCH_NONE
constexpr uint16_t kDeadCell = 0xF001;  // WCH_DEAD
constexpr uint8_t kCapsLock = 0x01;     // CAPLOK
constexpr uint8_t kCapsLockAltGr = 0x04;  // CAPLOKALTGR

// Column in the character tables of each definition level.
extern const int kLevelColumn[kLevelCount];
// Column per combination of the Shift (1), Ctrl (2) and Alt (4) bits; 0x0F unused.
extern const uint8_t kModifierColumns[8];

struct ScanVk {
  uint8_t scan;
  uint16_t code;
};

struct CharRow {
  uint8_t vk = 0;
  uint8_t attributes = 0;
  uint16_t cells[kColumnCount];  // kNone, kDeadCell or a character
  uint16_t accents[kColumnCount];  // the accent of each kDeadCell, else 0
};

struct CharTable {
  int width = 0;
  std::vector<CharRow> rows;  // dead-key rows are expanded when written out
};

struct DeadEntry {
  uint16_t accent, base, composed;
};

struct WideName {
  uint16_t scan;
  std::u16string text;
};

struct LayoutTables {
  int variant = 0;
  std::string name;
  uint16_t scanTable[kScanTableLength];
  std::vector<ScanVk> e0, e1;       // without their closing record
  std::vector<CharTable> charTables;  // main keys widest first, then the keypad
  std::vector<DeadEntry> deadKeys;
  std::vector<WideName> names, extendedNames;
  std::vector<std::u16string> deadNames;  // accent followed by the name
  uint32_t localeFlags = 0;
};

// Builds the tables; false with `error` when the definition cannot be laid out.
bool BuildLayoutTables(const LayoutDefinition& definition, LayoutTables* tables, std::string* error);

// The row of a virtual key, or null.
const CharRow* FindCharRow(const LayoutTables& tables, uint8_t vk);

// Bytes as the library stores them (little-endian, records padded as in the C structures).
std::string ScanTableBytes(const LayoutTables& tables);
std::string VscListBytes(const std::vector<ScanVk>& list);  // with its closing record
// The keypad decimal key's row from its first character cell to the end of its
// table, closing row included; empty when the layout has no decimal key.
std::string DecimalCellsAndFollowingBytes(const LayoutTables& tables);

std::u16string ToUtf16(const std::string& utf8);
