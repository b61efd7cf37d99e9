// Lists and verifies the entries of a payload image: each packed entry's
// header and both CRCs, and the structure of the string tables.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "tools/payload/PayloadImage.h"

struct InspectOptions {
  std::vector<uint32_t> tablesToPrint;  // entry ids of string tables to list
};

// Writes the report to standard output. Returns the number of entries that
// failed to verify (0 = everything verified).
int InspectPayload(const PayloadImage& image, const InspectOptions& options);
