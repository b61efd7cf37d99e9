// Tests of the checked-in definitions: they agree with the setup program's static
// key table and with the pattern texts in the payload, and describe the product.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/StaticKeyTable.h"
#include "tools/layout/JsonWriter.h"
#include "tools/layout/LayoutTables.h"
#include "tools/layout/PatternStrings.h"
#include "tools/layout/Patterns.h"

namespace {

const char* const kStems[] = {"standard", "accents", "typographic"};

class DefinitionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* stem : kStems) {
      LayoutDefinition d;
      LayoutTables t;
      std::string error;
      ASSERT_TRUE(ReadLayoutDefinition(std::string(KESTREL_LAYOUT_DIR) + "/" + stem + ".layout", &d, &error)) << error;
      ASSERT_TRUE(BuildLayoutTables(d, &t, &error)) << error;
      definitions_.push_back(d);
      tables_.push_back(t);
    }
  }

  // The code the image holds for a static-table scan code: plain table or list.
  static bool ImageCode(const LayoutTables& t, uint16_t scan, uint16_t* code) {
    if (scan < kScanTableLength) {
      *code = t.scanTable[scan];
      return true;
    }
    const std::vector<ScanVk>* list = (scan >> 8) == 0xE0 ? &t.e0 : (scan >> 8) == 0xE1 ? &t.e1 : nullptr;
    for (size_t i = 0; list != nullptr && i < list->size(); ++i) {
      if ((*list)[i].scan == (scan & 0xFF)) {
        *code = (*list)[i].code;
        return true;
      }
    }
    return false;
  }

  std::vector<LayoutDefinition> definitions_;
  std::vector<LayoutTables> tables_;
};

TEST_F(DefinitionsTest, VariantsAreNumberedInOrder) {
  for (int v = 0; v < 3; ++v) EXPECT_EQ(definitions_[v].variant, v);
  EXPECT_EQ(definitions_[0].name, "Standard (recommended)");
  EXPECT_EQ(definitions_[1].name, "Accents (dead keys)");
  EXPECT_EQ(definitions_[2].name, "Typographic");
}

// Setup writes a reassigned key's code where the static table's key lives, and drops
// assignments equal to the static default: the images must hold those defaults.
TEST_F(DefinitionsTest, EveryStaticTableKeyHasItsDefaultCodeInEveryVariant) {
  const uint16_t reassignable[] = {0x2A, 0x36, 0x1D, 0xE01D, 0x38, 0xE038, 0xE05B,
                                   0xE05C, 0xE05D, 0x56, 0x0F, 0x3A, 0x46, 0x45};
  for (const LayoutTables& t : tables_) {
    int checked = 0;
    for (int i = 0; i < kStaticKeyRowCount && StaticKeyTable[i].scanCode != 0; ++i) {
      const KeyRow& row = StaticKeyTable[i];
      if (row.scanCode == 0xFF) continue;  // the "no key" row names no physical key
      uint16_t code = 0;
      ASSERT_TRUE(ImageCode(t, row.scanCode, &code)) << "variant " << t.variant << " lacks key " << std::hex << row.scanCode;
      EXPECT_EQ(code, row.assignedKey) << "variant " << t.variant << " key " << std::hex << row.scanCode;
      ++checked;
    }
    EXPECT_EQ(checked, 143);
    for (uint16_t scan : reassignable) {
      const KeyRow* row = FindKeyRow(StaticKeyTable, kStaticKeyRowCount, scan);
      uint16_t code = 0;
      ASSERT_NE(row, nullptr);
      ASSERT_TRUE(ImageCode(t, scan, &code));
      EXPECT_EQ(code, row->assignedKey) << std::hex << scan;
    }
  }
}

TEST_F(DefinitionsTest, PatternTextsInThePayloadMatchTheDefinitions) {
  LayoutPatterns derived, stored;
  std::string error;
  ASSERT_TRUE(DerivePatterns(tables_, &derived, &error)) << error;
  ASSERT_TRUE(ReadPatternStrings(std::string(KESTREL_CONTENT_DIR) + "/strings/supplementary.txt", &stored, &error))
      << error;
  auto want = PatternsById(derived);
  auto have = PatternsById(stored);
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(UpperHex(have[i].second), UpperHex(want[i].second)) << "text " << want[i].first;
  }
  // Each starts exactly at its table.
  EXPECT_EQ(stored.scanTable[0], ScanTableBytes(tables_[0]).substr(0, stored.scanTable[0].size()));
  EXPECT_EQ(stored.e1, VscListBytes(tables_[0].e1));
  EXPECT_EQ(stored.decimal.substr(0, 4), std::string("\x2E\0\x2E\0", 4));
}

TEST_F(DefinitionsTest, VariantsDifferOnlyWhereTheyPromise) {
  const CharRow* quote1 = FindCharRow(tables_[1], 0xDE);
  EXPECT_EQ(quote1->cells[4], kDeadCell);
  EXPECT_EQ(quote1->accents[4], 0xB4);  // AltGr+' is the acute dead key
  const CharRow* bracket2 = FindCharRow(tables_[2], 0xDB);
  EXPECT_EQ(bracket2->cells[4], 0x201E);  // „
  const CharRow* bracket0 = FindCharRow(tables_[0], 0xDB);
  EXPECT_EQ(bracket0->cells[4], kNone);
  EXPECT_TRUE(tables_[0].deadKeys.empty());
  EXPECT_TRUE(tables_[2].deadKeys.empty());
  EXPECT_EQ(definitions_[1].deadKeys.size(), 8u);
}

TEST_F(DefinitionsTest, JsonDescribesKeysInTheDocumentsSchema) {
  std::string json = LayoutJson(definitions_[0]);
  EXPECT_EQ(json.rfind("{\"variant\": 0, \"name\": \"Standard (recommended)\",", 0), 0u);
  EXPECT_NE(json.find("{\"scan\": 30, \"vk\": 65, \"label\": \"A\", \"levels\": [\"a\", \"A\", \"ą\", \"Ą\"], "
                      "\"dead\": [false, false, false, false]}"),
            std::string::npos);
  EXPECT_NE(json.find("{\"scan\": 40, \"vk\": 222, \"label\": \"'\", \"levels\": [\"'\", \"\\\"\", \"\", \"\"]"),
            std::string::npos);
  EXPECT_NE(json.find("{\"scan\": 57, \"vk\": 32, \"label\": \"Space\", \"levels\": [\" \", \" \", \"\", \"\"]"),
            std::string::npos);
  EXPECT_NE(json.find("{\"scan\": 57397, \"vk\": 111, \"label\": \"Num /\""), std::string::npos);  // E035
  EXPECT_EQ(json.find("\"scan\": 1,"), std::string::npos);  // Esc types only a control character
  std::string accents = LayoutJson(definitions_[1]);
  EXPECT_NE(accents.find("\"levels\": [\"'\", \"\\\"\", \"´\", \"¨\"], \"dead\": [false, false, true, true]"),
            std::string::npos);
  EXPECT_NE(accents.find("{\"accent\": \"ˇ\", \"name\": \"caron\", \"combinations\": [[\"c\", \"č\"]"),
            std::string::npos);
}

}  // namespace
