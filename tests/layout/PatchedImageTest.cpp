// The built layout libraries patched as setup patches them, with the patterns the
// payload carries: each patched copy is loaded and walked, and only the assigned keys
// and the keypad decimal key may differ from the unpatched library.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "payload/StringTable.h"
#include "setup/rules/LayoutImagePatch.h"
#include "tests/layout/support/LayoutWalker.h"
#include "tests/payload/PayloadTestSupport.h"
#include "tests/support/KeyPageTables.h"
#include "text/WString.h"

namespace {

using Bytes = std::vector<uint8_t>;

const char* const kImageNames[] = {"kbdkestr-standard.dll", "kbdkestr-accents.dll",
                                   "kbdkestr-typographic.dll"};


// A pattern text of the supplementary table, hex digits decoded to bytes.
Bytes DecodedPattern(const StringTable& table, uint32_t id) {
  const uint8_t* record = table.find(id);
  if (record == nullptr) return Bytes();
  const uint32_t header = record[0] | record[1] << 8 | record[2] << 16 |
                          static_cast<uint32_t>(record[3]) << 24;
  const bool narrow = (header & kCountedTextNarrowBit) != 0;
  std::string hex;
  for (uint32_t i = 0; i < (header & kCountedTextCountMask); ++i) {
    hex += static_cast<char>(narrow ? record[4 + i] : record[4 + 2 * i]);
  }
  Bytes out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    out.push_back(static_cast<uint8_t>(strtoul(hex.substr(i, 2).c_str(), nullptr, 16)));
  }
  return out;
}

Bytes ReadFileBytes(const std::wstring& path) {
  Bytes bytes;
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (file == nullptr) return bytes;
  uint8_t buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof(buffer), file)) > 0) {
    bytes.insert(bytes.end(), buffer, buffer + n);
  }
  fclose(file);
  return bytes;
}

bool WriteFileBytes(const std::wstring& path, const Bytes& bytes) {
  FILE* file = _wfopen(path.c_str(), L"wb");
  if (file == nullptr) return false;
  const bool written = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return fclose(file) == 0 && written;
}

// Bytes that differ between two codes stored little-endian.
int ChangedBytes(uint16_t a, uint16_t b) {
  return ((a & 0xFF) != (b & 0xFF)) + ((a >> 8) != (b >> 8));
}

