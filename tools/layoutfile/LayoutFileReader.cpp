// LayoutFileReader: finds .data, the descriptor and KBDTABLES, then walks every
// table with the field offsets of the mode's pointer size (kbd.h: 4 bytes for
// x86, 8 for x64 and wow64, each pointer aligned to its size).
#include "tools/layoutfile/LayoutFileReader.h"

#include "tools/layoutfile/DataSectionReader.h"
#include "tools/layoutfile/DescriptorCode.h"
#include "tools/layoutfile/FileBytes.h"

namespace {

const char kDataSection[] = ".data";
const char kDescriptor[] = "KbdLayerDescriptor";

uint64_t AlignUp(uint64_t value, uint64_t alignment) { return (value + alignment - 1) / alignment * alignment; }

class TablesReader {
 public:
  explicit TablesReader(DataSectionReader* data) : d_(*data), p_(data->PointerSize()) {}

  bool Read(uint64_t rva, LayoutFileTables* t) {
    // KBDTABLES: seven pointers, bMaxVSCtoVK, two pointers, fLocaleFlags,
    // nLgMax, cbLgEntry, pLigature, dwType, dwSubType.
    const uint64_t ligature = AlignUp(10 * p_ + 6, p_);
    const uint64_t size = AlignUp(ligature + p_ + 8, p_);
    uint64_t at = 0, modifiers = 0, chars = 0, dead = 0, names = 0, extended = 0, deadNames = 0, scan = 0, e0 = 0,
             e1 = 0, ligatures = 0;
    uint8_t scanCount = 0;
    return d_.Take(rva, size, "KBDTABLES", &at) &&
           Required(rva, "KBDTABLES.pCharModifiers", &modifiers) && Modifiers(modifiers, t) &&
           Required(rva + p_, "KBDTABLES.pVkToWcharTable", &chars) && CharTables(chars, t) &&
           d_.Pointer(rva + 2 * p_, "KBDTABLES.pDeadKey", true, &dead, &t->deadKeysNull) &&
           (t->deadKeysNull || DeadKeys(dead, &t->deadKeys)) &&
           Required(rva + 3 * p_, "KBDTABLES.pKeyNames", &names) && Names(names, "key names", &t->names) &&
           Required(rva + 4 * p_, "KBDTABLES.pKeyNamesExt", &extended) &&
           Names(extended, "extended key names", &t->extendedNames) &&
           d_.Pointer(rva + 5 * p_, "KBDTABLES.pKeyNamesDead", true, &deadNames, &t->deadNamesNull) &&
           (t->deadNamesNull || DeadNames(deadNames, &t->deadNames)) &&
           Required(rva + 6 * p_, "KBDTABLES.pusVSCtoVK", &scan) &&
           d_.Byte(rva + 7 * p_, "KBDTABLES.bMaxVSCtoVK", &scanCount) && ScanTable(scan, scanCount, &t->scanTable) &&
           Required(rva + 8 * p_, "KBDTABLES.pVSCtoVK_E0", &e0) && ScanList(e0, "E0 list", &t->e0) &&
           Required(rva + 9 * p_, "KBDTABLES.pVSCtoVK_E1", &e1) && ScanList(e1, "E1 list", &t->e1) &&
           d_.Dword(rva + 10 * p_, "KBDTABLES.fLocaleFlags", &t->localeFlags) &&
           d_.Byte(rva + 10 * p_ + 4, "KBDTABLES.nLgMax", &t->ligatureMax) &&
           d_.Byte(rva + 10 * p_ + 5, "KBDTABLES.cbLgEntry", &t->ligatureEntrySize) &&
           d_.Pointer(rva + ligature, "KBDTABLES.pLigature", true, &ligatures, &t->ligaturesNull) &&
           (t->ligaturesNull || Ligatures(ligatures, t)) &&
           d_.Dword(rva + ligature + p_, "KBDTABLES.dwType", &t->type) &&
           d_.Dword(rva + ligature + p_ + 4, "KBDTABLES.dwSubType", &t->subType);
  }

 private:
  bool Required(uint64_t field, const std::string& what, uint64_t* target) {
    bool isNull = false;
    return d_.Pointer(field, what, false, target, &isNull);
  }

  // Record `index` of a list at `rva`; past .data's end the list has lost its end.
  bool Record(uint64_t rva, uint64_t index, uint64_t size, const std::string& what, uint64_t* record) {
    *record = rva + index * size;
    if (index > 0 && !d_.Holds(*record, size)) {
      return d_.Fail(rva, what, "no closing record before the end of .data");
    }
    uint64_t offset = 0;
    return d_.Take(*record, size, what, &offset);
  }

