// DecodeHexText: pairs of upper-case digits become bytes; anything else in a
// pair refuses the whole text, and an odd last character is ignored.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <string>

#include "setup/rules/HexText.h"
#include "text/Memory.h"

namespace {

TEST(HexText, UpperCasePairsDecodeAndAnythingElseIsRefused) {
  struct Case {
    const char* digits;
    std::string bytes;  // empty: refused
  } cases[] = {
      {"00FF10AB", std::string("\x00\xFF\x10\xAB", 4)},
      {"0123456789ABCDEF", std::string("\x01\x23\x45\x67\x89\xAB\xCD\xEF", 8)},
      {"ABz", std::string("\xAB", 1)},  // the odd last character is in no pair
      {"00ff", ""},                     // lower case: a damaged table
      {"0G12", ""},
      {"12 4", ""},
      {"A", ""},
      {"", ""},
  };
  for (const Case& c : cases) {
    uint32_t count = 77;
    uint8_t* block = DecodeHexText(c.digits, static_cast<int32_t>(strlen(c.digits)), count);
    if (c.bytes.empty()) {
      EXPECT_EQ(nullptr, block) << c.digits;
      EXPECT_EQ(0u, count) << c.digits;
    } else {
      ASSERT_NE(nullptr, block) << c.digits;
      EXPECT_EQ(c.bytes, std::string(reinterpret_cast<char*>(block), count)) << c.digits;
    }
    FreeBlock(block);
  }
}

// Only `length` characters are read: a digit pair beyond it is not decoded.
TEST(HexText, OnlyTheGivenLengthIsRead) {
  uint32_t count = 0;
  uint8_t* block = DecodeHexText("ABCDzz", 4, count);
  ASSERT_NE(nullptr, block);
  EXPECT_EQ(std::string("\xAB\xCD", 2), std::string(reinterpret_cast<char*>(block), count));
  FreeBlock(block);
  EXPECT_EQ(nullptr, DecodeHexText(nullptr, 4, count));
  EXPECT_EQ(0u, count);
  EXPECT_EQ(nullptr, DecodeHexText("ABCD", -2, count));
}

}  // namespace
