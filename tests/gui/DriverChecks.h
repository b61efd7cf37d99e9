// DriverChecks: what the driver's scenarios share: the pages' control and text
// ids, the checks that print "ok:" or "FAILED:", and one running wizard.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <string>

#include "tests/gui/PayloadTexts.h"
#include "tests/gui/WizardProbe.h"

// Controls of the pages, by the ids the dialog templates give them.
enum Control : int {
  kNext = 1, kWide = 310, kCancel = 300, kBack = 301, kKeysButton = 303, kAccept = 305,
  kLicenceBox = 306, kLanguageLabel = 307, kWelcomeHeading = 308, kWelcomeBody = 309,
  kLicenceHeading = 311, kRemove = 315, kInstall = 206, kFirstKeyList = 1401,
  kLanguageList = 2002, kUpdate = 2003, kFinishHeading = 1209, kFinishResult = 1204,
  kRestart = 1213, kTargetLabel = 313, kTargetList = 1202, kDefaultBox = 1200, kFinalBox = 1205,
  kPlacementBox = 1212, kVariantList = 1214, kDecimalList = 1215
};
// Texts, by string id.
enum Text : uint32_t {
  kProductName = 0, kLanguageLabelText = 1, kLayoutName = 81, kLanguageItem1 = 91,
  kLanguageItem0 = 92, kCaption = 93, kFrameClass = 94, kQuitQuestion = 96,
  kFreshHeading = 97, kCancelText = 98, kNextText = 99, kAcceptText = 105,
  kRemoveText = 125, kUpdateText = 126, kRemoveQuestion = 127, kRemovedText = 128,
  kFreshBody = 129, kLicenceHeadingText = 130, kInstalledBody = 134, kRestartText = 135,
  kWideText = 138, kInstalledHeading = 139, kNotAdministrator = 122,
  kInstallFailed = 141
};

// The payload's texts, loaded by wmain before any scenario runs.
extern PayloadTexts gTexts;

// Prints one line in UTF-8.
void Print(const std::wstring& text);
// Prints "ok: what" or "FAILED: what" (counted); returns ok.
bool Check(bool ok, const std::wstring& what);
// Checks a shown text against the expected one, line ends aside.
bool CheckText(const std::wstring& got, const std::wstring& expected, const std::wstring& what);
// One running copy of setup.exe and its frame.
struct Wizard {
  StartedProgram program;
  HWND frame = nullptr;
  std::wstring frameClass;

  bool open(const std::wstring& setup, const std::wstring& arguments = std::wstring()) {
    frameClass = gTexts.text(0, kFrameClass);
    if (!Check(program.start(setup, arguments) == 1, L"setup.exe starts")) return false;
    DWORD code = 0;
    WaitUntil(kWindowWait, [&] {
      return (frame = TopWindowOf(program.id(), frameClass.c_str())) != nullptr ||
             program.waitForExit(0, &code) == 1;
    });
    return Check(frame != nullptr, L"the frame of class " + frameClass + L" appears");
  }
  // The page that has control `marker`, once shown.
  HWND page(int marker, const wchar_t* name) {
    HWND found = nullptr;
    WaitUntil(kWindowWait, [&] { return (found = PageWith(frame, marker)) != nullptr; });
    std::wstring shown;  // what the frame shows instead
    for (HWND child = GetWindow(frame, GW_CHILD); found == nullptr && child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      shown += L"\n" + Snapshot(frame, child);
    }
    Check(found != nullptr, std::wstring(L"the ") + name + L" page is shown" + shown);
    return found;
  }
  // Clicks `button` on `from` and waits for the page with control `marker`.
  HWND go(HWND from, int button, int marker, const wchar_t* name) {
    Click(from, button);
    WaitUntil(kWindowWait, [&] { return !IsWindow(from); });
    return page(marker, name);
  }
  HWND question() {
    HWND box = nullptr;
    WaitUntil(kWindowWait, [&] { return (box = MessageBoxOf(frame)) != nullptr; });
    return box;
  }
  // Answers the message box with `button` (IDYES, IDNO) and waits until it is
  // gone. A press the box's modal loop has not taken yet is repeated; once the
  // box has taken one it is gone.
  void answer(HWND box, int button) {
    for (int tries = 0; tries < 20 && IsWindow(box); ++tries) {
      Click(box, button);
      WaitUntil(kStepWait / 20, [&] { return !IsWindow(box); });
    }
    Check(!IsWindow(box), L"the message box takes the answer");
  }
  bool ends(const std::wstring& how) {
    DWORD code = 0;
    const bool ended = program.waitForExit(kWindowWait, &code) == 1;
    return Check(ended && code == 0, L"setup.exe ends with exit code 0 " + how);
  }
};
