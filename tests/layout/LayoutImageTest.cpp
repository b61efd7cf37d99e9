// Tests of the built layout images: each is loaded as Windows would load it and
// its tables are compared, key by key, with what its definition says.
#include <windows.h>

#include <gtest/gtest.h>

#include "LayoutExpectations.h"
#include "tests/layout/support/LayoutWalker.h"

namespace {

using layout_expected::kLayouts;

class LayoutImageTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    expected_ = &kLayouts[GetParam()];
    std::wstring path = BuiltLayoutImagePath(expected_->image);
    ASSERT_TRUE(walker_.Load(path.c_str())) << expected_->image << " does not load or has no descriptor";
  }

  const KBDTABLES* Tables() const { return walker_.Tables(); }

  const ExpectedLayout* expected_ = nullptr;
  LayoutWalker walker_;
};

TEST_P(LayoutImageTest, ModifiersGiveAltGrItsOwnColumns) {
  const MODIFIERS* m = Tables()->pCharModifiers;
  ASSERT_NE(m, nullptr);
  EXPECT_EQ(m->pVkToBit[0].Vk, VK_SHIFT);
  EXPECT_EQ(m->pVkToBit[0].ModBits, KBDSHIFT);
  EXPECT_EQ(m->pVkToBit[1].Vk, VK_CONTROL);
  EXPECT_EQ(m->pVkToBit[1].ModBits, KBDCTRL);
  EXPECT_EQ(m->pVkToBit[2].Vk, VK_MENU);
  EXPECT_EQ(m->pVkToBit[2].ModBits, KBDALT);
  EXPECT_EQ(m->pVkToBit[3].Vk, 0);
  ASSERT_EQ(m->wMaxModBits, 7);
  for (int bits = 0; bits < 8; ++bits) EXPECT_EQ(m->ModNumber[bits], expected_->modifierColumns[bits]) << bits;
  // Right Alt arrives as Ctrl+Alt; Alt alone types nothing.
  EXPECT_EQ(walker_.ColumnFor(KBDCTRL | KBDALT), 4);
  EXPECT_EQ(walker_.ColumnFor(KBDSHIFT | KBDCTRL | KBDALT), 5);
  EXPECT_EQ(walker_.ColumnFor(KBDALT), -1);
}

TEST_P(LayoutImageTest, LocaleFlagsMarkAltGrAndTheTableVersion) {
  EXPECT_EQ(Tables()->fLocaleFlags, expected_->localeFlags);
  EXPECT_EQ(Tables()->fLocaleFlags & 0xFFFF, static_cast<DWORD>(KLLF_ALTGR));
  EXPECT_EQ(HIWORD(Tables()->fLocaleFlags), KBD_VERSION);
  EXPECT_EQ(Tables()->nLgMax, 0);
  EXPECT_EQ(Tables()->pLigature, nullptr);
}

TEST_P(LayoutImageTest, ScanCodeTableGivesEveryKeysCode) {
  ASSERT_EQ(Tables()->bMaxVSCtoVK, expected_->scanTableLength);
  for (int scan = 0; scan < expected_->scanTableLength; ++scan) {
    EXPECT_EQ(Tables()->pusVSCtoVK[scan], expected_->scanTable[scan]) << "scan code " << std::hex << scan;
  }
}

TEST_P(LayoutImageTest, PrefixedListsHoldEveryE0AndE1Key) {
  ASSERT_EQ(LayoutWalker::ListLength(Tables()->pVSCtoVK_E0), expected_->e0Count);
  for (int i = 0; i < expected_->e0Count; ++i) {
    EXPECT_EQ(Tables()->pVSCtoVK_E0[i].Vsc, expected_->e0[i].scan) << i;
    EXPECT_EQ(walker_.CodeForScan(0xE000 | expected_->e0[i].scan), expected_->e0[i].code) << i;
  }
  ASSERT_EQ(LayoutWalker::ListLength(Tables()->pVSCtoVK_E1), expected_->e1Count);
  for (int i = 0; i < expected_->e1Count; ++i) {
    EXPECT_EQ(walker_.CodeForScan(0xE100 | expected_->e1[i].scan), expected_->e1[i].code) << i;
  }
}

TEST_P(LayoutImageTest, EveryKeyTypesItsCharactersOnEveryLevel) {
  for (int k = 0; k < expected_->charCount; ++k) {
    const ExpectedChars& want = expected_->chars[k];
    const VK_TO_WCHARS1* row = walker_.FindRow(want.vk);
    ASSERT_NE(row, nullptr) << "no characters for virtual key " << std::hex << int(want.vk);
    EXPECT_EQ(row->Attributes, want.attributes) << "virtual key " << std::hex << int(want.vk);
    for (int column = 0; column < 6; ++column) {
      uint16_t accent = 0;
      EXPECT_EQ(walker_.Cell(want.vk, column, &accent), want.cells[column])
          << "virtual key " << std::hex << int(want.vk) << " column " << column;
      EXPECT_EQ(accent, want.accents[column]) << "virtual key " << std::hex << int(want.vk) << " column " << column;
    }
  }
}

