// Patterns: the byte strings (texts 144-149) by which setup finds the tables it
// patches in a layout image, derived from the three variants' tables.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "tools/layout/LayoutTables.h"

struct LayoutPatterns {
  std::string scanTable[3];  // texts 145, 146, 147: start of each variant's scan-code table
  std::string e0;            // text 148: start of the E0 list
  std::string e1;            // text 149: the E1 list
  std::string decimal;       // text 144: from the keypad decimal key's first character cell
};

// `tables` holds variants 0, 1 and 2 in order. False with `error` when a pattern
// shared by all images would differ between the variants.
bool DerivePatterns(const std::vector<LayoutTables>& tables, LayoutPatterns* patterns, std::string* error);

// The string id of each pattern and its bytes, in the order 144..149.
std::vector<std::pair<uint32_t, std::string>> PatternsById(const LayoutPatterns& patterns);

std::string UpperHex(const std::string& bytes);

// Offsets at which `needle` occurs in `haystack` (overlapping matches included).
std::vector<size_t> FindAll(const std::string& haystack, const std::string& needle);
