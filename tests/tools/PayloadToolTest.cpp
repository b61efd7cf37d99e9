// The payload tool: the string-source parser and its errors, the key material
// the program rebuilds, table building, and the tool run as a program (nothing
// written on bad input, the same bytes from the same inputs, the inspector).
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "payload/KeyBlock.h"
#include "payload/PackedEntry.h"
#include "payload/StringTable.h"
#include "text/Memory.h"
#include "text/WString.h"
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
  int Pack(const std::string& out) {
    std::string command = std::string(KESTREL_PAYLOAD_TOOL) + " pack --content " + dir +
                          " --seed " + dir + "/seed.txt --out " + out + " --image-out " + out +
                          ".bin 2>" + dir + "/errors.txt";
    return system(command.c_str());
  }
  int Inspect(const std::string& file) {
    return system((std::string(KESTREL_PAYLOAD_TOOL) + " inspect " + file + " >/dev/null 2>&1").c_str());
  }
  std::string dir;
};

TEST_F(PayloadToolRun, SameInputsGiveTheSameBytes) {
  ASSERT_EQ(0, Pack(dir + "/a.cpp"));
  ASSERT_EQ(0, Pack(dir + "/b.cpp"));
  EXPECT_EQ(ReadText(dir + "/a.cpp"), ReadText(dir + "/b.cpp"));
  EXPECT_NE(std::string::npos, ReadText(dir + "/a.cpp").find("kPayloadStore"));
  EXPECT_EQ(0, Inspect(dir + "/a.cpp.bin"));
}

TEST_F(PayloadToolRun, BadInputWritesNothing) {
  WriteText(dir + "/out.cpp", "previous output");
  WriteText(dir + "/strings/polish.txt", "93 utf16 \"ok\"\n94 utf7 \"bad\"\n");
  EXPECT_NE(0, Pack(dir + "/out.cpp"));
  EXPECT_EQ("previous output", ReadText(dir + "/out.cpp"));
  EXPECT_EQ("<missing>", ReadText(dir + "/out.cpp.bin"));
  EXPECT_NE(std::string::npos, ReadText(dir + "/errors.txt").find("polish.txt:2: unknown form"));
  remove((dir + "/strings/polish.txt").c_str());
  EXPECT_NE(0, Pack(dir + "/out.cpp"));
  EXPECT_NE(std::string::npos, ReadText(dir + "/errors.txt").find("polish.txt: cannot read"));
  EXPECT_EQ("previous output", ReadText(dir + "/out.cpp"));
}

TEST_F(PayloadToolRun, InspectorRefusesADamagedEntry) {
  ASSERT_EQ(0, Pack(dir + "/a.cpp"));
  std::string image = ReadText(dir + "/a.cpp.bin");
  PayloadImage parsed;
  std::string error;
  ASSERT_TRUE(ParsePayloadImage(image, &parsed, &error));
  // Damage the last byte of the image: it belongs to the last entry.
  image[image.size() - 1] ^= 0x40;
  WriteText(dir + "/damaged.bin", image);
  EXPECT_NE(0, Inspect(dir + "/damaged.bin"));
  WriteText(dir + "/none.bin", "no payload here");
  EXPECT_NE(0, Inspect(dir + "/none.bin"));
}

}  // namespace

namespace {

TEST(PayloadImage, IdenticalEntriesAreStoredOnce) {
  PayloadImage image;
  image.parameters = KeyBlockParameters{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  const std::string layout(1000, 'L');
  image.entries = {{kEntryLayoutImageBase + 0, layout}, {kEntryLayoutImageBase + 1, layout},
                   {kEntryFirstDocument, "document"}};
  std::vector<size_t> offsets;
  std::string bytes = SerializePayloadImage(image, &offsets);
  ASSERT_EQ(3u, offsets.size());
  EXPECT_EQ(offsets[0], offsets[1]);
  EXPECT_LT(bytes.size(), 2 * layout.size());
  PayloadImage parsed;
  std::string error;
  ASSERT_TRUE(ParsePayloadImage("prefix bytes" + bytes, &parsed, &error)) << error;
  ASSERT_EQ(3u, parsed.entries.size());
  EXPECT_EQ(layout, parsed.entries[1].bytes);
  EXPECT_EQ("document", parsed.entries[2].bytes);
  EXPECT_EQ(10, parsed.parameters.maskCount);
}

}  // namespace
