// The string-table entry layout: sorted index, then counted text records.
#include "tools/payload/TableBuilder.h"

#include <algorithm>

namespace {

void AppendLe32(std::string* out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

std::string BuildStringTable(std::vector<SourceText> texts) {
  std::sort(texts.begin(), texts.end(),
            [](const SourceText& a, const SourceText& b) { return a.id < b.id; });
  std::string index;
  std::string area;
  for (const SourceText& text : texts) {
    AppendLe32(&index, text.id);
    AppendLe32(&index, static_cast<uint32_t>(area.size()));
    uint32_t header = static_cast<uint32_t>(text.units.size());
    std::string characters = StoredCharacters(text);
    if (text.narrow) header = static_cast<uint32_t>(characters.size()) | 0x80000000u;
    AppendLe32(&area, header);
    area += characters;
    // Keep every record on a 2-byte boundary so UTF-16 units stay aligned.
    if (area.size() % 2 != 0) area.push_back('\0');
  }
  return index + area;
}
