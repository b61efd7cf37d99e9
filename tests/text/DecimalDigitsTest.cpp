// Tests for the exact digit source: worked cases, ties, range limits, and a
// seeded sweep against a slow reference that halves and doubles in decimal.
#include "text/DecimalDigits.h"

#include <gtest/gtest.h>
#include <math.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <limits>
#include <ostream>
#include <random>
#include <string>

namespace {

struct Result {
  bool ok;
  std::string digits;
  int32_t pointPosition;
};

bool operator==(const Result& a, const Result& b) {
  return a.ok == b.ok && (!a.ok || (a.digits == b.digits && a.pointPosition == b.pointPosition));
}

void PrintTo(const Result& r, std::ostream* os) {
  if (!r.ok) {
    *os << "refused";
  } else {
    *os << '"' << r.digits << "\" point " << r.pointPosition;
  }
}

Result Fixed(double x, int32_t places) {
  DecimalDigits d;
  if (!FixedDigits(x, places, &d)) return {false, "", 0};
  return {true, std::string(d.digits, size_t(d.count)), d.pointPosition};
}

Result Significant(double x, int32_t count) {
  DecimalDigits d;
  if (!SignificantDigits(x, count, &d)) return {false, "", 0};
  return {true, std::string(d.digits, size_t(d.count)), d.pointPosition};
}

// ---- Reference: |x| written out in full by long multiplication and long
// division of a decimal string, then rounded by the schoolbook rule.

struct Exact {
  std::string digits;  // may start with zeros
  int32_t intLen;      // digits before the point
};

void MultiplyByPowerOfTwo(Exact* v, int k) {
  uint64_t carry = 0;
  for (size_t i = v->digits.size(); i-- > 0;) {
    carry += uint64_t(v->digits[i] - '0') << k;
    v->digits[i] = char('0' + carry % 10);
    carry /= 10;
  }
  for (; carry != 0; carry /= 10) {
    v->digits.insert(v->digits.begin(), char('0' + carry % 10));
    ++v->intLen;
  }
}

void DivideByPowerOfTwo(Exact* v, int k) {
  const uint64_t mask = (uint64_t(1) << k) - 1;
  uint64_t rest = 0;
  for (char& c : v->digits) {
    rest = rest * 10 + uint64_t(c - '0');
    c = char('0' + (rest >> k));
    rest &= mask;
  }
  for (; rest != 0; rest &= mask) {
    rest *= 10;
    v->digits.push_back(char('0' + (rest >> k)));
  }
}

// frexp rather than bit fields, so that the reference reads the value the
// way the arithmetic does, not the way the code under test decodes it.
Exact ExactValue(double x) {
  int exponent;
  double fraction = frexp(fabs(x), &exponent);
  uint64_t m = uint64_t(ldexp(fraction, 53));
  int e = exponent - 53;
  Exact v{std::to_string(m), 0};
  v.intLen = int32_t(v.digits.size());
  for (int step; e != 0; e -= step) {
    step = e > 30 ? 30 : (e < -30 ? -30 : e);
    if (step > 0) MultiplyByPowerOfTwo(&v, step);
    if (step < 0) DivideByPowerOfTwo(&v, -step);
  }
  // A leading zero takes any carry out of the top digit.
  v.digits.insert(v.digits.begin(), '0');
  ++v.intLen;
  return v;
}

// The first `keep` digits of v rounded half to even, without leading zeros;
// pointPosition counts the digits left of the point.
Result RoundAt(const Exact& v, size_t keep) {
  std::string all = v.digits;
  if (all.size() < keep + 1) all.resize(keep + 1, '0');
  std::string kept = all.substr(0, keep);
  std::string rest = all.substr(keep);
  bool beyondHalf = rest.find_first_not_of('0', 1) != std::string::npos;
  bool up = rest[0] > '5' || (rest[0] == '5' && (beyondHalf || (kept.back() - '0') % 2 == 1));
  for (size_t i = kept.size(); up && i-- > 0;) {
    up = kept[i] == '9';
    kept[i] = up ? '0' : char(kept[i] + 1);
  }
  size_t zeros = kept.find_first_not_of('0');
  if (zeros == std::string::npos) return {true, "", 0};
  return {true, kept.substr(zeros), v.intLen - int32_t(zeros)};
}

Result ReferenceFixed(double x, int32_t places) {
  Exact v = ExactValue(x);
  Result r = RoundAt(v, size_t(v.intLen + places));
  if (r.digits.empty()) r = {true, std::string(size_t(places), '0'), 0};
  if (r.digits.size() > size_t(kDigitBufferSize)) r = {false, "", 0};
  return r;
}

Result ReferenceSignificant(double x, int32_t count) {
  if (x == 0) return {true, std::string(size_t(count), '0'), 1};
  Exact v = ExactValue(x);
  Result r = RoundAt(v, v.digits.find_first_not_of('0') + size_t(count));
  r.digits.resize(size_t(count));  // a carry leaves one zero too many
  return r;
}

Result Ok(const char* digits, int32_t pointPosition) { return {true, digits, pointPosition}; }
const Result kRefused{false, "", 0};

// ---- Worked cases

struct Case {
  double x;
  int32_t precision;
  const char* digits;
  int32_t pointPosition;
};

TEST(DecimalDigitsFixed, WorkedCases) {
  const Case cases[] = {
      {1.0, 0, "1", 1},
      {123.456, 2, "12346", 3},
      {0.001, 5, "100", -2},
      {9.995, 2, "999", 1},       // the double is just below 9.995
      {9.9951, 2, "1000", 2},     // carry adds a digit before the point
      {99.5, 0, "100", 3},        // exact tie, 9 is odd: up, with carry
      {4e-7, 6, "000000", 0},     // rounds to zero
      {6e-7, 6, "1", -5},         // rounds up from below the first kept place
      {0.4, 0, "", 0},            // zero with no places at all
      {0.6, 0, "1", 1},
      {0.05, 0, "", 0},           // two places below the unit
      {1e-300, 2, "00", 0},
      {1e22, 0, "10000000000000000000000", 23},
      {1e23, 0, "99999999999999991611392", 23},
      {5e-324, 3, "000", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Fixed(c.x, c.precision), Ok(c.digits, c.pointPosition)) << c.x << " at " << c.precision;
  }
}

TEST(DecimalDigitsSignificant, WorkedCases) {
  const Case cases[] = {
      {1.0, 1, "1", 1},
      {123.456, 4, "1235", 3},
      {0.001, 3, "100", -2},
      {9.96, 2, "10", 2},  // carry keeps the count and moves the point
      {1e23, 17, "99999999999999992", 23},
      {1e23, 16, "9999999999999999", 23},
      {1e23, 15, "100000000000000", 24},
      {1e23, 1, "1", 24},
      {100000000000000008388608.0, 17, "10000000000000001", 24},  // 1e23's upper neighbour
      {100000000000000008388608.0, 23, "10000000000000000838861", 24},
      {99999999999999991611392.0, 22, "9999999999999999161139", 23},
      {0.1, 20, "10000000000000000555", 0},
      {2.2250738585072014e-308, 17, "22250738585072014", -307},  // smallest normal
      {2.2250738585072009e-308, 17, "22250738585072009", -307},  // largest subnormal
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Significant(c.x, c.precision), Ok(c.digits, c.pointPosition)) << c.x << " to " << c.precision;
  }
}

