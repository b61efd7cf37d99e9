// ReadHexNumber: one "%X" field from a wide text.

#include "app/HexNumber.h"

namespace {

bool IsScanfSpace(WChar c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int HexDigitValue(WChar c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

int ReadHexNumber(const WChar* text, uint32_t* value) {
  if (text == nullptr || value == nullptr) return 0;
  const WChar* p = text;
  while (IsScanfSpace(*p)) ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = (*p == '-');
    ++p;
  }
  // The prefix counts only when a digit follows it; otherwise its "0" is the
  // number and the "x" is left unread.
  if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && HexDigitValue(p[2]) >= 0) p += 2;
  if (HexDigitValue(*p) < 0) return 0;
  uint32_t n = 0;
  for (int d = HexDigitValue(*p); d >= 0; d = HexDigitValue(*++p)) {
    n = (n << 4) | static_cast<uint32_t>(d);
  }
  *value = negative ? (0u - n) : n;
  return 1;
}
