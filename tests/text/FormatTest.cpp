// The formatting engine by conversion family: integers, characters, strings,
// byte dumps, floating forms, sizes, addresses, and the main loop's rules.
#include <gtest/gtest.h>

#include <math.h>
#include <stdint.h>
#include <string.h>

#include "tests/support/CheckedArguments.h"
#include "tests/text/FormatTestSupport.h"
#include "text/TextPrimitives.h"

namespace {

#define EXPECT_FORMAT(expected, ...) EXPECT_EQ(WideString(WTEXT(expected)), Formatted(__VA_ARGS__))

TEST(FormatInteger, WidthFillAndSign) {
  EXPECT_FORMAT("42|   42|42   |00-42", WTEXT("%d|%5d|%-5d|%05d"), 42, 42, 42, -42);
  EXPECT_FORMAT("+5| 5|5|-5", WTEXT("%+d|% d|%+u|%+ d"), 5, 5, 5, -5);
  EXPECT_FORMAT("42   |", WTEXT("%-05d|"), 42);
  EXPECT_FORMAT("42   |", WTEXT("%*d|"), -5, 42);  // a negative * width left-justifies
  EXPECT_FORMAT("   42|", WTEXT("%*d|"), 5, 42);
  EXPECT_FORMAT("-2147483648", WTEXT("%i"), INT32_MIN);
  EXPECT_FORMAT("4294967295", WTEXT("%u"), -1);
  EXPECT_FORMAT("-9223372036854775808|18446744073709551615", WTEXT("%Ld|%llu"), INT64_MIN,
                UINT64_MAX);
}

TEST(FormatInteger, BasesPrefixesAndPrecision) {
  EXPECT_FORMAT("ff|FF|0xff|0xFF", WTEXT("%x|%X|%#x|%#X"), 255, 255, 255, 255);
  EXPECT_FORMAT("010|0y101|-00042", WTEXT("%#o|%#y|%.5d"), 8, 5, -42);
  EXPECT_FORMAT("000x1f", WTEXT("%#06x"), 31);  // zero fill before the prefix
  EXPECT_FORMAT("00010|0x0001f", WTEXT("%#.5o|%#.5x"), 8, 31);  // octal prefix dropped
  EXPECT_FORMAT("0|0", WTEXT("%.0d|%d"), 0, 0);
  EXPECT_FORMAT("ffffffffffffffff", WTEXT("%llx"), -1LL);
  WideString longest = Formatted(WTEXT("%.400d"), 7);
  EXPECT_EQ(308u, longest.size());  // precision clamped
  EXPECT_EQ(WChar('7'), longest.back());
}

TEST(FormatInteger, Groups) {
  EXPECT_FORMAT("1 234 567|1 2345|101 0101", WTEXT("%`d|%`x|%`y"), 1234567, 0x12345, 0x55);
  EXPECT_FORMAT("-001 234", WTEXT("%`.6d"), -1234);
  EXPECT_FORMAT("123", WTEXT("%`d"), 123);
}

TEST(FormatInteger, Pointers) {
  EXPECT_FORMAT("  {null}|", WTEXT("%p|"), static_cast<void*>(nullptr));
  EXPECT_FORMAT("    {null}", WTEXT("%#p"), static_cast<void*>(nullptr));
  EXPECT_FORMAT("00001234|00ABCDEF", WTEXT("%p|%P"), reinterpret_cast<void*>(0x1234),
                reinterpret_cast<void*>(0xabcdef));
}

TEST(FormatCharacter, PlainEscapedAndNarrow) {
  EXPECT_FORMAT("A|  A|A  |", WTEXT("%c|%3c|%-3c|"), 'A', 'A', 'A');
  EXPECT_FORMAT("{09}|{1F}|{0a}", WTEXT("%$c|%#C|%$c"), 9, 0x1F, 0x10A);  // low 8 bits
  EXPECT_FORMAT("{e9}|{7f}|~", WTEXT("%$c|%$c|%#c"), 0xE9, 0x7F, '~');
  EXPECT_EQ(FromUtf8("\xC3\xA9"), Formatted(WTEXT("%c"), 0xE9));
  EXPECT_FORMAT("z|{c3}", WTEXT("%hc|%$hc"), 'z', 0xC3);
  EXPECT_FORMAT("ab<failed>", WTEXT("ab%hc"), 0xC3);  // half a UTF-8 character
}

TEST(FormatString, WideTexts) {
  EXPECT_FORMAT("{null}|   ab|ab   |", WTEXT("%s|%5s|%-5s|"), static_cast<WChar*>(nullptr),
                WTEXT("ab"), WTEXT("ab"));
  EXPECT_FORMAT("a{09}b|a{09}b|a{1B}b", WTEXT("%$s|%#s|%#S"), WTEXT("a\tb"), WTEXT("a\tb"),
                WTEXT("a\x1b" "b"));
  EXPECT_EQ(FromUtf8("{e9}|\xC3\xA9"), Formatted(WTEXT("%$s|%#s"), WTEXT("\u00E9"),
                                                 WTEXT("\u00E9")));
  EXPECT_FORMAT("he|hello", WTEXT("%.2s|%.9s"), WTEXT("hello"), WTEXT("hello"));
  EXPECT_FORMAT("|", WTEXT("%Ls|"), WTEXT("ignored"));
  EXPECT_FORMAT("  {09}", WTEXT("%$6s"), WTEXT("\t"));  // escapes count four for the width
  // A negative precision takes exactly that many units, zeros included.
  const WChar withZero[] = {'a', 0, 'b', 'c'};
  WideString three = Formatted(WTEXT("%.*s"), -3, withZero);
  EXPECT_EQ(WideString(withZero, 3), three);
}

TEST(FormatString, NarrowTextsCountCharacters) {
  const char* text = "a\xC3\xB1" "bcd";
  EXPECT_EQ(FromUtf8("a\xC3\xB1" "b"), Formatted(WTEXT("%.3hs"), text));
  EXPECT_EQ(FromUtf8("  a\xC3\xB1"), Formatted(WTEXT("%4.2hs"), text));
  EXPECT_EQ(FromUtf8("a{c3}{b1}b"), Formatted(WTEXT("%$.3hs"), text));
  EXPECT_EQ(FromUtf8("{09}\xC3\xB1"), Formatted(WTEXT("%#hs"), "\t\xC3\xB1"));
  EXPECT_FORMAT("x<failed>", WTEXT("x%hs"), "\xC3(");
  EXPECT_FORMAT("{c3}(", WTEXT("%$hs"), "\xC3(");  // escaped byte by byte, no decoding
}

TEST(FormatString, WStringsAndCountedRecords) {
  WString wide, narrow;
  wide.AssignWide(WTEXT("wide"), -1);
  narrow.AssignNarrow("n\xC3\xA9", -1, -1);
  EXPECT_EQ(FromUtf8("wide|n\xC3\xA9|  n\xC3\xA9|{null}"),
            Formatted(WTEXT("%z|%z|%4z|%z"), &wide, &narrow, &narrow,
                      static_cast<WString*>(nullptr)));
  // Records are bounded by their count even without a terminator, and need no alignment.
  uint8_t buffer[24];
  const uint8_t narrowRecord[] = {2, 0, 0, 0x80, 'o', 'k', 'X', 'X'};
  memcpy(buffer + 1, narrowRecord, sizeof narrowRecord);
  EXPECT_FORMAT("ok|o", WTEXT("%hz|%.1hz"), buffer + 1, buffer + 1);
  const uint8_t wideRecord[] = {3, 0, 0, 0, 'a', 0, 0, 0, 'c', 0, 'X', 0};
  EXPECT_FORMAT("a", WTEXT("%hz"), wideRecord);
  WideString exact = Formatted(WTEXT("%.*hz"), -3, wideRecord);
  const WChar expected[] = {'a', 0, 'c'};
  EXPECT_EQ(WideString(expected, 3), exact);
}

TEST(FormatBytes, LayoutsOfTheFlags) {
  const uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06};
  EXPECT_FORMAT("010203040506|01 02 03|{01}{02}", WTEXT("%.6b|% .3b|%#.2b"), bytes, bytes,
                bytes);
  EXPECT_FORMAT("01020304 0506|01 02 03 04  05 06", WTEXT("%`.6b|%` .6b"), bytes, bytes);
  EXPECT_FORMAT("{01020304}{0506}|{01 02 03 04} {05 06}", WTEXT("%`#.6b|%`# .6b"), bytes,
                bytes);
  EXPECT_FORMAT("{01} {02}", WTEXT("%# .2b"), bytes);
  const uint8_t high[] = {0xAB, 0xCD};
  EXPECT_FORMAT("ABCD|  abcd|", WTEXT("%.2B|%6.2b|"), high, high);
  EXPECT_FORMAT("[]|{null}", WTEXT("[%b]|%.2b"), bytes, static_cast<uint8_t*>(nullptr));
}

