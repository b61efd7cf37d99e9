// zlib's inflate names crc32 and adler32 for the gzip and zlib wrappers, so a
// static link would bring zlib's checksum code and its 8 KB of tables although
// the program only inflates raw streams, which check nothing. These stand-ins
// take their place in setup.exe: crc32 is the program's own (the same
// function), adler32 a plain one. Linked into setup.exe only (as objects, so
// they are always there before the library is searched).
#include <stdint.h>

#include "payload/Crc32.h"

extern "C" unsigned long crc32(unsigned long previous, const unsigned char* bytes, unsigned int length) {
  return crc32(static_cast<uint32_t>(previous), bytes, static_cast<uint32_t>(length));
}

extern "C" unsigned long adler32(unsigned long previous, const unsigned char* bytes, unsigned int length) {
  const uint32_t kModulus = 65521;
  if (bytes == nullptr) return 1;  // zlib's starting value
  uint32_t low = previous & 0xFFFF;
  uint32_t high = (previous >> 16) & 0xFFFF;
  for (unsigned int i = 0; i < length; ++i) {
    low = (low + bytes[i]) % kModulus;
    high = (high + low) % kModulus;
  }
  return high << 16 | low;
}
