// Helpers of the payload tests: the program's own key block, loaded from the
// generated payload, and sealing hand-made plain entries with its key.
#pragma once

#include <stdint.h>
#include <string.h>

#include <string>

#include "payload/Blowfish.h"
#include "payload/KeyBlock.h"
#include "payload/PackedEntry.h"
#include "payload/PayloadStore.h"
#include "text/Memory.h"

// Loads `block` (made with PayloadKeyParameters()) from the payload
// compiled into this test. 1 = loaded.
inline int LoadRealKeyBlock(KeyBlock* block) {
  return block->loadFromImage(kPayloadStore.keyBlock.bytes,
                              static_cast<int32_t>(kPayloadStore.keyBlock.length));
}

// Enciphers a plain entry (header and data, padded with zeros to whole blocks).
inline std::string Seal(const KeyBlock& keyBlock, std::string plain) {
  plain.resize(BlowfishCipher::roundUpToBlock(static_cast<uint32_t>(plain.size())), '\0');
  BlowfishCipher cipher;
  cipher.setKey(keyBlock.key(), keyBlock.keyLength);
  cipher.encryptBuffer(reinterpret_cast<const uint8_t*>(plain.data()),
                       reinterpret_cast<uint8_t*>(&plain[0]), static_cast<uint32_t>(plain.size()));
  return plain;
}

// PackEntry with the block's key, as a string.
inline std::string Packed(const KeyBlock& keyBlock, const std::string& plain, uint32_t tag) {
  uint32_t storedLength = 0;
  uint8_t* stored = PackEntry(keyBlock.key(), keyBlock.keyLength,
                              reinterpret_cast<const uint8_t*>(plain.data()),
                              static_cast<uint32_t>(plain.size()), tag, &storedLength);
  std::string out(reinterpret_cast<char*>(stored), storedLength);
  FreeBlock(stored);
  return out;
}

// extractEntry over a string; "<null>" when it refuses.
inline std::string Extracted(const KeyBlock& keyBlock, const std::string& stored,
                             uint32_t* tag = nullptr, uint32_t storedLength = UINT32_MAX) {
  uint32_t length = storedLength == UINT32_MAX ? static_cast<uint32_t>(stored.size()) : storedLength;
  uint8_t* plain = keyBlock.extractEntry(reinterpret_cast<const uint8_t*>(stored.data()), &length, tag);
  if (plain == nullptr) return "<null>";
  std::string out(reinterpret_cast<char*>(plain), length);
  FreeBlock(plain);
  return out;
}