class PatchedImage : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    KeyBlock keyBlock{PayloadKeyParameters()};
    ASSERT_EQ(1, LoadRealKeyBlock(&keyBlock));
    const StoredEntry& entry = kPayloadStore.stringTables[kSupplementaryTableEntry];
    StringTable table;
    ASSERT_EQ(1, ExtractStringTable(keyBlock, entry.bytes, entry.length, table));
    for (int v = 0; v < 3; ++v) scanTable[v] = DecodedPattern(table, 145 + v);
    e0List = DecodedPattern(table, 148);
    e1List = DecodedPattern(table, 149);
    decimalKey = DecodedPattern(table, 144);
    ASSERT_FALSE(scanTable[GetParam()].empty());
    ASSERT_FALSE(e0List.empty());
    ASSERT_FALSE(e1List.empty());
    ASSERT_FALSE(decimalKey.empty());

    builtPath = BuiltLayoutImagePath(kImageNames[GetParam()]);
    original = ReadFileBytes(builtPath);
    ASSERT_FALSE(original.empty()) << kImageNames[GetParam()];
    ASSERT_TRUE(unpatched.Load(builtPath.c_str())) << kImageNames[GetParam()];
  }

  LayoutImagePatterns Patterns() const {
    LayoutImagePatterns p{};
    for (int v = 0; v < 3; ++v) {
      p.scanCodeTable[v] = {scanTable[v].data(), static_cast<int32_t>(scanTable[v].size())};
    }
    p.extendedE0List = {e0List.data(), static_cast<int32_t>(e0List.size())};
    p.extendedE1List = {e1List.data(), static_cast<int32_t>(e1List.size())};
    p.decimalKey = {decimalKey.data(), static_cast<int32_t>(decimalKey.size())};
    return p;
  }

  // Patches a copy of the built image, writes it beside the temporary files
  // under `name` and returns its path (empty when patching or writing failed).
  std::wstring WritePatched(const std::vector<KeyRow>& rows, int32_t decimalOption,
                            const wchar_t* name, Bytes* patched) {
    *patched = original;
    const LayoutImageChanges changes{rows.data(), static_cast<int32_t>(rows.size()),
                                     GetParam(), decimalOption};
    if (PatchLayoutImage(patched->data(), static_cast<int32_t>(patched->size()), Patterns(),
                         changes) != 1) {
      ADD_FAILURE() << "the patch was refused";
      return std::wstring();
    }
    wchar_t folder[MAX_PATH];
    const DWORD n = GetTempPathW(MAX_PATH, folder);
    if (n == 0 || n >= MAX_PATH) return std::wstring();
    std::wstring path = std::wstring(folder) + name + std::to_wstring(GetParam()) + L".dll";
    if (!WriteFileBytes(path, *patched)) {
      ADD_FAILURE() << "cannot write the patched image";
      return std::wstring();
    }
    return path;
  }

  // The code an assignment list gives a scan code, or its unpatched code.
  uint16_t ExpectedCode(const std::vector<KeyRow>& rows, uint16_t scan) const {
    const uint16_t before = unpatched.CodeForScan(scan);
    // A key missing from the image's tables stays missing.
    if (before == 0 && scan >= 0x100) return 0;
    for (const KeyRow& row : rows) {
      if (row.scanCode == scan && row.assignedKey != 0) return row.assignedKey;
    }
    return before;
  }

  // Walks the patched image against the unpatched one: the key tables hold the
  // assignments, the decimal key a comma in both cells when asked, and every
  // other cell is unchanged. The changed bytes of the file are counted too, so
  // a stray write anywhere in the image shows.
  void CheckPatched(const std::vector<KeyRow>& rows, int32_t decimalOption, const wchar_t* name) {
    Bytes patched;
    const std::wstring path = WritePatched(rows, decimalOption, name, &patched);
    ASSERT_FALSE(path.empty());
    {
      LayoutWalker walker;
      ASSERT_TRUE(walker.Load(path.c_str()));
      const KBDTABLES* before = unpatched.Tables();
      const KBDTABLES* after = walker.Tables();
      int expectedChanges = 0;

      ASSERT_EQ(before->bMaxVSCtoVK, after->bMaxVSCtoVK);
      for (int scan = 0; scan < before->bMaxVSCtoVK; ++scan) {
        const uint16_t want = ExpectedCode(rows, static_cast<uint16_t>(scan));
        EXPECT_EQ(want, after->pusVSCtoVK[scan]) << "scan code " << std::hex << scan;
        expectedChanges += ChangedBytes(want, before->pusVSCtoVK[scan]);
      }
      const VSC_VK* lists[2][2] = {{before->pVSCtoVK_E0, after->pVSCtoVK_E0},
                                   {before->pVSCtoVK_E1, after->pVSCtoVK_E1}};
      for (int l = 0; l < 2; ++l) {
        const int count = LayoutWalker::ListLength(lists[l][0]);
        ASSERT_EQ(count, LayoutWalker::ListLength(lists[l][1]));
        for (int i = 0; i < count; ++i) {
          const uint16_t prefix = l == 0 ? 0xE000 : 0xE100;
          const uint16_t scan = static_cast<uint16_t>(prefix | lists[l][0][i].Vsc);
          EXPECT_EQ(lists[l][0][i].Vsc, lists[l][1][i].Vsc);
          // Only a key's first record is patched; a repeated scan code keeps its code.
          bool first = true;
          for (int k = 0; k < i; ++k) first = first && lists[l][0][k].Vsc != lists[l][0][i].Vsc;
          const uint16_t want = first ? ExpectedCode(rows, scan) : lists[l][0][i].Vk;
          EXPECT_EQ(want, lists[l][1][i].Vk) << "scan code " << std::hex << scan;
          expectedChanges += ChangedBytes(want, lists[l][0][i].Vk);
        }
      }

      const VK_TO_WCHARS1* decimalRow = unpatched.FindRow(VK_DECIMAL);
      ASSERT_NE(decimalRow, nullptr);
      ASSERT_EQ(walker.CharTableCount(), unpatched.CharTableCount());
      for (int t = 0; t < unpatched.CharTableCount(); ++t) {
        const int width = before->pVkToWcharTable[t].nModifications;
        for (int i = 0;; ++i) {
          const VK_TO_WCHARS1* was = unpatched.Row(t, i);
          const VK_TO_WCHARS1* now = walker.Row(t, i);
          ASSERT_EQ(was->VirtualKey, now->VirtualKey) << "table " << t << " row " << i;
          if (was->VirtualKey == 0) break;
          EXPECT_EQ(was->Attributes, now->Attributes);
          for (int c = 0; c < width; ++c) {
            uint16_t want = was->wch[c];
            if (was == decimalRow && decimalOption == 0 && c < 2) {
              ASSERT_EQ(L'.', want);
              want = L',';
              ++expectedChanges;
            }
            EXPECT_EQ(want, now->wch[c]) << "virtual key " << std::hex << int(was->VirtualKey)
                                         << " column " << c;
          }
        }
      }

      int changed = 0;
      for (size_t i = 0; i < original.size(); ++i) changed += original[i] != patched[i];
      EXPECT_EQ(expectedChanges, changed);
    }
    // The walker has freed the library, so the file can go.
    /* result ignored: a leftover temporary file harms nothing */ DeleteFileW(path.c_str());
  }

  Bytes scanTable[3];
  Bytes e0List;
  Bytes e1List;
  Bytes decimalKey;
  std::wstring builtPath;
  Bytes original;
  LayoutWalker unpatched;
};