TEST(FormatFloat, FixedExponentAndGeneral) {
  EXPECT_FORMAT("1.500000|1.500000|1.234500e+03", WTEXT("%f|%.0f|%e"), 1.5, 1.5, 1234.5);
  EXPECT_FORMAT("3|3.14|3.14159", WTEXT("%g|%.3g|%.6g"), 3.14159, 3.14159, 3.14159);
  EXPECT_FORMAT("-001.50|+1.50|   -1.5", WTEXT("%07.2f|%+.2f|%7.1f"), -1.5, 1.5, -1.5);
  EXPECT_FORMAT("1.00E-300|0.000000e+00|-0.000000", WTEXT("%.2E|%e|%f"), 1e-300, 0.0, -0.0);
  EXPECT_FORMAT("0.000001|0.000000|0.001000", WTEXT("%f|%f|%f"), 6e-7, 4e-7, 0.001);
  EXPECT_FORMAT("1e-05|1.23e+06|100|0|1.00|0.0001", WTEXT("%.3g|%.3g|%.3g|%g|%#.3g|%.3g"), 1e-5,
                1234567.0, 100.0, 0.0, 1.0, 0.0001);
  EXPECT_FORMAT("1e+02|123.|1.2E+05", WTEXT("%.1g|%#.3g|%.2G"), 123.0, 123.0, 123456.0);
}

