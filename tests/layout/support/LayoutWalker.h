// LayoutWalker: loads a layout library image and reads its tables through its
// KbdLayerDescriptor export, as the system does. For tests of built and patched images.
#pragma once

#include <windows.h>
#include <stdint.h>

#include <string>

#include "layout/KbdTables.h"

// Path of a built image, e.g. "kbdkestr-standard.dll": the build puts the images
// in layout\ beside the test program.
inline std::wstring BuiltLayoutImagePath(const char* fileName) {
  wchar_t self[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self, n);
  path.erase(path.find_last_of(L"\\/") + 1);
  path += L"layout\\";
  for (const char* c = fileName; *c != '\0'; ++c) path += static_cast<wchar_t>(*c);
  return path;
}

class LayoutWalker {
 public:
  LayoutWalker() = default;
  ~LayoutWalker() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  LayoutWalker(const LayoutWalker&) = delete;
  LayoutWalker& operator=(const LayoutWalker&) = delete;

  // Loads the image; false when it does not load or has no descriptor, or the
  // descriptor gives no tables.
  bool Load(const wchar_t* path) {
    module_ = LoadLibraryW(path);
    if (module_ == nullptr) return false;
    typedef const KBDTABLES* (*Descriptor)(void);
    FARPROC proc = GetProcAddress(module_, "KbdLayerDescriptor");
    if (proc == nullptr) return false;
    tables_ = reinterpret_cast<Descriptor>(reinterpret_cast<void*>(proc))();
    return tables_ != nullptr;
  }

  const KBDTABLES* Tables() const { return tables_; }

  // The code (with flags) of a scan code: 0x01-0x7E from the plain table, 0xE0xx
  // and 0xE1xx from the lists; 0 when the table or list has no such key.
  uint16_t CodeForScan(uint16_t scan) const {
    if (scan < 0x100) return scan < tables_->bMaxVSCtoVK ? tables_->pusVSCtoVK[scan] : 0;
    const VSC_VK* list = (scan >> 8) == 0xE0 ? tables_->pVSCtoVK_E0 : (scan >> 8) == 0xE1 ? tables_->pVSCtoVK_E1 : nullptr;
    for (; list != nullptr && list->Vsc != 0; ++list) {
      if (list->Vsc == (scan & 0xFF)) return list->Vk;
    }
    return 0;
  }

  // Records in an E0 or E1 list before its closing record.
  static int ListLength(const VSC_VK* list) {
    int n = 0;
    while (list != nullptr && list[n].Vsc != 0) ++n;
    return n;
  }

  // Character tables before the closing entry.
  int CharTableCount() const {
    int n = 0;
    while (tables_->pVkToWcharTable[n].pVkToWchars != nullptr) ++n;
    return n;
  }

  // Row i of character table t (rows are cbSize bytes apart); the closing row has VirtualKey 0.
  const VK_TO_WCHARS1* Row(int t, int i) const {
    const VK_TO_WCHAR_TABLE& table = tables_->pVkToWcharTable[t];
    return reinterpret_cast<const VK_TO_WCHARS1*>(reinterpret_cast<const BYTE*>(table.pVkToWchars) + i * table.cbSize);
  }

  // The first row of a virtual key in table order (as the system searches), its
  // table in *table and index in *index; null when no table has the key.
  const VK_TO_WCHARS1* FindRow(uint8_t vk, int* table = nullptr, int* index = nullptr) const {
    for (int t = 0; tables_->pVkToWcharTable[t].pVkToWchars != nullptr; ++t) {
      for (int i = 0; Row(t, i)->VirtualKey != 0; ++i) {
        if (Row(t, i)->VirtualKey != vk) continue;
        if (table != nullptr) *table = t;
        if (index != nullptr) *index = i;
        return Row(t, i);
      }
    }
    return nullptr;
  }

  // The cell of a key in a column: WCH_NONE past its table's width or when the key
  // is absent; for WCH_DEAD, *accent gets the accent from the row that follows.
  uint16_t Cell(uint8_t vk, int column, uint16_t* accent = nullptr) const {
    int t = 0, i = 0;
    if (accent != nullptr) *accent = 0;
    const VK_TO_WCHARS1* row = FindRow(vk, &t, &i);
    if (row == nullptr || column >= tables_->pVkToWcharTable[t].nModifications) return WCH_NONE;
    uint16_t cell = row->wch[column];
    if (cell == WCH_DEAD && accent != nullptr) {
      const VK_TO_WCHARS1* next = Row(t, i + 1);
      *accent = next->VirtualKey == 0xFF ? next->wch[column] : 0;
    }
    return cell;
  }

  // The column Windows uses for a combination of KBDSHIFT/KBDCTRL/KBDALT, or -1.
  int ColumnFor(BYTE modBits) const {
    const MODIFIERS* m = tables_->pCharModifiers;
    if (modBits > m->wMaxModBits || m->ModNumber[modBits] == SHFT_INVALID) return -1;
    return m->ModNumber[modBits];
  }

  // The composition of an accent with a base character; 0 when there is none.
  uint16_t Compose(uint16_t accent, uint16_t base) const {
    const DEADKEY* d = tables_->pDeadKey;
    for (; d != nullptr && d->dwBoth != 0; ++d) {
      if (d->dwBoth == (static_cast<DWORD>(accent) << 16 | base)) return d->wchComposed;
    }
    return 0;
  }

  static int DeadKeyCount(const DEADKEY* d) {
    int n = 0;
    while (d != nullptr && d[n].dwBoth != 0) ++n;
    return n;
  }

  // GetKeyNameText's name of a plain or extended scan code, or null.
  const WCHAR* KeyName(uint8_t scan, bool extended) const {
    for (const VSC_LPWSTR* n = extended ? tables_->pKeyNamesExt : tables_->pKeyNames; n != nullptr && n->vsc != 0; ++n) {
      if (n->vsc == scan) return n->pwsz;
    }
    return nullptr;
  }

  static int NameCount(const VSC_LPWSTR* n) {
    int count = 0;
    while (n != nullptr && n[count].vsc != 0) ++count;
    return count;
  }

  // The dead-key name entry ("accent" then name) of an accent, or null.
  const WCHAR* DeadKeyName(WCHAR accent) const {
    for (const WCHAR* const* n = tables_->pKeyNamesDead; n != nullptr && *n != nullptr; ++n) {
      if ((*n)[0] == accent) return *n;
    }
    return nullptr;
  }

  int DeadNameCount() const {
    int n = 0;
    while (tables_->pKeyNamesDead != nullptr && tables_->pKeyNamesDead[n] != nullptr) ++n;
    return n;
  }

 private:
  HMODULE module_ = nullptr;
  const KBDTABLES* tables_ = nullptr;
};
