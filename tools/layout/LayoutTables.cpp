// LayoutTables: lays a definition out as the library's tables (scan-code
// table, E0/E1 lists, character tables by width, dead keys, names).
#include "tools/layout/LayoutTables.h"

#include "tools/layout/Utf8.h"
#include "tools/layout/VirtualKeys.h"

const int kLevelColumn[kLevelCount] = {0, 1, 4, 5, 2, 3};
const uint8_t kModifierColumns[8] = {0, 1, 2, 3, 0x0F, 0x0F, 4, 5};

namespace {

constexpr uint8_t kDecimalVk = 0x6E;

// True when `upper` is the capital of `lower` in the Latin blocks a European layout uses.
bool IsCasePair(uint32_t lower, uint32_t upper) {
  if (lower >= 'a' && lower <= 'z') return upper == lower - 0x20;
  if (lower >= 0xE0 && lower <= 0xFE && lower != 0xF7) return upper == lower - 0x20;
  if (lower == 0xFF) return upper == 0x178;
  if (lower >= 0x100 && lower <= 0x17F) {
    bool oddUpperRange = (lower >= 0x139 && lower <= 0x148) || (lower >= 0x179 && lower <= 0x17E);
    bool isLower = oddUpperRange ? (lower % 2 == 0) : (lower % 2 == 1);
    return isLower && upper == lower - 1;
  }
  return false;
}

void AppendWord(uint16_t value, std::string* out) {
  out->push_back(static_cast<char>(value & 0xFF));
  out->push_back(static_cast<char>(value >> 8));
}

bool HasCharacters(const KeyDefinition& key) {
  for (const Cell& cell : key.cells) {
    if (cell.present) return true;
  }
  return false;
}

}  // namespace