TEST(FormatFloat, SpecialValuesAndLimits) {
  EXPECT_FORMAT("{ nan}|{+inf}|  {-inf}", WTEXT("%f|%e|%8g"), NAN, INFINITY, -INFINITY);
  WideString wide = Formatted(WTEXT("%900f"), 1.0);
  EXPECT_EQ(512u, wide.size());  // the width of a float is capped
  // 44 integer digits and 308 places fill the 352-digit buffer exactly; one more digit fails.
  EXPECT_EQ(44u + 1 + 308, Formatted(WTEXT("%.308f"), 1e43).size());
  EXPECT_FORMAT("x<failed>", WTEXT("x%.308fy"), 1e44);
}

TEST(FormatFloat, Hexadecimal) {
  EXPECT_FORMAT("0x1p+0|0x1.8p+0|-0x1.8p+1|0x0p+0", WTEXT("%a|%a|%a|%a"), 1.0, 1.5, -3.0, 0.0);
  EXPECT_FORMAT("0x1.8P+0|0x1.000p+0|0x1.p+0", WTEXT("%A|%.3a|%#a"), 1.5, 1.0, 1.0);
  EXPECT_FORMAT("0x2.0p+0|0x1.1p+0|0x1.0p+0", WTEXT("%.1a|%.1a|%.1a"), 1.96875, 1.03125,
                1.015625);  // half up, carrying into the leading digit
  EXPECT_FORMAT("0x0.0000000000001p-1022", WTEXT("%a"), 4.9406564584124654e-324);
  EXPECT_FORMAT("0x001.8p+0|  0x1.8p+0", WTEXT("%010a|%10a"), 1.5, 1.5);
  EXPECT_FORMAT("0x1.fffffffffffffp+1023", WTEXT("%a"), 1.7976931348623157e308);
}

