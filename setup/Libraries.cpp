// Library primitives: system libraries loaded by their full path in the system
// folder, and procedures looked up by name.

#include "setup/Libraries.h"

#include "setup/SystemErrors.h"
#include "setup/SystemFolders.h"

namespace {

// A library name must be a bare file name: a path would let the text reach
// outside the system folder.
bool IsBareFileName(const WChar* name) {
  if (name == nullptr || name[0] == 0) return false;
  for (const WChar* p = name; *p != 0; ++p) {
    if (*p == L'\\' || *p == L'/' || *p == L':') return false;
  }
  return name[0] != L'.' || (name[1] != 0 && name[1] != L'.');
}

}  // namespace

HMODULE LoadSystemLibrary(const WChar* name) {
  if (!IsBareFileName(name)) return nullptr;
  // The program runs elevated: a bare name would be searched for in folders a
  // user can write to (the program's own folder first), so the full path it is.
  WString path;
  if (!GetSystemFolder(path) || !path.AppendPathComponent(name, -1)) return nullptr;
  // Its dependencies are then looked for in its own folder first as well.
  HMODULE module = LoadLibraryExW(path.WideAt(0), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (module == nullptr) ReportLastError("LoadLibraryExW", path.WideAt(0));
  return module;
}

FARPROC FindProcedure(HMODULE module, WString& name) {
  if (module == nullptr || name.IsEmpty()) return nullptr;
  const char* narrow = name.ToNarrow(-1);
  if (narrow == nullptr) return nullptr;
  // Not reported: callers ask whether this system has the procedure at all.
  return GetProcAddress(module, narrow);
}
