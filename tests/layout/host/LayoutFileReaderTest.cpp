// Tests of the layout file reader on images written here as our libraries are
// laid out (.data with the tables, texts, descriptor code and export directory;
// .reloc), in each of the three forms: what a definition is expected to read
// as must read back the same from every form, and damage must be refused.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tools/layout/ExpectedFileTables.h"
#include "tools/layoutfile/LayoutFileReader.h"

namespace {

using Mode = LayoutFileMode;
constexpr uint32_t kDataRva = 0x1000, kDataFile = 0x400, kFileAlign = 0x200;
constexpr uint64_t kTail = ~0ull;  // in a damage: the RVA of 16 non-zero bytes at the end of .data

uint32_t FileAligned(size_t size) {
  return static_cast<uint32_t>((size + kFileAlign - 1) / kFileAlign * kFileAlign);
}

void PutLittle(std::string* bytes, size_t at, uint64_t value, int count) {
  // Bytes past the eighth (a wide field's high part) are zero.
  for (int i = 0; i < count; ++i) (*bytes)[at + i] = static_cast<char>(i < 8 ? value >> (8 * i) : 0);
}

struct TestImage {
  Mode mode;
  std::string data;                    // .data from kDataRva
  std::map<uint32_t, int> relocations;  // RVA -> type
  std::map<std::string, uint32_t> at;   // RVAs of named fields and objects
  std::string dataName = ".data";

