// The layout libraries: every image the system needs written patched to its
// staging file, with its replacement of the system-folder target scheduled for
// the restart.
#include <gtest/gtest.h>

#include <windows.h>

#include <string.h>

#include <string>

#include "payload/StringIds.h"
#include "setup/rules/WindowsVersions.h"
#include "tests/app/support/InstallerAppProbe.h"
#include "tests/engine/EngineFixture.h"
#include "tests/state/StateTestSupport.h"
#include "text/Memory.h"
#include "tests/support/ProcessBits.h"

namespace {

std::wstring Text(const WString& text) { return Wide(text); }

// The staging file holds the image with Caps Lock made Left Ctrl and a comma on
// the keypad; the replacement is scheduled (WOW64 folder for the 32-bit library
// on 64-bit Windows), and the thread's redirection is back on afterwards.
TEST_F(EngineTest, LayoutLibrariesAreWrittenPatchedAndScheduled) {
  SKIP_UNLESS_32_BIT_PROCESS();
  ASSERT_TRUE(ready);
  NamedLock renameLock(L"KestrelTestsPendingRenames");
  ASSERT_TRUE(renameLock.held());
  const wchar_t kSession[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
  SavedValue renames(kSession, L"PendingFileRenameOperations");
  ASSERT_TRUE(DeleteValue(kSession, L"PendingFileRenameOperations"));
  ASSERT_EQ(1, app.probeSystem(kNativeSystemInfoProcId, kNativeSystemInfoLibraryId));
  const std::wstring folder = TempFolder() + Unique(L"kestrel-layout");
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  InstallerAppProbe::path(app, 3).AssignWide(folder.c_str(), -1);
  app.setDecimalOption(0);
  app.findKey(0x3A)->assignedKey = 0xA2;
  ASSERT_EQ(1, app.placeLayoutFiles());

  WString target32, target64, staging32, staging64;
  ASSERT_EQ(1, app.layoutFilePaths(target32, target64, &staging32, &staging64));
  const bool is64 = app.getIs64BitSystem() != 0;
  wchar_t wow64[MAX_PATH + 1] = {};
  const UINT wowLength = GetSystemWow64DirectoryW(wow64, MAX_PATH);
  EXPECT_EQ((is64 ? std::wstring(wow64, wowLength) : SystemFolder()) + L"\\kbdkestr.dll",
            Text(target32));
  EXPECT_EQ(is64 ? SystemFolder() + L"\\kbdkestr.dll" : L"", Text(target64));
  EXPECT_EQ(folder + L"\\kbdkestr.dll", Text(staging32));
  const std::string image = ReadWholeFile(Text(staging32));
  uint32_t count = 0;
  uint8_t* pattern = app.decodeHexString(kFirstVirtualKeyPatternId, count);
  ASSERT_NE(nullptr, pattern);
  const size_t table = image.find(std::string(reinterpret_cast<char*>(pattern), count));
  FreeBlock(pattern);
  ASSERT_NE(std::string::npos, table);
  EXPECT_EQ(std::string("\xA2\x00", 2), image.substr(table + 2 * 0x3A, 2));
  pattern = app.decodeHexString(kDecimalKeyPatternId, count);
  ASSERT_NE(nullptr, pattern);
  pattern[0] = pattern[2] = ',';
  EXPECT_NE(std::string::npos, image.find(std::string(reinterpret_cast<char*>(pattern), count)));
  FreeBlock(pattern);

  DWORD type = 0;
  Bytes pending;
  ASSERT_TRUE(GetValue(kSession, L"PendingFileRenameOperations", &type, &pending));
  const std::wstring scheduled(reinterpret_cast<const wchar_t*>(pending.data()),
                               pending.size() / 2);
  std::wstring expected = L"\\??\\" + Text(staging32) + L'\0' + L"!\\??\\" + Text(target32) + L'\0';
  if (is64) {
    EXPECT_EQ(folder + L"\\kbdkestr.dll64", Text(staging64));
    EXPECT_TRUE(FileExists(Text(staging64)));
    expected += L"\\??\\" + Text(staging64) + L'\0' + L"!\\??\\" + Text(target64) + L'\0';
  }
  EXPECT_EQ(0, scheduled.compare(0, expected.size(), expected)) << scheduled;
  // Without the 64-bit image of its system (IA-64 on Vista) nothing is scheduled.
  InstallerAppProbe::processorArchitecture(app) = 6;
  InstallerAppProbe::is64BitSystem(app) = 1;
  InstallerAppProbe::versionCode(app) = kWindowsVista;
  EXPECT_EQ(0, app.placeLayoutFiles());
  Bytes after;
  ASSERT_TRUE(GetValue(kSession, L"PendingFileRenameOperations", &type, &after));
  EXPECT_EQ(pending, after);
  // Redirection is back on: the system folder's name shows this process's own libraries.
  const std::string kernel = ReadWholeFile(SystemFolder() + L"\\kernel32.dll");
  ASSERT_GT(kernel.size(), 0x40u);
  uint32_t header = 0;
  memcpy(&header, kernel.data() + 0x3C, 4);
  ASSERT_LT(header + 6, kernel.size());
  EXPECT_EQ(std::string("\x4C\x01", 2), kernel.substr(header + 4, 2));  // i386
  DeleteFileW(Text(staging32).c_str());
  DeleteFileW(Text(staging64).c_str());
  RemoveDirectoryW(folder.c_str());
}

}  // namespace
