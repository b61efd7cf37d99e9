// Key material from the repository's seed: a seeded generator gives the stored
// block and the parameters; the rebuild steps the program runs give the key.
#include "tools/payload/KeyMaterial.h"

#include "payload/KeyBlockRebuild.h"

namespace {

// splitmix64: small, well mixed, and the same everywhere.
struct SeededGenerator {
  uint64_t state;
  uint64_t Next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int32_t Below(int32_t bound) { return static_cast<int32_t>(Next() % static_cast<uint64_t>(bound)); }
};

}  // namespace

std::string KeyOf(const std::string& storedBlock, const KeyBlockParameters& parameters) {
  std::string rebuilt = storedBlock;
  RebuildKeyBlock(reinterpret_cast<uint8_t*>(&rebuilt[0]), static_cast<int32_t>(rebuilt.size()),
                  parameters);
  return rebuilt.substr(static_cast<size_t>(parameters.keyOffset), kKeyLength);
}

bool MakeKeyMaterial(const std::string& seed, KeyMaterial* out) {
  uint64_t value = 0;
  int digits = 0;
  bool comment = false;
  bool lineStart = true;
  for (char c : seed) {
    if (lineStart) comment = c == '#';
    lineStart = c == '\n';
    if (comment) continue;
    int h = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
          : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (h < 0) continue;
    value = (value << 4 | static_cast<uint64_t>(h)) ^ (value >> 60) * 0x100000001B3ull;
    ++digits;
  }
  if (digits < 16) return false;
  SeededGenerator generator{value};
  out->storedBlock.clear();
  for (int i = 0; i < kKeyBlockSize; ++i) {
    out->storedBlock.push_back(static_cast<char>(generator.Next() & 0xFF));
  }
  // Every index inside the block; counts long enough to matter, some running
  // past the end so that the clamps take part.
  KeyBlockParameters& p = out->parameters;
  p.keyOffset = generator.Below(kKeyBlockSize - kKeyLength + 1);
  p.moveASource = generator.Below(kKeyBlockSize);
  p.moveADestination = generator.Below(kKeyBlockSize);
  p.moveACount = 64 + generator.Below(400);
  p.moveBSource = generator.Below(kKeyBlockSize);
  p.moveBDestination = generator.Below(kKeyBlockSize);
  p.moveBCount = 64 + generator.Below(400);
  p.maskPosition = generator.Below(kKeyBlockSize);
  p.maskStart = generator.Below(kKeyBlockSize);
  p.maskCount = 64 + generator.Below(600);
  out->key = KeyOf(out->storedBlock, p);
  return true;
}
