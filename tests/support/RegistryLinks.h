// Registry links under HKCU for the tests that show a link is never followed:
// made as a user can make them, and deleted as links, not through them.
#pragma once

#include <windows.h>
#include <sddl.h>

#include <string>

// The full name of this user's hive (\Registry\User\SID), as a link target names it.
inline std::wstring UserHivePath() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return L"";
  BYTE record[256] = {};
  DWORD size = 0;
  std::wstring path;
  wchar_t* text = nullptr;
  if (GetTokenInformation(token, TokenUser, record, sizeof record, &size) &&
      ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(record)->User.Sid, &text)) {
    path = std::wstring(L"\\Registry\\User\\") + text;
    LocalFree(text);
  }
  CloseHandle(token);
  return path;
}

// Makes HKCU\`path` (which must not exist) a volatile link to HKCU\`target`.
inline bool MakeUserLink(const std::wstring& path, const std::wstring& target) {
  const std::wstring full = UserHivePath() + L"\\" + target;
  HKEY link = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr,
                      REG_OPTION_CREATE_LINK | REG_OPTION_VOLATILE, KEY_ALL_ACCESS | KEY_CREATE_LINK,
                      nullptr, &link, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const bool set = RegSetValueExW(link, L"SymbolicLinkValue", 0, REG_LINK,
                                  reinterpret_cast<const BYTE*>(full.c_str()),
                                  static_cast<DWORD>(full.size() * 2)) == ERROR_SUCCESS;
  RegCloseKey(link);
  return set;
}

// Deletes the link HKCU\`path` itself (RegDeleteKeyW would follow it).
inline bool DeleteUserLink(const std::wstring& path) {
  typedef LONG(WINAPI * DeleteKeyProc)(HANDLE);
  const DeleteKeyProc deleteKey = reinterpret_cast<DeleteKeyProc>(reinterpret_cast<void (*)()>(
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey")));
  HKEY link = nullptr;
  if (deleteKey == nullptr || RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), REG_OPTION_OPEN_LINK,
                                            DELETE, &link) != ERROR_SUCCESS) {
    return false;
  }
  const bool deleted = deleteKey(link) == 0;
  RegCloseKey(link);
  return deleted;
}
