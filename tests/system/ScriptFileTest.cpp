// Script files for the input-language command: made in a fresh folder of
// their own, never through a name someone planted, and pinned while in use.

#include <windows.h>
#include <aclapi.h>

#include "payload/StringIds.h"
#include "tests/system/SystemFixture.h"

namespace {

std::wstring WindowsTemp() {
  wchar_t folder[MAX_PATH + 1] = {};
  UINT length = GetSystemWindowsDirectoryW(folder, MAX_PATH + 1);
  return std::wstring(folder, length) + L"\\Temp\\";
}

std::wstring Hex(DWORD n) {
  wchar_t text[16];
  swprintf(text, 16, L"%lx", static_cast<unsigned long>(n));
  return text;
}

bool WriteFileText(const std::wstring& path, const char* text) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, text, static_cast<DWORD>(strlen(text)), &written, nullptr);
  CloseHandle(file);
  return ok != 0;
}

class ScriptFile : public SystemTest {
 protected:
  void SetUp() override {
    SystemTest::SetUp();
    ASSERT_TRUE(ready);
    WString prefix;
    ASSERT_EQ(1, app.loadText(kScriptPrefixId, prefix));
    // The names the program tries in turn: prefix, process id, counter.
    base = WindowsTemp() + Wide(prefix) + Hex(GetCurrentProcessId()) + L"-";
    name = Wide(prefix) + L".tmp";
    script.AssignWide(L"<add ID=\"0415:a0e70415\"/>", -1);
  }
  void TearDown() override { RemovePrivateScript(made); }

  WString script;
  std::wstring base, name;
  PrivateScript made;
};

// A folder, a file or a link planted at a name the program would use is
// stepped over and left as it was; the script lands in a new folder.
TEST_F(ScriptFile, PlantedNamesAreNeverWrittenThrough) {
  const std::wstring victim = TestProgramFolder() + Unique(L"kestrel-victim") + L".txt";
  ASSERT_TRUE(WriteFileText(victim, "victim"));
  ASSERT_TRUE(CreateDirectoryW((base + L"0").c_str(), nullptr));
  ASSERT_TRUE(CreateHardLinkW((base + L"0\\" + name).c_str(), victim.c_str(), nullptr));
  ASSERT_TRUE(WriteFileText(base + L"1", "planted"));

  ASSERT_EQ(1, app.createScriptFile(kScriptPrefixId, script, made));
  EXPECT_EQ(base + L"2\\" + name, Wide(made.path));
  EXPECT_EQ("<add ID=\"0415:a0e70415\"/>", ReadWholeFile(Wide(made.path)));
  EXPECT_EQ("victim", ReadWholeFile(victim));
  EXPECT_EQ("planted", ReadWholeFile(base + L"1"));

  // Where the system keeps security, the folder admits administrators and the
  // system only, whatever the parent allows.
  PACL acl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (GetNamedSecurityInfoW(made.folder.WideAt(0), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                            nullptr, nullptr, &acl, nullptr, &descriptor) == ERROR_SUCCESS &&
      acl != nullptr) {
    EXPECT_EQ(2u, acl->AceCount);
  }
  if (descriptor != nullptr) LocalFree(descriptor);

  const std::wstring folder = Wide(made.folder);
  RemovePrivateScript(made);
  EXPECT_FALSE(FileExists(folder));
  EXPECT_EQ(0, made.path.Length());
  DeleteFileW((base + L"0\\" + name).c_str());
  RemoveDirectoryW((base + L"0").c_str());
  DeleteFileW((base + L"1").c_str());
  DeleteFileW(victim.c_str());
}

// While the command runs, another process can read the script but neither
// change, delete nor rename it.
TEST_F(ScriptFile, CommandCanReadButNobodyCanReplaceIt) {
  ASSERT_EQ(1, app.createScriptFile(kScriptPrefixId, script, made));
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring marker = std::wstring(temp) + Unique(L"kestrel-replace") + L".txt";
  DeleteFileW(marker.c_str());
  EXPECT_EQ(1, app.runCommand(kReplaceCommandId, marker.c_str(), 0, made.path.WideAt(0)));
  std::string report;
  for (int i = 0; i < 300 && report.compare(0, 4, "ran\n") != 0; ++i) {
    Sleep(50);
    report = ReadWholeFile(marker);
  }
  EXPECT_NE(std::string::npos,
            report.find("write=0 delete=0 rename=0 read=1:<add ID=\"0415:a0e70415\"/>"))
      << report;
  EXPECT_EQ("<add ID=\"0415:a0e70415\"/>", ReadWholeFile(Wide(made.path)));
  DeleteFileW(marker.c_str());
}

TEST_F(ScriptFile, NothingIsMadeWithoutAPrefixOrAText) {
  EXPECT_EQ(0, app.createScriptFile(0, script, made));
  EXPECT_EQ(0, app.createScriptFile(kUnknownId, script, made));
  WString empty;
  EXPECT_EQ(0, app.createScriptFile(kScriptPrefixId, empty, made));
  EXPECT_EQ(nullptr, made.file);
  EXPECT_FALSE(FileExists(base + L"0"));
}

}  // namespace
