// Process primitives: the program associated with a file type (the machine's
// choice in the system folder only, for what the program runs), and command
// lines started in the system folder and waited for at most a second.

#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include "setup/Processes.h"
#include "tests/setup/SystemTestSupport.h"

namespace {

int RunLine(const std::wstring& command) {
  WString line;
  line.AssignWide(command.c_str(), static_cast<int32_t>(command.size()));
  return RunCommandLine(line);
}

class Processes : public ::testing::Test {
 protected:
  void SetUp() override {
    marker = TempFolder() + Unique(L"kestrel-marker") + L".txt";
    DeleteFileW(marker.c_str());
    child = TestProgramFolder() + KESTREL_SYSTEM_TEST_CHILD;
  }
  void TearDown() override { DeleteFileW(marker.c_str()); }

  // The child program's command: marker file, then how long it stays alive.
  std::wstring childCommand(const std::wstring& program, DWORD ms) {
    return L"\"" + program + L"\" \"" + marker + L"\" " + std::to_wstring(ms);
  }

  std::wstring marker, child;
};

// ---- FindSystemAssociatedProgram --------------------------------------------------------

// Settings files are text, opened by Notepad on every system the tests run on.
TEST_F(Processes, SettingsFilesAreOpenedByNotepad) {
  WString program;
  ASSERT_EQ(1, FindSystemAssociatedProgram(L".ini", program));
  std::wstring path = Wide(program);
  CharLowerW(&path[0]);
  EXPECT_NE(std::wstring::npos, path.find(L"notepad")) << path;
}

TEST_F(Processes, UnregisteredTypeHasNoProgram) {
  WString program;
  program.AssignWide(L"old", 3);
  EXPECT_EQ(0, FindSystemAssociatedProgram(L".kestrelnothing", program));
  EXPECT_EQ(0, program.Length());
  EXPECT_EQ(0, FindSystemAssociatedProgram(L"", program));
  EXPECT_EQ(0, FindSystemAssociatedProgram(nullptr, program));
  EXPECT_EQ(0, FindUserAssociatedProgram(L".kestrelnothing", program));
  EXPECT_EQ(0, FindUserAssociatedProgram(nullptr, program));
}

// ---- RunCommandLine ---------------------------------------------------------------------

TEST_F(Processes, CommandRunsItsProgram) {
  EXPECT_EQ(1, RunLine(childCommand(child, 0)));
  EXPECT_TRUE(MarkerAppears(marker, 15000));
}

TEST_F(Processes, SystemProgramByFullPathRuns) {
  EXPECT_EQ(1, RunLine(L"\"" + SystemFolder() + L"\\cmd.exe\" /c exit 0"));
}

TEST_F(Processes, CommandStillRunningAfterTheWaitIsLeftToFinish) {
  const DWORD start = GetTickCount();
  EXPECT_EQ(1, RunLine(childCommand(child, 8000)));
  const DWORD elapsed = GetTickCount() - start;
  EXPECT_LT(elapsed, 5000u);  // the child sleeps 8 s; the wait is one second
  EXPECT_TRUE(MarkerAppears(marker, 15000));
}

TEST_F(Processes, CommandsThatCannotStartFail) {
  EXPECT_EQ(0, RunLine(L"\"" + SystemFolder() + L"\\kestrel-missing-program.exe\""));
  WString empty;
  EXPECT_EQ(0, RunCommandLine(empty));
}

// ---- The program of a file type, started ----------------------------------------------------

// A file type of this process's own, registered for one test in the machine's
// or the user's classes, opened by the child program or by a copy of it in the
// system folder.
class AssociatedProgram : public Processes {
 protected:
  void SetUp() override {
    Processes::SetUp();
    extension = L"." + Unique(L"kst");
    typeKey = Unique(L"KestrelTests.File");
    systemChild = SystemFolder() + L"\\" + Unique(L"kestrel-child") + L".exe";
    ASSERT_TRUE(CopyFileW(child.c_str(), systemChild.c_str(), FALSE));
  }
  void TearDown() override {
    Unregister(HKEY_LOCAL_MACHINE);
    Unregister(HKEY_CURRENT_USER);
    DeleteFileW(systemChild.c_str());
    Processes::TearDown();
  }
  void Register(HKEY root, const std::wstring& program) {
    const std::wstring command = L"\"" + program + L"\" \"%1\"";
    ASSERT_TRUE(SetText(root, kClasses + extension, typeKey));
    ASSERT_TRUE(SetText(root, kClasses + typeKey + L"\\shell\\open\\command", command));
  }
  void Unregister(HKEY root) {
    SHDeleteKeyW(root, (kClasses + extension).c_str());
    SHDeleteKeyW(root, (kClasses + typeKey).c_str());
  }
  static bool SetText(HKEY root, const std::wstring& key, const std::wstring& text) {
    return SHSetValueW(root, key.c_str(), nullptr, REG_SZ, text.c_str(),
                       static_cast<DWORD>((text.size() + 1) * 2)) == ERROR_SUCCESS;
  }
  const std::wstring kClasses = L"Software\\Classes\\";
  std::wstring extension, typeKey, systemChild;
};

// The installer runs elevated: the program it starts for a file type must be
// the machine's choice, and one of the system's own; it starts in the system
// folder, not in the folder this program runs from.
TEST_F(AssociatedProgram, OnlyTheMachinesProgramInTheSystemFolderRuns) {
  WString program;
  Register(HKEY_CURRENT_USER, systemChild);  // writable without elevation
  EXPECT_EQ(0, FindSystemAssociatedProgram(extension.c_str(), program)) << Wide(program);
  Unregister(HKEY_CURRENT_USER);
  Register(HKEY_LOCAL_MACHINE, child);  // outside the system folder
  EXPECT_EQ(0, FindSystemAssociatedProgram(extension.c_str(), program)) << Wide(program);
  // What is only reported may lie anywhere.
  ASSERT_EQ(1, FindUserAssociatedProgram(extension.c_str(), program));
  EXPECT_EQ(0, lstrcmpiW(child.c_str(), program.WideAt(0))) << Wide(program);

  Register(HKEY_LOCAL_MACHINE, systemChild);
  ASSERT_EQ(1, FindSystemAssociatedProgram(extension.c_str(), program));
  EXPECT_EQ(0, lstrcmpiW(systemChild.c_str(), program.WideAt(0))) << Wide(program);
  EXPECT_EQ(1, RunLine(childCommand(Wide(program), 0)));
  ASSERT_TRUE(MarkerAppears(marker, 15000));
  std::string shown = ReadWholeFile(marker).substr(4);
  std::wstring folder = SystemFolder();
  EXPECT_EQ(0, lstrcmpiA(std::string(folder.begin(), folder.end()).c_str(), shown.c_str())) << shown;
}

}  // namespace
