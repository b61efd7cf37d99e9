// FinishPage: the result texts and the restart button.

#include "ui/FinishPage.h"

#include "payload/StringIds.h"
#include "res/resource.h"
#include "setup/rules/WindowsVersions.h"
#include "text/Format.h"
#include "ui/WizardController.h"
#include "ui/WizardMessage.h"

namespace {

// From Windows Vista on the install adds the layout to the user's input
// languages itself; before, the user adds it in the system's settings.
constexpr int32_t kInputLanguageScriptVersion = kWindowsVista;

const IdPair kFinishTexts[] = {
    {IDC_CANCEL, kCancelButtonId},
    {IDC_RESTART, kRestartButtonId},
    {0, 0},
};

}  // namespace

int FinishPage::onInitDialog() {
  if (controller == nullptr || controller->application() == nullptr) return 0;
  setWizardStep(kWizardOverStep);
  /* result ignored: an unplaced page still works */ fitToFrame();
  setControlTexts(kFinishTexts);
  WString heading;
  WString resultText;
  heading.AssignWide(WTEXT(""), 0);
  if (controller->uninstallDone()) {
    lookupTextInto(kRemovedResultId, resultText);
  } else {
    lookupTextInto(kInstalledTextId, heading);
    composeInstallResult(controller->versionCode(), controller->associationMatch(), resultText);
  }
  setControlText(IDC_FINISH_HEADING, heading.WideAt(0));
  setControlText(IDC_FINISH_RESULT, resultText.WideAt(0));
  SetFocus(GetDlgItem(window, IDC_RESTART));
  /* result ignored: the wizard may be behind another window */ SetForegroundWindow(window);
  return 1;
}

void FinishPage::composeInstallResult(int32_t versionCode, int32_t associationMatch,
                                      WString& out) {
  if (versionCode >= kInputLanguageScriptVersion) {
    lookupTextInto(kInstalledResultId, out);
  } else {
    // Tells the user where to add the layout after the restart.
    WString pattern;
    WString layoutName;
    lookupTextInto(kLegacyInstalledResultFormatId, pattern);
    lookupTextInto(kLayoutDisplayNameId, layoutName);
    /* result ignored: a failed conversion shows what was formatted */
    Format(&out, pattern.WideAt(0), layoutName.WideAt(0));
  }
  if (!associationMatch) {
    WString note;
    lookupTextInto(kNoPdfViewerId, note);
    out.AppendWideText(WTEXT("\n\n"), 2);
    out.AppendWideText(note.WideAt(0), note.Length());
  }
}

int FinishPage::onCommand() {
  if (notifyCode != BN_CLICKED || controlId != IDC_RESTART) return 0;
  setWizardStep(kWizardOverStep);
  postToFrame(kRestartAndClose);
  return 1;
}
