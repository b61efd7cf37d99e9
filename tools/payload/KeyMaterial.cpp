// Key material from the repository's seed: a seeded generator gives the stored
// block and the parameters; the rebuild steps the program runs give the key.
#include "tools/payload/KeyMaterial.h"

#include "payload/BlowfishTables.h"
#include "payload/KeyBlockRebuild.h"

namespace {

// The key bytes the cipher's schedule reads: one per byte of the P-array.
constexpr size_t kScheduledKeyBytes = 4 * kBlowfishPWordCount;
// Draws before giving up on a seed; a passing draw comes within a few dozen.
constexpr int kMostDraws = 100000;

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

bool WindowInside(const KeyBlockParameters& p) {
  return p.keyOffset >= 0 && p.keyOffset <= kKeyBlockSize - kKeyLength;
}

// The rebuilt block's key window (its first `length` bytes); the window must lie inside.
std::string RebuiltKey(const std::string& storedBlock, const KeyBlockParameters& p, size_t length) {
  std::string rebuilt = storedBlock;
  RebuildKeyBlock(reinterpret_cast<uint8_t*>(&rebuilt[0]), static_cast<int32_t>(rebuilt.size()), p);
  return rebuilt.substr(static_cast<size_t>(p.keyOffset), length);
}

}  // namespace

std::string RebuildWeakness(const std::string& storedBlock, const KeyBlockParameters& parameters) {
  if (storedBlock.size() != static_cast<size_t>(kKeyBlockSize)) return "the key block is not 968 bytes";
  if (!WindowInside(parameters)) return "the key window lies outside the key block";
  const std::string key = RebuiltKey(storedBlock, parameters, kScheduledKeyBytes);
  auto unchanged = [&](const KeyBlockParameters& changed) {
    return RebuiltKey(storedBlock, changed, kScheduledKeyBytes) == key;
  };
  KeyBlockParameters p = parameters;
  p.moveACount = 0;
  if (unchanged(p)) return "move A leaves the key bytes the cipher reads unchanged";
  p = parameters;
  p.moveBCount = 0;
  if (unchanged(p)) return "move B leaves the key bytes the cipher reads unchanged";
  p = parameters;
  p.maskCount = 0;
  if (unchanged(p)) return "the mask leaves the key bytes the cipher reads unchanged";
  for (int32_t step : {-1, 1}) {
    p = parameters;
    p.maskPosition += step;
    if (p.maskPosition >= 0 && p.maskPosition < kKeyBlockSize && unchanged(p)) {
      return "the mask byte at " + std::to_string(p.maskPosition) + " gives the same key as the one at " +
             std::to_string(parameters.maskPosition);
    }
  }
  return "";
}

bool MakeKeyMaterial(const std::string& seed, KeyMaterial* out, std::string* error) {
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
  if (digits < 16) {
    if (error != nullptr) *error = "the seed needs 16 or more hex digits";
    return false;
  }
  SeededGenerator generator{value};
  out->storedBlock.clear();
  for (int i = 0; i < kKeyBlockSize; ++i) {
    out->storedBlock.push_back(static_cast<char>(generator.Next() & 0xFF));
  }
  // Every index inside the block; counts long enough to matter, some running
  // past the end so that the clamps take part.
  KeyBlockParameters& p = out->parameters;
  for (int draw = 0; draw < kMostDraws; ++draw) {
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
    if (RebuildWeakness(out->storedBlock, p).empty()) {
      out->key = RebuiltKey(out->storedBlock, p, kKeyLength);
      return true;
    }
  }
  if (error != nullptr) {
    *error = "no rebuild parameters drawn from this seed scramble the key; change the seed";
  }
  return false;
}