// Exact halves must go to the even neighbour; anything above a half goes up.
TEST(DecimalDigitsRounding, TiesGoToEven) {
  const Case fixedCases[] = {
      {0.125, 2, "12", 0},  {0.375, 2, "38", 0},   {0.625, 2, "62", 0},
      {2.5, 0, "2", 1},     {3.5, 0, "4", 1},      {0.5, 0, "", 0},
      {1.5, 0, "2", 1},     {1.25, 1, "12", 1},    {1.75, 1, "18", 1},
      {0.03125, 4, "312", -1},                     // 0.0312|5
      {0.0625, 3, "62", -1},                       // 0.062|5
      {2251799813685249.5, 0, "2251799813685250", 16},  // spacing 0.5 below 2^52
      {2251799813685248.5, 0, "2251799813685248", 16},
  };
  for (const Case& c : fixedCases) {
    EXPECT_EQ(Fixed(c.x, c.precision), Ok(c.digits, c.pointPosition)) << c.x << " at " << c.precision;
  }
  // Just past a half is never a tie, even though the first dropped digit is 5.
  EXPECT_EQ(Fixed(0.12500000000000003, 2), Ok("13", 0));
  EXPECT_EQ(Fixed(2.5000000000000004, 0), Ok("3", 1));
  EXPECT_EQ(Significant(2.5, 1), Ok("2", 1));
  EXPECT_EQ(Significant(3.5, 1), Ok("4", 1));
  EXPECT_EQ(Significant(9.5, 1), Ok("1", 2));
  EXPECT_EQ(Significant(8.5, 1), Ok("8", 1));
}

