// libFuzzer target: string-table entries. The first byte chooses between the
// input as an entry as it is (a record count, then the bytes), and a table the
// harness builds from the input as the payload tool does (sorted index, counted
// records on 2-byte boundaries), attached as it is or packed and extracted with
// ExtractStringTable, then damaged in one chosen field. Every record a lookup
// hands out must lie inside the entry; in a right table every id finds its own.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "payload/StringTable.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/payload/PayloadTestSupport.h"
#include "text/LittleEndian.h"
#include "text/Memory.h"
#include "text/WString.h"

namespace {

enum Damage : uint32_t {
  kAsGiven,      // no building: a count, then the entry's bytes
  kNone,
  kOffsetField,  // one index record's offset
  kHeaderField,  // one record's count and narrow bit
  kIndexCount,   // the count the entry is attached with
  kIdOrder,      // two index records swapped
  kCutEntry,     // bytes dropped from the end
  kDamageCount
};

typedef FuzzInput Input;

struct Record {
  uint32_t id;
  uint32_t offset;  // in the text area
};

void PutLe32(std::string* out, size_t at, uint32_t v) {
  WriteLittle32(reinterpret_cast<uint8_t*>(&(*out)[at]), v);
}

// Records from the input (distinct ids, each with a narrow or wide text) as
// the payload tool lays them out; their ids and offsets, ascending, in *records.
std::string BuildTable(Input* in, std::vector<Record>* records) {
  const uint32_t wanted = 1 + in->Byte() % 24;
  std::vector<std::pair<uint32_t, std::string>> texts;
  for (uint32_t i = 0; i < wanted && in->size > 0; ++i) {
    const uint32_t id = in->Word();
    const uint32_t flags = in->Byte();
    std::string characters = in->Bytes(flags >> 1);
    const bool narrow = (flags & 1) != 0;
    if (!narrow) characters.resize(characters.size() / 2 * 2);
    uint32_t header = static_cast<uint32_t>(narrow ? characters.size() : characters.size() / 2);
    if (narrow) header |= kCountedTextNarrowBit;
    std::string record(4, '\0');
    PutLe32(&record, 0, header);
    texts.push_back({id, record + characters});
  }
  std::sort(texts.begin(), texts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  texts.erase(std::unique(texts.begin(), texts.end(),
                          [](const auto& a, const auto& b) { return a.first == b.first; }),
              texts.end());
  std::string index(8 * texts.size(), '\0'), area;
  for (size_t i = 0; i < texts.size(); ++i) {
    records->push_back({texts[i].first, static_cast<uint32_t>(area.size())});
    PutLe32(&index, 8 * i, texts[i].first);
    PutLe32(&index, 8 * i + 4, static_cast<uint32_t>(area.size()));
    area += texts[i].second;
    if (area.size() % 2 != 0) area.push_back('\0');
  }
  return index + area;
}

const KeyBlock* RealKeyBlock() {
  static KeyBlock keyBlock(PayloadKeyParameters());
  static const int loaded = LoadRealKeyBlock(&keyBlock);
  return loaded ? &keyBlock : nullptr;
}

// Attaches `bytes` with `count` records to `table`, as an exact block of its
// own or packed and extracted. 1 = attached.
int Attach(const std::string& bytes, uint32_t count, bool packed, StringTable* table) {
  if (packed) {
    const std::string stored = Packed(*RealKeyBlock(), bytes, count);
    return ExtractStringTable(*RealKeyBlock(), reinterpret_cast<const uint8_t*>(stored.data()),
                              static_cast<uint32_t>(stored.size()), *table);
  }
  if (count > INT32_MAX) return 0;
  uint8_t* entry = static_cast<uint8_t*>(AllocateBlock(bytes.size()));
  if (!bytes.empty()) memcpy(entry, bytes.data(), bytes.size());
  if (table->attach(entry, static_cast<int32_t>(count), static_cast<uint32_t>(bytes.size()))) return 1;
  FreeBlock(entry);
  return 0;
}

// Looks `id` up; traps when the record it hands out does not lie wholly in the
// entry's text area. Loads the record's text as the program does.
const uint8_t* CheckedFind(const StringTable& table, uint32_t id) {
  const uint8_t* record = table.find(id);
  if (record == nullptr) return nullptr;
  const uint8_t* end = table.data + table.size;
  if (record < table.text || end - record < 4) __builtin_trap();
  const uint32_t header = ReadLittle32(record);
  const uint64_t unit = (header & kCountedTextNarrowBit) != 0 ? 1 : 2;
  const uint64_t bytes = (header & kCountedTextCountMask) * unit;
  if (bytes > static_cast<uint64_t>(end - record - 4)) __builtin_trap();
  WString text;
  if (text.AssignRecord(record)) text.ToWide(-1);
  return record;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 65536 || RealKeyBlock() == nullptr) return 0;
  Input in{data + 1, size - 1};
  const uint32_t damage = (data[0] & 0x0F) % kDamageCount;
  StringTable table;
  std::vector<Record> records;
  std::string bytes;
  uint32_t count = 0;
  if (damage == kAsGiven) {
    count = in.Byte() | in.Byte() << 8;
    bytes = in.Bytes(in.size);
  } else {
    const uint32_t word = in.Word();
    bytes = BuildTable(&in, &records);
    if (records.empty()) return 0;
    count = static_cast<uint32_t>(records.size());
    const size_t pick = 8 * (word % count);
    switch (damage) {
      case kOffsetField: {
        // Anywhere, or near the end of the text area where a record's header would cross it.
        const uint32_t area = static_cast<uint32_t>(bytes.size() - 8 * count);
        const uint32_t offset = ReadLittle32(reinterpret_cast<const uint8_t*>(&bytes[pick + 4]));
        PutLe32(&bytes, pick + 4, word & 0x80 ? area - (word >> 8) % 8 : offset ^ (word | 1));
        break;
      }
      case kHeaderField: {
        const size_t at = 8 * count + records[word % count].offset;
        PutLe32(&bytes, at, ReadLittle32(reinterpret_cast<const uint8_t*>(&bytes[at])) ^ (word | 1));
        break;
      }
      case kIndexCount:
        count ^= word | 1;
        break;
      case kIdOrder:
        std::swap_ranges(bytes.begin() + static_cast<ptrdiff_t>(pick),
                         bytes.begin() + static_cast<ptrdiff_t>(pick + 8), bytes.begin());
        break;
      case kCutEntry:
        bytes.resize(bytes.size() - 1 - word % bytes.size());
        break;
      default:
        break;
    }
  }
  const bool packed = (data[0] & 0x10) != 0;
  const int attached = Attach(bytes, count, packed, &table);
  // An index of `count` records is refused exactly when it is longer than the entry.
  if (count <= INT32_MAX && count > 0 && (attached != 0) != (uint64_t{count} * 8 <= bytes.size())) {
    __builtin_trap();
  }
  if (!attached) return 0;
  if (damage == kNone) {
    // A right table finds every id at its own record, and no id between them.
    for (const Record& record : records) {
      if (CheckedFind(table, record.id) != table.text + record.offset) __builtin_trap();
      const uint32_t next = record.id + 1;
      const bool listed = std::any_of(records.begin(), records.end(),
                                      [next](const Record& r) { return r.id == next; });
      if (!listed && CheckedFind(table, next) != nullptr) __builtin_trap();
    }
    return 0;
  }
  for (int32_t i = 0; i < table.count; ++i) {
    const uint32_t id = ReadLittle32(table.index + 8 * static_cast<size_t>(i));
    for (uint32_t probe : {id, id + 1, id - 1}) CheckedFind(table, probe);
  }
  return 0;
}
