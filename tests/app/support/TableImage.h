// Builds string-table entries in memory, as the payload carries them, for
// tests that attach tables to the application object.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "payload/StringTable.h"

struct TableText {
  uint32_t id;
  std::u16string wide;   // used when narrow is false
  std::string utf8;      // used when narrow is true
  bool narrow;
  uint32_t headerExtraBits;  // ORed into the header (bits 29 and 30)
};

TableText Wide(uint32_t id, const std::u16string& text);
TableText Narrow(uint32_t id, const std::string& utf8, uint32_t extraBits = 0);

struct TableImage {
  std::vector<uint8_t> bytes;
  int32_t count = 0;
};

// The index sorted by id (unsigned), then the CountedText records in index order.
TableImage BuildTable(std::vector<TableText> texts);

// Attaches a heap copy of `image` to `table`; 1 when attached.
int AttachImage(const TableImage& image, StringTable& table);

// The wide text of a WString as a u16string (empty for a narrow one).
class WString;
std::u16string WideOf(const WString& text);
