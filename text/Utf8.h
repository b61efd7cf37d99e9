// UTF-8 <-> UTF-16 conversion of counted texts. Surrogates are encoded one by
// one (three bytes each); decoding accepts sequences of one to three bytes.
#pragma once

#include <stdint.h>

#include "text/WChar.h"

// Bytes the UTF-8 form of `count` units needs: 1, 2 or 3 per unit.
int64_t Utf8EncodedSize(const WChar* units, int32_t count);
// Writes the UTF-8 form of `count` units to `out` (which has Utf8EncodedSize bytes).
void EncodeUtf8(const WChar* units, int32_t count, char* out);
// Upper bound of the units a decode produces: the number of sequences, counting
// lead bytes of one to four bytes and stopping at a byte that cannot lead one.
int32_t Utf8SequenceCount(const char* bytes, int32_t count);
// Decodes `count` bytes into `out`. Returns the number of units written, or -1
// when the text is malformed (then `out` holds garbage the caller ignores).
int32_t DecodeUtf8(const char* bytes, int32_t count, WChar* out);
