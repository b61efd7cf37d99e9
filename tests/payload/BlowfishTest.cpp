// Tests for BlowfishCipher: the published test vectors, the key schedule's
// cyclic key use, the little-endian block placement and the buffer walk.
#include "payload/Blowfish.h"

#include <gtest/gtest.h>
#include <string.h>

#include "payload/BlowfishTables.h"

namespace {

// ---- helpers ----------------------------------------------------------------

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Decodes hex text into `out`; returns the number of bytes, or -1 on a bad digit.
int32_t HexBytes(const char* hex, uint8_t* out, int32_t capacity) {
  int32_t n = 0;
  for (; hex[0] != '\0' && hex[1] != '\0'; hex += 2) {
    const int hi = HexDigit(hex[0]);
    const int lo = HexDigit(hex[1]);
    if (hi < 0 || lo < 0 || n == capacity) return -1;
    out[n++] = static_cast<uint8_t>(hi * 16 + lo);
  }
  return hex[0] == '\0' ? n : -1;
}

// A 16-digit published block as its halves: left is the first 8 digits.
void HexBlock(const char* hex, uint32_t& left, uint32_t& right) {
  uint8_t b[8];
  ASSERT_EQ(HexBytes(hex, b, 8), 8) << hex;
  left = (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | b[3];
  right = (uint32_t(b[4]) << 24) | (uint32_t(b[5]) << 16) | (uint32_t(b[6]) << 8) | b[7];
}

void KeyFromHex(BlowfishCipher& cipher, const char* hex) {
  uint8_t key[64];
  const int32_t n = HexBytes(hex, key, 64);
  ASSERT_GT(n, 0) << hex;
  ASSERT_EQ(cipher.setKey(key, n), 1) << hex;
}

// A deterministic byte pattern that differs from block to block.
void FillPattern(uint8_t* bytes, size_t count, uint32_t seed) {
  uint32_t x = seed | 1u;
  for (size_t i = 0; i < count; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    bytes[i] = static_cast<uint8_t>(x >> 24);
  }
}

struct Vector {
  const char* key;
  const char* plain;
  const char* cipher;
};

// Eric Young's ECB test vectors for Blowfish.
const Vector kEcbVectors[] = {
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
    {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
    {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
    {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
    {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
    {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
    {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
    {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
    {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
    {"07A1133E4A0B2686", "0248D43806F67172", "1730E5778BEA1DA4"},
    {"3849674C2602319E", "51454B582DDF440A", "A25E7856CF2651EB"},
    {"04B915BA43FEB5B6", "42FD443059577FA2", "353882B109CE8F1A"},
    {"0113B970FD34F2CE", "059B5E0851CF143A", "48F4D0884C379918"},
    {"0170F175468FB5E6", "0756D8E0774761D2", "432193B78951FC98"},
    {"43297FAD38E373FE", "762514B829BF486A", "13F04154D69D1AE5"},
    {"07A7137045DA2A16", "3BDD119049372802", "2EEDDA93FFD39C79"},
    {"04689104C2FD3B2F", "26955F6835AF609A", "D887E0393C2DA6E3"},
    {"37D06BB516CB7546", "164D5E404F275232", "5F99D04F5B163969"},
    {"1F08260D1AC2465E", "6B056E18759F5CCA", "4A057A3B24D3977B"},
    {"584023641ABA6176", "004BD6EF09176062", "452031C1E4FADA8E"},
    {"025816164629B007", "480D39006EE762F2", "7555AE39F59B87BD"},
    {"49793EBC79B3258F", "437540C8698F3CFA", "53C55F9CB49FC019"},
    {"4FB05E1515AB73A7", "072D43A077075292", "7A8E7BFA937E89A3"},
    {"49E95D6D4CA229BF", "02FE55778117F12A", "CF9C5D7A4986ADB5"},
    {"018310DC409B26D6", "1D9D5C5018F728C2", "D1ABB290658BC778"},
    {"1C587F1C13924FEF", "305532286D6F295A", "55CB3774D13EF201"},
    {"0101010101010101", "0123456789ABCDEF", "FA34EC4847B268B2"},
    {"1F1F1F1F0E0E0E0E", "0123456789ABCDEF", "A790795108EA3CAE"},
    {"E0FEE0FEF1FEF1FE", "0123456789ABCDEF", "C39E072D9FAC631D"},
    {"0000000000000000", "FFFFFFFFFFFFFFFF", "014933E0CDAFF6E4"},
    {"FFFFFFFFFFFFFFFF", "0000000000000000", "F21E9A77B71C49BC"},
    {"0123456789ABCDEF", "0000000000000000", "245946885754369A"},
    {"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"},
};

// Eric Young's variable key length vectors: plain FEDCBA9876543210 under the
// first 1 to 24 bytes of F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677.
const char kVariableKeyPlain[] = "FEDCBA9876543210";
const char kVariableKeyBytes[] = "F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677";
const char* const kVariableKeyCiphers[24] = {
    "F9AD597C49DB005E", "E91D21C1D961A6D6", "E9C2B70A1BC65CF3", "BE1E639408640F05",
    "B39E44481BDB1E6E", "9457AA83B1928C0D", "8BB77032F960629D", "E87A244E2CC85E82",
    "15750E7A4F4EC577", "122BA70B3AB64AE0", "3A833C9AFFC537F6", "9409DA87A90F6BF2",
    "884F80625060B8B4", "1F85031C19E11968", "79D9373A714CA34F", "93142887EE3BE15C",
    "03429E838CE2D14B", "A4299E27469FF67B", "AFD5AED1C1BC96A8", "10851C0E3858DA9F",
    "E6F51ED79B9DB21F", "64A6E14AFD36B46F", "80C7D7D45A5479AD", "05044B62FA52D080",
};

// ---- the initial tables -------------------------------------------------------

TEST(BlowfishTables, PiWordsAtTheBoundaries) {
  const uint32_t* p = kBlowfishInitialWords;
  const uint32_t* s = kBlowfishInitialWords + kBlowfishPWordCount;
  EXPECT_EQ(kBlowfishInitialWordCount, 1042);
  EXPECT_EQ(p[0], 0x243F6A88u);
  EXPECT_EQ(p[1], 0x85A308D3u);
  EXPECT_EQ(p[17], 0x8979FB1Bu);
  // First word of each S-box, and the very last word.
  EXPECT_EQ(s[0], 0xD1310BA6u);
  EXPECT_EQ(s[256], 0x4B7A70E9u);
  EXPECT_EQ(s[512], 0xE93D5A68u);
  EXPECT_EQ(s[768], 0x3A39CE37u);
  EXPECT_EQ(s[1023], 0x3AC372E6u);
}

// ---- published vectors --------------------------------------------------------

TEST(BlowfishVectors, EncryptBlockGivesThePublishedCipher) {
  for (const Vector& v : kEcbVectors) {
    BlowfishCipher cipher;
    KeyFromHex(cipher, v.key);
    uint32_t l, r, wantL, wantR;
    HexBlock(v.plain, l, r);
    HexBlock(v.cipher, wantL, wantR);
    cipher.encryptBlock(l, r);
    EXPECT_EQ(l, wantL) << "key " << v.key << " plain " << v.plain;
    EXPECT_EQ(r, wantR) << "key " << v.key << " plain " << v.plain;
  }
}

TEST(BlowfishVectors, DecryptBlockGivesThePublishedPlain) {
  for (const Vector& v : kEcbVectors) {
    BlowfishCipher cipher;
    KeyFromHex(cipher, v.key);
    uint32_t l, r, wantL, wantR;
    HexBlock(v.cipher, l, r);
    HexBlock(v.plain, wantL, wantR);
    cipher.decryptBlock(l, r);
    EXPECT_EQ(l, wantL) << "key " << v.key << " cipher " << v.cipher;
    EXPECT_EQ(r, wantR) << "key " << v.key << " cipher " << v.cipher;
  }
}

TEST(BlowfishVectors, KeysOfOneToTwentyFourBytes) {
  uint8_t key[24];
  ASSERT_EQ(HexBytes(kVariableKeyBytes, key, 24), 24);
  for (int32_t n = 1; n <= 24; ++n) {
    BlowfishCipher cipher;
    ASSERT_EQ(cipher.setKey(key, n), 1);
    uint32_t l, r, wantL, wantR;
    HexBlock(kVariableKeyPlain, l, r);
    HexBlock(kVariableKeyCiphers[n - 1], wantL, wantR);
    cipher.encryptBlock(l, r);
    EXPECT_EQ(l, wantL) << "key length " << n;
    EXPECT_EQ(r, wantR) << "key length " << n;
    cipher.decryptBlock(l, r);
    EXPECT_EQ(l, 0xFEDCBA98u) << "key length " << n;
    EXPECT_EQ(r, 0x76543210u) << "key length " << n;
  }
}

// ---- key schedule -------------------------------------------------------------

// Both ciphers must map several different blocks alike.
void ExpectSameCipher(const BlowfishCipher& a, const BlowfishCipher& b, const char* what) {
  uint32_t seeds[][2] = {{0, 0}, {0xFFFFFFFFu, 0}, {0x01234567u, 0x89ABCDEFu}};
  for (const auto& seed : seeds) {
    uint32_t al = seed[0], ar = seed[1], bl = seed[0], br = seed[1];
    a.encryptBlock(al, ar);
    b.encryptBlock(bl, br);
    EXPECT_EQ(al, bl) << what;
    EXPECT_EQ(ar, br) << what;
  }
}

TEST(BlowfishKey, ThreeByteKeyIsReusedCyclicallyInsideAWord) {
  const uint8_t shortKey[3] = {0x5A, 0xC3, 0x17};
  uint8_t repeated[12];
  for (int i = 0; i < 12; ++i) repeated[i] = shortKey[i % 3];
  BlowfishCipher a, b;
  ASSERT_EQ(a.setKey(shortKey, 3), 1);
  ASSERT_EQ(b.setKey(repeated, 12), 1);
  ExpectSameCipher(a, b, "k0 k1 k2 against its 12-byte repetition");
}

TEST(BlowfishKey, EveryShortKeyEqualsItsRepetitionToSeventyTwoBytes) {
  uint8_t key[7];
  FillPattern(key, sizeof key, 7);
  for (int32_t n = 1; n <= 7; ++n) {
    uint8_t repeated[72];
    for (int i = 0; i < 72; ++i) repeated[i] = key[i % n];
    BlowfishCipher a, b;
    ASSERT_EQ(a.setKey(key, n), 1);
    ASSERT_EQ(b.setKey(repeated, 72), 1);
    ExpectSameCipher(a, b, "short key against its repetition");
  }
}

TEST(BlowfishKey, OnlyTheFirstSeventyTwoBytesCount) {
  // The program's key window is 495 bytes; bytes past 72 never reach the P-array.
  uint8_t longKey[495];
  FillPattern(longKey, sizeof longKey, 495);
  uint8_t changedTail[495];
  memcpy(changedTail, longKey, sizeof longKey);
  for (size_t i = 72; i < sizeof changedTail; ++i) changedTail[i] ^= 0xFF;
  BlowfishCipher a, b, c;
  ASSERT_EQ(a.setKey(longKey, 495), 1);
  ASSERT_EQ(b.setKey(changedTail, 495), 1);
  ASSERT_EQ(c.setKey(longKey, 72), 1);
  ExpectSameCipher(a, b, "tails differ past byte 72");
  ExpectSameCipher(a, c, "495 bytes against the first 72");
}

TEST(BlowfishKey, RefusesANullOrEmptyKeyAndForgetsTheOldOne) {
  const uint8_t key[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  BlowfishCipher cipher;
  EXPECT_EQ(cipher.setKey(nullptr, 8), 0);
  EXPECT_EQ(cipher.setKey(key, 0), 0);
  EXPECT_EQ(cipher.setKey(key, -1), 0);

  ASSERT_EQ(cipher.setKey(key, 8), 1);
  uint32_t keyedL = 0, keyedR = 0;
  cipher.encryptBlock(keyedL, keyedR);
  ASSERT_EQ(cipher.setKey(key, 0), 0);
  // A refused key must not leave the earlier key working.
  uint32_t l = 0, r = 0;
  cipher.encryptBlock(l, r);
  EXPECT_FALSE(l == keyedL && r == keyedR);
}

// ---- block placement and the buffer walk ----------------------------------------

TEST(BlowfishBuffer, StoredBlockIsTwoLittleEndianWords) {
  // Published: key 0123456789ABCDEF, plain 1111111111111111 -> 61F9C380 2281B096.
  BlowfishCipher cipher;
  KeyFromHex(cipher, "0123456789ABCDEF");
  const uint8_t plain[8] = {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x11};
  const uint8_t stored[8] = {0x80, 0xC3, 0xF9, 0x61, 0x96, 0xB0, 0x81, 0x22};
  uint8_t out[8];
  cipher.encryptBuffer(plain, out, 8);
  EXPECT_EQ(memcmp(out, stored, 8), 0);
  cipher.decryptBuffer(stored, out, 8);
  EXPECT_EQ(memcmp(out, plain, 8), 0);
}

TEST(BlowfishBuffer, HalvesAreNotSwappedOrBigEndian) {
  // Published: key FEDCBA9876543210, plain 0123456789ABCDEF -> 0ACEAB0F
  // C6A0A28D; each half is stored low byte first, left half first.
  BlowfishCipher cipher;
  KeyFromHex(cipher, "FEDCBA9876543210");
  const uint8_t plain[8] = {0x67, 0x45, 0x23, 0x01, 0xEF, 0xCD, 0xAB, 0x89};
  const uint8_t stored[8] = {0x0F, 0xAB, 0xCE, 0x0A, 0x8D, 0xA2, 0xA0, 0xC6};
  uint8_t out[8];
  cipher.encryptBuffer(plain, out, 8);
  EXPECT_EQ(memcmp(out, stored, 8), 0);
}

TEST(BlowfishBuffer, RoundTripOutOfPlaceAndInPlace) {
  BlowfishCipher cipher;
  KeyFromHex(cipher, "F0E1D2C3B4A5968778695A4B3C2D1E0F");
  constexpr uint32_t length = 8 * 37;
  uint8_t plain[length], enciphered[length], back[length];
  FillPattern(plain, length, 37);

  cipher.encryptBuffer(plain, enciphered, length);
  EXPECT_NE(memcmp(plain, enciphered, length), 0);
  cipher.decryptBuffer(enciphered, back, length);
  EXPECT_EQ(memcmp(plain, back, length), 0);

  uint8_t work[length];
  memcpy(work, plain, length);
  cipher.encryptBuffer(work, work, length);
  EXPECT_EQ(memcmp(work, enciphered, length), 0) << "in place must match out of place";
  cipher.decryptBuffer(work, work, length);
  EXPECT_EQ(memcmp(work, plain, length), 0);
}

TEST(BlowfishBuffer, EachBlockIsEncipheredOnItsOwn) {
  // ECB: equal plain blocks give equal cipher blocks wherever they lie.
  BlowfishCipher cipher;
  KeyFromHex(cipher, "0123456789ABCDEF");
  uint8_t plain[24];
  FillPattern(plain, 8, 3);
  memcpy(plain + 8, plain, 8);
  memcpy(plain + 16, plain, 8);
  uint8_t out[24];
  cipher.encryptBuffer(plain, out, 24);
  EXPECT_EQ(memcmp(out, out + 8, 8), 0);
  EXPECT_EQ(memcmp(out, out + 16, 8), 0);
}

struct BlockCountCase {
  uint32_t length;
  uint32_t blocks;
};

TEST(BlowfishBuffer, LengthCoversWholeBlocksAndNoMore) {
  const BlockCountCase cases[] = {{1, 1}, {7, 1}, {8, 1}, {9, 2}, {16, 2}, {17, 3}};
  BlowfishCipher cipher;
  KeyFromHex(cipher, "1111111111111111");
  for (const BlockCountCase& c : cases) {
    uint8_t plain[32], enciphered[32];
    FillPattern(plain, sizeof plain, c.length);
    cipher.encryptBuffer(plain, enciphered, 32);

    // Decipher out of place into a buffer marked with a sentinel.
    uint8_t out[32];
    memset(out, 0xA5, sizeof out);
    cipher.decryptBuffer(enciphered, out, c.length);
    const uint32_t done = 8 * c.blocks;
    EXPECT_EQ(memcmp(out, plain, done), 0) << "length " << c.length;
    for (uint32_t i = done; i < sizeof out; ++i) {
      EXPECT_EQ(out[i], 0xA5) << "length " << c.length << " byte " << i;
    }

    // In place: the blocks past the last one stay enciphered.
    uint8_t work[32];
    memcpy(work, enciphered, sizeof work);
    cipher.decryptBuffer(work, work, c.length);
    EXPECT_EQ(memcmp(work, plain, done), 0) << "length " << c.length;
    EXPECT_EQ(memcmp(work + done, enciphered + done, sizeof work - done), 0)
        << "length " << c.length;

    // Encipher in place the same way.
    memcpy(work, plain, sizeof work);
    cipher.encryptBuffer(work, work, c.length);
    EXPECT_EQ(memcmp(work, enciphered, done), 0) << "length " << c.length;
    EXPECT_EQ(memcmp(work + done, plain + done, sizeof work - done), 0)
        << "length " << c.length;
  }
}

TEST(BlowfishBuffer, ZeroLengthOrNullBufferTouchesNothing) {
  BlowfishCipher cipher;
  KeyFromHex(cipher, "1111111111111111");
  uint8_t in[8], out[8];
  FillPattern(in, 8, 1);
  memset(out, 0x5A, sizeof out);
  cipher.decryptBuffer(in, out, 0);
  cipher.encryptBuffer(in, out, 0);
  cipher.decryptBuffer(nullptr, out, 8);
  cipher.encryptBuffer(nullptr, out, 8);
  for (uint8_t b : out) EXPECT_EQ(b, 0x5A);
  // A null destination must not be written through (the process would fault).
  cipher.decryptBuffer(in, nullptr, 8);
  cipher.encryptBuffer(in, nullptr, 8);
}

// ---- roundUpToBlock -----------------------------------------------------------

TEST(BlowfishRoundUp, RoundsToWholeBlocks) {
  const uint32_t cases[][2] = {
      {0, 0},   {1, 8},   {7, 8},   {8, 8},   {9, 16},
      {15, 16}, {16, 16}, {17, 24}, {968, 968},
      {0xFFFFFFF0u, 0xFFFFFFF0u}, {0xFFFFFFF1u, 0xFFFFFFF8u}, {0xFFFFFFF8u, 0xFFFFFFF8u},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BlowfishCipher::roundUpToBlock(c[0]), c[1]) << "n = " << c[0];
  }
}

TEST(BlowfishRoundUp, ValuesThatCannotBeRoundedGiveZero) {
  // No 32-bit multiple of 8 holds them; 0 makes callers allocate nothing.
  EXPECT_EQ(BlowfishCipher::roundUpToBlock(0xFFFFFFF9u), 0u);
  EXPECT_EQ(BlowfishCipher::roundUpToBlock(0xFFFFFFFFu), 0u);
}

}  // namespace
