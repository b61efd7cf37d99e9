// LayoutFileTables: the contents of a keyboard-layout library's tables as read
// from its file, with no addresses: the same definition reads the same in every
// architecture's image.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

struct FileVkBit {
  uint8_t vk = 0;
  uint8_t bits = 0;
};

struct FileScanCode {  // one VSC_VK record of the E0 and E1 lists
  uint8_t scan = 0;
  uint16_t code = 0;
};

struct FileCharRow {
  uint8_t vk = 0;  // 0xFF rows (a dead key's accents) are kept as stored
  uint8_t attributes = 0;
  std::vector<uint16_t> cells;  // nModifications cells
};

struct FileCharTable {
  int width = 0;  // nModifications; the row size is checked to be 2 + 2 * width
  std::vector<FileCharRow> rows;  // without the closing row
};

struct FileDeadKey {
  uint32_t both = 0;  // accent << 16 | base
  uint16_t composed = 0;
  uint16_t flags = 0;
};

struct FileKeyName {
  uint8_t scan = 0;
  std::u16string text;
};

struct FileLigature {
  uint8_t vk = 0;
  uint16_t modification = 0;
  std::vector<uint16_t> cells;  // nLgMax cells
};

struct LayoutFileTables {
  std::vector<FileVkBit> modifierBits;  // without the closing pair
  uint16_t maxModBits = 0;
  std::vector<uint8_t> columns;  // maxModBits + 1 column numbers
  std::vector<uint16_t> scanTable;  // bMaxVSCtoVK codes
  std::vector<FileScanCode> e0, e1;  // without their closing records
  std::vector<FileCharTable> charTables;
  bool deadKeysNull = true;
  std::vector<FileDeadKey> deadKeys;
  std::vector<FileKeyName> names, extendedNames;
  bool deadNamesNull = true;
  std::vector<std::u16string> deadNames;
  uint32_t localeFlags = 0;
  uint8_t ligatureMax = 0;        // nLgMax
  uint8_t ligatureEntrySize = 0;  // cbLgEntry
  bool ligaturesNull = true;
  std::vector<FileLigature> ligatures;
  uint32_t type = 0;
  uint32_t subType = 0;
};
