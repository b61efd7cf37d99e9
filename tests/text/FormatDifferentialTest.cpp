// Format against the C library's snprintf wherever both define the same text:
// integers with flags and widths, and %.*e / %.*f with precisions of 1 and up,
// over generated values (random bits, subnormals, powers of two and ten, exact
// halfway cases). Natively the reference is glibc; in the Windows build it is
// mingw-w64's own printf (exact, like glibc), not msvcrt's.
#include <gtest/gtest.h>

#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "text/Format.h"

namespace {

uint64_t randomState = 0x2545F4914F6CDD1Dull;

uint64_t NextRandom() {
  randomState ^= randomState << 13;
  randomState ^= randomState >> 7;
  randomState ^= randomState << 17;
  return randomState;
}

// Our text for a format given as ASCII (the same bytes snprintf sees).
template <typename... Arguments>
std::string Ours(const char* format, Arguments... arguments) {
  WString wideFormat;
  wideFormat.AssignNarrowAsWide(format, -1, 0);
  WString out;
  if (!Format(&out, wideFormat.WideAt(0), arguments...)) return "<failed>";
  out.ToNarrow(-1);
  return std::string(out.NarrowAt(0), out.Length());
}

template <typename... Arguments>
std::string Reference(const char* format, Arguments... arguments) {
  std::vector<char> buffer(2048);
  int n = snprintf(buffer.data(), buffer.size(), format, arguments...);
  return std::string(buffer.data(), n > 0 ? static_cast<size_t>(n) : 0);
}

// Formats on which the two definitions agree for every value.
const char* const kSignedFormats[] = {"%d", "%5d", "%-8d", "%+d", "% d", "%.5d", "%+.3d",
                                      "%12.4d", "%-+9d", "%1d", "%i"};
// "%#X" differs on purpose: the prefix is always a lower-case "0x".
const char* const kUnsignedFormats[] = {"%u", "%x", "%X", "%#x", "%8x", "%-8X", "%#10x",
                                        "%.6x", "%o", "%#o", "%.3u", "%#.5o", "%08x", "%010u"};
const char* const kSigned64Formats[] = {"%lld", "%25lld", "%-+22lld", "%.20lld"};
const char* const kUnsigned64Formats[] = {"%llu", "%llx", "%#llx", "%24llo", "%020llx"};

int32_t InterestingInt32() {
  static const int32_t kEdges[] = {0, 1, -1, 9, 10, -10, 255, 256, INT32_MAX, INT32_MIN};
  uint64_t r = NextRandom();
  if (r % 4 == 0) return kEdges[(r >> 8) % (sizeof kEdges / sizeof kEdges[0])];
  int bits = static_cast<int>((r >> 16) % 32) + 1;
  return static_cast<int32_t>(static_cast<uint32_t>(NextRandom()) >> (32 - bits));
}

TEST(FormatDifferential, IntegersMatchTheCLibrary) {
  int compared = 0;
  for (int i = 0; i < 4000; ++i) {
    int32_t v = InterestingInt32();
    int64_t w = static_cast<int64_t>(NextRandom()) >> (NextRandom() % 64);
    for (const char* f : kSignedFormats) {
      if (strchr(f, '0') == f + 1 && v < 0) continue;  // zero fill goes before the sign here
      ASSERT_EQ(Reference(f, v), Ours(f, v)) << f << " of " << v;
      ++compared;
    }
    for (const char* f : kUnsignedFormats) {
      if (v == 0 && strchr(f, '#') != nullptr) continue;  // "0x0" here, "0" in C
      ASSERT_EQ(Reference(f, static_cast<uint32_t>(v)), Ours(f, v)) << f << " of " << v;
      ++compared;
    }
    for (const char* f : kSigned64Formats) {
      ASSERT_EQ(Reference(f, static_cast<long long>(w)), Ours(f, w)) << f << " of " << w;
      ++compared;
    }
    for (const char* f : kUnsigned64Formats) {
      if (w == 0 && strchr(f, '#') != nullptr) continue;
      ASSERT_EQ(Reference(f, static_cast<unsigned long long>(w)), Ours(f, w)) << f;
      ++compared;
    }
  }
  EXPECT_GT(compared, 100000);
}

double RandomBits() {
  uint64_t bits = NextRandom();
  double x;
  memcpy(&x, &bits, sizeof x);
  return x;
}

// Values where digit generation goes wrong first.
std::vector<double> InterestingDoubles() {
  std::vector<double> values;
  for (int e = -1074; e <= 1023; e += 7) values.push_back(ldexp(1.0, e));
  for (int e = -323; e <= 308; e += 3) values.push_back(strtod(("1e" + std::to_string(e)).c_str(), nullptr));
  // Exact halfway cases: odd multiples of 2^-j rounded at j - 1 decimals are ties.
  for (int j = 1; j <= 12; ++j) {
    for (int m = 1; m < 200; m += 2) values.push_back(ldexp(m, -j));
  }
  values.push_back(5e-324);
  values.push_back(2.2250738585072009e-308);  // largest subnormal
  values.push_back(2.2250738585072014e-308);  // smallest normal
  values.push_back(1.7976931348623157e308);
  values.push_back(0.1);
  values.push_back(9.5);
  values.push_back(0.95);
  values.push_back(999999.5);
  values.push_back(1e23);
  values.push_back(-0.0);
  values.push_back(0.0);
  for (int i = 0; i < 6000; ++i) {
    double x = RandomBits();
    if (isfinite(x)) values.push_back(x);
  }
  for (int i = 0; i < 3000; ++i) {
    // Ordinary magnitudes, where most real values live.
    double x = ldexp(static_cast<double>(NextRandom() >> 11), -static_cast<int>(NextRandom() % 80));
    values.push_back(i % 2 ? x : -x);
  }
  return values;
}

int RandomPrecision() {
  uint64_t r = NextRandom() % 100;
  if (r < 70) return 1 + static_cast<int>(r % 20);
  if (r < 95) return 1 + static_cast<int>(NextRandom() % 60);
  return 1 + static_cast<int>(NextRandom() % 308);
}

TEST(FormatDifferential, ExponentFormMatchesTheCLibrary) {
  for (double x : InterestingDoubles()) {
    int p = RandomPrecision();
    ASSERT_EQ(Reference("%.*e", p, x), Ours("%.*e", p, x)) << p << " places of " << x;
    ASSERT_EQ(Reference("%+14.3E", x), Ours("%+14.3E", x)) << x;
  }
}

TEST(FormatDifferential, FixedFormMatchesTheCLibraryWithinTheDigitBuffer) {
  int refused = 0;
  for (double x : InterestingDoubles()) {
    int p = RandomPrecision();
    std::string reference = Reference("%.*f", p, x);
    // Digits the fixed form needs: those before the point (at least the one "0"
    // that stands for none) plus the places.
    size_t point = reference.find('.');
    size_t integerDigits = point - (reference[0] == '-' ? 1 : 0);
    bool leadingZero = fabs(x) < 1 && reference[point - 1] == '0';
    size_t needed = (leadingZero ? 0 : integerDigits) + static_cast<size_t>(p);
    if (needed > 352) {
      ASSERT_EQ("<failed>", Ours("%.*f", p, x)) << p << " places of " << x;
      ++refused;
      continue;
    }
    ASSERT_EQ(reference, Ours("%.*f", p, x)) << p << " places of " << x;
    if (fabs(x) < 1e30) {
      ASSERT_EQ(Reference("%012.3f", x), Ours("%012.3f", x)) << x;
      ASSERT_EQ(Reference("%-+12.2f|", x), Ours("%-+12.2f|", x)) << x;
    }
  }
  EXPECT_GT(refused, 0);
}

}  // namespace
