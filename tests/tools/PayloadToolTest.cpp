// The payload tool: the string-source parser and its errors, the key material
// the program rebuilds, table building, the inspector on damaged payloads, and
// the tool run as a program (nothing written on bad input, the same bytes from
// the same inputs, the map kept out of the program).
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "payload/Blowfish.h"
#include "payload/KeyBlock.h"
#include "payload/PackedEntry.h"
#include "payload/PayloadStore.h"
#include "payload/StringTable.h"
#include "text/Memory.h"
#include "text/WString.h"
#include "tools/payload/Inspector.h"
#include "tools/payload/KeyMaterial.h"
#include "tools/payload/PayloadImage.h"
#include "tools/payload/StringSource.h"
#include "tools/payload/TableBuilder.h"

namespace {

std::string MakeTempDir() {
  char pattern[] = "/tmp/kestrel-tool-XXXXXX";
  return mkdtemp(pattern);
}

void WriteText(const std::string& path, const std::string& text) {
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(nullptr, f);
  fwrite(text.data(), 1, text.size(), f);
  fclose(f);
}

std::string ReadText(const std::string& path) {
  std::string bytes;
  FILE* f = fopen(path.c_str(), "rb");
  if (f == nullptr) return "<missing>";
  int c;
  while ((c = fgetc(f)) != EOF) bytes.push_back(static_cast<char>(c));
  fclose(f);
  return bytes;
}

// Parses `source`; returns the error text, or "" on success.
std::string ParseError(const std::string& source, std::vector<SourceText>* texts = nullptr) {
  std::string dir = MakeTempDir();
  WriteText(dir + "/s.txt", source);
  std::vector<SourceText> local;
  std::string error;
  bool ok = ReadStringSource(dir + "/s.txt", texts ? texts : &local, &error);
  if (ok) return "";
  return error.substr(error.find("s.txt"));
}

TEST(StringSource, ParsesFormsEscapesAndContinuations) {
  std::vector<SourceText> texts;
  ASSERT_EQ("", ParseError("# comment\n\n7 utf16 \"a\\tb\\\"c\\u0141\"\n"
                           "8 utf8 \"\xC5\x82\xC3\xB3" "d\\n\"  # trailing comment\n"
                           "   \"more\"\n",
                           &texts));
  ASSERT_EQ(2u, texts.size());
  EXPECT_EQ(7u, texts[0].id);
  EXPECT_FALSE(texts[0].narrow);
  EXPECT_EQ(std::u16string(u"a\tb\"c\u0141"), texts[0].units);
  EXPECT_TRUE(texts[1].narrow);
  EXPECT_EQ(std::u16string(u"\u0142\u00F3d\nmore"), texts[1].units);
  EXPECT_EQ("\xC5\x82\xC3\xB3" "d\nmore", StoredCharacters(texts[1]));
  EXPECT_EQ(std::string("a\0\t\0", 4), StoredCharacters(texts[0]).substr(0, 4));
}

TEST(StringSource, ErrorsNameTheFileAndLine) {
  EXPECT_EQ("s.txt:2: unknown form 'utf32' (utf16 or utf8)", ParseError("1 utf8 \"a\"\n2 utf32 \"b\"\n"));
  EXPECT_EQ("s.txt:3: duplicate id 1 (first on line 1)", ParseError("1 utf8 \"a\"\n\n1 utf16 \"b\"\n"));
  EXPECT_EQ("s.txt:1: bad escape \\q", ParseError("1 utf8 \"a\\q\"\n"));
  EXPECT_EQ("s.txt:1: bad escape: \\u needs four hexadecimal digits", ParseError("1 utf8 \"\\u12\"\n"));
  EXPECT_EQ("s.txt:1: unterminated quoted text", ParseError("1 utf8 \"open\n"));
  EXPECT_EQ("s.txt:1: expected an id (a decimal number)", ParseError("x utf8 \"a\"\n"));
  EXPECT_EQ("s.txt:1: a continuation line with no text before it", ParseError("  \"a\"\n"));
  EXPECT_EQ("s.txt:1: unexpected text after the quoted text", ParseError("1 utf8 \"a\" b\n"));
  EXPECT_EQ("s.txt:1: id out of range", ParseError("4294967296 utf8 \"a\"\n"));
  EXPECT_EQ("s.txt:1: not UTF-8 (or a character outside the 16-bit range)",
            ParseError("1 utf8 \"\xF0\x9F\x98\x80\"\n"));
  std::vector<SourceText> texts;
  std::string error;
  EXPECT_FALSE(ReadStringSource("/nonexistent/strings.txt", &texts, &error));
  EXPECT_NE(std::string::npos, error.find("/nonexistent/strings.txt"));
}

TEST(KeyMaterial, TheProgramRebuildsTheToolsKey) {
  KeyMaterial material;
  ASSERT_TRUE(MakeKeyMaterial("0123456789abcdef0123456789abcdef", &material));
  ASSERT_EQ(static_cast<size_t>(kKeyBlockSize), material.storedBlock.size());
  ASSERT_EQ(static_cast<size_t>(kKeyLength), material.key.size());
  KeyBlock block(material.parameters);
  ASSERT_EQ(1, block.loadFromImage(reinterpret_cast<const uint8_t*>(material.storedBlock.data()),
                                   kKeyBlockSize));
  EXPECT_EQ(material.key, std::string(reinterpret_cast<const char*>(block.key()), kKeyLength));
  // The rebuild really rearranges: the key is not simply the stored window.
  EXPECT_NE(material.key, material.storedBlock.substr(static_cast<size_t>(material.parameters.keyOffset), kKeyLength));
  KeyMaterial again;
  ASSERT_TRUE(MakeKeyMaterial("# comment with hex-like words: deadbeef\n0123456789abcdef0123456789abcdef", &again));
  EXPECT_EQ(material.storedBlock, again.storedBlock);
  EXPECT_FALSE(MakeKeyMaterial("abc", &again));
}

// The real key block and parameters: every rebuild step reaches the key bytes
// the cipher's schedule reads, so a fault in any step breaks every real entry.
TEST(KeyMaterial, EveryRebuildStepChangesTheRealKey) {
  const StoredEntry& stored = kPayloadStore.keyBlock;
  auto scheduledKey = [&](const KeyBlockParameters& parameters) {
    KeyBlock block(parameters);
    EXPECT_EQ(1, block.loadFromImage(stored.bytes, static_cast<int32_t>(stored.length)));
    return std::string(reinterpret_cast<const char*>(block.key()), 72);
  };
  const KeyBlockParameters real = PayloadKeyParameters();
  const std::string key = scheduledKey(real);
  KeyBlockParameters changed = real;
  changed.moveACount = 0;
  EXPECT_NE(key, scheduledKey(changed)) << "move A";
  changed = real;
  changed.moveBCount = 0;
  EXPECT_NE(key, scheduledKey(changed)) << "move B";
  for (int32_t step : {-1, 1}) {
    changed = real;
    changed.maskPosition += step;
    if (changed.maskPosition >= 0 && changed.maskPosition < kKeyBlockSize) {
      EXPECT_NE(key, scheduledKey(changed)) << "mask position " << changed.maskPosition;
    }
  }
  // The tool refuses parameters whose first move lands far from the key.
  const std::string block(reinterpret_cast<const char*>(stored.bytes), stored.length);
  EXPECT_EQ("", RebuildWeakness(block, real));
  const KeyBlockParameters missing = {0, 800, 900, 10, 500, 0, 100, 600, 0, 100};
  EXPECT_EQ("move A leaves the key bytes the cipher reads unchanged", RebuildWeakness(block, missing));
}

// InspectPayload's report and result.
int Inspected(const PayloadImage& image, std::string* report) {
  FILE* out = tmpfile();
  InspectOptions options;
  options.out = out;
  int failures = InspectPayload(image, options);
  rewind(out);
  report->clear();
  int c;
  while ((c = fgetc(out)) != EOF) report->push_back(static_cast<char>(c));
  fclose(out);
  return failures;
}

// Damage a maintainer may meet: each is reported as FAILED, and no length or
// offset read from the image is trusted on the way.
TEST(Inspector, ReportsDamageInsteadOfCrashing) {
  KeyMaterial material;
  ASSERT_TRUE(MakeKeyMaterial("0123456789abcdef0123456789abcdef", &material));
  const uint8_t* key = reinterpret_cast<const uint8_t*>(material.key.data());
  // Packed properly, then the plain length set to 0xFFFFFFFF (no CRC covers the header).
  const std::string plain(100000, 'k');
  uint32_t length = 0;
  uint8_t* stored = PackEntry(key, kKeyLength, reinterpret_cast<const uint8_t*>(plain.data()),
                              static_cast<uint32_t>(plain.size()), 0, &length);
  ASSERT_NE(nullptr, stored);
  std::string entry(reinterpret_cast<char*>(stored), length);
  FreeBlock(stored);
  BlowfishCipher cipher;
  cipher.setKey(key, kKeyLength);
  uint8_t* bytes = reinterpret_cast<uint8_t*>(&entry[0]);
  cipher.decryptBuffer(bytes, bytes, length);
  memset(bytes + 4, 0xFF, 4);
  cipher.encryptBuffer(bytes, bytes, length);

  PayloadImage image;
  image.parameters = material.parameters;
  image.entries = {{kEntryKeyBlock, material.storedBlock}, {kEntryLicence0, entry}};
  std::string report;
  EXPECT_EQ(1, Inspected(image, &report));
  EXPECT_NE(std::string::npos, report.find("plain 4294967295")) << report;
  EXPECT_NE(std::string::npos, report.find("FAILED: data does not inflate to the plain length")) << report;
  image.parameters.keyOffset = 1000;  // the key window outside the block
  EXPECT_EQ(1, Inspected(image, &report));
  EXPECT_NE(std::string::npos, report.find("key window at 1000 lies outside it: FAILED")) << report;
}

TEST(TableBuilder, TablesRoundTripThroughTheProgramsReader) {
  std::vector<SourceText> texts;
  ASSERT_EQ("", ParseError("300 utf16 \"three hundred\"\n2 utf8 \"two \xC5\x82\"\n"
                           "4000000000 utf16 \"large\"\n17 utf8 \"\"\n",
                           &texts));
  KeyMaterial material;
  ASSERT_TRUE(MakeKeyMaterial("00112233445566778899aabbccddeeff", &material));
  std::string plain = BuildStringTable(texts);
  uint32_t storedLength = 0;
  uint8_t* stored = PackEntry(reinterpret_cast<const uint8_t*>(material.key.data()), kKeyLength,
                              reinterpret_cast<const uint8_t*>(plain.data()),
                              static_cast<uint32_t>(plain.size()), 4, &storedLength);
  KeyBlock block(material.parameters);
  ASSERT_EQ(1, block.loadFromImage(reinterpret_cast<const uint8_t*>(material.storedBlock.data()), kKeyBlockSize));
  uint32_t length = storedLength;
  uint32_t count = 0;
  uint8_t* entry = block.extractEntry(stored, &length, &count);
  FreeBlock(stored);
  ASSERT_NE(nullptr, entry);
  ASSERT_EQ(4u, count);
  StringTable table;
  ASSERT_EQ(1, table.attach(entry, 4, length));
  struct Expected {
    uint32_t id;
    std::u16string text;
  } expected[] = {{2, u"two \u0142"}, {17, u""}, {300, u"three hundred"}, {4000000000u, u"large"}};
  for (const Expected& e : expected) {
    WString text;
    ASSERT_EQ(1, text.AssignRecord(table.find(e.id))) << e.id;
    text.ToWide(-1);
    EXPECT_EQ(e.text, std::u16string(text.WideAt(0), static_cast<size_t>(text.Length())));
  }
  EXPECT_EQ(nullptr, table.find(3));
}

// The tool as a program, on a small content folder of its own.
class PayloadToolRun : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = MakeTempDir();
    mkdir((dir + "/strings").c_str(), 0755);
    mkdir((dir + "/licence").c_str(), 0755);
    WriteText(dir + "/strings/common.txt", "1 utf16 \"common\"\n");
    WriteText(dir + "/strings/supplementary.txt", "2 utf8 \"supplementary\"\n");
    WriteText(dir + "/strings/english.txt", "93 utf16 \"Setup\"\n");
    WriteText(dir + "/strings/polish.txt", "93 utf16 \"Instalator\"\n");
    WriteText(dir + "/licence/licence.en.txt", "\xEF\xBB\xBFLicence");
    WriteText(dir + "/licence/licence.pl.txt", "Licencja");
    WriteText(dir + "/seed.txt", "0123456789abcdef0123456789abcdef\n");
  }
  // Writes `out`, `out`.bin (the image) and `out`.map.
  int Pack(const std::string& out) {
    std::string command = std::string(KESTREL_PAYLOAD_TOOL) + " pack --content " + dir +
                          " --seed " + dir + "/seed.txt --out " + out + " --image-out " + out +
                          ".bin --map-out " + out + ".map 2>" + dir + "/errors.txt";
    return system(command.c_str());
  }
  int Inspect(const std::string& file, const std::string& map) {
    return system((std::string(KESTREL_PAYLOAD_TOOL) + " inspect " + file + " --map " + map +
                   " >" + dir + "/report.txt 2>&1").c_str());
  }
  std::string dir;
};

