// The live key table's stored assignments: normalising against the static
// table, merging a stored block in and producing the block to store.

#include "app/InstallerApp.h"
#include "app/StaticKeyTable.h"
#include "setup/rules/KeyAssignments.h"
#include "text/Memory.h"

int InstallerApp::normaliseKeyTable() {
  if (keyTable == nullptr || keyCount <= 0) return 0;
  return NormaliseKeyRows(keyTable, keyCount, StaticKeyTable, kStaticKeyRowCount);
}

int InstallerApp::loadKeyAssignments(uint8_t* block, uint32_t count) {
  if (block == nullptr || count == 0) return 0;
  if (keyTable != nullptr) MergeKeyAssignments(keyTable, keyCount, block, count);
  const int result = normaliseKeyTable();
  FreeBlock(block);
  return result;
}

uint8_t* InstallerApp::saveKeyAssignments(uint32_t& count) {
  count = 0;
  if (keyTable == nullptr) return nullptr;
  /* result ignored: the table exists, checked above */ normaliseKeyTable();
  return BuildKeyAssignments(keyTable, keyCount, count);
}
