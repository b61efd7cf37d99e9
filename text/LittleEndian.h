// Little-endian 16- and 32-bit words in stored data (payload entries, string
// tables, registry values), byte by byte so alignment and byte order never matter.
#pragma once

#include <stdint.h>

inline uint32_t ReadLittle16(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8);
}

inline uint32_t ReadLittle32(const uint8_t* p) {
  return ReadLittle16(p) | (ReadLittle16(p + 2) << 16);
}

inline void WriteLittle16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v & 0xFFu);
  p[1] = static_cast<uint8_t>((v >> 8) & 0xFFu);
}

inline void WriteLittle32(uint8_t* p, uint32_t v) {
  WriteLittle16(p, v & 0xFFFFu);
  WriteLittle16(p + 2, v >> 16);
}
