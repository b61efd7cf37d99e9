// Lists and verifies the entries of a payload image with the program's own
// checked extraction: each packed entry's header and both CRCs, and the
// structure of the string tables. Damaged input is reported, never trusted.
#pragma once

#include <stdint.h>
#include <stdio.h>

#include <vector>

#include "tools/payload/PayloadImage.h"

struct InspectOptions {
  std::vector<uint32_t> tablesToPrint;  // entry ids of string tables to list
  FILE* out = stdout;                   // where the report goes
};

// Writes the report to options.out. Returns the number of entries that failed
// to verify, counting a missing or unusable key block as one (0 = everything
// verified).
int InspectPayload(const PayloadImage& image, const InspectOptions& options);
