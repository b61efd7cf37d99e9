// decodeHexString: the bytes of a string-table text written as pairs of
// upper-case hexadecimal digits (the patterns that locate tables in an image).

#include <windows.h>

#include "app/InstallerApp.h"
#include "setup/SystemGuards.h"
#include "text/Memory.h"

namespace {

// Upper-case digits only: the texts are generated that way, and anything else
// means a damaged table.
int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

uint8_t* InstallerApp::decodeHexString(uint32_t id, uint32_t* count) {
  if (count == nullptr) return nullptr;
  *count = 0;
  if (!loadText(id, lookupBuffer) || lookupBuffer.IsEmpty()) return nullptr;
  const char* digits = lookupBuffer.ToNarrow(-1);
  if (digits == nullptr) return nullptr;
  // An odd final character is not part of any pair and is ignored.
  const uint32_t byteCount = static_cast<uint32_t>(lookupBuffer.Length()) / 2;
  if (byteCount == 0) return nullptr;
  BlockGuard block(AllocateBlock(byteCount));
  uint8_t* bytes = static_cast<uint8_t*>(block.get());
  for (uint32_t i = 0; i < byteCount; ++i) {
    const int high = HexDigitValue(digits[2 * i]);
    const int low = HexDigitValue(digits[2 * i + 1]);
    if (high < 0 || low < 0) return nullptr;
    bytes[i] = static_cast<uint8_t>(high * 16 + low);
  }
  *count = byteCount;
  return static_cast<uint8_t*>(block.release());
}