TEST(FormatFloat, Engineering) {
  EXPECT_FORMAT("1.50 k|15.0e+03|150.e+00", WTEXT("%#F|%F|%F"), 1500.0, 15000.0, 150.0);
  EXPECT_FORMAT("1.00 k|999.  |1.00 m|1.00  |0.00  ", WTEXT("%#F|%#F|%#F|%#F|%#F"), 999.9, 999.0,
                0.001, 1.0, 0.0);
  EXPECT_EQ(FromUtf8("  1.00 \xC2\xB5|999. m"), Formatted(WTEXT("%#8F|%#F"), 1e-6, 0.999));
  EXPECT_FORMAT("10.0 Y|1.00e+27|100.e-27", WTEXT("%#F|%#F|%#F"), 1e25, 1e27, 1e-25);
  EXPECT_FORMAT("1.50 k|-1.50 k|1.2346e+03", WTEXT("%#hF|%#LF|%.5F"), 1500, -1500LL, 1234.56);
}

TEST(FormatSize, UnitsAroundEachPowerOf1024) {
  static const char* const kUnits[] = {"Ki", "Mi", "Gi", "Ti", "Pi", "Ei"};
  for (int k = 1; k <= 6; ++k) {
    uint64_t power = uint64_t{1} << (10 * k);
    std::string unit = kUnits[k - 1];
    // Below 2^60 a double still tells power - 1 from power.
    if (k < 6) {
      EXPECT_EQ(FromUtf8(("1. " + unit).c_str()), Formatted(WTEXT("%#LU"), power - 1)) << k;
    }
    EXPECT_EQ(FromUtf8(("1.0 " + unit).c_str()), Formatted(WTEXT("%#LU"), power)) << k;
    EXPECT_EQ(FromUtf8(("1.0 " + unit).c_str()), Formatted(WTEXT("%#LU"), power + 1)) << k;
  }
  EXPECT_FORMAT("1.0b10|1.5b10|0.98b10|1023.b0", WTEXT("%U|%U|%.3U|%.4U"), 1024, 1536, 1000, 1023);
  EXPECT_FORMAT("0.0   |999.   |1.0 Mi|16. Ei", WTEXT("%#U|%#.3U|%#.3U|%#LU"), 0, 999, 1048575,
                UINT64_MAX);
  EXPECT_FORMAT("-2.0b10|+5.0b0|4.0 Gi|  9.0b0", WTEXT("%I|%+I|%#U|%7I"), -2048, 5, -1, 9);
}

TEST(FormatAddress, Ipv4AndGuid) {
  const uint8_t ip[] = {192, 168, 1, 10};
  EXPECT_FORMAT("192.168.1.10|192.168.001.010|     192.168.001.010", WTEXT("%w|%0W|%020w"), ip,
                ip, ip);
  const uint8_t guid[16] = {0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66,
                            0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF};
  EXPECT_FORMAT("{00112233-4455-6677-8899-aabbccddeeff}|{00112233-4455-6677-8899-AABBCCDDEEFF}",
                WTEXT("%hw|%hW"), guid, guid);
  EXPECT_FORMAT("{null}", WTEXT("%w"), static_cast<uint8_t*>(nullptr));
}