  bool Modifiers(uint64_t rva, LayoutFileTables* t) {
    uint64_t bits = 0;
    if (!Required(rva, "MODIFIERS.pVkToBit", &bits) || !d_.Word(rva + p_, "MODIFIERS.wMaxModBits", &t->maxModBits)) {
      return false;
    }
    for (uint64_t i = 0; i <= t->maxModBits; ++i) {
      uint8_t column = 0;
      if (!d_.Byte(rva + p_ + 2 + i, "MODIFIERS.ModNumber", &column)) return false;
      t->columns.push_back(column);
    }
    for (uint64_t i = 0;; ++i) {
      uint64_t at = 0;
      FileVkBit pair;
      if (!Record(bits, i, 2, "VK_TO_BIT list", &at) || !d_.Byte(at, "VK_TO_BIT", &pair.vk)) return false;
      if (pair.vk == 0) return true;
      if (!d_.Byte(at + 1, "VK_TO_BIT", &pair.bits)) return false;
      t->modifierBits.push_back(pair);
    }
  }

  bool CharTables(uint64_t rva, LayoutFileTables* t) {
    for (uint64_t i = 0;; ++i) {
      uint64_t at = 0, rows = 0;
      bool end = false;
      uint8_t width = 0, rowSize = 0;
      const std::string what = "VK_TO_WCHAR_TABLE " + std::to_string(i);
      if (!Record(rva, i, 2 * p_, "VK_TO_WCHAR_TABLE list", &at) ||
          !d_.Pointer(at, what + " pVkToWchars", true, &rows, &end)) {
        return false;
      }
      if (end) return true;
      if (!d_.Byte(at + p_, what, &width) || !d_.Byte(at + p_ + 1, what, &rowSize)) return false;
      if (rowSize != 2 + 2 * width) {
        return d_.Fail(at, what, "cbSize " + std::to_string(rowSize) + " is not 2 + 2 * nModifications (" +
                                     std::to_string(width) + ")");
      }
      FileCharTable table;
      table.width = width;
      if (!Rows(rows, "character table " + std::to_string(i), &table)) return false;
      t->charTables.push_back(table);
    }
  }

  bool Rows(uint64_t rva, const std::string& what, FileCharTable* table) {
    const uint64_t size = 2 + 2 * static_cast<uint64_t>(table->width);
    for (uint64_t i = 0;; ++i) {
      uint64_t at = 0;
      FileCharRow row;
      if (!Record(rva, i, size, what, &at) || !d_.Byte(at, what, &row.vk)) return false;
      if (row.vk == 0) return true;
      if (!d_.Byte(at + 1, what, &row.attributes)) return false;
      row.cells.resize(static_cast<size_t>(table->width));
      for (int c = 0; c < table->width; ++c) {
        if (!d_.Word(at + 2 + 2 * static_cast<uint64_t>(c), what, &row.cells[static_cast<size_t>(c)])) return false;
      }
      table->rows.push_back(row);
    }
  }

  bool DeadKeys(uint64_t rva, std::vector<FileDeadKey>* keys) {
    for (uint64_t i = 0;; ++i) {
      uint64_t at = 0;
      FileDeadKey key;
      if (!Record(rva, i, 8, "DEADKEY list", &at) || !d_.Dword(at, "DEADKEY", &key.both)) return false;
      if (key.both == 0) return true;
      if (!d_.Word(at + 4, "DEADKEY", &key.composed) || !d_.Word(at + 6, "DEADKEY", &key.flags)) return false;
      keys->push_back(key);
    }
  }

  bool Names(uint64_t rva, const std::string& what, std::vector<FileKeyName>* names) {
    for (uint64_t i = 0;; ++i) {
      uint64_t at = 0, text = 0;
      FileKeyName name;
      if (!Record(rva, i, 2 * p_, what, &at) || !d_.Byte(at, what, &name.scan)) return false;
      if (name.scan == 0) return true;
      const std::string entry = what + " " + std::to_string(i);
      if (!Required(at + p_, entry + " pwsz", &text) || !Text(text, entry + " text", &name.text)) return false;
      names->push_back(name);
    }
  }

  bool DeadNames(uint64_t rva, std::vector<std::u16string>* names) {
    for (uint64_t i = 0;; ++i) {
      uint64_t at = 0, text = 0;
      bool end = false;
      const std::string entry = "dead key name " + std::to_string(i);
      if (!Record(rva, i, p_, "dead key names", &at) || !d_.Pointer(at, entry, true, &text, &end)) return false;
      if (end) return true;
      std::u16string name;
      if (!Text(text, entry + " text", &name)) return false;
      names->push_back(name);
    }
  }

  bool Text(uint64_t rva, const std::string& what, std::u16string* text) {
    for (uint64_t i = 0;; ++i) {
      uint64_t at = rva + 2 * i;
      if (i > 0 && !d_.Holds(at, 2)) return d_.Fail(rva, what, "no closing NUL before the end of .data");
      uint16_t unit = 0;
      if (!d_.Word(at, what, &unit)) return false;
      if (unit == 0) return true;
      text->push_back(static_cast<char16_t>(unit));
    }
  }