TEST_F(PayloadToolRun, SameInputsGiveTheSameBytes) {
  ASSERT_EQ(0, Pack(dir + "/a.cpp"));
  ASSERT_EQ(0, Pack(dir + "/b.cpp"));
  EXPECT_EQ(ReadText(dir + "/a.cpp"), ReadText(dir + "/b.cpp"));
  EXPECT_NE(std::string::npos, ReadText(dir + "/a.cpp").find("kPayloadStore"));
  EXPECT_EQ(0, Inspect(dir + "/a.cpp.bin", dir + "/a.cpp.map"));
}

TEST_F(PayloadToolRun, BadInputWritesNothing) {
  WriteText(dir + "/out.cpp", "previous output");
  WriteText(dir + "/strings/polish.txt", "93 utf16 \"ok\"\n94 utf7 \"bad\"\n");
  EXPECT_NE(0, Pack(dir + "/out.cpp"));
  EXPECT_EQ("previous output", ReadText(dir + "/out.cpp"));
  EXPECT_EQ("<missing>", ReadText(dir + "/out.cpp.bin"));
  EXPECT_EQ("<missing>", ReadText(dir + "/out.cpp.map"));
  EXPECT_NE(std::string::npos, ReadText(dir + "/errors.txt").find("polish.txt:2: unknown form"));
  remove((dir + "/strings/polish.txt").c_str());
  EXPECT_NE(0, Pack(dir + "/out.cpp"));
  EXPECT_NE(std::string::npos, ReadText(dir + "/errors.txt").find("polish.txt: cannot read"));
  EXPECT_EQ("previous output", ReadText(dir + "/out.cpp"));
}