TEST_P(LayoutImageTest, TablesHoldNoKeyTheDefinitionLacks) {
  EXPECT_EQ(walker_.CharTableCount(), expected_->charTableCount);
  for (int t = 0; t < walker_.CharTableCount(); ++t) {
    const VK_TO_WCHAR_TABLE& table = Tables()->pVkToWcharTable[t];
    EXPECT_EQ(table.cbSize, 2 + 2 * table.nModifications);
    for (int i = 0; walker_.Row(t, i)->VirtualKey != 0; ++i) {
      BYTE vk = walker_.Row(t, i)->VirtualKey;
      if (vk == 0xFF) continue;  // a dead key's accent row
      bool known = false;
      for (int k = 0; k < expected_->charCount; ++k) known = known || expected_->chars[k].vk == vk;
      EXPECT_TRUE(known) << "unexpected virtual key " << std::hex << int(vk);
    }
  }
}

TEST_P(LayoutImageTest, DeadKeysComposeAsDefined) {
  ASSERT_EQ(LayoutWalker::DeadKeyCount(Tables()->pDeadKey), expected_->deadCount);
  for (int i = 0; i < expected_->deadCount; ++i) {
    const ExpectedDead& d = expected_->dead[i];
    EXPECT_EQ(walker_.Compose(d.accent, d.base), d.composed) << std::hex << d.accent << " + " << d.base;
  }
  ASSERT_EQ(walker_.DeadNameCount(), expected_->deadNameCount);
  for (int i = 0; i < expected_->deadNameCount; ++i) {
    const WCHAR* name = walker_.DeadKeyName(expected_->deadNames[i][0]);
    ASSERT_NE(name, nullptr);
    EXPECT_STREQ(name, expected_->deadNames[i]);
  }
}

TEST_P(LayoutImageTest, KeyNamesMatchTheDefinition) {
  ASSERT_EQ(LayoutWalker::NameCount(Tables()->pKeyNames), expected_->nameCount);
  for (int i = 0; i < expected_->nameCount; ++i) {
    const WCHAR* name = walker_.KeyName(expected_->names[i].scan, false);
    ASSERT_NE(name, nullptr) << std::hex << int(expected_->names[i].scan);
    EXPECT_STREQ(name, expected_->names[i].text);
  }
  ASSERT_EQ(LayoutWalker::NameCount(Tables()->pKeyNamesExt), expected_->extendedNameCount);
  for (int i = 0; i < expected_->extendedNameCount; ++i) {
    const WCHAR* name = walker_.KeyName(expected_->extendedNames[i].scan, true);
    ASSERT_NE(name, nullptr) << std::hex << int(expected_->extendedNames[i].scan);
    EXPECT_STREQ(name, expected_->extendedNames[i].text);
  }
}

// What every variant promises its users, independently of the generated data.
TEST_P(LayoutImageTest, PolishLettersSitOnAltGrWithCapitalsOnShift) {
  struct Letter {
    BYTE vk;
    WCHAR small, capital;
  } const letters[] = {{'A', 0x105, 0x104}, {'C', 0x107, 0x106}, {'E', 0x119, 0x118},
                       {'L', 0x142, 0x141}, {'N', 0x144, 0x143}, {'O', 0xF3, 0xD3},
                       {'S', 0x15B, 0x15A}, {'X', 0x17A, 0x179}, {'Z', 0x17C, 0x17B}};
  for (const Letter& l : letters) {
    EXPECT_EQ(walker_.Cell(l.vk, walker_.ColumnFor(KBDCTRL | KBDALT)), l.small) << char(l.vk);
    EXPECT_EQ(walker_.Cell(l.vk, walker_.ColumnFor(KBDSHIFT | KBDCTRL | KBDALT)), l.capital) << char(l.vk);
    EXPECT_EQ(walker_.FindRow(l.vk)->Attributes, CAPLOK | CAPLOKALTGR) << char(l.vk);
  }
  // Ctrl+[ is Escape, as on the US layout.
  EXPECT_EQ(walker_.Cell(VK_OEM_4, walker_.ColumnFor(KBDCTRL)), 0x1B);
}

TEST_P(LayoutImageTest, KeypadDecimalKeyTypesAFullStopInBothCells) {
  EXPECT_EQ(walker_.CodeForScan(0x53), KBDSPECIAL | KBDNUMPAD | VK_DELETE);
  EXPECT_EQ(walker_.Cell(VK_DECIMAL, 0), L'.');
  EXPECT_EQ(walker_.Cell(VK_DECIMAL, 1), L'.');
  // The keypad comes after the main keys, so "." is found on the main keyboard first.
  int decimalTable = 0, periodTable = 0;
  walker_.FindRow(VK_DECIMAL, &decimalTable);
  walker_.FindRow(VK_OEM_PERIOD, &periodTable);
  EXPECT_LT(periodTable, decimalTable);
}

std::string VariantName(const ::testing::TestParamInfo<int>& info) {
  static const char* const kNames[] = {"Standard", "Accents", "Typographic"};
  return kNames[info.param];
}

INSTANTIATE_TEST_SUITE_P(Variants, LayoutImageTest, ::testing::Values(0, 1, 2), VariantName);

}  // namespace
