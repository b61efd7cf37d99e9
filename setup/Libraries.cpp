// Library primitives: system libraries loaded by their full path in the system
// folder, procedures looked up by name, and the WOW64 redirection pair.

#include <windows.h>

#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "setup/SystemFolders.h"

namespace {

// A library name from the string table must be a bare file name: a path would
// let the text reach outside the system folder.
bool IsBareFileName(const WChar* name) {
  if (name == nullptr || name[0] == 0) return false;
  for (const WChar* p = name; *p != 0; ++p) {
    if (*p == L'\\' || *p == L'/' || *p == L':') return false;
  }
  return name[0] != L'.' || (name[1] != 0 && name[1] != L'.');
}

}  // namespace

HMODULE InstallerApp::loadLibraryById(uint32_t libraryId) {
  if (!loadText(libraryId, lookupBuffer)) return nullptr;
  if (!IsBareFileName(lookupBuffer.WideAt(0))) return nullptr;
  // The program runs elevated: a bare name would be searched for in folders a
  // user can write to (the program's own folder first), so the full path it is.
  WString path;
  if (!GetSystemFolder(path)) return nullptr;
  if (!path.AppendPathComponent(lookupBuffer.WideAt(0), lookupBuffer.Length())) return nullptr;
  return LoadLibraryW(path.WideAt(0));
}

FARPROC InstallerApp::getProcById(uint32_t functionId, uint32_t libraryId, HMODULE* module) {
  if (module == nullptr) return nullptr;
  if (*module == nullptr) {
    *module = loadLibraryById(libraryId);
    if (*module == nullptr) return nullptr;
  }
  if (!loadText(functionId, lookupBuffer) || lookupBuffer.IsEmpty()) return nullptr;
  const char* name = lookupBuffer.ToNarrow(-1);
  if (name == nullptr) return nullptr;
  return GetProcAddress(*module, name);
}

HMODULE InstallerApp::loadRedirectionControl(FARPROC* disable, FARPROC* revert) {
  if (disable == nullptr || revert == nullptr) return nullptr;
  *disable = nullptr;
  *revert = nullptr;
  HMODULE module = loadLibraryById(kNativeSystemInfoLibraryId);
  if (module == nullptr) return nullptr;
  FARPROC disableProc = getProcById(kDisableFsRedirectionProcId, kNativeSystemInfoLibraryId, &module);
  FARPROC revertProc = getProcById(kRevertFsRedirectionProcId, kNativeSystemInfoLibraryId, &module);
  // Only the pair is of use: turning redirection off without a way back is not.
  if (disableProc == nullptr || revertProc == nullptr) {
    FreeLibrary(module);
    return nullptr;
  }
  *disable = disableProc;
  *revert = revertProc;
  return module;
}
