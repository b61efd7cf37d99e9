// String tables: bisection in unsigned order, and records whose offset or
// count would leave the entry.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "payload/StringTable.h"
#include "text/Memory.h"
#include "text/WString.h"

namespace {

std::string Le32(uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[static_cast<size_t>(i)] = static_cast<char>(v >> (8 * i));
  return s;
}

// Records (id, header, characters) in the given order; offsets follow them.
std::string Table(const std::vector<std::pair<uint32_t, std::string>>& records) {
  std::string index, area;
  for (const auto& r : records) {
    index += Le32(r.first) + Le32(static_cast<uint32_t>(area.size()));
    area += r.second;
  }
  return index + area;
}

std::string Narrow(const std::string& text) {
  return Le32(0x80000000u | static_cast<uint32_t>(text.size())) + text;
}

struct Attached {
  StringTable table;
  explicit Attached(const std::string& bytes, int32_t count) {
    uint8_t* data = static_cast<uint8_t*>(AllocateBlock(bytes.size()));
    memcpy(data, bytes.data(), bytes.size());
    if (!table.attach(data, count, static_cast<uint32_t>(bytes.size()))) FreeBlock(data);
  }
  std::string Find(uint32_t id) {
    const uint8_t* record = table.find(id);
    if (record == nullptr) return "<none>";
    WString text;
    text.AssignRecord(record);
    text.ToWide(-1);
    std::string out;
    for (int32_t i = 0; i < text.Length(); ++i) out.push_back(static_cast<char>(text.WideAt(0)[i]));
    return out;
  }
};

TEST(StringTableFind, BisectsInUnsignedOrder) {
  Attached t(Table({{1, Narrow("one")}, {7, Narrow("seven")}, {0x7FFFFFFF, Narrow("max")},
                    {0x80000000u, Narrow("high")}, {0xFFFFFFFFu, Narrow("top")}}), 5);
  EXPECT_EQ("one", t.Find(1));
  EXPECT_EQ("seven", t.Find(7));
  EXPECT_EQ("high", t.Find(0x80000000u));
  EXPECT_EQ("top", t.Find(0xFFFFFFFFu));
  EXPECT_EQ("<none>", t.Find(0));
  EXPECT_EQ("<none>", t.Find(8));
  Attached single(Table({{93, Narrow("caption")}}), 1);
  EXPECT_EQ("caption", single.Find(93));
  EXPECT_EQ("<none>", single.Find(92));
}

TEST(StringTableFind, WideAndNarrowRecordsLoadAlike) {
  std::string wide = Le32(3) + std::string("a\0b\0c\0", 6);
  std::string flagged = Le32(0x80000003u | 0x60000000u) + "abc";  // bits 29-30 ignored
  Attached t(Table({{1, Narrow("abc")}, {2, wide}, {3, flagged}}), 3);
  EXPECT_EQ("abc", t.Find(1));
  EXPECT_EQ("abc", t.Find(2));
  EXPECT_EQ("abc", t.Find(3));
}

TEST(StringTableFind, RecordsLeavingTheEntryAreRefused) {
  std::string bytes = Table({{1, Narrow("ok")}, {2, Narrow("cut")}});
  bytes.resize(bytes.size() - 1);  // the last text loses a byte
  Attached cut(bytes, 2);
  EXPECT_EQ("ok", cut.Find(1));
  EXPECT_EQ("<none>", cut.Find(2));
  std::string wild = Le32(5) + Le32(0xFFFFFFF0u) + Narrow("x");  // offset far outside
  Attached outside(wild, 1);
  EXPECT_EQ("<none>", outside.Find(5));
  std::string longCount = Le32(6) + Le32(0) + Le32(0x1FFFFFFFu);  // count beyond the entry
  Attached tooLong(longCount, 1);
  EXPECT_EQ("<none>", tooLong.Find(6));
}

TEST(StringTableAttach, RefusesAnIndexLargerThanTheEntry) {
  StringTable table;
  uint8_t bytes[16] = {0};
  EXPECT_EQ(0, table.attach(nullptr, 1, 16));
  EXPECT_EQ(0, table.attach(bytes, 0, 16));
  EXPECT_EQ(0, table.attach(bytes, 3, 16));           // 24 index bytes in 16
  EXPECT_EQ(0, table.attach(bytes, 0x40000000, 16));  // the product must not wrap
  EXPECT_TRUE(table.isEmpty());
}

}  // namespace
