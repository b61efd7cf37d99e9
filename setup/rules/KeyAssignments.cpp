// Key assignments: the stored records merged into the live key table, the
// table written back as records, and the defaults dropped before either.

#include "setup/rules/KeyAssignments.h"

#include "text/LittleEndian.h"
#include "text/Memory.h"

int NormaliseKeyRows(KeyRow* table, int32_t count, const KeyRow* defaults,
                     int32_t defaultCount) {
  if (table == nullptr || count <= 0) return 0;
  // Rows beyond the default table have no defaults to compare with; reading
  // them would run off its end.
  const int32_t rows = defaults == nullptr ? 0 : (count < defaultCount ? count : defaultCount);
  for (int32_t i = 0; i < rows; ++i) {
    if (table[i].mapTarget == defaults[i].scanCode) table[i].mapTarget = 0;
    if (table[i].assignedKey == defaults[i].assignedKey) table[i].assignedKey = 0;
  }
  return 1;
}

int32_t MergeKeyAssignments(KeyRow* table, int32_t count, const uint8_t* bytes, uint32_t size) {
  if (table == nullptr || bytes == nullptr) return 0;
  int32_t merged = 0;
  const uint32_t records = size / kKeyAssignmentRecordBytes;
  for (uint32_t i = 0; i < records; ++i) {
    const uint8_t* record = bytes + i * kKeyAssignmentRecordBytes;
    const uint32_t code = ReadLittle16(record + 2);
    if (code == 0) continue;
    KeyRow* row = FindKeyRow(table, count, ReadLittle16(record));
    if (row == nullptr) continue;
    row->assignedKey = static_cast<uint16_t>(code);
    ++merged;
  }
  return merged;
}

uint32_t CountAssignedKeys(const KeyRow* table, int32_t count) {
  return CountRowsWith(table, count, &KeyRow::assignedKey);
}

uint8_t* BuildKeyAssignments(const KeyRow* table, int32_t count, uint32_t& size) {
  const uint32_t assigned = CountAssignedKeys(table, count);
  // A table of n rows takes 8 x n bytes of memory, so 4 x n cannot wrap.
  const uint32_t bytes = kKeyAssignmentRecordBytes * assigned;
  uint8_t* block = static_cast<uint8_t*>(AllocateBlock(bytes));
  uint8_t* out = block;
  for (int32_t i = 0; table != nullptr && i < count && table[i].scanCode != 0; ++i) {
    if (table[i].assignedKey == 0) continue;
    WriteLittle16(out, table[i].scanCode);
    WriteLittle16(out + 2, table[i].assignedKey);
    out += kKeyAssignmentRecordBytes;
  }
  size = bytes;
  return block;
}
