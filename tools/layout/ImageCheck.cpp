// ImageCheck: finds each whole table in the image by its full bytes, then
// requires the pattern to occur once and at that same offset.
#include "tools/layout/ImageCheck.h"

namespace {

void CheckOne(const std::string& imageName, const std::string& image, uint32_t id, const std::string& pattern,
              const std::string& table, size_t tableOffsetOfPattern, std::vector<std::string>* faults) {
  std::string prefix = imageName + ": pattern " + std::to_string(id) + " ";
  if (pattern.empty()) {
    faults->push_back(prefix + "is empty");
    return;
  }
  std::vector<size_t> tables = FindAll(image, table);
  if (tables.size() != 1) {
    faults->push_back(prefix + "cannot be placed: its table occurs " + std::to_string(tables.size()) + " times");
    return;
  }
  std::vector<size_t> found = FindAll(image, pattern);
  size_t expected = tables[0] + tableOffsetOfPattern;
  if (found.size() != 1) {
    faults->push_back(prefix + "found " + std::to_string(found.size()) + " times (must be once)");
  } else if (found[0] != expected) {
    faults->push_back(prefix + "found at " + std::to_string(found[0]) + ", table at " + std::to_string(expected));
  }
}

}  // namespace

bool CheckImagePatterns(const std::string& imageName, const std::string& image, const LayoutTables& tables,
                        const LayoutPatterns& patterns, std::vector<std::string>* faults) {
  size_t before = faults->size();
  int v = tables.variant;
  CheckOne(imageName, image, 145 + v, patterns.scanTable[v], ScanTableBytes(tables), 0, faults);
  CheckOne(imageName, image, 148, patterns.e0, VscListBytes(tables.e0), 0, faults);
  CheckOne(imageName, image, 149, patterns.e1, VscListBytes(tables.e1), 0, faults);
  // The decimal key's row: its code and attributes come before the cells.
  std::string decimal = DecimalCellsAndFollowingBytes(tables);
  const CharRow* row = FindCharRow(tables, 0x6E);
  if (row == nullptr || decimal.empty()) {
    faults->push_back(imageName + ": no keypad decimal key");
  } else {
    std::string withCode = std::string(1, static_cast<char>(row->vk)) + static_cast<char>(row->attributes) + decimal;
    CheckOne(imageName, image, 144, patterns.decimal, withCode, 2, faults);
  }
  return faults->size() == before;
}
