// CRC-32 of the payload entries: the reflected ISO-HDLC CRC (polynomial
// 0xEDB88320), the same function as zlib's crc32, with a 16-entry table.
#pragma once

#include <stdint.h>

// Continues the CRC `previous` over `length` bytes; start a new CRC with 0.
// crc32(crc32(0, a, n), b, m) equals the CRC of a followed by b. No bytes
// leave `previous` unchanged. A null pointer yields 0 whatever `previous`
// is, as zlib does (its way of asking for the starting value).
uint32_t crc32(uint32_t previous, const uint8_t* bytes, uint32_t length);