  uint32_t P() const { return mode == Mode::kX86 ? 4 : 8; }
  uint64_t Base() const { return mode == Mode::kX64 ? 0x180000000ull : 0x10000000ull; }
  uint32_t Here() const { return kDataRva + static_cast<uint32_t>(data.size()); }
  void Align(uint32_t n) { data.resize((data.size() + n - 1) / n * n, '\0'); }
  void Put(uint32_t rva, uint64_t value, int count) { PutLittle(&data, rva - kDataRva, value, count); }
  uint32_t Add(uint64_t value, int count) {
    const uint32_t rva = Here();
    data.append(static_cast<size_t>(count), '\0');
    Put(rva, value, count);
    return rva;
  }
  // A pointer slot as kbd.h lays it out, relocated unless null.
  uint32_t Pointer(uint32_t target, const std::string& name = "") {
    Align(P());
    const uint32_t field = Add(target ? Base() + target : 0, mode == Mode::kX64 ? 8 : 4);
    if (mode == Mode::kWow64) Add(0, 4);
    if (target) relocations[field] = mode == Mode::kX64 ? 10 : 3;
    if (!name.empty()) at[name] = field;
    return field;
  }
  uint32_t Text(const std::u16string& text) {
    Align(2);
    const uint32_t rva = Here();
    for (char16_t unit : text) Add(unit, 2);
    Add(0, 2);
    return rva;
  }
  std::string File() const;
};

std::string TestImage::File() const {
  const bool plus = mode == Mode::kX64;
  const uint32_t optionalSize = plus ? 240 : 224, relocRva = (Here() + 0xFFF) & ~0xFFFu;
  std::string reloc;
  for (auto it = relocations.begin(); it != relocations.end();) {  // one block per page
    const uint32_t page = it->first & ~0xFFFu;
    std::string block(8, '\0');
    for (; it != relocations.end() && (it->first & ~0xFFFu) == page; ++it) {
      block.append(2, '\0');
      PutLittle(&block, block.size() - 2, static_cast<uint64_t>(it->second) << 12 | (it->first & 0xFFF), 2);
    }
    block.resize((block.size() + 3) / 4 * 4, '\0');
    PutLittle(&block, 0, page, 4);
    PutLittle(&block, 4, block.size(), 4);
    reloc += block;
  }
  const uint32_t dataRaw = FileAligned(data.size()), relocRaw = FileAligned(reloc.size() + 1);
  std::string file(kDataFile, '\0');
  file[0] = 'M', file[1] = 'Z';
  PutLittle(&file, 0x3C, 0x40, 4);
  file.replace(0x40, 4, std::string("PE\0\0", 4));
  PutLittle(&file, 0x44, plus ? 0x8664 : 0x14C, 2);
  PutLittle(&file, 0x46, 2, 2);
  PutLittle(&file, 0x54, optionalSize, 2);
  const size_t optional = 0x58, directories = optional + (plus ? 112 : 96);
  PutLittle(&file, optional, plus ? 0x20B : 0x10B, 2);
  PutLittle(&file, optional + (plus ? 24 : 28), Base(), plus ? 8 : 4);
  PutLittle(&file, directories - 4, 16, 4);
  PutLittle(&file, directories, at.at("exports"), 4);
  PutLittle(&file, directories + 4, 40, 4);
  PutLittle(&file, directories + 40, relocRva, 4);
  PutLittle(&file, directories + 44, reloc.size(), 4);
  const struct { std::string name; uint32_t size, rva, rawSize, raw; } sections[] = {
      {dataName, static_cast<uint32_t>(data.size()), kDataRva, dataRaw, kDataFile},
      {".reloc", static_cast<uint32_t>(reloc.size()), relocRva, relocRaw, kDataFile + dataRaw}};
  for (int i = 0; i < 2; ++i) {
    const size_t header = optional + optionalSize + 40 * static_cast<size_t>(i);
    file.replace(header, sections[i].name.size(), sections[i].name);
    PutLittle(&file, header + 8, sections[i].size, 4);
    PutLittle(&file, header + 12, sections[i].rva, 4);
    PutLittle(&file, header + 16, sections[i].rawSize, 4);
    PutLittle(&file, header + 20, sections[i].raw, 4);
  }
  reloc.resize(relocRaw, '\0');
  return file + data + std::string(dataRaw - data.size(), '\0') + reloc;
}

// Lays out `t` in `mode`: the pointer-free objects first, then what points to them.
TestImage Write(const LayoutFileTables& t, Mode mode) {
  TestImage w{mode, std::string(16, '\0'), {}, {}};
  std::vector<uint32_t> names, extended, deadNames, rows;
  for (const FileKeyName& n : t.names) names.push_back(w.Text(n.text));
  for (const FileKeyName& n : t.extendedNames) extended.push_back(w.Text(n.text));
  for (const std::u16string& n : t.deadNames) deadNames.push_back(w.Text(n));
  const uint32_t bits = w.Here();
  for (const FileVkBit& b : t.modifierBits) w.Add(b.vk | b.bits << 8, 2);
  w.Add(0, 2);
  const uint32_t scan = w.at["scan"] = w.Here();
  for (uint16_t code : t.scanTable) w.Add(code, 2);
  uint32_t lists[2];
  for (int l = 0; l < 2; ++l) {
    w.Align(4);
    lists[l] = w.Here();
    for (const FileScanCode& e : l == 0 ? t.e0 : t.e1) w.Add(e.scan | static_cast<uint32_t>(e.code) << 16, 4);
    w.Add(0, 4);
  }
  for (const FileCharTable& table : t.charTables) {
    rows.push_back(w.Here());
    for (const FileCharRow& row : table.rows) {
      w.Add(row.vk | row.attributes << 8, 2);
      for (uint16_t cell : row.cells) w.Add(cell, 2);
    }
    w.Add(0, 2 + 2 * table.width);
  }
  w.Align(4);
  const uint32_t dead = t.deadKeysNull ? 0 : w.Here();
  for (const FileDeadKey& d : t.deadKeys) {
    w.Add(d.both | static_cast<uint64_t>(d.composed) << 32 | static_cast<uint64_t>(d.flags) << 48, 8);
  }
  if (!t.deadKeysNull) w.Add(0, 8);
  const uint32_t ligatures = t.ligaturesNull ? 0 : w.Here();
  for (const FileLigature& l : t.ligatures) {
    w.Add(l.vk, 2);
    w.Add(l.modification, 2);
    for (uint16_t cell : l.cells) w.Add(cell, 2);
  }
  if (!t.ligaturesNull) w.Add(0, t.ligatureEntrySize);
  w.Align(w.P());
  const uint32_t modifiers = w.Here();
  w.Pointer(bits);
  w.Add(t.maxModBits, 2);
  for (uint8_t column : t.columns) w.Add(column, 1);
  w.Align(w.P());
  const uint32_t chars = w.at["chartable0"] = w.Here();
  for (size_t i = 0; i < t.charTables.size(); ++i) {
    w.Pointer(rows[i]);
    w.Add(t.charTables[i].width | (2 + 2 * t.charTables[i].width) << 8, 2);
    w.Align(w.P());
  }
  w.Pointer(0);
  w.Add(0, 2);
  uint32_t nameLists[2];
  for (int l = 0; l < 2; ++l) {
    w.Align(w.P());
    nameLists[l] = w.Here();
    for (size_t i = 0; i < (l ? extended : names).size(); ++i) {
      w.Add((l ? t.extendedNames : t.names)[i].scan, 1);
      w.Pointer((l ? extended : names)[i], l == 0 && i == 0 ? "name0" : "");
    }
    w.Add(0, 1);
    w.Pointer(0);
  }
  w.Align(w.P());
  const uint32_t deadNameList = t.deadNamesNull ? 0 : w.Here();
  for (uint32_t name : deadNames) w.Pointer(name);
  if (!t.deadNamesNull) w.Pointer(0);
  w.Align(w.P());
  const uint32_t tables = w.Here();
  w.Pointer(modifiers, "pCharModifiers");
  w.Pointer(chars);
  w.Pointer(dead);
  w.Pointer(nameLists[0], "pKeyNames");
  w.Pointer(nameLists[1]);
  w.Pointer(deadNameList);
  w.Pointer(scan, "pusVSCtoVK");
  w.Add(t.scanTable.size(), 1);
  w.Pointer(lists[0], "pVSCtoVK_E0");
  w.Pointer(lists[1]);
  w.Add(t.localeFlags | static_cast<uint64_t>(t.ligatureMax | t.ligatureEntrySize << 8) << 32, 6);
  w.Pointer(ligatures);
  w.Add(t.type | static_cast<uint64_t>(t.subType) << 32, 8);
  w.Align(16);
  const uint32_t code = w.at["code"] = w.Here();
  if (mode == Mode::kX64) {
    w.Add(0x058D48, 3);
    w.Add(tables - (code + 7), 4);
  } else {
    w.Add(0xB8, 1);
    w.relocations[w.Add(w.Base() + tables, 4)] = 3;
    if (mode == Mode::kWow64) w.Add(0xD231, 2);
  }
  w.Add(0xC3, 1);
  w.Align(4);
  const uint32_t exports = w.at["exports"] = w.Here();
  w.data.append(40, '\0');
  w.Put(exports + 12, exports + 50, 4);  // the library's name
  w.Put(exports + 16, 1, 4);             // ordinal base
  w.Put(exports + 20, 0x100000001ull, 8);  // one function, one name
  w.Put(exports + 28, exports + 40, 4);
  w.Put(exports + 32, exports + 44, 4);
  w.Put(exports + 36, exports + 48, 4);
  w.at["function"] = w.Add(code, 4);
  w.Add(exports + 56, 4);
  w.Add(0, 2);
  w.data += std::string("t.dll\0\0\0", 6);
  w.at["exportname"] = w.Here();
  w.data += std::string("KbdLayerDescriptor\0", 19);
  return w;
}

std::string Read(const std::string& file, Mode mode) {
  LayoutFileTables tables;
  std::string error;
  if (!ReadLayoutFile(file, mode, &tables, &error)) return "refused: " + error;
  return CanonicalLayoutText(tables);
}

LayoutFileTables Definition(const std::string& text) {
  LayoutDefinition d;
  LayoutTables t;
  std::string error;
  EXPECT_TRUE(ParseLayoutDefinition("t.layout", text, &d, &error) && BuildLayoutTables(d, &t, &error)) << error;
  return ExpectedFileTables(t);
}

LayoutFileTables SmallTables() {
  LayoutFileTables t = Definition(
      "variant 1\nname T\nflags altgr\n[keys]\n01 ESCAPE U+001B\n1E A a A ą Ą\n28 OEM_7 ' \" *´\n"
      "E01C RETURN+ext\nE01D RCONTROL+ext\nE035 DIVIDE+ext\nE038 RMENU+ext\nE11D PAUSE\n"
      "[names]\n01 Esc\n[names-ext]\nE01C Num Enter\n[dead ´ acute]\na á\n");
  t.ligaturesNull = false;  // ours have none; the reader still reads them
  t.ligatureMax = 2;
  t.ligatureEntrySize = 8;
  t.ligatures = {{0x41, 1, {0x66, 0x69}}};
  return t;
}

LayoutFileTables StandardTables() {
  LayoutDefinition d;
  LayoutTables t;
  std::string error;
  EXPECT_TRUE(ReadLayoutDefinition(std::string(KESTREL_LAYOUT_DIR) + "/standard.layout", &d, &error) &&
              BuildLayoutTables(d, &t, &error))
      << error;
  return ExpectedFileTables(t);
}

TEST(LayoutFileReaderTest, EveryFormReadsBackWhatWasWritten) {
  const LayoutFileTables sets[] = {SmallTables(), StandardTables()};
  for (const LayoutFileTables& set : sets) {
    const std::string expected = CanonicalLayoutText(set);
    for (Mode mode : {Mode::kX86, Mode::kX64, Mode::kWow64}) {
      EXPECT_EQ(Read(Write(set, mode).File(), mode), expected) << LayoutFileModeName(mode);
    }
  }
  const std::string small = CanonicalLayoutText(sets[0]);
  for (const char* line :
       {"\nmodifier 11 02\n", "\ncolumns 0007 00 01 02 03 0F 0F 04 05\n", "\nscan 1E 0041\n", "\ne0 1C 010D\n",
        "\nrow DE 00 0027 0022 F000 F000 F001\nrow FF 00 F000 F000 F000 F000 00B4\n", "\ndead 00B4 0061 00E1 0000\n",
        "\nname 01 \"Esc\"\n", "\ndeadname \"\\u00B4acute\"\n", "\nligature 41 0001 0066 0069\n",
        "\ntype 00000004 00000000\n"}) {
    EXPECT_NE(small.find(line), std::string::npos) << line << small;
  }
  EXPECT_NE(CanonicalLayoutText(sets[1]).find("\ndeadkeys null\n"), std::string::npos);
}

TEST(LayoutFileReaderTest, DamagedOrForeignImagesAreRefused) {
  const LayoutFileTables small = SmallTables();
  struct Case {
    const char* name;
    Mode written, read;
    std::function<void(TestImage*)> damage;
    int cut;  // > 0: bytes of the file kept; < 0: bytes dropped from its end
    const char* what;
    const char* problem;
  };
  auto point = [](const char* field, uint64_t rva) {
    return [=](TestImage* w) {
      const uint64_t target = rva == kTail ? w->at["tail"] : rva;
      w->Put(w->at[field], w->Base() + target, w->mode == Mode::kX64 ? 8 : 4);
    };
  };
  auto untouched = [](TestImage*) {};
  const Case cases[] = {
      {"table outside .data", Mode::kX64, Mode::kX64, point("pKeyNames", 0x10), 0, "key names at RVA 0x00000010",
       "16 bytes reach outside .data"},
      {"text outside .data", Mode::kWow64, Mode::kWow64, point("name0", 0x800), 0, "key names 0 text at RVA 0x00000800",
       "outside .data"},
      {"pointer without relocation", Mode::kX86, Mode::kX86,
       [](TestImage* w) { w->relocations.erase(w->at["pusVSCtoVK"]); }, 0, "KBDTABLES.pusVSCtoVK",
       "no HIGHLOW base relocation"},
      {"relocation of the other type", Mode::kX64, Mode::kX64,
       [](TestImage* w) { w->relocations[w->at["pVSCtoVK_E0"]] = 3; }, 0, "KBDTABLES.pVSCtoVK_E0",
       "its base relocation is HIGHLOW, not DIR64"},
      {"relocation on no pointer", Mode::kX86, Mode::kX86, [](TestImage* w) { w->relocations[w->at["scan"]] = 3; }, 0,
       "base relocation (type 3)", "lies on no pointer the tables hold"},
      {"required table null", Mode::kX86, Mode::kX86,
       [](TestImage* w) {
         w->Put(w->at["pKeyNames"], 0, 4);
         w->relocations.erase(w->at["pKeyNames"]);
       },
       0, "KBDTABLES.pKeyNames", "null pointer"},
      {"list without its end", Mode::kX86, Mode::kX86, point("pVSCtoVK_E0", kTail), 0, "E0 list",
       "no closing record before the end of .data"},
      {"text without its end", Mode::kX64, Mode::kX64, point("name0", kTail), 0, "key names 0 text",
       "no closing NUL before the end of .data"},
      {"table across the end", Mode::kX64, Mode::kX64, point("pusVSCtoVK", kTail), 0, "scan code table",
       "254 bytes reach outside .data"},
      {"huge offset", Mode::kX64, Mode::kX64,
       [](TestImage* w) { w->Put(w->at["pusVSCtoVK"], ~0ull - 4, 8); }, 0, "scan code table at RVA 0xFFFFFFFE7FFFFFFB",
       "outside .data"},
      {"below the image base", Mode::kX86, Mode::kX86, [](TestImage* w) { w->Put(w->at["pCharModifiers"], 0x100, 4); },
       0, "KBDTABLES.pCharModifiers", "below the image base 0x10000000"},
      {"wrong row size", Mode::kWow64, Mode::kWow64, [](TestImage* w) { w->Put(w->at["chartable0"] + 9, 3, 1); }, 0,
       "VK_TO_WCHAR_TABLE 0", "cbSize 3 is not 2 + 2 * nModifications"},
      {"wow64 high half set", Mode::kWow64, Mode::kWow64, [](TestImage* w) { w->Put(w->at["pKeyNames"] + 4, 1, 4); },
       0, "KBDTABLES.pKeyNames", "high half is 0x00000001, not 0"},
      {"x86 image read as wow64", Mode::kX86, Mode::kWow64, untouched, 0, "KbdLayerDescriptor code",
       "is not the wow64 form"},
      {"x86 tables behind a wow64 descriptor", Mode::kX86, Mode::kWow64,
       [](TestImage* w) { w->Put(w->at["code"] + 5, 0xC3D231, 3); }, 0, "KBDTABLES.pCharModifiers", "high half is 0x1"},
      {"wow64 image read as x86", Mode::kWow64, Mode::kX86, untouched, 0, "KbdLayerDescriptor code",
       "is not the x86 form"},
      {"x64 image read as x86", Mode::kX64, Mode::kX86, untouched, 0, "machine 0x00008664 PE32+", "not the x86 form"},
      {"mov for lea", Mode::kX64, Mode::kX64, [](TestImage* w) { w->Put(w->at["code"] + 1, 0x8B, 1); }, 0,
       "KbdLayerDescriptor code", "48 8B 05"},
      {"descriptor outside .data", Mode::kX86, Mode::kX86, [](TestImage* w) { w->Put(w->at["function"], 0x800, 4); },
       0, "KbdLayerDescriptor code at RVA 0x00000800", "outside .data"},
      {"no export", Mode::kX86, Mode::kX86, [](TestImage* w) { w->Put(w->at["exportname"], 'k', 1); }, 0,
       "no export named KbdLayerDescriptor", ""},
      {"no .data section", Mode::kX64, Mode::kX64, [](TestImage* w) { w->dataName = ".rdata"; }, 0, "no .data section",
       ""},
      {"cut inside .reloc", Mode::kX86, Mode::kX86, untouched, -0x100, "section .reloc",
       "runs past the end of the file"},
      {"cut inside the headers", Mode::kX86, Mode::kX86, untouched, 0x30, "no DOS header", ""},
  };
  for (const Case& c : cases) {
    TestImage image = Write(small, c.written);
    image.at["tail"] = image.Here();
    image.data.append(16, 'A');
    c.damage(&image);
    std::string file = image.File();
    if (c.cut != 0) file.resize(c.cut > 0 ? static_cast<size_t>(c.cut) : file.size() - static_cast<size_t>(-c.cut));
    const std::string result = Read(file, c.read);
    EXPECT_EQ(result.rfind("refused: ", 0), 0u) << c.name;
    EXPECT_NE(result.find(c.what), std::string::npos) << c.name << ": " << result;
    EXPECT_NE(result.find(c.problem), std::string::npos) << c.name << ": " << result;
  }
}

TEST(LayoutFileReaderTest, InstalledChangesShowInTheExpectedTables) {
  const LayoutFileTables plain = StandardTables();
  LayoutFileTables changed = plain;
  std::string error;
  // The second 1E wins; E0FF has no record and 80 no table: neither changes anything.
  ASSERT_TRUE(ApplyInstalledChanges({{0x1E, 0x51}, {0xE01C, 0x1A3}, {0x1E, 0x5A}, {0xE0FF, 5}, {0x80, 7}, {0x10, 0}}, 0,
                                    &changed, &error));
  std::vector<std::string> before, after;
  for (auto* text : {&before, &after}) {
    std::string all = CanonicalLayoutText(text == &before ? plain : changed);
    for (size_t start = 0, end; (end = all.find('\n', start)) != std::string::npos; start = end + 1) {
      text->push_back(all.substr(start, end - start));
    }
  }
  ASSERT_EQ(before.size(), after.size());
  std::vector<std::string> differences;
  for (size_t i = 0; i < after.size(); ++i) {
    if (before[i] != after[i]) differences.push_back(after[i]);
  }
  ASSERT_EQ(differences.size(), 3u);
  EXPECT_EQ(differences[0], "scan 1E 005A");
  EXPECT_EQ(differences[1], "e0 1C 01A3");
  EXPECT_EQ(differences[2].rfind("row 6E 00 002C 002C", 0), 0u) << differences[2];
  LayoutFileTables untouched = plain;
  ASSERT_TRUE(ApplyInstalledChanges({}, 1, &untouched, &error));
  EXPECT_EQ(CanonicalLayoutText(untouched), CanonicalLayoutText(plain));
  LayoutFileTables noKeypad = SmallTables();
  EXPECT_FALSE(ApplyInstalledChanges({{0x1E, 0x51}}, 0, &noKeypad, &error));
  EXPECT_EQ(noKeypad.scanTable[0x1E], 0x41);  // a refusal changes nothing
}

}  // namespace
