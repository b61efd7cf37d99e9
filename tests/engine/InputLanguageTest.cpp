// The input-language scripts as the engine makes them for each Windows version,
// the removal naming every language the user has the layout under (from a list
// of loaded layouts this program supplies), and the command run on a script
// file that is gone afterwards.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "setup/KeyboardLayouts.h"
#include "setup/rules/WindowsVersions.h"
#include "tests/app/support/InstallerAppProbe.h"
#include "tests/engine/EngineFixture.h"
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

// The scripts run through the system's command; their private folder is gone
// afterwards. Before Windows Vista nothing is added.
TEST_F(EngineTest, ScriptsRunAndLeaveNoFileBehind) {
  ASSERT_TRUE(ready);
  wchar_t windows[MAX_PATH + 1] = {};
  GetSystemWindowsDirectoryW(windows, MAX_PATH);
  wchar_t pattern[MAX_PATH + 32];
  swprintf(pattern, MAX_PATH + 32, L"%ls\\Temp\\kst%x-*", windows,
           static_cast<unsigned>(GetCurrentProcessId()));
  for (int32_t version : {51, 61}) {
    InstallerAppProbe::versionCode(app) = version;
    EXPECT_EQ(1, app.addInputLanguage(0x0415, 1)) << version;
    EXPECT_EQ(1, app.removeInputLanguage()) << version;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(pattern, &found);
    EXPECT_EQ(INVALID_HANDLE_VALUE, search) << found.cFileName;
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
  }
}

}  // namespace
