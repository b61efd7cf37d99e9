// The program's path set built from the real shell folders, the payload's texts
// and this test program's own image, which buildPaths holds, in both prefixes.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>

#include "app/InstallerApp.h"
#include "tests/environment/EnvironmentExpectations.h"
#include "tests/setup/SystemTestSupport.h"
#include "tests/support/ProcessBits.h"

namespace {

std::wstring Folder(int csidl) {
  wchar_t path[MAX_PATH + 1] = {};
  if (!SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) return L"";
  return path;
}

std::wstring LastComponent(const std::wstring& path) {
  size_t slash = path.find_last_of(L'\\');
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

class ProgramPaths : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(1, app.initialise(GetModuleHandleW(nullptr)));
    ASSERT_EQ(1, app.setLanguageIndex(0));  // English names
    ASSERT_EQ(1, app.buildPaths());
  }
  std::wstring Slot(int i) { return Wide(*app.path(i)); }
  InstallerApp app;
};

TEST_F(ProgramPaths, ProgramFolderLiesUnderTheProgramFilesOfA32BitProcess) {
  SKIP_UNLESS_32_BIT_PROCESS();
  // A 32-bit process on 64-bit Windows is given the x86 program files folder.
  const std::wstring programFiles = ExpectedNumber("KESTREL_EXPECT_ARCH") == 9
                                        ? L"C:\\Program Files (x86)"
                                        : L"C:\\Program Files";
  EXPECT_EQ(programFiles + L"\\Kestrel Keyboards", Slot(2));
  EXPECT_EQ(programFiles + L"\\Kestrel Keyboards\\Kestrel", Slot(3));
  EXPECT_EQ(programFiles + L"\\Kestrel Keyboards\\Kestrel\\kestrel.ico", Slot(29));
}

TEST_F(ProgramPaths, MenuAndDesktopPathsLieInTheCommonFolders) {
  const std::wstring programs = Folder(CSIDL_COMMON_PROGRAMS);
  const std::wstring desktop = Folder(CSIDL_COMMON_DESKTOPDIRECTORY);
  ASSERT_FALSE(programs.empty());
  ASSERT_FALSE(desktop.empty());
  EXPECT_EQ(programs + L"\\Kestrel Keyboards\\Kestrel", Slot(5));
  EXPECT_EQ(programs + L"\\Kestrel Keyboards\\Kestrel\\Kestrel User Guide (1.8).lnk", Slot(9));
  EXPECT_EQ(desktop + L"\\Kestrel Read Me.lnk", Slot(23));
  EXPECT_EQ(desktop + L"\\Kestrel on the Web.url", Slot(27));
}

TEST_F(ProgramPaths, SetupSlotsComeFromTheRunningImage) {
  // The image's own path, whatever the command line says (under Wine a link
  // named after the emulated version).
  wchar_t module[MAX_PATH + 1] = {};
  ASSERT_NE(0u, GetModuleFileNameW(nullptr, module, MAX_PATH));
  EXPECT_EQ(std::wstring(module), Slot(30));
  EXPECT_EQ(Slot(3) + L"\\" + LastComponent(module), Slot(33));

  EXPECT_EQ(L"Change or Remove Polish (Kestrel)", Slot(31));
  EXPECT_EQ(Slot(5) + L"\\Change or Remove Polish (Kestrel).lnk", Slot(35));
}

// buildPaths holds the running image: while the program runs nobody can rename
// or change the file, and copyOwnImage copies it from that hold.
TEST_F(ProgramPaths, RunningImageIsHeldAndCopiedFromTheHold) {
  wchar_t module[MAX_PATH + 1] = {};
  ASSERT_NE(0u, GetModuleFileNameW(nullptr, module, MAX_PATH));
  const std::wstring moved = std::wstring(module) + L".moved";
  const bool renamed = MoveFileW(module, moved.c_str()) != 0;
  if (renamed) MoveFileW(moved.c_str(), module);
  EXPECT_FALSE(renamed);
  HANDLE writer = CreateFileW(module, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(INVALID_HANDLE_VALUE, writer);
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);

  wchar_t temp[MAX_PATH + 1] = {};
  ASSERT_NE(0u, GetTempPathW(MAX_PATH + 1, temp));
  const std::wstring copy =
      std::wstring(temp) + L"kestrel-own-copy-" + std::to_wstring(GetCurrentProcessId()) + L".exe";
  EXPECT_EQ(1, app.copyOwnImage(copy.c_str()));
  EXPECT_TRUE(ReadWholeFile(copy) == ReadWholeFile(module));
  DeleteFileW(copy.c_str());
  // Without buildPaths there is no hold to copy from.
  InstallerApp fresh;
  EXPECT_EQ(0, fresh.copyOwnImage(copy.c_str()));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(copy.c_str()));
}

}  // namespace
