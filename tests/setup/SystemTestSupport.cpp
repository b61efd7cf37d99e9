// Helpers of the system-layer tests.

#include "tests/setup/SystemTestSupport.h"

#include <stdio.h>

std::wstring SystemFolder() {
  wchar_t folder[MAX_PATH + 1] = {};
  UINT length = GetSystemDirectoryW(folder, MAX_PATH + 1);
  return std::wstring(folder, length);
}

std::wstring TempFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
  return std::wstring(buffer, length);
}

std::wstring TestProgramFolder() {
  wchar_t path[MAX_PATH + 1] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring text(path);
  return text.substr(0, text.find_last_of(L'\\') + 1);
}

std::wstring Unique(const wchar_t* base) {
  wchar_t text[96];
  swprintf(text, 96, L"%ls-%lu", base, static_cast<unsigned long>(GetCurrentProcessId()));
  return text;
}

bool FileExists(const std::wstring& path) {
  return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadWholeFile(const std::wstring& path) {
  std::string bytes;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<unreadable>";
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

bool MarkerAppears(const std::wstring& path, DWORD ms) {
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < ms) {
    if (ReadWholeFile(path).compare(0, 4, "ran\n") == 0) return true;
    Sleep(50);
  }
  return false;
}
