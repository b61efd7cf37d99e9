// Builds the plain bytes of a string-table entry: the index of (id, offset)
// records sorted by id, then one counted text record per id.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "tools/payload/StringSource.h"

// The entry's bytes; its record count is texts.size().
std::string BuildStringTable(std::vector<SourceText> texts);
