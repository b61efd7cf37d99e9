// BlowfishCipher: the standard 16-round Blowfish block cipher, used in ECB mode
// to encipher and decipher payload entries stored as little-endian word pairs.
#pragma once

#include <stdint.h>

class BlowfishCipher {
 public:
  // Allocates the P-array and the S-boxes; the cipher is unkeyed (all table
  // words zero) until setKey succeeds.
  BlowfishCipher();
  // Wipes the key-derived tables and frees them.
  ~BlowfishCipher();
  BlowfishCipher(const BlowfishCipher&) = delete;
  BlowfishCipher& operator=(const BlowfishCipher&) = delete;

  // ---- Operations ----------------------------------------------------------
  // Loads the initial tables and runs the standard key schedule over `length`
  // key bytes, read most significant first and reused cyclically (only the
  // first 72 bytes matter). 1 = keyed; 0 = refused (null key or length <= 0),
  // and the tables are then all zero, so no earlier key stays in use.
  int setKey(const uint8_t* key, int32_t length);

  // One 64-bit block as its two halves, left = the high 32 bits of the
  // block as the published test vectors write it.
  void encryptBlock(uint32_t& left, uint32_t& right) const;
  void decryptBlock(uint32_t& left, uint32_t& right) const;

  // ECB over roundUpToBlock(length) bytes: ((length - 1) / 8) + 1 whole
  // blocks, none when length is 0. Each 8-byte block is two little-endian
  // words, left then right, and is written back the same way. Source and
  // destination must each hold roundUpToBlock(length) bytes and be either
  // the same buffer (in place) or not overlap. A null buffer does nothing.
  void encryptBuffer(const uint8_t* source, uint8_t* destination, uint32_t length) const;
  void decryptBuffer(const uint8_t* source, uint8_t* destination, uint32_t length) const;

  // ---- Attributes ----------------------------------------------------------
  // n rounded up to a multiple of the 8-byte block; 0 for 0, and also 0 when
  // the rounded value does not fit in 32 bits (n > 0xFFFFFFF8).
  static uint32_t roundUpToBlock(uint32_t n);

 private:
  uint32_t f(uint32_t x) const;
  void runRounds(uint32_t& left, uint32_t& right, int32_t first, int32_t step) const;
  // ECB over whole blocks with one of the two block operations.
  void transformBuffer(const uint8_t* source, uint8_t* destination, uint32_t length,
                       void (BlowfishCipher::*transform)(uint32_t&, uint32_t&) const) const;

  uint32_t* p;  // 18 words, from AllocateBlock
  uint32_t* s;  // 4 S-boxes of 256 words one after the other, from AllocateBlock
};
