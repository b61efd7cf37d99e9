// The modules of ole32, shell32 and shlwapi, loaded on first use by full path,
// and the calls through the procedures looked up in them.

#include "setup/ShellLibraries.h"

#include "setup/Libraries.h"

namespace {

typedef HRESULT(WINAPI* CoInitializeExProc)(LPVOID reserved, DWORD model);
typedef void(WINAPI* CoUninitializeProc)();
typedef HRESULT(WINAPI* CoCreateInstanceProc)(REFCLSID classId, LPUNKNOWN outer, DWORD context,
                                              REFIID interfaceId, LPVOID* object);
typedef BOOL(WINAPI* SHGetSpecialFolderPathWProc)(HWND owner, LPWSTR path, int csidl,
                                                  BOOL create);
typedef BOOL(WINAPI* ShellExecuteExWProc)(SHELLEXECUTEINFOW* info);
typedef HRESULT(WINAPI* AssocQueryStringWProc)(ASSOCF flags, ASSOCSTR what, LPCWSTR association,
                                               LPCWSTR extra, LPWSTR out, DWORD* count);

// One slot per library: null until the first use loads it.
HMODULE ole32Module = nullptr;
HMODULE shell32Module = nullptr;
HMODULE shlwapiModule = nullptr;

// The module of `slot`, loaded from the system folder on first use; null when
// it cannot be loaded (asked again at the next use).
HMODULE ModuleIn(HMODULE& slot, const WChar* name) {
  if (slot != nullptr) return slot;
  HMODULE loaded = LoadSystemLibrary(name);
  if (loaded == nullptr) return nullptr;
  // Another thread may have loaded it meanwhile: one slot keeps one reference.
  void* previous = InterlockedCompareExchangePointer(reinterpret_cast<void* volatile*>(&slot),
                                                     loaded, nullptr);
  if (previous != nullptr) {
    /* result ignored: only this reference goes, the module stays loaded */
    FreeLibrary(loaded);
    return static_cast<HMODULE>(previous);
  }
  return loaded;
}

template <typename Proc>
Proc ProcedureIn(HMODULE& slot, const WChar* library, const char* name) {
  HMODULE module = ModuleIn(slot, library);
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Proc>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

}  // namespace

HRESULT InitialiseCom(DWORD model) {
  CoInitializeExProc proc =
      ProcedureIn<CoInitializeExProc>(ole32Module, WTEXT("ole32.dll"), "CoInitializeEx");
  return proc != nullptr ? proc(nullptr, model) : E_NOTIMPL;
}

void UninitialiseCom() {
  // Without the module COM was never initialised: nothing to load for this.
  if (ole32Module == nullptr) return;
  CoUninitializeProc proc =
      ProcedureIn<CoUninitializeProc>(ole32Module, WTEXT("ole32.dll"), "CoUninitialize");
  if (proc != nullptr) proc();
}

HRESULT CreateInProcessObject(REFCLSID classId, REFIID interfaceId, void** object) {
  if (object != nullptr) *object = nullptr;
  CoCreateInstanceProc proc =
      ProcedureIn<CoCreateInstanceProc>(ole32Module, WTEXT("ole32.dll"), "CoCreateInstance");
  if (proc == nullptr) return E_NOTIMPL;
  return proc(classId, nullptr, CLSCTX_INPROC_SERVER, interfaceId, object);
}

BOOL GetShellSpecialFolderPath(HWND owner, LPWSTR path, int csidl, BOOL create) {
  SHGetSpecialFolderPathWProc proc = ProcedureIn<SHGetSpecialFolderPathWProc>(
      shell32Module, WTEXT("shell32.dll"), "SHGetSpecialFolderPathW");
  return proc != nullptr ? proc(owner, path, csidl, create) : FALSE;
}

BOOL ExecuteShellCommand(SHELLEXECUTEINFOW* info) {
  ShellExecuteExWProc proc =
      ProcedureIn<ShellExecuteExWProc>(shell32Module, WTEXT("shell32.dll"), "ShellExecuteExW");
  if (proc != nullptr) return proc(info);
  SetLastError(ERROR_PROC_NOT_FOUND);
  return FALSE;
}

HRESULT QueryAssociationString(ASSOCF flags, ASSOCSTR what, LPCWSTR association, LPCWSTR extra,
                               LPWSTR out, DWORD* count) {
  AssocQueryStringWProc proc = ProcedureIn<AssocQueryStringWProc>(
      shlwapiModule, WTEXT("shlwapi.dll"), "AssocQueryStringW");
  return proc != nullptr ? proc(flags, what, association, extra, out, count) : E_NOTIMPL;
}
