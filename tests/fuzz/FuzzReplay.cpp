// A fuzz target's driver for ordinary test runs, where libFuzzer is not linked:
// replays the files named on the command line, then a fixed number of inputs
// from a seeded generator (random bytes, and text-like bytes that are mostly
// ASCII and UTF-8), so every run checks the same cases.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

uint64_t state = 0x9E3779B97F4A7C15ull;

uint32_t NextRandom() {
  state ^= state << 13;
  state ^= state >> 7;
  state ^= state << 17;
  return static_cast<uint32_t>(state >> 16);
}

void AppendTextLike(std::vector<uint8_t>* input) {
  static const char* const kPieces[] = {"a", "%", "\\", "/", "\xC3\xA9", "\xE2\x82\xAC", "\xC5\x82",
                                        "\xED\xA0\xBD", "\xF0\x9F\x98\x80", "\x80", "\xC3", "\0"};
  const char* piece = kPieces[NextRandom() % (sizeof kPieces / sizeof kPieces[0])];
  size_t length = piece[0] == 0 ? 1 : strlen(piece);
  input->insert(input->end(), piece, piece + length);
}

bool ReplayFile(const char* path) {
  FILE* file = fopen(path, "rb");
  if (file == nullptr) {
    fprintf(stderr, "cannot open %s\n", path);
    return false;
  }
  std::vector<uint8_t> bytes;
  int c;
  while ((c = fgetc(file)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
  fclose(file);
  LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  long runs = 20000;
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--runs") == 0 && i + 1 < argc) {
      runs = strtol(argv[++i], nullptr, 10);
    } else if (!ReplayFile(argv[i])) {
      status = 1;
    }
  }
  std::vector<uint8_t> input;
  for (long run = 0; run < runs; ++run) {
    input.clear();
    size_t size = NextRandom() % 300;
    bool textLike = (run & 1) != 0;
    while (input.size() < size) {
      if (textLike) AppendTextLike(&input);
      else input.push_back(static_cast<uint8_t>(NextRandom()));
    }
    LLVMFuzzerTestOneInput(input.data(), input.size());
  }
  printf("%ld generated inputs, no failure\n", runs);
  return status;
}