TEST_F(PayloadToolRun, InspectorRefusesADamagedEntryAndAProgramCarryingTheMap) {
  ASSERT_EQ(0, Pack(dir + "/a.cpp"));
  const std::string map = dir + "/a.cpp.map";
  const std::string image = ReadText(dir + "/a.cpp.bin");
  // A program holds the image somewhere among its other bytes.
  WriteText(dir + "/program.exe", "MZ code and data " + image + " more data");
  EXPECT_EQ(0, Inspect(dir + "/program.exe", map));
  EXPECT_NE(std::string::npos, ReadText(dir + "/report.txt").find("payload map in the clear: none"));
  // Damage the last byte of the image: it belongs to the last entry.
  std::string damaged = image;
  damaged[damaged.size() - 1] ^= 0x40;
  WriteText(dir + "/damaged.bin", damaged);
  EXPECT_NE(0, Inspect(dir + "/damaged.bin", map));
  EXPECT_NE(std::string::npos, ReadText(dir + "/report.txt").find("FAILED: CRC of the packed data"));
  WriteText(dir + "/none.bin", "no payload here");
  EXPECT_NE(0, Inspect(dir + "/none.bin", map));
  // Every entry verifies, but the program also carries the map's parameters
  // (at its very start) and the old directory's magic.
  const std::string mapBytes = ReadText(map);
  WriteText(dir + "/leaky.exe", mapBytes.substr(24, 40) + image);
  EXPECT_NE(0, Inspect(dir + "/leaky.exe", map));
  EXPECT_NE(std::string::npos, ReadText(dir + "/report.txt").find("the key parameters as one record: FAILED"));
  WriteText(dir + "/leaky.exe", image + "KESTREL PAYLOAD1");
  EXPECT_NE(0, Inspect(dir + "/leaky.exe", map));
}

}  // namespace

