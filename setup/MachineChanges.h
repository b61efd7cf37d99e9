#pragma once
// The calls of Windows that change the machine: every write, creation, deletion,
// move and scheduled rename of a file or folder, every registry write and
// delete, every shortcut save and every program started goes through one of
// these. A test program may watch them: end the process at one (as a power
// cut or Task Manager would, with no clean-up) or make one fail as a full disk
// would. setup.exe installs no watcher; then each is the Windows call alone.

#include <windows.h>

#include <objidl.h>

#include "text/WString.h"

struct MachineChangeWatcher {
  // Before the change. 0 = refuse it: the call fails with the error set by
  // SetLastError and changes nothing.
  int (*ahead)(const char* call, const WChar* target);
  // After it, whatever it returned.
  void (*done)(const char* call, const WChar* target);
};

// Null stops watching. The watcher must outlive every change it watches.
void WatchMachineChanges(const MachineChangeWatcher* watcher);

// CreateFileW for a new file (the disposition CREATE_NEW); what it returns.
HANDLE CreateNewFile(const WChar* path, DWORD access, SECURITY_ATTRIBUTES* attributes,
                     DWORD flags);
BOOL WriteFileBytes(HANDLE file, const void* bytes, DWORD count, DWORD* written,
                    const WChar* path);
BOOL DeleteFileByName(const WChar* path);
// MoveFileExW: a move now, or (MOVEFILE_DELAY_UNTIL_REBOOT) one recorded for the restart.
BOOL MoveFileWithFlags(const WChar* from, const WChar* to, DWORD flags);
BOOL CreateFolder(const WChar* path, SECURITY_ATTRIBUTES* attributes);
BOOL RemoveFolder(const WChar* path);
// SetSecurityInfo on a file or folder: its owner and access list, protected.
DWORD SetFileOwnerAndAccess(HANDLE handle, const WChar* path, PSID owner, PACL dacl);
// Marks the file behind `file` (opened with DELETE) for deletion at its close,
// through NtSetInformationFile, the call Windows 2000 has for it
// (SetFileInformationByHandle came with Vista). Its status: negative = failed.
LONG MarkForDeletionAtClose(HANDLE file, const WChar* path);
// RegCreateKeyExW (opens the key when it exists); an error code.
LONG CreateKeyForWriting(HKEY parent, const WChar* name, REGSAM access, HKEY* key);
LONG SetRegistryValue(HKEY key, const WChar* name, DWORD type, const BYTE* data, DWORD size);
LONG DeleteRegistryValueByName(HKEY key, const WChar* name);
LONG DeleteRegistryKeyByName(HKEY key, const WChar* name);
HRESULT SaveShortcutFile(IPersistFile* file, const WChar* path);
// CreateProcessW with no application name and no inherited handles.
BOOL StartProcess(WChar* commandLine, const WChar* folder, STARTUPINFOW* startup,
                  PROCESS_INFORMATION* process);
