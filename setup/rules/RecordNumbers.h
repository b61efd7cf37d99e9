// The numbers of the product record that later steps count with: which
// stored values are usable and which mean a damaged record.
#pragma once

#include <stdint.h>

// More installations than this never share one record; a larger stored count
// is damage, and taking it would let the sequences' +1 and -1 overflow.
constexpr uint32_t kMaxUseCount = 0xFFFF;

// A use counter (installations sharing the record or the document group).
inline bool IsUsableUseCount(uint32_t stored) { return stored <= kMaxUseCount; }

// An installation level: above 0 and a positive 32-bit number, so that it can
// never read as "nothing installed" or as an older level than it is.
inline bool IsUsableLevel(uint32_t stored) { return stored > 0 && stored <= 0x7FFFFFFFu; }
