// StringTable: one deciphered string-table entry of the payload, mapping a
// numeric string id to a CountedText record by bisection over its sorted index.
#pragma once

#include <stdint.h>

class KeyBlock;

// Entry layout: `count` index records of two uint32 LE (id, offset), sorted by
// id (unsigned), then the text area; offset is from the start of the text area
// to a CountedText record (uint32 LE header, then the characters).
class StringTable {
 public:
  StringTable();   // empty (clear)
  ~StringTable();  // release
  StringTable(const StringTable&) = delete;
  StringTable& operator=(const StringTable&) = delete;

  // ---- Operations ----------------------------------------------------------
  // Sets every field to zero without freeing anything.
  void clear();
  // Takes ownership of the from AllocateBlock entry `data` of `size` bytes holding
  // `count` index records. 1 = attached (any earlier content released first);
  // 0 = refused (null data, count <= 0, or an index larger than `size`), the
  // table unchanged and `data` still the caller's to free.
  int attach(uint8_t* data, int32_t count, uint32_t size);
  // Frees the entry and zeroes every field.
  void release();
  // The CountedText record of `id`, or null when the table is empty, holds no
  // such id, or the record would reach past the end of the entry. Valid until
  // the table is released.
  const uint8_t* find(uint32_t id) const;

  // ---- Attributes ----------------------------------------------------------
  bool isEmpty() const { return data == nullptr; }

  // The entry: record count, owned bytes, index, text area, byte size.
  int32_t count;
  uint8_t* data;         // owned, from AllocateBlock
  const uint8_t* index;  // equals data
  const uint8_t* text;   // data + 8 * count
  uint32_t size;         // bytes in data; bounds every record handed out
};

// Extracts the packed payload entry (stored, length) with `keyBlock` and
// attaches it to `table`, the entry's tag giving the record count.
// 1 = attached; 0 = extraction or attach failed and `table` is unchanged.
int ExtractStringTable(const KeyBlock& keyBlock, const uint8_t* stored,
                       uint32_t length, StringTable& table);
