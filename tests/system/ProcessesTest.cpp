// Process primitives: the program associated with a file type, and commands
// formatted from string-table texts, started, and waited for at most a second.

#include <windows.h>
#include <shlwapi.h>

#include "payload/StringIds.h"
#include "tests/system/SystemFixture.h"
#include "text/Format.h"

namespace {

class Processes : public SystemTest {
 protected:
  void SetUp() override {
    SystemTest::SetUp();
    ASSERT_TRUE(ready);
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    marker = std::wstring(temp) + Unique(L"kestrel-marker") + L".txt";
    DeleteFileW(marker.c_str());
  }
  void TearDown() override { DeleteFileW(marker.c_str()); }

  // Whether the child wrote the marker within `ms` (starting a process under
  // Wine may take longer than the command's own wait).
  bool markerAppears(DWORD ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
      if (ReadWholeFile(marker).compare(0, 4, "ran\n") == 0) return true;
      Sleep(50);
    }
    return false;
  }

  std::wstring marker;
};

// ---- findAssociatedProgram --------------------------------------------------------------

// Settings files are text, opened by Notepad on every system the tests run on.
TEST_F(Processes, SettingsFilesAreOpenedByNotepad) {
  WString program;
  ASSERT_EQ(1, app.findAssociatedProgram(kIniAssociationId, program));
  std::wstring path = Wide(program);
  CharLowerW(&path[0]);
  EXPECT_NE(std::wstring::npos, path.find(L"notepad")) << path;
}

TEST_F(Processes, UnregisteredTypeHasNoProgram) {
  WString program;
  program.AssignWide(L"old", 3);
  EXPECT_EQ(0, app.findAssociatedProgram(kNoAssociationId, program));
  EXPECT_EQ(0, program.Length());
  EXPECT_EQ(0, app.findAssociatedProgram(kUnknownId, program));
}

// ---- runCommand ---------------------------------------------------------------------------

TEST_F(Processes, CommandRunsItsProgram) {
  EXPECT_EQ(1, app.runCommand(kChildCommandId, marker.c_str(), 0));
  EXPECT_TRUE(markerAppears(15000));
}

TEST_F(Processes, SystemProgramByFullPathRuns) {
  const std::wstring folder = SystemFolder();
  EXPECT_EQ(1, app.runCommand(kCmdCommandId, folder.c_str()));
}

// The product's input-language command: system folder, then the script file.
TEST_F(Processes, ScriptCommandNamesTheSystemProgramByFullPath) {
  WString format, command;
  ASSERT_EQ(1, app.loadText(kScriptCommandId, format));
  const std::wstring folder = SystemFolder();
  ASSERT_EQ(1, Format(&command, format.WideAt(0), folder.c_str(), marker.c_str()));
  EXPECT_EQ(L"\"" + folder + L"\\control.exe\"", Wide(command).substr(0, folder.size() + 14));
  EXPECT_EQ(1, app.runCommand(kScriptCommandId, folder.c_str(), marker.c_str()));
}

TEST_F(Processes, CommandStillRunningAfterTheWaitIsLeftToFinish) {
  const DWORD start = GetTickCount();
  EXPECT_EQ(1, app.runCommand(kChildCommandId, marker.c_str(), 8000));
  const DWORD elapsed = GetTickCount() - start;
  EXPECT_LT(elapsed, 5000u);  // the child sleeps 8 s; the wait is one second
  EXPECT_TRUE(markerAppears(15000));
}

TEST_F(Processes, CommandsThatCannotStartFail) {
  EXPECT_EQ(0, app.runCommand(0, marker.c_str(), 0));
  EXPECT_EQ(0, app.runCommand(kUnknownId, marker.c_str(), 0));
  const std::wstring folder = SystemFolder();
  EXPECT_EQ(0, app.runCommand(kMissingProgramCommandId, folder.c_str()));
}

// ---- runWithAssociatedProgram ----------------------------------------------------------------

// A file type of this process's own, registered for one test in the machine's
// or the user's classes, opened by the child program or by a copy of it in the
// system folder.
class AssociatedProgram : public Processes {
 protected:
  void SetUp() override {
    Processes::SetUp();
    WString extension;
    ASSERT_EQ(1, app.loadText(kTestAssociationId, extension));
    extensionKey = Wide(extension);
    typeKey = Unique(L"KestrelTests.File");
    child = TestProgramFolder() + KESTREL_SYSTEM_TEST_CHILD;
    systemChild = SystemFolder() + L"\\" + Unique(L"kestrel-child") + L".exe";
    ASSERT_TRUE(CopyFileW(child.c_str(), systemChild.c_str(), FALSE));
  }
  void TearDown() override {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
      SHDeleteKeyW(root, (kClasses + extensionKey).c_str());
      SHDeleteKeyW(root, (kClasses + typeKey).c_str());
    }
    DeleteFileW(systemChild.c_str());
    Processes::TearDown();
  }
  void Register(HKEY root, const std::wstring& program) {
    const std::wstring command = L"\"" + program + L"\" \"%1\"";
    ASSERT_TRUE(SetText(root, kClasses + extensionKey, typeKey));
    ASSERT_TRUE(SetText(root, kClasses + typeKey + L"\\shell\\open\\command", command));
  }
  static bool SetText(HKEY root, const std::wstring& key, const std::wstring& text) {
    return SHSetValueW(root, key.c_str(), nullptr, REG_SZ, text.c_str(),
                       static_cast<DWORD>((text.size() + 1) * 2)) == ERROR_SUCCESS;
  }
  const std::wstring kClasses = L"Software\\Classes\\";
  std::wstring extensionKey, typeKey, child, systemChild;
};

// The installer runs elevated: the program it starts for a file type must be
// the machine's choice, and one of the system's own.
TEST_F(AssociatedProgram, OnlyTheMachinesProgramInTheSystemFolderRuns) {
  WString program;
  Register(HKEY_CURRENT_USER, systemChild);  // writable without elevation
  EXPECT_EQ(0, app.findAssociatedProgram(kTestAssociationId, program)) << Wide(program);
  Register(HKEY_LOCAL_MACHINE, child);  // outside the system folder
  EXPECT_EQ(0, app.findAssociatedProgram(kTestAssociationId, program)) << Wide(program);
  EXPECT_EQ(0, app.runWithAssociatedProgram(kTestAssociationId, kAssociatedCommandId,
                                            marker.c_str()));

  Register(HKEY_LOCAL_MACHINE, systemChild);
  ASSERT_EQ(1, app.findAssociatedProgram(kTestAssociationId, program));
  EXPECT_EQ(0, lstrcmpiW(systemChild.c_str(), program.WideAt(0))) << Wide(program);
  EXPECT_EQ(1, app.runWithAssociatedProgram(kTestAssociationId, kAssociatedCommandId,
                                            marker.c_str()));
  ASSERT_TRUE(markerAppears(15000));
  // Started in the system folder, not in the folder this program runs from.
  std::string shown = ReadWholeFile(marker).substr(4);
  std::wstring folder = SystemFolder();
  EXPECT_EQ(0, lstrcmpiA(std::string(folder.begin(), folder.end()).c_str(), shown.c_str())) << shown;
}

TEST_F(AssociatedProgram, TypeWithoutProgramRunsNothing) {
  EXPECT_EQ(0, app.runWithAssociatedProgram(kNoAssociationId, kAssociatedCommandId,
                                            marker.c_str()));
  EXPECT_FALSE(markerAppears(500));
}

}  // namespace
