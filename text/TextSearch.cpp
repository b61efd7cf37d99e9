// Lengths and the plain element-by-element searches.
#include "text/TextPrimitives.h"

namespace {

template <typename Element>
int32_t TerminatedLength(const Element* text) {
  if (text == nullptr) return 0;
  int32_t n = 0;
  while (text[n] != 0) ++n;
  return n;
}

template <typename Element>
int32_t FindLast(const Element* text, Element value, int32_t length, int32_t start) {
  if (text == nullptr || length <= 0 || start < 0 || start >= length) return -1;
  for (int32_t i = length - 1; i >= start; --i) {
    if (text[i] == value) return i;
  }
  return -1;
}

template <typename Element>
bool MatchesAt(const Element* haystack, const Element* needle, int32_t at, int32_t needleLength) {
  for (int32_t k = 0; k < needleLength; ++k) {
    if (haystack[at + k] != needle[k]) return false;
  }
  return true;
}

template <typename Element>
bool SubstringArgumentsValid(const Element* haystack, const Element* needle,
                             int32_t haystackLength, int32_t needleLength, int32_t start) {
  if (haystack == nullptr || needle == nullptr) return false;
  if (haystackLength <= 0 || needleLength <= 0 || start < 0) return false;
  // 64-bit sum: a start near the top of the range must not wrap into a "valid" one.
  return static_cast<int64_t>(haystackLength) >= static_cast<int64_t>(needleLength) + start;
}

template <typename Element>
int32_t FindForward(const Element* haystack, const Element* needle, int32_t haystackLength,
                    int32_t needleLength, int32_t start) {
  if (!SubstringArgumentsValid(haystack, needle, haystackLength, needleLength, start)) return -1;
  for (int32_t at = start; at <= haystackLength - needleLength; ++at) {
    if (MatchesAt(haystack, needle, at, needleLength)) return at;
  }
  return -1;
}

template <typename Element>
int32_t FindBackward(const Element* haystack, const Element* needle, int32_t haystackLength,
                     int32_t needleLength, int32_t start) {
  if (!SubstringArgumentsValid(haystack, needle, haystackLength, needleLength, start)) return -1;
  for (int32_t at = haystackLength - needleLength; at >= start; --at) {
    if (MatchesAt(haystack, needle, at, needleLength)) return at;
  }
  return -1;
}

}  // namespace

int32_t MeasureNarrow(const char* text, int32_t length) {
  if (text == nullptr) return 0;
  return length < 0 ? NarrowLength(text) : length;
}

int32_t MeasureWide(const WChar* text, int32_t length) {
  if (text == nullptr) return 0;
  return length < 0 ? WideLength(text) : length;
}

int32_t NarrowLength(const char* text) { return TerminatedLength(text); }

int32_t WideLength(const WChar* text) { return TerminatedLength(text); }

int32_t FindByteLast(const char* text, uint8_t byte, int32_t length, int32_t start) {
  return FindLast(reinterpret_cast<const uint8_t*>(text), byte, length, start);
}

int32_t FindUnitLast(const WChar* text, WChar unit, int32_t length, int32_t start) {
  return FindLast(text, unit, length, start);
}

int32_t FindBytesForward(const char* haystack, const char* needle, int32_t haystackLength,
                         int32_t needleLength, int32_t start) {
  return FindForward(haystack, needle, haystackLength, needleLength, start);
}

int32_t FindBytesBackward(const char* haystack, const char* needle, int32_t haystackLength,
                          int32_t needleLength, int32_t start) {
  return FindBackward(haystack, needle, haystackLength, needleLength, start);
}

int32_t FindUnitsForward(const WChar* haystack, const WChar* needle, int32_t haystackLength,
                         int32_t needleLength, int32_t start) {
  if (haystack != nullptr && haystackLength < 0) haystackLength = WideLength(haystack);
  if (needle != nullptr && needleLength < 0) needleLength = WideLength(needle);
  return FindForward(haystack, needle, haystackLength, needleLength, start);
}

int32_t FindByteLastMeasured(const char* text, uint8_t byte, int32_t length, int32_t start) {
  return FindByteLast(text, byte, MeasureNarrow(text, length), start);
}

int32_t FindBytesForwardMeasured(const char* haystack, const char* needle,
                                 int32_t haystackLength, int32_t needleLength, int32_t start) {
  return FindBytesForward(haystack, needle, MeasureNarrow(haystack, haystackLength),
                          MeasureNarrow(needle, needleLength), start);
}

int32_t FindBytesBackwardMeasured(const char* haystack, const char* needle,
                                  int32_t haystackLength, int32_t needleLength, int32_t start) {
  return FindBytesBackward(haystack, needle, MeasureNarrow(haystack, haystackLength),
                           MeasureNarrow(needle, needleLength), start);
}

int CompareBytesMeasured(const char* a, const char* b, int32_t lengthA, int32_t lengthB) {
  return CompareBytes(a, b, MeasureNarrow(a, lengthA), MeasureNarrow(b, lengthB));
}