TEST(DecimalDigitsSign, NegativeFollowsTheSignBit) {
  DecimalDigits d;
  ASSERT_EQ(FixedDigits(-0.0, 2, &d), 1);
  EXPECT_TRUE(d.negative);
  EXPECT_EQ(std::string(d.digits, size_t(d.count)), "00");
  ASSERT_EQ(SignificantDigits(-0.0, 3, &d), 1);
  EXPECT_TRUE(d.negative);
  EXPECT_EQ(std::string(d.digits, size_t(d.count)), "000");
  EXPECT_EQ(d.pointPosition, 1);
  ASSERT_EQ(FixedDigits(-1e-9, 2, &d), 1);  // rounds to zero, keeps its sign
  EXPECT_TRUE(d.negative);
  ASSERT_EQ(SignificantDigits(-2.5, 2, &d), 1);
  EXPECT_TRUE(d.negative);
  EXPECT_EQ(std::string(d.digits, size_t(d.count)), "25");
  ASSERT_EQ(FixedDigits(0.0, 0, &d), 1);
  EXPECT_FALSE(d.negative);
  EXPECT_EQ(d.count, 0);
  ASSERT_EQ(SignificantDigits(7.0, 1, &d), 1);
  EXPECT_FALSE(d.negative);
}

TEST(DecimalDigitsRefusal, NotFiniteOrOutOfRange) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double x : {inf, -inf, nan, -nan}) {
    EXPECT_EQ(Fixed(x, 2), kRefused);
    EXPECT_EQ(Significant(x, 6), kRefused);
  }
  EXPECT_EQ(Significant(1.0, 0), kRefused);
  EXPECT_EQ(Significant(1.0, -1), kRefused);
  EXPECT_EQ(Significant(1.0, kDigitBufferSize + 1), kRefused);
  EXPECT_EQ(Fixed(1.0, -1), kRefused);
  EXPECT_EQ(Fixed(1.0, INT32_MAX), kRefused);
  EXPECT_EQ(Fixed(1e300, INT32_MAX), kRefused);
  EXPECT_EQ(Fixed(1e300, 60), kRefused);
}

// ---- Limits of the range and of the buffer

const char kLargestDouble[] =
    "17976931348623157081452742373170435679807056752584499659891747680315726078002853876058955863"
    "27668781715404589535143824642343213268894641827684675467035375169860499105765512820762454900"
    "90389328944075868508455133942304583236903222948165808559332123348274797826204144723168738177"
    "180919299881250404026184124858368";

// 2^-1074 = 4.94...e-324 to 352 digits; the 353rd is 0, so none rounds up.
const char kSmallestSubnormal[] =
    "49406564584124654417656879286822137236505980261432476442558568250067550727020875186529983636"
    "16359923797965646954457177309266567103559397963987747960107818781263007131903114045278458171"
    "67848982103688718636056998730723050006387409153564984387312473397273169615140031715385398074"
    "1262385655911710266585566867681870395603106249319452715914924553293054565444";

TEST(DecimalDigitsLimits, LargestDoubleAndTheBufferEdge) {
  const double largest = std::numeric_limits<double>::max();
  ASSERT_EQ(sizeof kLargestDouble - 1, 309u);
  EXPECT_EQ(Fixed(largest, 0), Ok(kLargestDouble, 309));
  EXPECT_EQ(Significant(largest, 309), Ok(kLargestDouble, 309));
  EXPECT_EQ(Significant(largest, 17), Ok("17976931348623157", 309));
  // 309 + 43 = 352 digits fit; one more place does not.
  Result inside = Fixed(largest, kDigitBufferSize - 309);
  ASSERT_TRUE(inside.ok);
  EXPECT_EQ(inside.digits, std::string(kLargestDouble) + std::string(43, '0'));
  EXPECT_EQ(Fixed(largest, kDigitBufferSize - 309 + 1), kRefused);
  EXPECT_EQ(Fixed(0.0, kDigitBufferSize).digits, std::string(kDigitBufferSize, '0'));
  EXPECT_EQ(Fixed(0.0, kDigitBufferSize + 1), kRefused);
  EXPECT_EQ(Significant(largest, kDigitBufferSize).digits.size(), size_t(kDigitBufferSize));
}

