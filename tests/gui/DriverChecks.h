// DriverChecks: what the driver's scenarios share: the pages' control and text
// ids, the checks that print "ok:" or "FAILED:", and one running wizard.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <string>

#include "payload/StringIds.h"
#include "res/resource.h"
#include "tests/gui/PayloadTexts.h"
#include "tests/gui/WizardProbe.h"

// Controls of the pages and texts, by the product's own ids (short names for the scenarios).
enum Control : int {
  kNext = IDC_NEXT, kWide = IDC_LANGUAGE_SETTINGS, kCancel = IDC_CANCEL, kBack = IDC_BACK,
  kKeysButton = IDC_KEYS, kAccept = IDC_ACCEPT, kLicenceBox = IDC_LICENCE_TEXT,
  kLanguageLabel = IDC_LANGUAGE_LABEL, kWelcomeHeading = IDC_WELCOME_HEADING,
  kWelcomeBody = IDC_WELCOME_BODY, kLicenceHeading = IDC_LICENCE_HEADING, kRemove = IDC_REMOVE,
  kInstall = IDC_INSTALL, kFirstKeyBox = IDC_FIRST_KEY_BOX, kFirstKeyList = IDC_FIRST_KEY_LIST,
  kLanguageList = IDC_WIZARD_LANGUAGE, kUpdate = IDC_UPDATE, kFinishHeading = IDC_FINISH_HEADING,
  kFinishResult = IDC_FINISH_RESULT, kRestart = IDC_RESTART, kTargetLabel = IDC_TARGET_LABEL,
  kTargetList = IDC_TARGET_LANGUAGE, kDefaultBox = IDC_DEFAULT_LANGUAGE,
  kFinalBox = IDC_FINAL_STEP, kPlacementBox = IDC_PLACEMENT, kVariantList = IDC_VARIANT,
  kDecimalList = IDC_DECIMAL
};
enum Text : uint32_t {
  kProductName = kProductNameId, kLanguageLabelText = kWizardLanguageLabelId,
  kLayoutName = kLayoutDisplayNameId, kLanguageItem1 = kPolishItemId,
  kLanguageItem0 = kEnglishItemId, kCaption = kMessageBoxCaptionId, kFrameClass = kFrameClassNameId,
  kQuitQuestion = kQuitQuestionId, kFreshHeading = kWelcomeHeadingFormatId,
  kCancelText = kCancelButtonId, kNextText = kNextButtonId, kAcceptText = kLicenceAcceptId,
  kRemoveText = kRemoveButtonId, kUpdateText = kUpdateButtonId,
  kRemoveQuestion = kRemoveQuestionFormatId, kRemovedText = kRemovedResultId,
  kFreshBody = kWelcomeBodyId, kLicenceHeadingText = kLicenceHeadingId,
  kInstalledBody = kInstalledTextId, kRestartText = kRestartButtonId,
  kWideText = kLanguageSettingsButtonId, kInstalledHeading = kInstalledHeadingFormatId,
  kNotAdministrator = kNotAdministratorMessageId, kInstallFailed = kInstallFailedMessageId
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