std::u16string ToUtf16(const std::string& utf8) {
  std::vector<uint32_t> points;
  std::u16string out;
  if (!DecodeUtf8(utf8, &points)) return out;
  for (uint32_t ch : points) {
    if (ch >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((ch - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((ch - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(ch));
    }
  }
  return out;
}

bool BuildLayoutTables(const LayoutDefinition& definition, LayoutTables* tables, std::string* error) {
  *tables = LayoutTables();
  tables->variant = definition.variant;
  tables->name = definition.name;
  for (uint16_t& code : tables->scanTable) code = 0xFF;  // no key
  std::vector<CharRow> mainRows, keypadRows;
  std::vector<int> mainWidths;
  int keypadWidth = 0;
  for (const KeyDefinition& key : definition.keys) {
    if (key.scan < 0x100) {
      tables->scanTable[key.scan] = key.tableCode;
    } else {
      ScanVk entry = {static_cast<uint8_t>(key.scan & 0xFF), key.tableCode};
      ((key.scan >> 8) == 0xE0 ? tables->e0 : tables->e1).push_back(entry);
    }
    if (!HasCharacters(key)) continue;
    bool seen = false;
    for (const CharRow& row : mainRows) seen = seen || row.vk == key.charVk;
    for (const CharRow& row : keypadRows) seen = seen || row.vk == key.charVk;
    if (seen) continue;  // keys sharing a code share one row (the parser checked they agree)
    CharRow row;
    row.vk = key.charVk;
    int width = 0;
    for (int c = 0; c < kColumnCount; ++c) {
      row.cells[c] = kNone;
      row.accents[c] = 0;
    }
    for (int level = 0; level < kLevelCount; ++level) {
      const Cell& cell = key.cells[level];
      if (!cell.present) continue;
      int column = kLevelColumn[level];
      row.cells[column] = cell.dead ? kDeadCell : static_cast<uint16_t>(cell.ch);
      row.accents[column] = cell.dead ? static_cast<uint16_t>(cell.ch) : 0;
      if (column + 1 > width) width = column + 1;
    }
    const Cell* c = key.cells;
    if (c[kBase].present && c[kShift].present && !c[kBase].dead && !c[kShift].dead &&
        IsCasePair(c[kBase].ch, c[kShift].ch)) {
      row.attributes |= kCapsLock;
    }
    if (c[kAltGr].present && c[kShiftAltGr].present && !c[kAltGr].dead && !c[kShiftAltGr].dead &&
        IsCasePair(c[kAltGr].ch, c[kShiftAltGr].ch)) {
      row.attributes |= kCapsLockAltGr;
    }
    if (key.keypad) {
      keypadRows.push_back(row);
      if (width > keypadWidth) keypadWidth = width;
    } else {
      mainRows.push_back(row);
      mainWidths.push_back(width);
    }
  }
  // Windows searches the tables in order: main keys first, so that VkKeyScan
  // finds a digit or "." on the main keyboard before the keypad.
  for (int width = kColumnCount; width >= 1; --width) {
    CharTable table;
    table.width = width;
    for (size_t i = 0; i < mainRows.size(); ++i) {
      if (mainWidths[i] == width) table.rows.push_back(mainRows[i]);
    }
    if (!table.rows.empty()) tables->charTables.push_back(table);
  }
  if (!keypadRows.empty()) {
    CharTable table;
    table.width = keypadWidth;
    table.rows = keypadRows;
    tables->charTables.push_back(table);
  }
  for (const DeadKeyDefinition& dead : definition.deadKeys) {
    for (const auto& pair : dead.combinations) {
      tables->deadKeys.push_back({static_cast<uint16_t>(dead.accent), static_cast<uint16_t>(pair.first),
                                  static_cast<uint16_t>(pair.second)});
    }
    std::u16string name(1, static_cast<char16_t>(dead.accent));
    tables->deadNames.push_back(name + ToUtf16(dead.name));
  }
  for (const KeyName& name : definition.names) tables->names.push_back({name.scan, ToUtf16(name.name)});
  for (const KeyName& name : definition.extendedNames) {
    tables->extendedNames.push_back({static_cast<uint16_t>(name.scan & 0xFF), ToUtf16(name.name)});
  }
  tables->localeFlags = (1u << 16) | (definition.altGr ? 1u : 0u);  // KBD_VERSION, KLLF_ALTGR
  if (tables->e1.empty()) {
    *error = definition.path + ": the layout needs an E1 key (E11D, Pause)";
    return false;
  }
  if (tables->e0.size() < 4) {
    *error = definition.path + ": the layout needs at least four E0 keys";
    return false;
  }
  return true;
}

const CharRow* FindCharRow(const LayoutTables& tables, uint8_t vk) {
  for (const CharTable& table : tables.charTables) {
    for (const CharRow& row : table.rows) {
      if (row.vk == vk) return &row;
    }
  }
  return nullptr;
}

std::string ScanTableBytes(const LayoutTables& tables) {
  std::string out;
  for (uint16_t code : tables.scanTable) AppendWord(code, &out);
  return out;
}

std::string VscListBytes(const std::vector<ScanVk>& list) {
  std::string out;
  for (const ScanVk& entry : list) {
    out.push_back(static_cast<char>(entry.scan));
    out.push_back('\0');  // the structure's padding byte
    AppendWord(entry.code, &out);
  }
  out.append(4, '\0');
  return out;
}

std::string DecimalCellsAndFollowingBytes(const LayoutTables& tables) {
  for (const CharTable& table : tables.charTables) {
    for (size_t i = 0; i < table.rows.size(); ++i) {
      if (table.rows[i].vk != kDecimalVk) continue;
      std::string out;
      for (size_t r = i; r < table.rows.size(); ++r) {
        const CharRow& row = table.rows[r];
        if (r != i) {
          out.push_back(static_cast<char>(row.vk));
          out.push_back(static_cast<char>(row.attributes));
        }
        for (int c = 0; c < table.width; ++c) AppendWord(row.cells[c], &out);
        // A dead key's second row (code 0xFF) follows it.
        bool dead = false;
        for (int c = 0; c < table.width; ++c) dead = dead || row.cells[c] == kDeadCell;
        if (dead) {
          out.push_back(static_cast<char>(0xFF));
          out.push_back('\0');
          for (int c = 0; c < table.width; ++c) AppendWord(row.cells[c] == kDeadCell ? row.accents[c] : kNone, &out);
        }
      }
      out.append(2 + 2 * table.width, '\0');  // the closing row
      return out;
    }
  }
  return std::string();
}
