// Time of the payload part of the initialise phase, natively: rebuild the key
// block and extract the four string tables, as the program does at start.
// Prints the mean over many runs; asserts nothing.
// usage: payload_bench [runs, default 2000]
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

#include "payload/KeyBlock.h"
#include "payload/PayloadStore.h"
#include "payload/StringTable.h"

namespace {

double Seconds() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
  long runs = argc > 1 ? strtol(argv[1], nullptr, 10) : 2000;
  double start = Seconds();
  for (long run = 0; run < runs; ++run) {
    KeyBlock keyBlock(PayloadKeyParameters());
    if (!keyBlock.loadFromImage(kPayloadStore.keyBlock.bytes,
                                static_cast<int32_t>(kPayloadStore.keyBlock.length))) {
      return 1;
    }
    StringTable tables[kStoredTableCount];
    for (int i = 0; i < kStoredTableCount; ++i) {
      const StoredEntry& entry = kPayloadStore.stringTables[i];
      if (!ExtractStringTable(keyBlock, entry.bytes, entry.length, tables[i])) return 1;
    }
  }
  double perRun = (Seconds() - start) / runs;
  printf("key block and four string tables: %.3f ms per start (%ld runs)\n", perRun * 1e3, runs);
  return 0;
}
