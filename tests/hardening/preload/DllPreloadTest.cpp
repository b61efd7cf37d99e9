// The library search on systems without SetDefaultDllDirectories (Windows 2000 and XP,
// Vista and 7 without the update): a library planted beside the program under the
// name of a system library is not the one that a later load by that name gets.
// A program of its own in a folder of its own: it plants libraries beside itself, and
// the search order it sets holds for the whole process.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "setup/DllSearch.h"
#include "setup/rules/WindowsVersions.h"

namespace {

// On the preload list, and loaded by nothing in this program before the test.
const wchar_t kListedName[] = L"msimg32.dll";

std::wstring ProgramFolder() {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring program(path, length);
  return program.substr(0, program.find_last_of(L'\\') + 1);
}

std::wstring FolderOf(HMODULE module) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  const std::wstring file(path, length);
  return file.substr(0, file.find_last_of(L'\\') + 1);
}

bool IsPlanted(HMODULE module) { return GetProcAddress(module, "KestrelPlantedMarker") != nullptr; }

int setDefaultCalls = 0;
BOOL WINAPI CountingSetDefault(DWORD) {
  ++setDefaultCalls;
  return TRUE;
}

TEST(DllPreload, APlantedSystemLibraryNameGetsTheSystemLibrary) {
  const std::wstring folder = ProgramFolder();
  const std::wstring marker = folder + KESTREL_PLANTED_MARKER;
  const std::wstring unlisted = L"kestrel-unlisted-" + std::to_wstring(GetCurrentProcessId()) + L".dll";
  ASSERT_EQ(nullptr, GetModuleHandleW(kListedName)) << "already loaded: the test would prove nothing";
  ASSERT_TRUE(CopyFileW(marker.c_str(), (folder + kListedName).c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(marker.c_str(), (folder + unlisted).c_str(), FALSE));

  // The path of the older systems, taken on any system.
  DllSearchCalls calls = SystemDllSearchCalls();
  calls.setDefaultDllDirectories = nullptr;
  EXPECT_EQ(calls.setDllDirectory != nullptr ? 1 : 0, RestrictDllSearch(calls));

  // Wine loads its own built-in library under the path of a file it finds beside the
  // program, so the folder tells as much as the marker does.
  HMODULE listed = LoadLibraryW(kListedName);
  ASSERT_NE(nullptr, listed);
  EXPECT_FALSE(IsPlanted(listed));
  EXPECT_NE(folder, FolderOf(listed));
  // A name off the list is still found beside the program on this path: the planted
  // file itself loads, and only the preloading keeps the listed names safe.
  HMODULE other = LoadLibraryW(unlisted.c_str());
  ASSERT_NE(nullptr, other);
  EXPECT_TRUE(IsPlanted(other));

  FreeLibrary(other);
  FreeLibrary(listed);
  DeleteFileW((folder + unlisted).c_str());
  DeleteFileW((folder + kListedName).c_str());
}

TEST(DllPreload, VistaTakesThatPathEvenWithSetDefaultDllDirectories) {
  DllSearchCalls calls = SystemDllSearchCalls();
  calls.setDefaultDllDirectories = CountingSetDefault;
  calls.versionCode = kWindowsVista;
  RestrictDllSearch(calls);
  EXPECT_EQ(0, setDefaultCalls);
  calls.versionCode = kWindows7;
  EXPECT_EQ(1, RestrictDllSearch(calls));
  EXPECT_EQ(1, setDefaultCalls);
}

}  // namespace
