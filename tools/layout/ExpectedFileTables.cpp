// ExpectedFileTables: mirrors CSourceWriter (modifiers, the expanded dead-key
// rows, the null pointers of empty lists, the constant KBDTABLES fields) and
// PatchLayoutImage's writes.
#include "tools/layout/ExpectedFileTables.h"

namespace {

constexpr uint8_t kVkShift = 0x10, kVkControl = 0x11, kVkMenu = 0x12;
constexpr uint8_t kDeadRowVk = 0xFF;
constexpr uint8_t kDecimalVk = 0x6E;
constexpr uint8_t kComma = 0x2C;
constexpr uint16_t kMaxModBits = 7;
constexpr uint32_t kKeyboardType = 4;

std::vector<FileScanCode> ScanCodes(const std::vector<ScanVk>& list) {
  std::vector<FileScanCode> out;
  for (const ScanVk& entry : list) out.push_back({entry.scan, entry.code});
  return out;
}

std::vector<FileKeyName> Names(const std::vector<WideName>& names) {
  std::vector<FileKeyName> out;
  for (const WideName& name : names) out.push_back({static_cast<uint8_t>(name.scan), name.text});
  return out;
}

FileCharTable CharTableOf(const CharTable& table) {
  FileCharTable out;
  out.width = table.width;
  for (const CharRow& row : table.rows) {
    FileCharRow plain{row.vk, row.attributes, std::vector<uint16_t>(row.cells, row.cells + table.width)};
    FileCharRow accents{kDeadRowVk, 0, {}};
    bool dead = false;
    for (int c = 0; c < table.width; ++c) {
      dead = dead || row.cells[c] == kDeadCell;
      accents.cells.push_back(row.cells[c] == kDeadCell ? row.accents[c] : kNone);
    }
    out.rows.push_back(plain);
    if (dead) out.rows.push_back(accents);
  }
  return out;
}

FileCharRow* DecimalRow(LayoutFileTables* tables) {
  for (FileCharTable& table : tables->charTables) {
    for (FileCharRow& row : table.rows) {
      if (row.vk == kDecimalVk) return &row;
    }
  }
  return nullptr;
}

}  // namespace

LayoutFileTables ExpectedFileTables(const LayoutTables& tables) {
  LayoutFileTables out;
  out.modifierBits = {{kVkShift, 1}, {kVkControl, 2}, {kVkMenu, 4}};
  out.maxModBits = kMaxModBits;
  out.columns.assign(kModifierColumns, kModifierColumns + kMaxModBits + 1);
  out.scanTable.assign(tables.scanTable, tables.scanTable + kScanTableLength);
  out.e0 = ScanCodes(tables.e0);
  out.e1 = ScanCodes(tables.e1);
  for (const CharTable& table : tables.charTables) out.charTables.push_back(CharTableOf(table));
  out.deadKeysNull = tables.deadKeys.empty();
  for (const DeadEntry& dead : tables.deadKeys) {
    out.deadKeys.push_back({static_cast<uint32_t>(dead.accent) << 16 | dead.base, dead.composed, 0});
  }
  out.names = Names(tables.names);
  out.extendedNames = Names(tables.extendedNames);
  out.deadNamesNull = tables.deadNames.empty();
  out.deadNames = tables.deadNames;
  out.localeFlags = tables.localeFlags;
  out.type = kKeyboardType;
  return out;
}

bool ApplyInstalledChanges(const std::vector<InstalledKey>& keys, int32_t decimalOption, LayoutFileTables* tables,
                           std::string* error) {
  FileCharRow* decimal = DecimalRow(tables);
  if (decimalOption == 0 && (decimal == nullptr || decimal->cells.size() < 2)) {
    *error = "the comma on the keypad needs a decimal key (VK 6E) with two cells";
    return false;
  }
  for (const InstalledKey& key : keys) {
    if (key.code == 0) continue;
    if (key.scan < kScanTableLength) {
      if (key.scan < tables->scanTable.size()) tables->scanTable[key.scan] = key.code;
      continue;
    }
    const uint16_t prefix = key.scan & 0xFF00;
    if (prefix != 0xE000 && prefix != 0xE100) continue;
    for (FileScanCode& entry : prefix == 0xE000 ? tables->e0 : tables->e1) {
      if (entry.scan == (key.scan & 0xFF)) {
        entry.code = key.code;
        break;
      }
    }
  }
  if (decimalOption == 0) {
    for (int c = 0; c < 2; ++c) decimal->cells[c] = static_cast<uint16_t>((decimal->cells[c] & 0xFF00) | kComma);
  }
  return true;
}