TEST(FormatLoop, LiteralsEscapesAndEnds) {
  EXPECT_FORMAT("a\r\nb|%|q|abc", WTEXT("a%Nb|%%|%q|abc%"));
  EXPECT_FORMAT("   \r\n|\r\n  |00\r\n|\r\n", WTEXT("%5N|%-4N|%04N|%1N"));  // fill as for any field
  EXPECT_FORMAT("q|D|%", WTEXT("%-5.3lq|%D|%5%"));
  int32_t count = -1;
  EXPECT_FORMAT("abc", WTEXT("ab%nc"), &count);
  EXPECT_EQ(2, count);
  EXPECT_FORMAT("x", WTEXT("x%n"), static_cast<int32_t*>(nullptr));
}

TEST(FormatLoop, FailuresKeepTheTextBefore) {
  EXPECT_FORMAT("before<failed>", WTEXT("before%tafter"), 1);
  WString narrow;
  narrow.AssignNarrow("n", -1, -1);
  EXPECT_EQ(0, Format(nullptr, WTEXT("x")));
  WString target;
  target.AssignWide(WTEXT("old"), -1);
  EXPECT_EQ(0, Format(&target, nullptr));
  EXPECT_EQ(0, target.Length());  // Format empties its target first
  EXPECT_EQ(1, Format(&target, WTEXT("%d-%s"), 7, WTEXT("x")));
  EXPECT_EQ(WideString(WTEXT("7-x")), WideOf(target));
  CheckedArguments none;
  EXPECT_EQ(0, AppendFormatted(&narrow, WTEXT("x"), &none));
  EXPECT_EQ("n", NarrowOf(narrow));
}

TEST(FormatLoop, HugeWidthFailsInsteadOfExhaustingMemory) {
  EXPECT_FORMAT("a<failed>", WTEXT("a%2000000000d"), 1);
}

struct Consumption {
  const WChar* format;
  int expected;
};

TEST(FormatLoop, EachConversionTakesExactlyItsArguments) {
  const Consumption cases[] = {
      {WTEXT("%d"), 1}, {WTEXT("%Ld"), 1},   {WTEXT("%*.*d"), 3}, {WTEXT("%c"), 1},
      {WTEXT("%s"), 1}, {WTEXT("%Ls"), 1},   {WTEXT("%.0b"), 1},  {WTEXT("%f"), 1},
      {WTEXT("%hF"), 1}, {WTEXT("%LU"), 1},  {WTEXT("%w"), 1},    {WTEXT("%n"), 1},
      {WTEXT("%N"), 0}, {WTEXT("%%"), 0},    {WTEXT("%q"), 0},    {WTEXT("%*q"), 1},
      {WTEXT("%t"), 1}, {WTEXT("%T"), 1},    {WTEXT("%Y"), 1},    {WTEXT("%p"), 1},
  };
  static const uint8_t bytes[16] = {0};
  static int32_t sink;
  for (const Consumption& c : cases) {
    CheckedArguments arguments;
    const WChar letter = c.format[WideLength(c.format) - 1];
    for (const WChar* p = c.format; *p; ++p) {
      if (*p == '*') arguments.AddInt32(3);
    }
    const bool wide64 = WideString(c.format).find(WChar('L')) != WideString::npos;
    switch (letter) {
      case 'd': case 'U': if (wide64) arguments.AddInt64(5); else arguments.AddInt32(5); break;
      case 'c': case 't': case 'T': case 'Y': case 'F': arguments.AddInt32(65); break;
      case 's': arguments.AddPointer(WTEXT("text")); break;
      case 'b': case 'w': case 'p': arguments.AddPointer(bytes); break;
      case 'f': arguments.AddDouble(1.5); break;
      case 'n': arguments.AddPointer(&sink); break;
      default: break;
    }
    WString out;
    out.AssignWide(WTEXT(""), 0);
    AppendFormatted(&out, c.format, &arguments);
    EXPECT_FALSE(arguments.misused()) << WideOf(out).size() << " in case " << (&c - cases);
    EXPECT_EQ(c.expected, arguments.taken()) << "case " << (&c - cases);
  }
}

}  // namespace