TEST(DecimalDigitsLimits, SmallestSubnormal) {
  const double smallest = std::numeric_limits<double>::denorm_min();
  ASSERT_EQ(sizeof kSmallestSubnormal - 1, size_t(kDigitBufferSize));
  EXPECT_EQ(Significant(smallest, kDigitBufferSize), Ok(kSmallestSubnormal, -323));
  EXPECT_EQ(Significant(smallest, 1), Ok("5", -323));
  EXPECT_EQ(Fixed(smallest, 324), Ok("5", -323));
  EXPECT_EQ(Fixed(smallest, 323), Ok(std::string(323, '0').c_str(), 0));
  // 323 zeros after the point, then the 352 digits above: exactly the limit.
  EXPECT_EQ(Fixed(smallest, 323 + kDigitBufferSize), Ok(kSmallestSubnormal, -323));
  EXPECT_EQ(Fixed(smallest, 323 + kDigitBufferSize + 1), kRefused);
  EXPECT_EQ(Significant(2 * smallest, 4), Ok("9881", -323));
}

// ---- Whole-range sweeps against the reference

TEST(DecimalDigitsSweep, PowersOfTwo) {
  for (int e = -1074; e <= 1023; ++e) {
    double x = ldexp(1.0, e);
    ASSERT_EQ(Significant(x, 40), ReferenceSignificant(x, 40)) << "2^" << e;
    int32_t places = e < 0 ? (-e < 300 ? -e : 300) : 3;
    ASSERT_EQ(Fixed(x, places), ReferenceFixed(x, places)) << "2^" << e;
    ASSERT_EQ(Fixed(x, places / 2), ReferenceFixed(x, places / 2)) << "2^" << e;
  }
}

TEST(DecimalDigitsSweep, PowersOfTen) {
  for (int n = -323; n <= 308; ++n) {
    char text[16];
    snprintf(text, sizeof text, "1e%d", n);
    double x = strtod(text, nullptr);
    if (n >= -307) {
      // Any double within an ulp of 10^n reads as 1 followed by zeros here.
      std::string ones = "1" + std::string(14, '0');
      ASSERT_EQ(Significant(x, 15), Ok(ones.c_str(), n + 1)) << text;
    }
    ASSERT_EQ(Significant(x, 25), ReferenceSignificant(x, 25)) << text;
    int32_t places = n < 0 ? 17 - n : 17;
    ASSERT_EQ(Fixed(x, places), ReferenceFixed(x, places)) << text;
  }
}

class Random {
 public:
  uint64_t Next() { return engine_(); }  // the engine's output is fixed by the standard
  int32_t Below(int32_t n) { return int32_t(engine_() % uint64_t(n)); }

 private:
  std::mt19937_64 engine_{20261208};
};

TEST(DecimalDigitsSweep, RandomBitPatterns) {
  Random random;
  for (int i = 0; i < 3000; ++i) {
    uint64_t bits = random.Next();
    if (i % 4 == 0) bits &= ~(uint64_t(0x7FF) << 52);  // a subnormal
    double x;
    memcpy(&x, &bits, sizeof x);
    if (!isfinite(x)) continue;
    int32_t count = i % 2 ? 1 + random.Below(20) : 1 + random.Below(kDigitBufferSize);
    ASSERT_EQ(Significant(x, count), ReferenceSignificant(x, count)) << x << " to " << count;
    int32_t places = random.Below(700);
    ASSERT_EQ(Fixed(x, places), ReferenceFixed(x, places)) << x << " at " << places;
  }
}

TEST(DecimalDigitsSweep, TypicalMagnitudes) {
  Random random;
  for (int i = 0; i < 3000; ++i) {
    double mantissa = double(random.Next() >> 11) / 9007199254740992.0;  // [0, 1)
    double x = (1 + mantissa) * pow(10.0, -10 + random.Below(26));
    int32_t count = 1 + random.Below(20);
    ASSERT_EQ(Significant(x, count), ReferenceSignificant(x, count)) << x << " to " << count;
    int32_t places = random.Below(20);
    ASSERT_EQ(Fixed(x, places), ReferenceFixed(x, places)) << x << " at " << places;
  }
}

// Dyadic fractions k / 2^j end in a 5 at place j: rounding one place earlier
// is an exact tie, so these exercise the even rule and its carries.
TEST(DecimalDigitsSweep, ExactTies) {
  Random random;
  for (int i = 0; i < 3000; ++i) {
    int j = 1 + random.Below(40);
    double x = ldexp(double(1 + random.Below(1 << 20)), -j);
    ASSERT_EQ(Fixed(x, j - 1), ReferenceFixed(x, j - 1)) << x << " at " << j - 1;
    int32_t count = 1 + random.Below(20);
    ASSERT_EQ(Significant(x, count), ReferenceSignificant(x, count)) << x << " to " << count;
  }
}

}  // namespace
