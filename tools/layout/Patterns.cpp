// Patterns: derives texts 144-149 from the tables, long enough to be unique in
// an image yet starting exactly where setup writes.
#include "tools/layout/Patterns.h"

namespace {

constexpr size_t kScanPatternBytes = 16;     // codes of scan codes 0x00-0x07
constexpr size_t kE0PatternBytes = 16;       // the first four records
constexpr size_t kDecimalPatternBytes = 12;  // the two cells and the next row's start

}  // namespace

bool DerivePatterns(const std::vector<LayoutTables>& tables, LayoutPatterns* patterns, std::string* error) {
  if (tables.size() != 3) {
    *error = "patterns need the three variants";
    return false;
  }
  for (int v = 0; v < 3; ++v) {
    if (tables[v].variant != v) {
      *error = "definitions must be given in variant order 0, 1, 2";
      return false;
    }
    patterns->scanTable[v] = ScanTableBytes(tables[v]).substr(0, kScanPatternBytes);
    std::string e0 = VscListBytes(tables[v].e0).substr(0, kE0PatternBytes);
    std::string e1 = VscListBytes(tables[v].e1);
    std::string decimal = DecimalCellsAndFollowingBytes(tables[v]);
    if (decimal.empty()) {
      *error = "variant " + std::to_string(v) + " has no keypad decimal key (DECIMAL)";
      return false;
    }
    decimal = decimal.substr(0, kDecimalPatternBytes);
    if (v == 0) {
      patterns->e0 = e0;
      patterns->e1 = e1;
      patterns->decimal = decimal;
    } else if (e0 != patterns->e0 || e1 != patterns->e1 || decimal != patterns->decimal) {
      // 144, 148 and 149 are searched in every variant's image.
      *error = "variant " + std::to_string(v) +
               " starts its E0 list, E1 list or keypad decimal row differently from variant 0";
      return false;
    }
  }
  return true;
}

std::vector<std::pair<uint32_t, std::string>> PatternsById(const LayoutPatterns& patterns) {
  return {{144, patterns.decimal},      {145, patterns.scanTable[0]}, {146, patterns.scanTable[1]},
          {147, patterns.scanTable[2]}, {148, patterns.e0},           {149, patterns.e1}};
}

std::string UpperHex(const std::string& bytes) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (char c : bytes) {
    uint8_t b = static_cast<uint8_t>(c);
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 15]);
  }
  return out;
}

std::vector<size_t> FindAll(const std::string& haystack, const std::string& needle) {
  std::vector<size_t> found;
  if (needle.empty()) return found;
  for (size_t at = haystack.find(needle); at != std::string::npos; at = haystack.find(needle, at + 1)) {
    found.push_back(at);
  }
  return found;
}
