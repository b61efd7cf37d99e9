// The Blowfish cipher's initial tables: the P-array, then the four S-boxes,
// as one array of words taken from the hexadecimal digits of pi.
#pragma once

#include <stdint.h>

constexpr int32_t kBlowfishPWordCount = 18;
constexpr int32_t kBlowfishSWordCount = 4 * 256;
constexpr int32_t kBlowfishInitialWordCount = kBlowfishPWordCount + kBlowfishSWordCount;

// The 18 P words first, then S-box 1 to 4. Generated (see
// tools/gen_blowfish_tables.py); its length is fixed by the declaration.
extern const uint32_t kBlowfishInitialWords[kBlowfishInitialWordCount];
