// Private script files for system commands: made in a fresh folder of their
// own, never through a name someone planted, and pinned while in use.

#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>

#include <string.h>

#include "setup/PrivateScript.h"
#include "setup/Processes.h"
#include "tests/setup/SystemTestSupport.h"

namespace {

const char kScript[] = "<add ID=\"0415:a0e70415\"/>";

std::wstring WindowsTemp() {
  wchar_t folder[MAX_PATH + 1] = {};
  UINT length = GetSystemWindowsDirectoryW(folder, MAX_PATH + 1);
  return std::wstring(folder, length) + L"\\Temp";
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

class ScriptFile : public ::testing::Test {
 protected:
  void SetUp() override {
    parent = WindowsTemp();
    // The names the script may take in turn: prefix, process id, counter.
    base = parent + L"\\" + kPrefix + Hex(GetCurrentProcessId()) + L"-";
    name = std::wstring(kPrefix) + L".tmp";
  }
  void TearDown() override { RemovePrivateScript(made); }

  int create() {
    return CreatePrivateScript(parent.c_str(), kPrefix, reinterpret_cast<const uint8_t*>(kScript),
                               static_cast<uint32_t>(strlen(kScript)), made);
  }

  const wchar_t* const kPrefix = L"kst-script";
  std::wstring parent, base, name;
  PrivateScript made;
};

// A folder, a file or a link planted at a name the script would take is
// stepped over and left as it was; the script lands in a new folder.
TEST_F(ScriptFile, PlantedNamesAreNeverWrittenThrough) {
  const std::wstring victim = TestProgramFolder() + Unique(L"kestrel-victim") + L".txt";
  ASSERT_TRUE(WriteFileText(victim, "victim"));
  ASSERT_TRUE(CreateDirectoryW((base + L"0").c_str(), nullptr));
  ASSERT_TRUE(CreateHardLinkW((base + L"0\\" + name).c_str(), victim.c_str(), nullptr));
  ASSERT_TRUE(WriteFileText(base + L"1", "planted"));

  ASSERT_EQ(1, create());
  EXPECT_EQ(base + L"2", Wide(made.folder));
  EXPECT_EQ(base + L"2\\" + name, Wide(made.path));
  EXPECT_EQ(kScript, ReadWholeFile(Wide(made.path)));
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
  EXPECT_EQ(nullptr, made.file);
  DeleteFileW((base + L"0\\" + name).c_str());
  RemoveDirectoryW((base + L"0").c_str());
  DeleteFileW((base + L"1").c_str());
  DeleteFileW(victim.c_str());
}

// While the command runs, another process can read the script but neither
// change, delete nor rename it.
TEST_F(ScriptFile, CommandCanReadButNobodyCanReplaceIt) {
  ASSERT_EQ(1, create());
  const std::wstring marker = TempFolder() + Unique(L"kestrel-replace") + L".txt";
  DeleteFileW(marker.c_str());
  const std::wstring command = L"\"" + TestProgramFolder() + KESTREL_SYSTEM_TEST_CHILD + L"\" \"" +
                               marker + L"\" 0 \"" + Wide(made.path) + L"\"";
  WString line;
  line.AssignWide(command.c_str(), static_cast<int32_t>(command.size()));
  EXPECT_EQ(1, RunCommandLine(line));
  ASSERT_TRUE(MarkerAppears(marker, 15000));
  const std::string report = ReadWholeFile(marker);
  EXPECT_NE(std::string::npos,
            report.find(std::string("write=0 delete=0 rename=0 read=1:") + kScript))
      << report;
  EXPECT_EQ(kScript, ReadWholeFile(Wide(made.path)));
  DeleteFileW(marker.c_str());
}

TEST_F(ScriptFile, NothingIsMadeWithoutAFolderAPrefixOrBytes) {
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(kScript);
  EXPECT_EQ(0, CreatePrivateScript(nullptr, kPrefix, bytes, 4, made));
  EXPECT_EQ(0, CreatePrivateScript(L"", kPrefix, bytes, 4, made));
  EXPECT_EQ(0, CreatePrivateScript(parent.c_str(), nullptr, bytes, 4, made));
  EXPECT_EQ(0, CreatePrivateScript(parent.c_str(), kPrefix, nullptr, 4, made));
  EXPECT_EQ(0, CreatePrivateScript(parent.c_str(), kPrefix, bytes, 0, made));
  // A parent that does not exist leaves nothing behind either.
  const std::wstring missing = TempFolder() + Unique(L"kestrel-no-folder");
  EXPECT_EQ(0, CreatePrivateScript(missing.c_str(), kPrefix, bytes, 4, made));
  EXPECT_EQ(nullptr, made.file);
  EXPECT_EQ(0, made.folder.Length());
  EXPECT_FALSE(FileExists(base + L"0"));
}

}  // namespace
