// StringTable: attach, release and the bisection lookup of a string id.

#include "payload/StringTable.h"

#include "text/LittleEndian.h"
#include "text/Memory.h"

namespace {

constexpr uint32_t kIndexRecordSize = 8;
constexpr uint32_t kNarrowBit = 0x80000000u;
constexpr uint32_t kCountMask = 0x1FFFFFFFu;

}  // namespace

StringTable::StringTable() { clear(); }

StringTable::~StringTable() { release(); }

void StringTable::clear() {
  count = 0;
  data = nullptr;
  index = nullptr;
  text = nullptr;
  size = 0;
}

int StringTable::attach(uint8_t* newData, int32_t newCount, uint32_t newSize) {
  if (newData == nullptr || newCount <= 0) return 0;
  // 64-bit product: a huge count can neither wrap nor point past the entry.
  const uint64_t indexBytes = static_cast<uint64_t>(newCount) * kIndexRecordSize;
  if (indexBytes > newSize) return 0;
  release();
  data = newData;
  count = newCount;
  size = newSize;
  index = data;
  text = data + indexBytes;
  return 1;
}

void StringTable::release() {
  FreeBlock(data);
  clear();
}

const uint8_t* StringTable::find(uint32_t id) const {
  if (index == nullptr || text == nullptr) return nullptr;
  int32_t lo = 0;
  int32_t hi = count - 1;
  while (lo <= hi) {
    const int32_t mid = lo + (hi - lo) / 2;
    const uint8_t* record = index + static_cast<uint32_t>(mid) * kIndexRecordSize;
    const uint32_t key = ReadLittle32(record);
    if (key == id) {
      // The index comes from the payload: refuse a record that would reach
      // past the entry instead of handing out a pointer into foreign memory.
      const uint64_t textBytes = size - static_cast<uint64_t>(text - data);
      const uint64_t offset = ReadLittle32(record + 4);
      if (offset + 4 > textBytes) return nullptr;
      const uint32_t header = ReadLittle32(text + offset);
      const uint64_t unitSize = (header & kNarrowBit) ? 1 : 2;
      if (offset + 4 + unitSize * (header & kCountMask) > textBytes) return nullptr;
      return text + offset;
    }
    if (key < id) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
    }
  }
  return nullptr;
}
