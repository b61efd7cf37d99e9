// Library primitives: system libraries by full path in the system folder (a
// library planted beside the program is never taken, a name with a path is
// refused), and procedures by their narrow or wide name.

#include <gtest/gtest.h>

#include <windows.h>

#include "setup/Libraries.h"
#include "tests/setup/SystemTestSupport.h"

namespace {

std::wstring ModuleFile(HMODULE module) {
  wchar_t path[MAX_PATH + 1] = {};
  DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  return std::wstring(path, length);
}

bool InSystemFolder(const std::wstring& path) {
  const std::wstring folder = SystemFolder() + L"\\";
  return path.size() > folder.size() &&
         CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, path.c_str(),
                        static_cast<int>(folder.size()), folder.c_str(),
                        static_cast<int>(folder.size())) == CSTR_EQUAL &&
         path.find(L'\\', folder.size()) == std::wstring::npos;
}

// ---- LoadSystemLibrary ---------------------------------------------------------------

TEST(Libraries, SystemLibrariesComeFromTheSystemFolder) {
  // One every process has loaded, and one not loaded before.
  for (const wchar_t* name : {L"kernel32.dll", L"version.dll"}) {
    HMODULE module = LoadSystemLibrary(name);
    ASSERT_NE(nullptr, module) << name;
    EXPECT_TRUE(InSystemFolder(ModuleFile(module))) << ModuleFile(module);
    FreeLibrary(module);
  }
}

// A library of the same name beside the program, where a search by bare name
// looks first, is never loaded.
TEST(Libraries, LibraryOnlyBesideTheProgramIsRefused) {
  const std::wstring name = Unique(L"kestrel-planted") + L".dll";
  const std::wstring planted = TestProgramFolder() + name;
  const std::wstring source = TestProgramFolder() + KESTREL_SYSTEM_TEST_CHILD;
  ASSERT_TRUE(CopyFileW(source.c_str(), planted.c_str(), FALSE));
  // The planted file is loadable, and a bare-name search finds it.
  HMODULE bare = LoadLibraryW(name.c_str());
  EXPECT_NE(nullptr, bare);
  if (bare != nullptr) FreeLibrary(bare);
  HMODULE module = LoadSystemLibrary(name.c_str());
  EXPECT_EQ(nullptr, module);
  if (module != nullptr) FreeLibrary(module);
  DeleteFileW(planted.c_str());
}

TEST(Libraries, NamesWithPathsAreRefused) {
  const std::wstring fullPath = SystemFolder() + L"\\kernel32.dll";
  for (const wchar_t* name : {fullPath.c_str(), L"..\\system32\\kernel32.dll",
                              L"../system32/kernel32.dll", L"C:kernel32.dll", L"..", L".", L""}) {
    HMODULE module = LoadSystemLibrary(name);
    EXPECT_EQ(nullptr, module) << name;
    if (module != nullptr) FreeLibrary(module);
  }
  EXPECT_EQ(nullptr, LoadSystemLibrary(nullptr));
}

// ---- FindProcedure ---------------------------------------------------------------------

TEST(Libraries, ProcedureIsFoundByItsNarrowOrWideName) {
  HMODULE module = LoadSystemLibrary(L"kernel32.dll");
  ASSERT_NE(nullptr, module);
  const FARPROC expected = GetProcAddress(module, "GetCurrentProcessId");
  ASSERT_NE(nullptr, expected);
  WString name;
  name.AssignNarrow("GetCurrentProcessId", -1, -1);
  EXPECT_EQ(expected, FindProcedure(module, name));
  name.AssignWide(L"GetCurrentProcessId", -1);
  EXPECT_EQ(expected, FindProcedure(module, name));
  typedef DWORD(WINAPI * ProcessIdProc)();
  EXPECT_EQ(GetCurrentProcessId(),
            reinterpret_cast<ProcessIdProc>(reinterpret_cast<void*>(expected))());

  name.AssignNarrow("KestrelNoSuchProcedure", -1, -1);
  EXPECT_EQ(nullptr, FindProcedure(module, name));
  WString empty;
  EXPECT_EQ(nullptr, FindProcedure(module, empty));
  name.AssignNarrow("GetCurrentProcessId", -1, -1);
  EXPECT_EQ(nullptr, FindProcedure(nullptr, name));
  FreeLibrary(module);
}

}  // namespace
