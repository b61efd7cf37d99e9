// Free functions over (pointer, length) texts: length, search, length-first
// comparison and upper-case mapping. They never allocate.
#pragma once

#include <stdint.h>

#include "text/WChar.h"

// Elements before the first zero element; 0 for null.
int32_t NarrowLength(const char* text);
int32_t WideLength(const WChar* text);
// A length argument made concrete: a negative one (-1) is measured up to the
// first zero element; a null text is empty whatever its length says.
int32_t MeasureNarrow(const char* text, int32_t length);
int32_t MeasureWide(const WChar* text, int32_t length);

// The searches return an index or -1. Invalid arguments give -1: a null pointer,
// a length <= 0, a negative start; for substrings, haystack length < needle
// length + start; for single elements, start >= length.
int32_t FindByteLast(const char* text, uint8_t byte, int32_t length, int32_t start);
int32_t FindUnitLast(const WChar* text, WChar unit, int32_t length, int32_t start);
int32_t FindBytesForward(const char* haystack, const char* needle, int32_t haystackLength,
                         int32_t needleLength, int32_t start);
int32_t FindBytesBackward(const char* haystack, const char* needle, int32_t haystackLength,
                          int32_t needleLength, int32_t start);
// Measures a negative length with WideLength itself.
int32_t FindUnitsForward(const WChar* haystack, const WChar* needle, int32_t haystackLength,
                         int32_t needleLength, int32_t start);

// Measuring forms: a negative length, or the length of a null text, is first
// replaced by NarrowLength of that text (0 for null).
int32_t FindByteLastMeasured(const char* text, uint8_t byte, int32_t length, int32_t start);
int32_t FindBytesForwardMeasured(const char* haystack, const char* needle,
                                 int32_t haystackLength, int32_t needleLength, int32_t start);
int32_t FindBytesBackwardMeasured(const char* haystack, const char* needle,
                                  int32_t haystackLength, int32_t needleLength, int32_t start);

// Length first, then the elements as unsigned values: -1, 0 or 1. An empty text
// (null or length 0) sorts before any other, so 'b' < 'aa'.
int CompareBytes(const char* a, const char* b, int32_t lengthA, int32_t lengthB);
int CompareBytesMeasured(const char* a, const char* b, int32_t lengthA, int32_t lengthB);
// Measures a negative length with WideLength.
int CompareUnits(const WChar* a, const WChar* b, int32_t lengthA, int32_t lengthB);

// Simple upper-case mapping of one UTF-16 code unit (surrogates map to themselves).
WChar ToUpperChar(WChar unit);
