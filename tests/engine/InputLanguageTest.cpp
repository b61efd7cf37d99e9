// The input-language scripts as the engine makes them for each Windows version,
// the removal naming every language the user has the layout under (from a list
// of loaded layouts this program supplies), and the command run on a script
// file that stays until the restart.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "setup/KeyboardLayouts.h"
#include "setup/rules/WindowsVersions.h"
#include "tests/app/support/InstallerAppProbe.h"
#include "tests/engine/EngineFixture.h"
#include "tests/state/StateTestSupport.h"
#include "text/DebugOutput.h"
#include "text/Memory.h"

// The user's loaded layouts, as the tests set them (replaces setup/LoadedLayouts.cpp).
std::vector<uint32_t> gLoadedLayouts;

uint32_t* LoadedKeyboardLayouts(int32_t& count) {
  count = static_cast<int32_t>(gLoadedLayouts.size());
  uint32_t* copy = static_cast<uint32_t*>(AllocateBlock(gLoadedLayouts.size() * 4 + 4));
  for (size_t i = 0; i < gLoadedLayouts.size(); ++i) copy[i] = gLoadedLayouts[i];
  return copy;
}

namespace {

std::wstring gDebugText;
void CaptureDebugText(const WChar* text) { gDebugText += text; }

size_t Occurrences(const std::wstring& text, const std::wstring& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

TEST_F(EngineTest, AddScriptsFollowTheVersionAndTheDefaultChoice) {
  ASSERT_TRUE(ready);
  DebugTextSink previous = SetDebugTextSink(CaptureDebugText);
  for (int32_t version : {50, 51, 52, 60, 61, 62}) {
    for (int32_t asDefault : {0, 1}) {
      SCOPED_TRACE(testing::Message() << version << " default " << asDefault);
      InstallerAppProbe::versionCode(app) = version;
      gDebugText.clear();
      WString script;
      ASSERT_EQ(version >= 60 ? 1 : 0, app.makeAddLanguageScript(0x0407, asDefault, script));
      const std::wstring text = Wide(script);
      if (version < 60) {
        EXPECT_EQ(L"", text);
        continue;
      }
      EXPECT_EQ(1u, Occurrences(text, L"<gs:InputLanguageID Action=\"add\" ID=\"0407:a0e70415\""));
      EXPECT_EQ(asDefault == 1, text.find(L"Default=\"true\"") != std::wstring::npos);
      EXPECT_EQ(version >= 62 ? 1u : 0u,
                Occurrences(text, L"CopySettingsToDefaultUserAcct=\"false\""));
      // The form of Windows 8 and later is shown on the debugger output, in
      // lines ended by " \\" where the text goes on.
      std::wstring joined = gDebugText;
      for (size_t at; (at = joined.find(L" \\\n")) != std::wstring::npos;) joined.erase(at, 3);
      EXPECT_EQ(version >= 62 ? text + L"\n" : L"", joined);
    }
  }
  SetDebugTextSink(previous);
}

TEST_F(EngineTest, RemovalNamesEveryLanguageTheLayoutIsLoadedUnder) {
  ASSERT_TRUE(ready);
  gLoadedLayouts = {0x04090409, 0xFA150407, 0xF0010409, 0xFA150415};
  WString script;
  InstallerAppProbe::versionCode(app) = kWindows7;
  ASSERT_EQ(1, app.makeRemoveLanguageScript(script));
  std::wstring text = Wide(script);
  EXPECT_EQ(2u, Occurrences(text, L"Action=\"remove\""));
  EXPECT_EQ(1u, Occurrences(text, L"Action=\"remove\" ID=\"0415:a0e70415\""));
  EXPECT_EQ(1u, Occurrences(text, L"Action=\"remove\" ID=\"0407:a0e70415\""));
  InstallerAppProbe::versionCode(app) = kWindowsXp;
  ASSERT_EQ(1, app.makeRemoveLanguageScript(script));
  text = Wide(script);
  EXPECT_EQ(0u, text.find(L"[RegionalSettings]\r\n"));
  EXPECT_EQ(1u, Occurrences(text, L"\n; 0407:a0e70415\r\n"));
  gLoadedLayouts.clear();
}

// The scripts run through the system's command and stay, each in its private
// folder, until the restart, which is to delete the file and then the folder.
// Before Windows Vista nothing is added.
TEST_F(EngineTest, ScriptsRunAndStayUntilTheRestart) {
  ASSERT_TRUE(ready);
  NamedLock renameLock(L"KestrelTestsPendingRenames");
  ASSERT_TRUE(renameLock.held());
  const wchar_t kSession[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
  SavedValue renames(kSession, L"PendingFileRenameOperations");
  ASSERT_TRUE(DeleteValue(kSession, L"PendingFileRenameOperations"));
  wchar_t windows[MAX_PATH + 1] = {};
  GetSystemWindowsDirectoryW(windows, MAX_PATH);
  const std::wstring temp = std::wstring(windows) + L"\\Temp\\";
  wchar_t pattern[MAX_PATH + 32];
  swprintf(pattern, MAX_PATH + 32, L"%lskst%x-*", temp.c_str(),
           static_cast<unsigned>(GetCurrentProcessId()));
  // Earlier tests of this program may have left scripts of their own.
  const auto scriptFolders = [&] {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(pattern, &entry);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &entry)) {
      names.push_back(temp + entry.cFileName);
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    return names;
  };
  const std::vector<std::wstring> before = scriptFolders();
  for (int32_t version : {kWindowsXp, kWindows7}) {
    InstallerAppProbe::versionCode(app) = version;
    EXPECT_EQ(1, app.addInputLanguage(0x0415, 1)) << version;
    EXPECT_EQ(1, app.removeInputLanguage()) << version;
  }
  // XP: the removal's script; 7: the add's and the removal's.
  std::vector<std::wstring> folders;
  for (const std::wstring& name : scriptFolders()) {
    if (std::find(before.begin(), before.end(), name) == before.end()) folders.push_back(name);
  }
  EXPECT_EQ(3u, folders.size());
  WIN32_FIND_DATAW found;
  HANDLE search = INVALID_HANDLE_VALUE;

  DWORD type = 0;
  Bytes pending;
  ASSERT_TRUE(GetValue(kSession, L"PendingFileRenameOperations", &type, &pending));
  const std::wstring scheduled(reinterpret_cast<const wchar_t*>(pending.data()),
                               pending.size() / 2);
  for (const std::wstring& folder : folders) {
    std::vector<std::wstring> files;
    search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileW(search, &found)) {
      if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) files.push_back(found.cFileName);
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    ASSERT_EQ(1u, files.size()) << folder;
    const std::wstring file = folder + L"\\" + files[0];
    const std::wstring both = std::wstring(L"\\??\\") + file + L'\0' + L'\0' + L"\\??\\" + folder +
                              L'\0' + L'\0';
    EXPECT_NE(std::wstring::npos, scheduled.find(both)) << folder;
    // The restart's work, done here: the prefix is shared with the other tests.
    EXPECT_TRUE(DeleteFileW(file.c_str()));
    EXPECT_TRUE(RemoveDirectoryW(folder.c_str()));
  }
}

}  // namespace
