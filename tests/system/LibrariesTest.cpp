// Library primitives: system libraries by full path in the system folder (a
// library planted beside the program is never taken), procedures by name,
// the WOW64 redirection pair, and the hex texts of the payload.

#include <windows.h>

#include <stdlib.h>
#include <string.h>

#include "payload/StringIds.h"
#include "tests/system/SystemFixture.h"
#include "text/Memory.h"

namespace {

using Libraries = SystemTest;

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

// ---- loadLibraryById ---------------------------------------------------------------

TEST_F(Libraries, ProductLibraryComesFromTheSystemFolder) {
  HMODULE module = app.loadLibraryById(kNativeSystemInfoLibraryId);
  ASSERT_NE(nullptr, module);
  EXPECT_TRUE(InSystemFolder(ModuleFile(module))) << ModuleFile(module);
  FreeLibrary(module);
}

TEST_F(Libraries, LibraryNotLoadedBeforeComesFromTheSystemFolder) {
  HMODULE module = app.loadLibraryById(kVersionLibraryId);
  ASSERT_NE(nullptr, module);
  EXPECT_TRUE(InSystemFolder(ModuleFile(module))) << ModuleFile(module);
  FreeLibrary(module);
}

// A library of the same name beside the program, where a search by bare name
// looks first, is never loaded.
TEST_F(Libraries, LibraryOnlyBesideTheProgramIsRefused) {
  WString name;
  ASSERT_EQ(1, app.loadText(kPlantedLibraryId, name));
  const std::wstring planted = TestProgramFolder() + Wide(name);
  const std::wstring source = TestProgramFolder() + KESTREL_SYSTEM_TEST_CHILD;
  ASSERT_TRUE(CopyFileW(source.c_str(), planted.c_str(), FALSE));
  // The planted file is loadable, and a bare-name search finds it.
  HMODULE bare = LoadLibraryW(Wide(name).c_str());
  EXPECT_NE(nullptr, bare);
  if (bare != nullptr) FreeLibrary(bare);
  HMODULE module = app.loadLibraryById(kPlantedLibraryId);
  EXPECT_EQ(nullptr, module);
  if (module != nullptr) FreeLibrary(module);
  DeleteFileW(planted.c_str());
}

TEST_F(Libraries, NamesWithPathsAndUnknownIdsAreRefused) {
  EXPECT_EQ(nullptr, app.loadLibraryById(kPathLibraryId));
  EXPECT_EQ(nullptr, app.loadLibraryById(kParentPathLibraryId));
  EXPECT_EQ(nullptr, app.loadLibraryById(kUnknownId));
}

// ---- getProcById ---------------------------------------------------------------------

TEST_F(Libraries, ProcedureLoadsItsLibraryWhenNoModuleIsGiven) {
  HMODULE module = nullptr;
  FARPROC proc = app.getProcById(kProcessIdProcId, kNativeSystemInfoLibraryId, &module);
  ASSERT_NE(nullptr, module);
  ASSERT_NE(nullptr, proc);
  EXPECT_EQ(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetCurrentProcessId"), proc);
  typedef DWORD(WINAPI * ProcessIdProc)();
  EXPECT_EQ(GetCurrentProcessId(), reinterpret_cast<ProcessIdProc>(reinterpret_cast<void*>(proc))());
  FreeLibrary(module);
}

TEST_F(Libraries, ProcedureUsesTheModuleGiven) {
  HMODULE given = LoadLibraryW((SystemFolder() + L"\\kernel32.dll").c_str());
  ASSERT_NE(nullptr, given);
  HMODULE module = given;
  // The library id is not used when a module is given.
  FARPROC proc = app.getProcById(kProcessIdProcId, kUnknownId, &module);
  EXPECT_EQ(given, module);
  EXPECT_EQ(GetProcAddress(given, "GetCurrentProcessId"), proc);
  EXPECT_EQ(nullptr, app.getProcById(kMissingProcId, kUnknownId, &module));
  EXPECT_EQ(nullptr, app.getProcById(kUnknownId, kUnknownId, &module));
  FreeLibrary(given);
}

TEST_F(Libraries, ProcedureOfAMissingLibraryLeavesNoModule) {
  HMODULE module = nullptr;
  EXPECT_EQ(nullptr, app.getProcById(kProcessIdProcId, kUnknownId, &module));
  EXPECT_EQ(nullptr, module);
  EXPECT_EQ(nullptr, app.getProcById(kProcessIdProcId, kNativeSystemInfoLibraryId, nullptr));
}

// ---- loadRedirectionControl -------------------------------------------------------------

// The machine field of a PE file's header, read through the file system as the
// calling thread sees it.
WORD ImageMachine(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  BYTE header[4096] = {};
  DWORD got = 0;
  ReadFile(file, header, sizeof(header), &got, nullptr);
  CloseHandle(file);
  if (got < 0x40) return 0;
  DWORD peOffset = 0;
  memcpy(&peOffset, header + 0x3C, 4);
  if (peOffset + 6 > got) return 0;
  WORD machine = 0;
  memcpy(&machine, header + peOffset + 4, 2);
  return machine;
}

typedef BOOL(WINAPI* DisableProc)(PVOID*);
typedef BOOL(WINAPI* RevertProc)(PVOID);

int ExpectedArchitecture() {
  const char* arch = getenv("KESTREL_EXPECT_ARCH");
  return arch != nullptr ? atoi(arch) : -1;
}

TEST_F(Libraries, RedirectionPairLetsA32BitProgramSeeTheRealSystemFolder) {
  if (ExpectedArchitecture() != 9) GTEST_SKIP() << "64-bit prefix only";
  FARPROC disable = nullptr, revert = nullptr;
  HMODULE module = app.loadRedirectionControl(&disable, &revert);
  ASSERT_NE(nullptr, module);
  ASSERT_NE(nullptr, disable);
  ASSERT_NE(nullptr, revert);
  const std::wstring kernel = SystemFolder() + L"\\kernel32.dll";
  EXPECT_EQ(IMAGE_FILE_MACHINE_I386, ImageMachine(kernel));
  PVOID saved = nullptr;
  ASSERT_TRUE(reinterpret_cast<DisableProc>(reinterpret_cast<void*>(disable))(&saved));
  const WORD seen = ImageMachine(kernel);
  ASSERT_TRUE(reinterpret_cast<RevertProc>(reinterpret_cast<void*>(revert))(saved));
  EXPECT_EQ(IMAGE_FILE_MACHINE_AMD64, seen);
  EXPECT_EQ(IMAGE_FILE_MACHINE_I386, ImageMachine(kernel));
  FreeLibrary(module);
}

// A 32-bit system's kernel32 exports the pair too, but it has nothing to turn
// off: the call fails and the system folder stays the same.
TEST_F(Libraries, RedirectionPairOnA32BitSystemChangesNothing) {
  if (ExpectedArchitecture() != 0) GTEST_SKIP() << "32-bit prefix only";
  FARPROC disable = nullptr, revert = nullptr;
  HMODULE module = app.loadRedirectionControl(&disable, &revert);
  ASSERT_NE(nullptr, module);
  ASSERT_NE(nullptr, disable);
  ASSERT_NE(nullptr, revert);
  PVOID saved = nullptr;
  EXPECT_FALSE(reinterpret_cast<DisableProc>(reinterpret_cast<void*>(disable))(&saved));
  EXPECT_EQ(IMAGE_FILE_MACHINE_I386, ImageMachine(SystemFolder() + L"\\kernel32.dll"));
  FreeLibrary(module);
}

TEST_F(Libraries, RedirectionControlRefusesMissingOuts) {
  FARPROC disable = reinterpret_cast<FARPROC>(1);
  EXPECT_EQ(nullptr, app.loadRedirectionControl(&disable, nullptr));
}

// ---- decodeHexString -----------------------------------------------------------------------

TEST_F(Libraries, HexTextsDecodeUpperCasePairsOnly) {
  struct Case {
    uint32_t id;
    std::string bytes;  // empty: the decode fails
  } cases[] = {
      {kHexUpperId, std::string("\x00\xFF\x10\xAB", 4)},
      {kHexOddId, std::string("\xAB", 1)},  // odd final character ignored
      {kHexLowerId, ""},
      {kHexBadDigitId, ""},
      {kHexSingleId, ""},
      {kUnknownId, ""},
  };
  for (const Case& c : cases) {
    uint32_t count = 77;
    uint8_t* block = app.decodeHexString(c.id, &count);
    if (c.bytes.empty()) {
      EXPECT_EQ(nullptr, block) << c.id;
      EXPECT_EQ(0u, count) << c.id;
    } else {
      ASSERT_NE(nullptr, block) << c.id;
      EXPECT_EQ(c.bytes, std::string(reinterpret_cast<char*>(block), count)) << c.id;
    }
    FreeBlock(block);
  }
}

}  // namespace
