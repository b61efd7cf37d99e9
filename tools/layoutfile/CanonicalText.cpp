// CanonicalText: prints the tables one item a line in the documented form.
#include "tools/layoutfile/CanonicalText.h"

#include <stdio.h>

namespace {

std::string Hex(uint32_t value, int digits) {
  char text[16];
  snprintf(text, sizeof text, "%0*X", digits, value);
  return text;
}

std::string Quoted(const std::u16string& text) {
  std::string out = "\"";
  for (char16_t unit : text) {
    if (unit == '"' || unit == '\\') {
      out += '\\';
      out += static_cast<char>(unit);
    } else if (unit >= 0x20 && unit < 0x7F) {
      out += static_cast<char>(unit);
    } else {
      out += "\\u" + Hex(unit, 4);
    }
  }
  return out + "\"";
}

std::string Cells(const std::vector<uint16_t>& cells) {
  std::string out;
  for (uint16_t cell : cells) out += " " + Hex(cell, 4);
  return out;
}

std::string Count(const char* name, size_t count) { return std::string(name) + " " + std::to_string(count) + "\n"; }

void ScanCodes(const char* name, const std::vector<FileScanCode>& list, std::string* out) {
  *out += Count(name, list.size());
  for (const FileScanCode& entry : list) {
    *out += std::string(name) + " " + Hex(entry.scan, 2) + " " + Hex(entry.code, 4) + "\n";
  }
}

void Names(const char* list, const char* item, const std::vector<FileKeyName>& names, std::string* out) {
  *out += Count(list, names.size());
  for (const FileKeyName& name : names) {
    *out += std::string(item) + " " + Hex(name.scan, 2) + " " + Quoted(name.text) + "\n";
  }
}

}  // namespace

std::string CanonicalLayoutText(const LayoutFileTables& t) {
  std::string out = Count("modifiers", t.modifierBits.size());
  for (const FileVkBit& pair : t.modifierBits) out += "modifier " + Hex(pair.vk, 2) + " " + Hex(pair.bits, 2) + "\n";
  out += "columns " + Hex(t.maxModBits, 4);
  for (uint8_t column : t.columns) out += " " + Hex(column, 2);
  out += "\n" + Count("scan", t.scanTable.size());
  for (size_t i = 0; i < t.scanTable.size(); ++i) {
    out += "scan " + Hex(static_cast<uint32_t>(i), 2) + " " + Hex(t.scanTable[i], 4) + "\n";
  }
  ScanCodes("e0", t.e0, &out);
  ScanCodes("e1", t.e1, &out);
  out += Count("chartables", t.charTables.size());
  for (size_t i = 0; i < t.charTables.size(); ++i) {
    const FileCharTable& table = t.charTables[i];
    out += "chars " + std::to_string(i) + " width " + std::to_string(table.width) + " rows " +
           std::to_string(table.rows.size()) + "\n";
    for (const FileCharRow& row : table.rows) {
      out += "row " + Hex(row.vk, 2) + " " + Hex(row.attributes, 2) + Cells(row.cells) + "\n";
    }
  }
  out += t.deadKeysNull ? "deadkeys null\n" : Count("deadkeys", t.deadKeys.size());
  for (const FileDeadKey& key : t.deadKeys) {
    out += "dead " + Hex(key.both >> 16, 4) + " " + Hex(key.both & 0xFFFF, 4) + " " + Hex(key.composed, 4) + " " +
           Hex(key.flags, 4) + "\n";
  }
  Names("names", "name", t.names, &out);
  Names("namesext", "nameext", t.extendedNames, &out);
  out += t.deadNamesNull ? "deadnames null\n" : Count("deadnames", t.deadNames.size());
  for (const std::u16string& name : t.deadNames) out += "deadname " + Quoted(name) + "\n";
  out += "locale " + Hex(t.localeFlags, 8) + "\n";
  out += "ligatures " + (t.ligaturesNull ? std::string("null") : std::to_string(t.ligatures.size())) + " max " +
         Hex(t.ligatureMax, 2) + " entry " + Hex(t.ligatureEntrySize, 2) + "\n";
  for (const FileLigature& entry : t.ligatures) {
    out += "ligature " + Hex(entry.vk, 2) + " " + Hex(entry.modification, 4) + Cells(entry.cells) + "\n";
  }
  out += "type " + Hex(t.type, 8) + " " + Hex(t.subType, 8) + "\n";
  return out;
}
