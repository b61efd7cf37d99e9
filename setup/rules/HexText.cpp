// DecodeHexText: pairs of upper-case hexadecimal digits into bytes.

#include "setup/rules/HexText.h"

#include "text/Memory.h"

namespace {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

uint8_t* DecodeHexText(const char* digits, int32_t length, uint32_t& count) {
  count = 0;
  if (digits == nullptr || length < 2) return nullptr;
  const uint32_t byteCount = static_cast<uint32_t>(length) / 2;
  uint8_t* bytes = static_cast<uint8_t*>(AllocateBlock(byteCount));
  for (uint32_t i = 0; i < byteCount; ++i) {
    const int high = HexDigitValue(digits[2 * i]);
    const int low = HexDigitValue(digits[2 * i + 1]);
    if (high < 0 || low < 0) {
      FreeBlock(bytes);
      return nullptr;
    }
    bytes[i] = static_cast<uint8_t>(high * 16 + low);
  }
  count = byteCount;
  return bytes;
}
