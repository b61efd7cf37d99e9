// String-table entries built in memory for the application tests.

#include "TableImage.h"

#include <string.h>

#include <algorithm>

#include "text/Memory.h"
#include "text/WString.h"

namespace {

void PutLe32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

}  // namespace

TableText Wide(uint32_t id, const std::u16string& text) { return {id, text, "", false, 0}; }

TableText Narrow(uint32_t id, const std::string& utf8, uint32_t extraBits) {
  return {id, u"", utf8, true, extraBits};
}

TableImage BuildTable(std::vector<TableText> texts) {
  std::sort(texts.begin(), texts.end(),
            [](const TableText& a, const TableText& b) { return a.id < b.id; });
  std::vector<uint8_t> area;
  std::vector<uint8_t> index;
  for (const TableText& t : texts) {
    PutLe32(index, t.id);
    PutLe32(index, static_cast<uint32_t>(area.size()));
    if (t.narrow) {
      PutLe32(area, 0x80000000u | t.headerExtraBits | static_cast<uint32_t>(t.utf8.size()));
      area.insert(area.end(), t.utf8.begin(), t.utf8.end());
    } else {
      PutLe32(area, t.headerExtraBits | static_cast<uint32_t>(t.wide.size()));
      for (char16_t c : t.wide) {
        area.push_back(static_cast<uint8_t>(c & 0xFF));
        area.push_back(static_cast<uint8_t>(c >> 8));
      }
    }
  }
  TableImage image;
  image.bytes = index;
  image.bytes.insert(image.bytes.end(), area.begin(), area.end());
  image.count = static_cast<int32_t>(texts.size());
  return image;
}

int AttachImage(const TableImage& image, StringTable& table) {
  uint8_t* copy = static_cast<uint8_t*>(AllocateBlock(image.bytes.size()));
  memcpy(copy, image.bytes.data(), image.bytes.size());
  if (table.attach(copy, image.count, static_cast<uint32_t>(image.bytes.size()))) return 1;
  FreeBlock(copy);
  return 0;
}

std::u16string WideOf(const WString& text) {
  if (!text.IsWide()) return std::u16string();
  const WChar* p = text.WideAt(0);
  return std::u16string(reinterpret_cast<const char16_t*>(p),
                        static_cast<size_t>(text.Length()));
}