  bool ScanTable(uint64_t rva, uint8_t count, std::vector<uint16_t>* table) {
    uint64_t at = 0;
    if (!d_.Take(rva, 2ull * count, "scan code table", &at)) return false;
    for (uint64_t i = 0; i < count; ++i) table->push_back(File16(d_.Bytes(), at + 2 * i));
    return true;
  }

  bool ScanList(uint64_t rva, const std::string& what, std::vector<FileScanCode>* list) {
    for (uint64_t i = 0;; ++i) {
      uint64_t at = 0;
      FileScanCode entry;
      if (!Record(rva, i, 4, what, &at) || !d_.Byte(at, what, &entry.scan)) return false;
      if (entry.scan == 0) return true;
      if (!d_.Word(at + 2, what, &entry.code)) return false;
      list->push_back(entry);
    }
  }

  bool Ligatures(uint64_t rva, LayoutFileTables* t) {
    const uint64_t size = 4 + 2 * static_cast<uint64_t>(t->ligatureMax);
    if (t->ligatureEntrySize != size) {
      return d_.Fail(rva, "ligatures",
                     "cbLgEntry " + std::to_string(t->ligatureEntrySize) + " is not 4 + 2 * nLgMax (" +
                         std::to_string(t->ligatureMax) + ")");
    }
    for (uint64_t i = 0;; ++i) {
      uint64_t at = 0;
      FileLigature entry;
      if (!Record(rva, i, size, "ligatures", &at) || !d_.Byte(at, "ligatures", &entry.vk)) return false;
      if (entry.vk == 0) return true;
      if (!d_.Word(at + 2, "ligatures", &entry.modification)) return false;
      entry.cells.resize(t->ligatureMax);
      for (size_t c = 0; c < entry.cells.size(); ++c) {
        if (!d_.Word(at + 4 + 2 * c, "ligatures", &entry.cells[c])) return false;
      }
      t->ligatures.push_back(entry);
    }
  }

  DataSectionReader& d_;
  const uint64_t p_;
};

bool CheckForm(const PeFile& pe, LayoutFileMode mode, std::string* error) {
  const bool wide = mode == LayoutFileMode::kX64;
  const uint16_t machine = wide ? kMachineAmd64 : kMachineI386;
  if (pe.machine == machine && pe.plus == wide) return true;
  *error = std::string("machine ") + Hex32(pe.machine) + (pe.plus ? " PE32+" : " PE32") + " is not the " +
           LayoutFileModeName(mode) + " form (" + Hex32(machine) + (wide ? " PE32+)" : " PE32)");
  return false;
}

const PeSection* DataSection(const PeFile& pe, std::string* error) {
  const PeSection* found = nullptr;
  for (const PeSection& section : pe.sections) {
    if (section.name != kDataSection) continue;
    if (found != nullptr) {
      *error = "two sections named .data";
      return nullptr;
    }
    found = &section;
  }
  if (found == nullptr) *error = "no .data section";
  return found;
}

}  // namespace

bool ParseLayoutFileMode(const std::string& name, LayoutFileMode* mode) {
  for (LayoutFileMode m : {LayoutFileMode::kX86, LayoutFileMode::kX64, LayoutFileMode::kWow64}) {
    if (name == LayoutFileModeName(m)) {
      *mode = m;
      return true;
    }
  }
  return false;
}

const char* LayoutFileModeName(LayoutFileMode mode) {
  switch (mode) {
    case LayoutFileMode::kX86: return "x86";
    case LayoutFileMode::kX64: return "x64";
    case LayoutFileMode::kWow64: return "wow64";
  }
  return "?";
}

bool ReadLayoutFile(const std::string& bytes, LayoutFileMode mode, LayoutFileTables* tables, std::string* error) {
  *tables = LayoutFileTables();
  PeFile pe;
  std::map<uint32_t, uint8_t> relocations;
  uint32_t descriptor = 0;
  if (!ParsePeFile(bytes, &pe, error) || !CheckForm(pe, mode, error)) return false;
  const PeSection* data = DataSection(pe, error);
  if (data == nullptr || !ReadBaseRelocations(bytes, pe, &relocations, error) ||
      !FindExport(bytes, pe, kDescriptor, &descriptor, error)) {
    return false;
  }
  DataSectionReader reader(bytes, pe, *data, relocations, mode, error);
  uint64_t tablesRva = 0;
  if (!TablesRvaFromDescriptor(&reader, mode, descriptor, &tablesRva) ||
      !TablesReader(&reader).Read(tablesRva, tables)) {
    return false;
  }
  uint32_t stray = 0;
  uint8_t type = 0;
  if (reader.UnusedRelocation(&stray, &type)) {
    *error = "base relocation (type " + std::to_string(type) + ") at RVA " + Hex32(stray) +
             " lies on no pointer the tables hold";
    return false;
  }
  return true;
}