namespace {

TEST(PayloadImage, IdenticalEntriesAreStoredOnceAndTheMapFindsThemInAProgram) {
  PayloadImage image;
  image.parameters = KeyBlockParameters{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  const std::string layout(1000, 'L');
  image.entries = {{kEntryLayoutImageBase + 0, layout}, {kEntryLayoutImageBase + 1, layout},
                   {kEntryFirstDocument, "document"}};
  const SerializedPayload serialized = SerializePayload(image);
  ASSERT_EQ(3u, serialized.offsets.size());
  EXPECT_EQ(serialized.offsets[0], serialized.offsets[1]);
  EXPECT_LT(serialized.image.size(), 2 * layout.size());
  EXPECT_EQ(std::string::npos, serialized.image.find("KESTREL"));  // the image is entries only
  PayloadImage parsed;
  std::string error;
  ASSERT_TRUE(ReadPayload(serialized.map, "prefix bytes" + serialized.image, &parsed, &error)) << error;
  ASSERT_EQ(3u, parsed.entries.size());
  EXPECT_EQ(layout, parsed.entries[1].bytes);
  EXPECT_EQ("document", parsed.entries[2].bytes);
  EXPECT_EQ(10, parsed.parameters.maskCount);
  // A program cut short inside the image, and a damaged map, are refused.
  EXPECT_FALSE(ReadPayload(serialized.map, serialized.image.substr(0, 1000), &parsed, &error));
  EXPECT_FALSE(ReadPayload(serialized.map.substr(0, serialized.map.size() - 1), serialized.image, &parsed, &error));
}

}  // namespace
