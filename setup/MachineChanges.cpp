// The changing calls of Windows, each between the watcher's two hooks.

#include "setup/MachineChanges.h"

#include <aclapi.h>

#include "setup/Libraries.h"
#include "setup/SystemGuards.h"

namespace {

const MachineChangeWatcher* gWatcher = nullptr;

// NtSetInformationFile's class for FILE_DISPOSITION_INFORMATION, and its types.
constexpr int kFileDispositionInformation = 13;
struct IoStatus {
  void* status;  // NTSTATUS or a pointer, as the system's union
  ULONG_PTR information;
};
struct DispositionInformation {
  BOOLEAN deleteFile;
};
typedef LONG(WINAPI* SetInformationFileProc)(HANDLE, IoStatus*, void*, ULONG, int);
constexpr LONG kStatusProcedureNotFound = static_cast<LONG>(0xC000007A);
constexpr LONG kStatusDiskFull = static_cast<LONG>(0xC000007F);
constexpr LONG kStatusAccessDenied = static_cast<LONG>(0xC0000022);

// Runs `change` between the hooks. A refused change returns `refused()`, made
// from the error the watcher set; the error code the call set reaches the caller.
template <typename Refused, typename Change>
auto Watched(const char* call, const WChar* target, Refused refused, Change change)
    -> decltype(change()) {
  const MachineChangeWatcher* watcher = gWatcher;
  if (watcher != nullptr && !watcher->ahead(call, target)) return refused();
  const auto result = change();
  if (watcher != nullptr) {
    const DWORD error = GetLastError();
    watcher->done(call, target);
    SetLastError(error);
  }
  return result;
}

auto RefusedHandle = [] { return INVALID_HANDLE_VALUE; };
auto RefusedBool = [] { return FALSE; };
// Registry and security calls return their error rather than setting it.
auto RefusedError = [] { return static_cast<LONG>(GetLastError()); };

}  // namespace

void WatchMachineChanges(const MachineChangeWatcher* watcher) { gWatcher = watcher; }

HANDLE CreateNewFile(const WChar* path, DWORD access, SECURITY_ATTRIBUTES* attributes,
                     DWORD flags) {
  return Watched("CreateFileW", path, RefusedHandle, [&] {
    return CreateFileW(path, access, 0, attributes, CREATE_NEW, flags, nullptr);
  });
}

BOOL WriteFileBytes(HANDLE file, const void* bytes, DWORD count, DWORD* written,
                    const WChar* path) {
  return Watched("WriteFile", path, RefusedBool,
                 [&] { return WriteFile(file, bytes, count, written, nullptr); });
}

BOOL DeleteFileByName(const WChar* path) {
  return Watched("DeleteFileW", path, RefusedBool, [&] { return DeleteFileW(path); });
}

BOOL MoveFileWithFlags(const WChar* from, const WChar* to, DWORD flags) {
  return Watched("MoveFileExW", from, RefusedBool, [&] { return MoveFileExW(from, to, flags); });
}

BOOL CreateFolder(const WChar* path, SECURITY_ATTRIBUTES* attributes) {
  return Watched("CreateDirectoryW", path, RefusedBool,
                 [&] { return CreateDirectoryW(path, attributes); });
}

BOOL RemoveFolder(const WChar* path) {
  return Watched("RemoveDirectoryW", path, RefusedBool, [&] { return RemoveDirectoryW(path); });
}

DWORD SetFileOwnerAndAccess(HANDLE handle, const WChar* path, PSID owner, PACL dacl) {
  return Watched("SetSecurityInfo", path, [] { return GetLastError(); }, [&] {
    return SetSecurityInfo(handle, SE_FILE_OBJECT,
                           OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                               PROTECTED_DACL_SECURITY_INFORMATION,
                           owner, nullptr, dacl, nullptr);
  });
}

LONG MarkForDeletionAtClose(HANDLE file, const WChar* path) {
  ModuleGuard ntdll(LoadSystemLibrary(WTEXT("ntdll.dll")));
  SetInformationFileProc setInformation =
      ntdll.get() == nullptr ? nullptr
                             : reinterpret_cast<SetInformationFileProc>(reinterpret_cast<void (*)()>(
                                   GetProcAddress(ntdll.get(), "NtSetInformationFile")));
  if (setInformation == nullptr) return kStatusProcedureNotFound;
  // A refusal as the system's own status: disk full or access denied.
  auto refused = [] {
    return GetLastError() == ERROR_DISK_FULL ? kStatusDiskFull : kStatusAccessDenied;
  };
  return Watched("NtSetInformationFile", path, refused, [&] {
    IoStatus status = {};
    DispositionInformation disposition = {TRUE};
    return setInformation(file, &status, &disposition, sizeof(disposition),
                          kFileDispositionInformation);
  });
}

LONG CreateKeyForWriting(HKEY parent, const WChar* name, REGSAM access, HKEY* key) {
  return Watched("RegCreateKeyExW", name, RefusedError, [&] {
    return RegCreateKeyExW(parent, name, 0, nullptr, 0, access, nullptr, key, nullptr);
  });
}

LONG SetRegistryValue(HKEY key, const WChar* name, DWORD type, const BYTE* data, DWORD size) {
  return Watched("RegSetValueExW", name, RefusedError,
                 [&] { return RegSetValueExW(key, name, 0, type, data, size); });
}

LONG DeleteRegistryValueByName(HKEY key, const WChar* name) {
  return Watched("RegDeleteValueW", name, RefusedError, [&] { return RegDeleteValueW(key, name); });
}

LONG DeleteRegistryKeyByName(HKEY key, const WChar* name) {
  return Watched("RegDeleteKeyW", name, RefusedError, [&] { return RegDeleteKeyW(key, name); });
}

HRESULT SaveShortcutFile(IPersistFile* file, const WChar* path) {
  return Watched("IPersistFile::Save", path, [] { return HRESULT_FROM_WIN32(GetLastError()); },
                 [&] { return file->Save(path, TRUE); });
}

BOOL StartProcess(WChar* commandLine, const WChar* folder, STARTUPINFOW* startup,
                  PROCESS_INFORMATION* process) {
  return Watched("CreateProcessW", commandLine, RefusedBool, [&] {
    return CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, folder,
                          startup, process);
  });
}
