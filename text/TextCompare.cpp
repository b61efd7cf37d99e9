// Length-first comparison of byte and UTF-16 texts.
#include "text/TextPrimitives.h"

namespace {

template <typename Element>
int CompareLengthFirst(const Element* a, const Element* b, int32_t lengthA, int32_t lengthB) {
  bool emptyA = a == nullptr || lengthA <= 0;
  bool emptyB = b == nullptr || lengthB <= 0;
  if (emptyA && emptyB) return 0;
  if (emptyA) return -1;
  if (emptyB) return 1;
  if (lengthA != lengthB) return lengthA < lengthB ? -1 : 1;
  for (int32_t i = 0; i < lengthA; ++i) {
    if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
  }
  return 0;
}

}  // namespace

int CompareBytes(const char* a, const char* b, int32_t lengthA, int32_t lengthB) {
  return CompareLengthFirst(reinterpret_cast<const uint8_t*>(a),
                            reinterpret_cast<const uint8_t*>(b), lengthA, lengthB);
}

int CompareUnits(const WChar* a, const WChar* b, int32_t lengthA, int32_t lengthB) {
  if (a != nullptr && lengthA < 0) lengthA = WideLength(a);
  if (b != nullptr && lengthB < 0) lengthB = WideLength(b);
  // WChar is unsigned (char16_t or wchar_t on Windows), so the element order is unsigned.
  return CompareLengthFirst(a, b, lengthA, lengthB);
}