TEST_P(PatchedImage, EveryCodeOfTheKeyPageOnEveryKey) {
  // Image c gives every key of the page code c + k (rotated by the key's
  // place), so over all images each key takes each code once.
  for (int c = 0; c < kPageCodeCount; ++c) {
    std::vector<KeyRow> rows;
    for (int k = 0; k < kPageKeyCount; ++k) {
      rows.push_back(KeyRow{kPageKeys[k], kPageCodes[(c + k) % kPageCodeCount], 0, 0});
    }
    rows.push_back(KeyRow{0, 0, 152, 0});
    rows.push_back(KeyRow{0, 0, 0, 0});
    SCOPED_TRACE(c);
    CheckPatched(rows, 1, (L"kestrel-keys-" + std::to_wstring(c) + L"-").c_str());
    if (HasFatalFailure()) return;
  }
}

TEST_P(PatchedImage, DecimalKeyTypesACommaWithTheKeysUntouched) {
  std::vector<KeyRow> rows;
  for (uint16_t key : kPageKeys) rows.push_back(KeyRow{key, 0, 0, 0});
  CheckPatched(rows, 0, L"kestrel-decimal-");
}

TEST_P(PatchedImage, KeysAndDecimalKeyTogether) {
  std::vector<KeyRow> rows;
  for (int k = 0; k < kPageKeyCount; ++k) rows.push_back(KeyRow{kPageKeys[k], kPageCodes[k], 0, 0});
  CheckPatched(rows, 0, L"kestrel-both-");
}

TEST_P(PatchedImage, EveryPageKeyIsInTheImagesTables) {
  // Otherwise an assignment to it would be skipped without a word.
  for (uint16_t key : kPageKeys) EXPECT_NE(0, unpatched.CodeForScan(key)) << std::hex << key;
}

std::string VariantName(const ::testing::TestParamInfo<int>& info) {
  static const char* const kNames[] = {"Standard", "Accents", "Typographic"};
  return kNames[info.param];
}

INSTANTIATE_TEST_SUITE_P(Variants, PatchedImage, ::testing::Values(0, 1, 2), VariantName);

}  // namespace
