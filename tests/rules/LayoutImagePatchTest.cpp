// Patching of layout images on synthetic images: the tables planted at known
// places among random bytes, every result compared with the whole expected buffer.
#include <gtest/gtest.h>

#include <stdint.h>

#include <algorithm>
#include <random>
#include <vector>

#include "setup/rules/LayoutImagePatch.h"
#include "tests/support/KeyPageTables.h"

namespace {

using Bytes = std::vector<uint8_t>;

// One record of an extended-key list: scan byte, unused byte, 16-bit code.
struct ListRecord {
  uint8_t scan;
  uint16_t code;
};

// The E0 list: the first 1D record must win over the second, and 5E lies after
// the end record, so it is not in the list.
const ListRecord kE0Records[] = {
    {0x10, 0x1B1}, {0x19, 0x1B0}, {0x1D, 0x1A3}, {0x20, 0x1AD}, {0x38, 0x1A5}, {0x5B, 0x15B},
    {0x5C, 0x15C}, {0x5D, 0x15D}, {0x35, 0x16F}, {0x1D, 0x0000}, {0x00, 0x0000}, {0x5E, 0x15E},
};
const ListRecord kE1Records[] = {{0x1D, 0x013}, {0x46, 0x103}, {0x00, 0x0000}};
constexpr int32_t kE0EndRecord = 10;
constexpr int32_t kE1EndRecord = 2;
// The list records' unused byte: not 0, so a write that strays onto it shows.
constexpr uint8_t kUnusedByte = 0xA5;

// Table patterns by variant; the list patterns are their lists' first records.
const Bytes kTablePatterns[3] = {
    {0x4A, 0x91, 0x07, 0xC3, 0x5E, 0x22, 0xF0, 0x18, 0x6B, 0xD4, 0x3A, 0x81},
    {0x4A, 0x91, 0x07, 0xC3, 0x5E, 0x22, 0xF0, 0x18, 0x6B, 0xD4, 0x3A, 0x82},
    {0x4A, 0x91, 0x07, 0xC3, 0x5E, 0x22, 0xF0, 0x18, 0x6B, 0xD4, 0x3A, 0x83},
};
constexpr int32_t kE0PatternLength = 12;
constexpr int32_t kE1PatternLength = 8;
// Two "." characters, as the keypad decimal key types them before patching.
const Bytes kDecimalPattern = {0x2E, 0x00, 0x2E, 0x00, 0x6E, 0xB7, 0x19, 0xE4};
// A short form, for an image that ends inside the second character cell.
const Bytes kShortDecimalPattern = {0x2E, 0x00, 0x2E};

// Where the builder plants each part; -1 leaves it out.
struct Layout {
  int32_t size;
  int32_t table[3];
  int32_t e0;
  int32_t e1;
  int32_t decimal;
};
constexpr Layout kWide = {0x1000, {0x200, 0x300, 0x400}, 0x500, 0x600, 0x700};

Bytes ListBytes(const ListRecord* records, int32_t count) {
  Bytes out;
  for (int32_t i = 0; i < count; ++i) {
    out.push_back(records[i].scan);
    out.push_back(kUnusedByte);
    out.push_back(static_cast<uint8_t>(records[i].code & 0xFF));
    out.push_back(static_cast<uint8_t>(records[i].code >> 8));
  }
  return out;
}
const Bytes kE0List = ListBytes(kE0Records, sizeof(kE0Records) / sizeof(kE0Records[0]));
const Bytes kE1List = ListBytes(kE1Records, sizeof(kE1Records) / sizeof(kE1Records[0]));

// Random bytes with the parts planted; `size` may cut the last part short.
Bytes BuildImage(const Layout& layout, const Bytes& decimalPattern = kDecimalPattern) {
  std::mt19937 random(20261208);
  Bytes image(0x2000);
  for (uint8_t& b : image) b = static_cast<uint8_t>(random());
  auto plant = [&](int32_t at, const Bytes& bytes) {
    if (at >= 0) std::copy(bytes.begin(), bytes.end(), image.begin() + at);
  };
  for (int v = 0; v < 3; ++v) plant(layout.table[v], kTablePatterns[v]);
  plant(layout.e0, kE0List);
  plant(layout.e1, kE1List);
  plant(layout.decimal, decimalPattern);
  image.resize(layout.size);
  return image;
}

// The first occurrence, as the patcher must find it; -1 when absent.
int32_t FirstAt(const Bytes& image, const uint8_t* pattern, int32_t length) {
  auto at = std::search(image.begin(), image.end(), pattern, pattern + length);
  return at == image.end() ? -1 : static_cast<int32_t>(at - image.begin());
}

LayoutImagePatterns AllPatterns(const Bytes& decimalPattern = kDecimalPattern) {
  LayoutImagePatterns p;
  for (int v = 0; v < 3; ++v) {
    p.scanCodeTable[v] = {kTablePatterns[v].data(), static_cast<int32_t>(kTablePatterns[v].size())};
  }
  p.extendedE0List = {kE0List.data(), kE0PatternLength};
  p.extendedE1List = {kE1List.data(), kE1PatternLength};
  p.decimalKey = {decimalPattern.data(), static_cast<int32_t>(decimalPattern.size())};
  return p;
}

KeyRow Row(uint16_t scanCode, uint16_t assignedKey) { return KeyRow{scanCode, assignedKey, 0, 0}; }

// A live table as the program keeps it: the keys in order, then the row that
// names "none chosen" and the all-zero row.
std::vector<KeyRow> LiveTable(std::vector<KeyRow> rows) {
  rows.push_back(KeyRow{0, 0, 152, 0});
  rows.push_back(KeyRow{0, 0, 0, 0});
  return rows;
}

int Patch(Bytes& image, const std::vector<KeyRow>& rows, int32_t variant = 0,
          int32_t decimalOption = 1, const LayoutImagePatterns& patterns = AllPatterns()) {
  LayoutImageChanges changes{rows.empty() ? nullptr : rows.data(),
                             static_cast<int32_t>(rows.size()), variant, decimalOption};
  return PatchLayoutImage(image.data(), static_cast<int32_t>(image.size()), patterns, changes);
}

void Put16(Bytes& image, int32_t at, uint16_t value) {
  image.at(at) = static_cast<uint8_t>(value & 0xFF);
  image.at(at + 1) = static_cast<uint8_t>(value >> 8);
}

// Where the test expects a key's code, worked out from the planted layout
// (independently of the patcher): -1 for a key its list does not hold.
int32_t ExpectedOffset(const Layout& layout, int32_t variant, uint16_t scanCode) {
  if (scanCode < 0x7F) return layout.table[variant] + 2 * scanCode;
  const bool e0 = (scanCode >> 8) == 0xE0;
  const ListRecord* records = e0 ? kE0Records : kE1Records;
  const int32_t end = e0 ? kE0EndRecord : kE1EndRecord;
  for (int32_t i = 0; i < end; ++i) {
    if (records[i].scan == (scanCode & 0xFF)) return (e0 ? layout.e0 : layout.e1) + 4 * i + 2;
  }
  return -1;
}


class LayoutImagePatch : public ::testing::Test {
 protected:
  void SetUp() override {
    original = BuildImage(kWide);
    // The random bytes must not hold an earlier copy of any pattern.
    for (int v = 0; v < 3; ++v) {
      ASSERT_EQ(kWide.table[v], FirstAt(original, kTablePatterns[v].data(), 12));
    }
    ASSERT_EQ(kWide.e0, FirstAt(original, kE0List.data(), kE0PatternLength));
    ASSERT_EQ(kWide.e1, FirstAt(original, kE1List.data(), kE1PatternLength));
    ASSERT_EQ(kWide.decimal, FirstAt(original, kDecimalPattern.data(), 8));
    image = original;
  }
  Bytes original;
  Bytes image;
};

// ---- Key assignments ---------------------------------------------------------

TEST_F(LayoutImagePatch, EveryChoiceOfTheKeyPageChangesOnlyItsKey) {
  for (uint16_t key : kPageKeys) {
    for (uint16_t code : kPageCodes) {
      std::vector<KeyRow> rows;
      for (uint16_t other : kPageKeys) rows.push_back(Row(other, other == key ? code : 0));
      image = original;
      ASSERT_EQ(1, Patch(image, LiveTable(rows))) << std::hex << key << " " << code;
      Bytes expected = original;
      const int32_t at = ExpectedOffset(kWide, 0, key);
      ASSERT_GE(at, 0) << std::hex << key;
      Put16(expected, at, code);
      EXPECT_EQ(expected, image) << std::hex << key << " " << code;
    }
  }
}

TEST_F(LayoutImagePatch, AllKeysOfThePageAtOnceInEachVariant) {
  for (int32_t variant = 0; variant < 3; ++variant) {
    std::vector<KeyRow> rows;
    Bytes expected = original;
    for (size_t i = 0; i < sizeof(kPageKeys) / sizeof(kPageKeys[0]); ++i) {
      rows.push_back(Row(kPageKeys[i], kPageCodes[i]));
      Put16(expected, ExpectedOffset(kWide, variant, kPageKeys[i]), kPageCodes[i]);
    }
    image = original;
    ASSERT_EQ(1, Patch(image, LiveTable(rows), variant));
    EXPECT_EQ(expected, image) << "variant " << variant;
  }
}

TEST_F(LayoutImagePatch, PlainTableEndsAndScanCodesWithoutATable) {
  // 0x01 and 0x7E are the plain table's first and last keys; 0x7F, 0xFF and
  // 0xE200 have no table, so they change nothing.
  ASSERT_EQ(1, Patch(image, LiveTable({Row(0x01, 0x1B), Row(0x7E, 0xC2), Row(0x7F, 0x41),
                                       Row(0xFF, 0xFF), Row(0xE21D, 0x13)})));
  Bytes expected = original;
  Put16(expected, kWide.table[0] + 2, 0x1B);
  Put16(expected, kWide.table[0] + 0xFC, 0xC2);
  EXPECT_EQ(expected, image);
}

TEST_F(LayoutImagePatch, LaterRowOfTheSameKeyWins) {
  ASSERT_EQ(1, Patch(image, LiveTable({Row(0x3A, 0x14), Row(0x3A, 0xA2)})));
  Bytes expected = original;
  Put16(expected, kWide.table[0] + 2 * 0x3A, 0xA2);
  EXPECT_EQ(expected, image);
}

// ---- Extended-key lists ------------------------------------------------------

TEST_F(LayoutImagePatch, ExtendedKeysLandInTheirRecords) {
  ASSERT_EQ(1, Patch(image, LiveTable({Row(0xE010, 0x20), Row(0xE035, 0x6F), Row(0xE11D, 0x91),
                                       Row(0xE146, 0x13)})));
  Bytes expected = original;
  Put16(expected, kWide.e0 + 2, 0x20);           // first record
  Put16(expected, kWide.e0 + 4 * 8 + 2, 0x6F);   // last record before the end
  Put16(expected, kWide.e1 + 2, 0x91);
  Put16(expected, kWide.e1 + 4 + 2, 0x13);
  EXPECT_EQ(expected, image);
}

TEST_F(LayoutImagePatch, OnlyTheFirstRecordOfAScanByteIsPatched) {
  ASSERT_EQ(1, Patch(image, LiveTable({Row(0xE01D, 0xA2)})));
  Bytes expected = original;
  Put16(expected, kWide.e0 + 4 * 2 + 2, 0xA2);  // not the second 1D record
  EXPECT_EQ(expected, image);
}

TEST_F(LayoutImagePatch, KeysMissingFromTheirListChangeNothing) {
  // 5E lies after the end record; 47 is nowhere; E000 would match the end record.
  ASSERT_EQ(1, Patch(image, LiveTable({Row(0xE05E, 0x20), Row(0xE047, 0x24), Row(0xE000, 0x20),
                                       Row(0xE11E, 0x13)})));
  EXPECT_EQ(original, image);
}

// ---- Decimal key ------------------------------------------------------------

TEST_F(LayoutImagePatch, DecimalOptionZeroTypesACommaInBothCells) {
  ASSERT_EQ(1, Patch(image, LiveTable({}), 0, 0));
  Bytes expected = original;
  expected[kWide.decimal] = 0x2C;
  expected[kWide.decimal + 2] = 0x2C;
  EXPECT_EQ(expected, image);
}

TEST_F(LayoutImagePatch, DecimalOptionOneNeedsNoPattern) {
  LayoutImagePatterns patterns = AllPatterns();
  patterns.decimalKey = {nullptr, 0};
  ASSERT_EQ(1, Patch(image, LiveTable({}), 0, 1, patterns));
  EXPECT_EQ(original, image);
}

TEST_F(LayoutImagePatch, WithoutAKeyTableOnlyTheDecimalPatternIsNeeded) {
  LayoutImagePatterns patterns{};
  patterns.decimalKey = AllPatterns().decimalKey;
  // An unknown variant does not matter either: no table is touched.
  ASSERT_EQ(1, Patch(image, {}, 7, 0, patterns));
  Bytes expected = original;
  expected[kWide.decimal] = 0x2C;
  expected[kWide.decimal + 2] = 0x2C;
  EXPECT_EQ(expected, image);

  image = original;
  ASSERT_EQ(1, Patch(image, {}, 0, 1, LayoutImagePatterns{}));
  EXPECT_EQ(original, image);
}

TEST_F(LayoutImagePatch, NoAssignmentsStillNeedEveryKeyPattern) {
  const std::vector<KeyRow> rows = LiveTable({Row(0x2A, 0), Row(0xE01D, 0)});
  ASSERT_EQ(1, Patch(image, rows));
  EXPECT_EQ(original, image);
  LayoutImagePatterns patterns = AllPatterns();
  patterns.extendedE1List = {nullptr, 0};
  EXPECT_EQ(0, Patch(image, rows, 0, 1, patterns));
  EXPECT_EQ(original, image);
}

// ---- Refusals: the image stays byte-for-byte as it was --------------------------

// Valid changes everywhere, so that a refusal shows no partial write.
std::vector<KeyRow> BusyTable() {
  return LiveTable({Row(0x01, 0x1B), Row(0x2A, 0xA2), Row(0x3A, 0x14), Row(0x7E, 0xC2),
                    Row(0xE01D, 0xA4), Row(0xE05D, 0x15B), Row(0xE11D, 0x91)});
}

TEST_F(LayoutImagePatch, BusyTableIsAcceptedOnTheWholeImage) {
  ASSERT_EQ(1, Patch(image, BusyTable(), 0, 0));
  EXPECT_NE(original, image);
}

TEST_F(LayoutImagePatch, MissingEmptyOrAbsentPatternsRefuse) {
  const uint8_t absent[] = {0xDE, 0xAD, 0xBE, 0xEF, 0x01, 0x02, 0x03, 0x04, 0x05};
  const BytePattern bad[] = {{nullptr, 0}, {nullptr, 12}, {kTablePatterns[0].data(), 0},
                             {kTablePatterns[0].data(), -1}, {absent, sizeof(absent)}};
  BytePattern LayoutImagePatterns::*const fields[] = {
      &LayoutImagePatterns::extendedE0List, &LayoutImagePatterns::extendedE1List,
      &LayoutImagePatterns::decimalKey};
  for (size_t b = 0; b < sizeof(bad) / sizeof(bad[0]); ++b) {
    for (size_t f = 0; f < 3; ++f) {
      LayoutImagePatterns patterns = AllPatterns();
      patterns.*fields[f] = bad[b];
      EXPECT_EQ(0, Patch(image, BusyTable(), 0, 0, patterns)) << "field " << f << " bad " << b;
      ASSERT_EQ(original, image) << "field " << f << " bad " << b;
    }
    LayoutImagePatterns patterns = AllPatterns();
    patterns.scanCodeTable[1] = bad[b];
    EXPECT_EQ(0, Patch(image, BusyTable(), 1, 0, patterns)) << "variant table, bad " << b;
    ASSERT_EQ(original, image) << "variant table, bad " << b;
  }
}

TEST_F(LayoutImagePatch, OnlyTheChosenVariantsPatternMatters) {
  LayoutImagePatterns patterns = AllPatterns();
  patterns.scanCodeTable[0] = {nullptr, 0};
  patterns.scanCodeTable[2] = {nullptr, 0};
  ASSERT_EQ(1, Patch(image, LiveTable({Row(0x3A, 0x14)}), 1, 1, patterns));
  Bytes expected = original;
  Put16(expected, kWide.table[1] + 2 * 0x3A, 0x14);
  EXPECT_EQ(expected, image);
}

TEST_F(LayoutImagePatch, UnknownVariantRefuses) {
  for (int32_t variant : {-1, 3, 145}) {
    EXPECT_EQ(0, Patch(image, BusyTable(), variant, 0)) << variant;
    ASSERT_EQ(original, image) << variant;
  }
}

TEST(LayoutImagePatchArguments, NullOrEmptyImageRefuses) {
  const std::vector<KeyRow> rows = LiveTable({Row(0x3A, 0x14)});
  const LayoutImageChanges changes{rows.data(), static_cast<int32_t>(rows.size()), 0, 0};
  EXPECT_EQ(0, PatchLayoutImage(nullptr, 100, AllPatterns(), changes));
  uint8_t one = 0x2E;
  EXPECT_EQ(0, PatchLayoutImage(&one, 0, AllPatterns(), changes));
  EXPECT_EQ(0, PatchLayoutImage(&one, -1, AllPatterns(), changes));
  EXPECT_EQ(0x2E, one);
}

// Images that end inside their last part. Each layout's size is the smallest
// that holds everything the case needs; one byte less must refuse.
struct ShortImageCase {
  const char* name;
  Layout layout;
  std::vector<KeyRow> rows;
  int32_t decimalOption;
  const Bytes* decimalPattern;
};

int32_t RecordsEnd(int32_t at, int32_t records) { return at + 4 * records; }

TEST(LayoutImagePatchShortImage, WritesAndWalksPastTheEndRefuse) {
  const ShortImageCase cases[] = {
      // Key 0x7E's code is the last two bytes of variant 2's table.
      {"table", {0x400 + 2 * 0x7E + 2, {0x200, 0x300, 0x400}, 0x080, 0x140, 0x1A0},
       LiveTable({Row(0x3A, 0x14), Row(0x7E, 0xC2)}), 1, &kDecimalPattern},
      // Key E05B's record is the sixth of the list.
      {"E0 record", {RecordsEnd(0x500, 6), {0x100, 0x200, 0x300}, 0x500, 0x080, 0x0E0},
       LiveTable({Row(0x3A, 0x14), Row(0xE05B, 0x14)}), 1, &kDecimalPattern},
      // A key missing from its list walks up to the end record.
      {"E0 end record", {RecordsEnd(0x500, kE0EndRecord + 1), {0x100, 0x200, 0x300}, 0x500,
                         0x080, 0x0E0},
       LiveTable({Row(0x3A, 0x14), Row(0xE047, 0x24)}), 1, &kDecimalPattern},
      {"E1 end record", {RecordsEnd(0x500, kE1EndRecord + 1), {0x100, 0x200, 0x300}, 0x080,
                         0x500, 0x0E0},
       LiveTable({Row(0x3A, 0x14), Row(0xE11E, 0x13)}), 1, &kDecimalPattern},
      // Both character cells of the decimal key, bytes d to d + 3.
      {"decimal", {0x500 + 4, {0x100, 0x200, 0x300}, 0x080, 0x0E0, 0x500},
       LiveTable({Row(0x3A, 0x14)}), 0, &kShortDecimalPattern},
  };
  for (const ShortImageCase& c : cases) {
    SCOPED_TRACE(c.name);
    const LayoutImagePatterns patterns = AllPatterns(*c.decimalPattern);
    Bytes whole = BuildImage(c.layout, *c.decimalPattern);
    ASSERT_EQ(c.layout.decimal, FirstAt(whole, c.decimalPattern->data(),
                                        static_cast<int32_t>(c.decimalPattern->size())));
    const Bytes unpatched = whole;
    EXPECT_EQ(1, Patch(whole, c.rows, 2, c.decimalOption, patterns));
    EXPECT_NE(unpatched, whole);

    Layout shorter = c.layout;
    shorter.size -= 1;
    Bytes cut = BuildImage(shorter, *c.decimalPattern);
    const Bytes before = cut;
    EXPECT_EQ(0, Patch(cut, c.rows, 2, c.decimalOption, patterns));
    EXPECT_EQ(before, cut);
  }
}

}  // namespace
