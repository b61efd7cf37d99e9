// Reflected CRC-32 computed four bits at a time: a 16-word table instead of
// the usual 256 words, which keeps the program small.
#include "payload/Crc32.h"

namespace {

constexpr uint32_t kPolynomial = 0xEDB88320u;

// Entry k is the CRC of the nibble k: k shifted out through the polynomial.
constexpr uint32_t kNibbleTable[16] = {
    0x00000000, 0x1DB71064, 0x3B6E20C8, 0x26D930AC,
    0x76DC4190, 0x6B6B51F4, 0x4DB26158, 0x5005713C,
    0xEDB88320, 0xF00F9344, 0xD6D6A3E8, 0xCB61B38C,
    0x9B64C2B0, 0x86D3D2D4, 0xA00AE278, 0xBDBDF21C,
};

constexpr uint32_t NibbleCrc(uint32_t k) {
  for (int bit = 0; bit < 4; ++bit) k = (k & 1) != 0 ? (k >> 1) ^ kPolynomial : k >> 1;
  return k;
}

constexpr bool TableMatchesPolynomial() {
  for (uint32_t k = 0; k < 16; ++k) {
    if (kNibbleTable[k] != NibbleCrc(k)) return false;
  }
  return true;
}
static_assert(TableMatchesPolynomial(), "nibble table does not match the polynomial");

}  // namespace

uint32_t crc32(uint32_t previous, const uint8_t* bytes, uint32_t length) {
  if (bytes == nullptr) return 0;
  uint32_t crc = ~previous;
  for (uint32_t i = 0; i < length; ++i) {
    crc ^= bytes[i];
    // Reflected: the low nibble of the byte goes first.
    crc = (crc >> 4) ^ kNibbleTable[crc & 0x0F];
    crc = (crc >> 4) ^ kNibbleTable[crc & 0x0F];
  }
  return ~crc;
}
