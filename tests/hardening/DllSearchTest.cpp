// The library search of the elevated installer: after RestrictDllSearch a
// library planted beside the program is no longer found by its bare name.
// A program of its own, because the restriction holds for the whole process; and
// the .local redirection that makes Windows 2000 refuse the start.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "setup/DllSearch.h"
#include "setup/rules/WindowsVersions.h"

namespace {

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring text(path, n);
  return text.substr(0, text.find_last_of(L'\\') + 1);
}

TEST(DllSearch, APlantedLibraryIsNoLongerFound) {
  wchar_t system[MAX_PATH];
  UINT length = GetSystemDirectoryW(system, MAX_PATH);
  ASSERT_GT(length, 0u);
  const std::wstring name = L"kestrel-planted-" + std::to_wstring(GetCurrentProcessId()) + L".dll";
  const std::wstring planted = ProgramFolder() + name;
  ASSERT_TRUE(CopyFileW((std::wstring(system, length) + L"\\version.dll").c_str(), planted.c_str(), FALSE));

  // Without the restriction the program's own folder is searched first.
  HMODULE before = LoadLibraryW(name.c_str());
  EXPECT_NE(nullptr, before);
  if (before != nullptr) FreeLibrary(before);

  EXPECT_EQ(1, RestrictDllSearch());
  HMODULE after = LoadLibraryW(name.c_str());
  EXPECT_EQ(nullptr, after);
  if (after != nullptr) FreeLibrary(after);
  // System libraries are still found by name.
  HMODULE systemLibrary = LoadLibraryW(L"version.dll");
  EXPECT_NE(nullptr, systemLibrary);
  if (systemLibrary != nullptr) FreeLibrary(systemLibrary);

  DeleteFileW(planted.c_str());
}

// A setup.exe.local file or folder beside the program: refused on Windows 2000
// only, whichever form it takes, and nothing refused once it is gone.
TEST(DllSearch, LocalRedirectionBesideTheProgramIsFoundOnWindows2000Only) {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  ASSERT_GT(n, 0u);
  const std::wstring local = std::wstring(path, n) + L".local";
  DllSearchCalls windows2000 = {};
  windows2000.versionCode = kWindows2000;
  DllSearchCalls windowsXp = {};
  windowsXp.versionCode = kWindowsXp;

  EXPECT_EQ(0, LoadsAreRedirected(windows2000));

  HANDLE file = CreateFileW(local.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, file);
  CloseHandle(file);
  EXPECT_EQ(1, LoadsAreRedirected(windows2000));
  EXPECT_EQ(0, LoadsAreRedirected(windowsXp));
  ASSERT_TRUE(DeleteFileW(local.c_str()));

  ASSERT_TRUE(CreateDirectoryW(local.c_str(), nullptr));
  EXPECT_EQ(1, LoadsAreRedirected(windows2000));
  EXPECT_EQ(0, LoadsAreRedirected(windowsXp));
  ASSERT_TRUE(RemoveDirectoryW(local.c_str()));

  EXPECT_EQ(0, LoadsAreRedirected(windows2000));
}

}  // namespace
