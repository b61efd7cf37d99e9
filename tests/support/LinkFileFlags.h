// A saved link file's LinkFlags, read from its header's bytes (MS-SHLLINK 2.1:
// the field at offset 0x14), and whether the system's shell keeps the flags
// IShellLinkDataList::SetFlags sets at all: Windows' shell does; Wine 8's
// SetFlags is a stub, so a link can carry "Run as administrator" there only if
// something else wrote it.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

inline DWORD SavedLinkFlags(const std::wstring& path) {
  DWORD flags = 0, read = 0;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  if (SetFilePointer(file, 0x14, nullptr, FILE_BEGIN) != 0x14 ||
      !ReadFile(file, &flags, sizeof flags, &read, nullptr) || read != sizeof flags) {
    flags = 0;
  }
  CloseHandle(file);
  return flags;
}

// Saves a link to `probePath` with SLDF_RUNAS_USER set and reads the file back
// (COM initialised by the caller); the probe file is deleted again.
inline bool ShellKeepsRunAsFlag(const std::wstring& probePath, const wchar_t* target) {
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return false;
  }
  bool saved = false;
  IShellLinkDataList* data = nullptr;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->SetPath(target)) &&
      SUCCEEDED(link->QueryInterface(IID_IShellLinkDataList, reinterpret_cast<void**>(&data))) &&
      SUCCEEDED(data->SetFlags(SLDF_RUNAS_USER | SLDF_UNICODE)) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    saved = SUCCEEDED(file->Save(probePath.c_str(), TRUE));
  }
  if (file != nullptr) file->Release();
  if (data != nullptr) data->Release();
  link->Release();
  const bool kept = saved && (SavedLinkFlags(probePath) & SLDF_RUNAS_USER) != 0;
  DeleteFileW(probePath.c_str());
  return kept;
}
