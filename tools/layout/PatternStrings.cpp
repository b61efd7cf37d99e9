// PatternStrings: decodes the hex texts of 144-149 into bytes.
#include "tools/layout/PatternStrings.h"

#include <vector>

#include "tools/payload/StringSource.h"

namespace {

int HexDigit(char16_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;  // lower case is refused: setup decodes upper case only
}

}  // namespace

bool ReadPatternStrings(const std::string& path, LayoutPatterns* patterns, std::string* error) {
  std::vector<SourceText> texts;
  if (!ReadStringSource(path, &texts, error)) return false;
  std::string* slots[6] = {&patterns->decimal, &patterns->scanTable[0], &patterns->scanTable[1],
                           &patterns->scanTable[2], &patterns->e0, &patterns->e1};
  for (uint32_t id = 144; id <= 149; ++id) {
    const SourceText* found = nullptr;
    for (const SourceText& text : texts) {
      if (text.id == id) found = &text;
    }
    if (found == nullptr) {
      *error = path + ": text " + std::to_string(id) + " is missing";
      return false;
    }
    std::string bytes;
    const std::u16string& units = found->units;
    for (size_t i = 0; i + 1 < units.size() + 1; i += 2) {
      if (i + 1 >= units.size() || HexDigit(units[i]) < 0 || HexDigit(units[i + 1]) < 0) {
        *error = path + ":" + std::to_string(found->line) + ": text " + std::to_string(id) +
                 " is not upper-case hex byte pairs";
        return false;
      }
      bytes.push_back(static_cast<char>(HexDigit(units[i]) * 16 + HexDigit(units[i + 1])));
    }
    *slots[id - 144] = bytes;
  }
  return true;
}
