// Tests of the definition parser: what a well-formed file gives, and that every
// kind of mistake is refused with its file and line.
#include <gtest/gtest.h>

#include <string>

#include "tools/layout/LayoutDefinition.h"

namespace {

const char kHeader[] = "variant 1\nname Test layout\nflags altgr\n";

bool Parse(const std::string& body, LayoutDefinition* out, std::string* error) {
  return ParseLayoutDefinition("test.layout", kHeader + body, out, error);
}

std::string ErrorOf(const std::string& body) {
  LayoutDefinition definition;
  std::string error;
  EXPECT_FALSE(Parse(body, &definition, &error)) << body;
  return error;
}

TEST(LayoutDefinitionTest, ReadsKeysWithFlagsCharactersAndDeadKeys) {
  LayoutDefinition d;
  std::string error;
  ASSERT_TRUE(Parse("[keys]\n"
                    "# comment\n"
                    "1E  A  a  A  U+0105 Ą\n"
                    "28  OEM_7  '  \"  *´\n"
                    "36  RSHIFT+ext\n"
                    "E035 DIVIDE+ext  /  /\n"
                    "[keypad]\n"
                    "53  DELETE  DECIMAL  .  .\n"
                    "[names-ext]\n"
                    "E01D Right Ctrl\n"
                    "[dead ´ acute]\n"
                    "a á  U+0020 ´\n",
                    &d, &error))
      << error;
  EXPECT_EQ(d.variant, 1);
  EXPECT_EQ(d.name, "Test layout");
  EXPECT_TRUE(d.altGr);
  ASSERT_EQ(d.keys.size(), 5u);
  EXPECT_EQ(d.keys[0].scan, 0x1E);
  EXPECT_EQ(d.keys[0].cells[kAltGr].ch, 0x105u);
  EXPECT_EQ(d.keys[0].cells[kShiftAltGr].ch, 0x104u);
  EXPECT_FALSE(d.keys[0].cells[kCtrl].present);
  EXPECT_TRUE(d.keys[1].cells[kAltGr].dead);
  EXPECT_EQ(d.keys[1].cells[kAltGr].ch, 0xB4u);
  EXPECT_EQ(d.keys[2].tableCode, 0x1A1);
  EXPECT_EQ(d.keys[3].scan, 0xE035);
  EXPECT_EQ(d.keys[3].tableCode, 0x16F);
  EXPECT_EQ(d.keys[4].tableCode, 0xC2E);  // special + numpad + DELETE
  EXPECT_EQ(d.keys[4].charVk, 0x6E);
  EXPECT_TRUE(d.keys[4].keypad);
  ASSERT_EQ(d.extendedNames.size(), 1u);
  EXPECT_EQ(d.extendedNames[0].name, "Right Ctrl");
  ASSERT_EQ(d.deadKeys.size(), 1u);
  EXPECT_EQ(d.deadKeys[0].name, "acute");
  ASSERT_EQ(d.deadKeys[0].combinations.size(), 2u);
  EXPECT_EQ(d.deadKeys[0].combinations[0], std::make_pair(uint32_t('a'), uint32_t(0xE1)));
  EXPECT_EQ(d.deadKeys[0].combinations[1], std::make_pair(uint32_t(' '), uint32_t(0xB4)));
}

TEST(LayoutDefinitionTest, MistakesNameTheFileAndLine) {
  // The header takes lines 1-3, so [keys] is line 4 and the first key line 5.
  EXPECT_EQ(ErrorOf("[keys]\n7F  A\n"), "test.layout:5: \"7F\" is not a scan code (01-7E, E0xx, E1xx)");
  EXPECT_EQ(ErrorOf("[keys]\n1E  KEY_A\n"), "test.layout:5: unknown virtual key \"KEY_A\"");
  EXPECT_EQ(ErrorOf("[keys]\n1E  A+wide\n"), "test.layout:5: unknown flag \"+wide\" (ext, multivk, special, numpad)");
  EXPECT_EQ(ErrorOf("[keys]\n1E  A  a\n1E  B  b\n"), "test.layout:6: scan code 1E is already defined on line 5");
  EXPECT_EQ(ErrorOf("[keys]\n1E  A  ab\n"),
            "test.layout:5: \"ab\" is not one character (write U+XXXX, or -- for none)");
  EXPECT_EQ(ErrorOf("[keys]\n1E  A  a A -- -- -- -- x\n"), "test.layout:5: too many characters (at most six columns)");
  EXPECT_EQ(ErrorOf("[keys]\n1E  A  U+1F600\n"),
            "test.layout:5: \"U+1F600\" is outside the characters a layout table can hold (U+0000-U+FFFF)");
  EXPECT_EQ(ErrorOf("[keys]\n1E  A  U+F001\n"), "test.layout:5: \"U+F001\" is a code the layout tables reserve as a marker");
  EXPECT_EQ(ErrorOf("[keypad]\n53  DELETE+ext  DECIMAL\n"), "test.layout:5: keypad codes take no flags; the tool adds them");
  EXPECT_EQ(ErrorOf("[colours]\n"), "test.layout:4: unknown section [colours] (keys, keypad, names, names-ext, dead ACCENT NAME)");
  EXPECT_EQ(ErrorOf("[names]\nE01D Right Ctrl\n"), "test.layout:5: [names] takes plain scan codes (01-7E)");
}

TEST(LayoutDefinitionTest, KeysSharingACodeMustAgreeOnItsCharacters) {
  EXPECT_EQ(ErrorOf("[keys]\n1C  RETURN  U+000D\nE01C RETURN+ext  U+000A\n"),
            "test.layout:6: virtual key RETURN already has other characters on line 5");
  LayoutDefinition d;
  std::string error;
  EXPECT_TRUE(Parse("[keys]\n1C  RETURN  U+000D\nE01C RETURN+ext  U+000D\nE11D PAUSE\n", &d, &error)) << error;
}

TEST(LayoutDefinitionTest, DeadKeysAndTheirCombinationsMustMatch) {
  EXPECT_EQ(ErrorOf("[keys]\n28  OEM_7  '  \"  *´\n"), "test.layout:5: dead key U+B4 has no [dead] section");
  EXPECT_EQ(ErrorOf("[keys]\n28  OEM_7  '\n[dead ´ acute]\na á\n"),
            "test.layout:6: no key types the dead key of this section");
  EXPECT_EQ(ErrorOf("[keys]\n28  OEM_7  '  \"  *´\n[dead ´ acute]\na á  e\n"),
            "test.layout:7: dead-key combinations come in pairs: letter result");
  EXPECT_EQ(ErrorOf("[keys]\n28  OEM_7  '  \"  *´\n[dead ´ acute]\na á  a à\n"),
            "test.layout:7: \"a\" already has a combination with this accent");
}

TEST(LayoutDefinitionTest, HeaderMustNameVariantAndName) {
  LayoutDefinition d;
  std::string error;
  EXPECT_FALSE(ParseLayoutDefinition("x.layout", "name X\n[keys]\n1E A a\n", &d, &error));
  EXPECT_EQ(error, "x.layout: no \"variant\" line");
  EXPECT_FALSE(ParseLayoutDefinition("x.layout", "variant 3\n", &d, &error));
  EXPECT_EQ(error, "x.layout:1: variant is 0, 1 or 2");
  EXPECT_FALSE(ParseLayoutDefinition("x.layout", "variant 0\nname X\n", &d, &error));
  EXPECT_EQ(error, "x.layout: no [keys] section");
}

TEST(LayoutDefinitionTest, MissingFileIsReported) {
  LayoutDefinition d;
  std::string error;
  EXPECT_FALSE(ReadLayoutDefinition("/nonexistent/x.layout", &d, &error));
  EXPECT_EQ(error, "/nonexistent/x.layout: cannot read");
}

}  // namespace
