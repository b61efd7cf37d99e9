// KeyBlock: the payload cipher's key material, kept scrambled in the program
// image and rebuilt at run time; owns the rebuilt bytes and wipes them when freed.
#pragma once

#include <stddef.h>
#include <stdint.h>

class WString;

// Where the key window lies in the rebuilt block and the nine parameters of
// the rebuild steps. Product data, made together with the payload.
struct KeyBlockParameters {
  int32_t keyOffset;
  int32_t moveASource;
  int32_t moveADestination;
  int32_t moveACount;
  int32_t moveBSource;
  int32_t moveBDestination;
  int32_t moveBCount;
  int32_t maskPosition;
  int32_t maskStart;
  int32_t maskCount;
};

// Length of the stored (scrambled) block and of the key window in it.
constexpr int32_t kKeyBlockSize = 968;
constexpr int32_t kKeyLength = 495;

class KeyBlock {
 public:
  // An empty block (data null) that will rebuild with `parameters`.
  explicit KeyBlock(const KeyBlockParameters& parameters)
      : data(nullptr),
        size(kKeyBlockSize),
        keyOffset(parameters.keyOffset),
        keyLength(kKeyLength),
        moveASource(parameters.moveASource),
        moveADestination(parameters.moveADestination),
        moveACount(parameters.moveACount),
        moveBSource(parameters.moveBSource),
        moveBDestination(parameters.moveBDestination),
        moveBCount(parameters.moveBCount),
        maskPosition(parameters.maskPosition),
        maskStart(parameters.maskStart),
        maskCount(parameters.maskCount) {}
  // Wipes and frees the rebuilt block.
  virtual ~KeyBlock();
  KeyBlock(const KeyBlock&) = delete;
  KeyBlock& operator=(const KeyBlock&) = delete;

  // ---- Operations ----------------------------------------------------------
  // Releases any earlier content, copies the `length` stored bytes and rebuilds
  // the key. 1 = loaded; 0 = refused (null, zero length, length other than
  // kKeyBlockSize, no memory), and the block is then empty.
  int loadFromImage(const uint8_t* stored, int32_t length);
  // Deciphers the stored entry (`*length` bytes), checks its header and both
  // CRCs, and inflates it. On success returns the plain bytes (the caller frees
  // them with FreeBlock; a 16-bit zero follows an even length, a zero byte an
  // odd one), sets *length to the plain length and *tag (when tag is not null)
  // to the entry's tag. On failure returns null and writes neither output:
  // empty block, a stored length that is 0, below the header or not a multiple
  // of 8, a header that does not match, a CRC mismatch, or data that does not
  // inflate to the plain length
  // (a plain length the packed bytes cannot reach is refused before any
  // allocation). ExtractCheckedEntry also says which check failed.
  uint8_t* extractEntry(const uint8_t* stored, uint32_t* length, uint32_t* tag) const;
  // The entry as UTF-8 text (a leading byte-order mark dropped), narrow in
  // `text`. 1 = done; 0 = extraction failed (text unchanged) or a null text.
  int extractText(const uint8_t* stored, uint32_t length, WString* text) const;

  // Overwrites the rebuilt bytes with zeros, frees them and sets data to null.
  // Harmless on an empty block.
  void release();

  // ---- Attributes ----------------------------------------------------------
  bool isLoaded() const { return data != nullptr; }
  // The key window of the rebuilt block, or null when the block is empty or
  // the window does not lie inside it.
  const uint8_t* key() const;

  // The rebuilt block, its sizes and the rebuild parameters.
  uint8_t* data;  // rebuilt block, from AllocateBlock; null until loaded
  int32_t size;
  int32_t keyOffset;
  int32_t keyLength;
  int32_t moveASource;
  int32_t moveADestination;
  int32_t moveACount;
  int32_t moveBSource;
  int32_t moveBDestination;
  int32_t moveBCount;
  int32_t maskPosition;
  int32_t maskStart;
  int32_t maskCount;
};

// Overwrites `count` bytes with zeros through volatile stores, so the compiler
// cannot drop the writes as dead before a free.
void WipeBytes(void* bytes, size_t count);
