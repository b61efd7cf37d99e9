// ReadHexNumber: one "%X" field, with the edge cases scanf implementations
// disagree on pinned down.

#include <gtest/gtest.h>

#include "app/HexNumber.h"

namespace {

struct HexCase {
  const wchar_t* text;
  int result;
  uint32_t value;  // expected when result is 1
};

const HexCase kCases[] = {
    {L"0415", 1, 0x0415},
    {L"415", 1, 0x0415},
    {L"abcdef", 1, 0xABCDEF},
    {L"ABCDEF", 1, 0xABCDEF},
    {L"0x1F", 1, 0x1F},
    {L"0X1f", 1, 0x1F},
    {L"  \t\r\n0409", 1, 0x0409},
    {L"+10", 1, 0x10},
    {L"-1", 1, 0xFFFFFFFFu},
    {L"-0x10", 1, 0xFFFFFFF0u},
    {L"12 34", 1, 0x12},
    {L"41g", 1, 0x41},
    {L"0x", 1, 0},        // the "0" is the number
    {L"0xg", 1, 0},
    {L"123456789", 1, 0x23456789u},  // wraps modulo 2^32
    {L"FFFFFFFF", 1, 0xFFFFFFFFu},
    {L"", 0, 0},
    {L"   ", 0, 0},
    {L"g1", 0, 0},
    {L"x1", 0, 0},
    {L"+", 0, 0},
    {L"-", 0, 0},
    {L"- 1", 0, 0},
    {L"\x0661", 0, 0},  // a digit of another script is no hexadecimal digit
};

TEST(ReadHexNumber, ReadsOneFieldLikeScanfX) {
  for (const HexCase& c : kCases) {
    uint32_t value = 0xDEADBEEF;
    EXPECT_EQ(c.result, ReadHexNumber(c.text, &value)) << "text \"" << c.text << "\"";
    EXPECT_EQ(c.result ? c.value : 0xDEADBEEF, value) << "text \"" << c.text << "\"";
  }
}

TEST(ReadHexNumber, NullArgumentsReadNothing) {
  uint32_t value = 7;
  EXPECT_EQ(0, ReadHexNumber(nullptr, &value));
  EXPECT_EQ(7u, value);
  EXPECT_EQ(0, ReadHexNumber(L"12", nullptr));
}

}  // namespace
