// The product's texts against the code: every named id has a text (language
// texts in both languages, the two language tables hold the same ids), and
// every format string takes exactly the arguments its callers pass.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "payload/StringIds.h"
#include "payload/StringTable.h"
#include "tests/payload/PayloadTestSupport.h"
#include "tests/support/CheckedArguments.h"
#include "text/Format.h"

namespace {

class ProductTexts : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(1, LoadRealKeyBlock(&keyBlock));
    for (int i = 0; i < kStoredTableCount; ++i) {
      const StoredEntry& entry = kPayloadStore.stringTables[i];
      ASSERT_EQ(1, ExtractStringTable(keyBlock, entry.bytes, entry.length, tables[i])) << i;
    }
  }
  // The lookup order of the program: language table, common, supplementary.
  const uint8_t* Find(int language, uint32_t id) const {
    const uint8_t* record = tables[kLanguage0TableEntry + language].find(id);
    if (record == nullptr) record = tables[kCommonTableEntry].find(id);
    if (record == nullptr) record = tables[kSupplementaryTableEntry].find(id);
    return record;
  }
  std::set<uint32_t> IdsOf(const StringTable& table) const {
    std::set<uint32_t> ids;
    for (int32_t i = 0; i < table.count; ++i) {
      const uint8_t* r = table.index + 8 * i;
      ids.insert(r[0] | r[1] << 8 | r[2] << 16 | static_cast<uint32_t>(r[3]) << 24);
    }
    return ids;
  }
  KeyBlock keyBlock{PayloadKeyParameters()};
  StringTable tables[kStoredTableCount];
};

TEST_F(ProductTexts, EveryNamedIdHasAText) {
  for (uint32_t id : kNamedStringIds) {
    EXPECT_NE(nullptr, Find(0, id)) << "id " << id << " (English)";
    EXPECT_NE(nullptr, Find(1, id)) << "id " << id << " (Polish)";
  }
}

TEST_F(ProductTexts, LanguageTablesHoldTheSameIds) {
  std::set<uint32_t> english = IdsOf(tables[kLanguage0TableEntry]);
  EXPECT_EQ(english, IdsOf(tables[kLanguage1TableEntry]));
  for (uint32_t id : kLanguageTextIds) {
    EXPECT_EQ(1u, english.count(id)) << "language text " << id << " missing";
  }
}

TEST_F(ProductTexts, TranslationsDiffer) {
  // Spot check: the message box caption and a message are really translated.
  for (uint32_t id : {93u, 122u, 123u}) {
    WString english, polish;
    english.AssignRecord(tables[kLanguage0TableEntry].find(id));
    polish.AssignRecord(tables[kLanguage1TableEntry].find(id));
    english.ToWide(-1);
    EXPECT_NE(0, english.CompareWide(polish.ToWide(-1), -1)) << id;
  }
}

TEST_F(ProductTexts, FormatStringsTakeTheirCallersArguments) {
  static const uint8_t kBytes[16] = {0};
  WString textObject;
  textObject.AssignWide(WTEXT("text"), -1);
  for (const FormatSignature& signature : kFormatSignatures) {
    for (int language = 0; language < 2; ++language) {
      const uint8_t* record = Find(language, signature.id);
      ASSERT_NE(nullptr, record) << signature.id;
      WString format;
      format.AssignRecord(record);
      format.ToWide(-1);
      CheckedArguments arguments;
      for (const char* kind = signature.arguments; *kind != 0; ++kind) {
        switch (*kind) {
          case 'i': arguments.AddInt32(0x0415); break;
          case 'c': arguments.AddInt32('x'); break;
          case 's': arguments.AddPointer(WTEXT("text")); break;
          case 'n': arguments.AddPointer("text"); break;
          case 'z': arguments.AddPointer(&textObject); break;
          default: arguments.AddPointer(kBytes); break;
        }
      }
      WString out;
      out.AssignWide(WTEXT(""), 0);
      EXPECT_EQ(1, AppendFormatted(&out, format.WideAt(0), &arguments)) << signature.id;
      EXPECT_FALSE(arguments.misused()) << "format " << signature.id << " wants other arguments";
      EXPECT_EQ(arguments.count(), arguments.taken()) << "format " << signature.id << " leaves some";
    }
  }
}

}  // namespace
