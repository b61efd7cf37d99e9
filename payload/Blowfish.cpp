// The Blowfish block cipher: key schedule, block rounds and the ECB buffer
// walk over blocks stored as two little-endian words.
#include "payload/Blowfish.h"

#include <stddef.h>
#include <string.h>

#include "payload/BlowfishTables.h"
#include "text/LittleEndian.h"
#include "text/Memory.h"

namespace {

constexpr int32_t kRounds = 16;
constexpr uint32_t kBlockBytes = 8;
constexpr size_t kPBytes = sizeof(uint32_t) * kBlowfishPWordCount;
constexpr size_t kSBytes = sizeof(uint32_t) * kBlowfishSWordCount;

static_assert(kBlowfishPWordCount == kRounds + 2, "one P word per round plus two");

// Volatile stores, so the compiler cannot drop the wipe before a free.
void WipeWords(uint32_t* words, size_t bytes) {
  volatile uint8_t* b = reinterpret_cast<volatile uint8_t*>(words);
  for (size_t i = 0; i < bytes; ++i) b[i] = 0;
}

}  // namespace

BlowfishCipher::BlowfishCipher()
    : p(static_cast<uint32_t*>(AllocateBlock(kPBytes))),
      s(static_cast<uint32_t*>(AllocateBlock(kSBytes))) {
  // Defined contents, so that using an unkeyed cipher is wrong but not undefined.
  memset(p, 0, kPBytes);
  memset(s, 0, kSBytes);
}

BlowfishCipher::~BlowfishCipher() {
  // The tables are derived from the key; they decipher as well as the key does.
  WipeWords(p, kPBytes);
  WipeWords(s, kSBytes);
  FreeBlock(p);
  FreeBlock(s);
}

int BlowfishCipher::setKey(const uint8_t* key, int32_t length) {
  if (key == nullptr || length <= 0) {
    // Taking the key modulo a zero length would divide by zero.
    WipeWords(p, kPBytes);
    WipeWords(s, kSBytes);
    return 0;
  }
  memcpy(p, kBlowfishInitialWords, kPBytes);
  memcpy(s, kBlowfishInitialWords + kBlowfishPWordCount, kSBytes);

  int32_t pos = 0;
  for (int32_t i = 0; i < kBlowfishPWordCount; ++i) {
    uint32_t w = 0;
    for (int32_t k = 0; k < 4; ++k) {
      w = (w << 8) | key[pos];
      pos = (pos + 1) % length;
    }
    p[i] ^= w;
  }

  uint32_t left = 0;
  uint32_t right = 0;
  for (int32_t i = 0; i < kBlowfishPWordCount; i += 2) {
    encryptBlock(left, right);
    p[i] = left;
    p[i + 1] = right;
  }
  for (int32_t j = 0; j < kBlowfishSWordCount; j += 2) {
    encryptBlock(left, right);
    s[j] = left;
    s[j + 1] = right;
  }
  return 1;
}

uint32_t BlowfishCipher::f(uint32_t x) const {
  const uint32_t* s1 = s;
  const uint32_t* s2 = s + 256;
  const uint32_t* s3 = s + 512;
  const uint32_t* s4 = s + 768;
  return ((s1[x >> 24] + s2[(x >> 16) & 0xFF]) ^ s3[(x >> 8) & 0xFF]) + s4[x & 0xFF];
}

// The sixteen rounds with the P words taken from `first` on, `step` apart:
// forward (0, +1) to encipher, backward (17, -1) to decipher.
void BlowfishCipher::runRounds(uint32_t& left, uint32_t& right, int32_t first, int32_t step) const {
  uint32_t l = left;
  uint32_t r = right;
  for (int32_t i = 0; i < kRounds; ++i) {
    l ^= p[first + step * i];
    r ^= f(l);
    const uint32_t t = l;
    l = r;
    r = t;
  }
  // Undo the last round's swap, then whiten with the last two words.
  const uint32_t t = l;
  l = r;
  r = t;
  r ^= p[first + step * kRounds];
  l ^= p[first + step * (kRounds + 1)];
  left = l;
  right = r;
}

void BlowfishCipher::encryptBlock(uint32_t& left, uint32_t& right) const {
  runRounds(left, right, 0, 1);
}

void BlowfishCipher::decryptBlock(uint32_t& left, uint32_t& right) const {
  runRounds(left, right, kRounds + 1, -1);
}

void BlowfishCipher::encryptBuffer(const uint8_t* source, uint8_t* destination,
                                   uint32_t length) const {
  transformBuffer(source, destination, length, &BlowfishCipher::encryptBlock);
}

void BlowfishCipher::decryptBuffer(const uint8_t* source, uint8_t* destination,
                                   uint32_t length) const {
  transformBuffer(source, destination, length, &BlowfishCipher::decryptBlock);
}

void BlowfishCipher::transformBuffer(const uint8_t* source, uint8_t* destination, uint32_t length,
                                     void (BlowfishCipher::*transform)(uint32_t&, uint32_t&)
                                         const) const {
  if (source == nullptr || destination == nullptr || length == 0) return;
  const uint32_t blocks = ((length - 1) / kBlockBytes) + 1;
  for (uint32_t b = 0; b < blocks; ++b) {
    const size_t at = static_cast<size_t>(b) * kBlockBytes;
    // Both words are read before either is written, so in place is safe.
    uint32_t left = ReadLittle32(source + at);
    uint32_t right = ReadLittle32(source + at + 4);
    (this->*transform)(left, right);
    WriteLittle32(destination + at, left);
    WriteLittle32(destination + at + 4, right);
  }
}

uint32_t BlowfishCipher::roundUpToBlock(uint32_t n) {
  const uint32_t rest = n % kBlockBytes;
  // Unsigned wrap: above 0xFFFFFFF8 the sum comes out 0, which callers
  // read as "no room", never as a short buffer.
  return rest == 0 ? n : n - rest + kBlockBytes;
}
