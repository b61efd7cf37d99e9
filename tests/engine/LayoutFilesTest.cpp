// The layout libraries: the payload images each system gets, and every image
// it needs written patched to its staging file, with its replacement of the
// system-folder target scheduled for the restart.
#include <gtest/gtest.h>

#include <windows.h>

#include <string.h>

#include <string>

#include "payload/StringIds.h"
#include "tests/app/support/InstallerAppProbe.h"
#include "tests/engine/EngineFixture.h"
#include "tests/state/StateTestSupport.h"
#include "text/Memory.h"

namespace {

TEST_F(EngineTest, LayoutImagesAreChosenForEachSystem) {
  ASSERT_TRUE(ready);
  struct Case {
    int32_t version;
    uint16_t architecture;
    int chosen;
    bool has64;
  } const cases[] = {{50, 0, 1, false}, {61, 9, 1, true}, {60, 6, 1, false},  // no IA-64 image
                     {62, 6, 0, false}, {63, 0, 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.version << "/" << c.architecture);
    InstallerAppProbe::versionCode(app) = c.version;
    InstallerAppProbe::processorArchitecture(app) = c.architecture;
    const uint8_t* entry32 = nullptr;
    const uint8_t* entry64 = nullptr;
    int32_t length32 = 0, length64 = 0;
    EXPECT_EQ(c.chosen, app.chooseLayoutImages(entry32, entry64, length32, length64));
    EXPECT_EQ(c.chosen == 1, entry32 != nullptr && length32 > 0);
    EXPECT_EQ(c.has64, entry64 != nullptr);
    EXPECT_EQ(c.has64, length64 > 0);
  }
  InstallerAppProbe::variantIndex(app) = 3;
  const uint8_t *entry32 = nullptr, *entry64 = nullptr;
  int32_t length32 = 0, length64 = 0;
  EXPECT_EQ(0, app.chooseLayoutImages(entry32, entry64, length32, length64));
}

std::wstring Text(const WString& text) { return Wide(text); }

// The staging file holds the image with Caps Lock made Left Ctrl and a comma on
// the keypad; the replacement is scheduled (WOW64 folder for the 32-bit library
// on 64-bit Windows), and the thread's redirection is back on afterwards.
TEST_F(EngineTest, LayoutLibrariesAreWrittenPatchedAndScheduled) {
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
  const std::wstring scheduled(reinterpret_cast<const wchar_t*>(pending.data()), pending.size() / 2);
  std::wstring expected = L"\\??\\" + Text(staging32) + L'\0' + L"!\\??\\" + Text(target32) + L'\0';
  if (is64) {
    EXPECT_EQ(folder + L"\\kbdkestr.dll64", Text(staging64));
    EXPECT_TRUE(FileExists(Text(staging64)));
    expected += L"\\??\\" + Text(staging64) + L'\0' + L"!\\??\\" + Text(target64) + L'\0';
  }
  EXPECT_EQ(0, scheduled.compare(0, expected.size(), expected)) << scheduled;
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
