// ShellLibraries: ole32, shell32 and shlwapi, loaded from the system folder at
// their first use, and the few of their functions the program calls.
#pragma once

#include <windows.h>
#include <shlwapi.h>

// setup.exe imports only kernel32, user32, gdi32 and advapi32, which every
// supported Windows serves from its KnownDLLs: any other library named in the
// import table is loaded by the system before the program runs, and on Windows
// 2000 and XP it is looked for beside the program first (a downloads folder).
// These are loaded by full path (LoadSystemLibrary) instead. This unit owns the
// modules: each is loaded once and kept for the life of the process (COM
// objects and shell state may live in them until the end).

// CoInitializeEx(nullptr, model). The call's result; E_NOTIMPL when ole32 or
// the function cannot be loaded.
HRESULT InitialiseCom(DWORD model);

// CoUninitialize, when ole32 was loaded by InitialiseCom.
void UninitialiseCom();

// CoCreateInstance of an in-process server. The call's result, `object` null
// after a failure; E_NOTIMPL when ole32 or the function cannot be loaded.
HRESULT CreateInProcessObject(REFCLSID classId, REFIID interfaceId, void** object);

// SHGetSpecialFolderPathW. TRUE = `path` (MAX_PATH characters) holds the
// folder; FALSE when the call fails or shell32 or the function cannot be loaded.
BOOL GetShellSpecialFolderPath(HWND owner, LPWSTR path, int csidl, BOOL create);

// ShellExecuteExW. FALSE with ERROR_PROC_NOT_FOUND when shell32 or the
// function cannot be loaded.
BOOL ExecuteShellCommand(SHELLEXECUTEINFOW* info);

// AssocQueryStringW. The call's result; E_NOTIMPL when shlwapi or the function
// cannot be loaded.
HRESULT QueryAssociationString(ASSOCF flags, ASSOCSTR what, LPCWSTR association, LPCWSTR extra,
                               LPWSTR out, DWORD* count);
