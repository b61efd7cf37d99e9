// OptionsPage: texts, lists and the install.

#include "ui/OptionsPage.h"

#include "payload/StringIds.h"
#include "res/resource.h"
#include "text/Format.h"
#include "ui/WizardController.h"
#include "ui/WizardMessage.h"

namespace {

// Control 1 is not on this template: its row has no effect.
const IdPair kOptionsTexts[] = {
    {IDC_CANCEL, kCancelButtonId},
    {IDC_BACK, kBackButtonId},
    {IDC_TARGET_LABEL, kTargetLanguageLabelFormatId},
    {IDC_INSTALL, kInstallButtonId},
    {IDC_PLACEMENT, kDesktopShortcutsOptionId},
    {IDC_FINAL_STEP, kFinalStepOptionId},
    {IDC_KEEP_OPTIONS, kRecordedOptionLabelId},
    {IDC_VARIANT_LABEL, kVariantLabelId},
    {IDC_DECIMAL_LABEL, kDecimalLabelId},
    {IDC_RESTART_NOTE, kRestartNoteId},
    {IDC_KEYS, kKeyAssignmentButtonId},
    {IDC_REMAP, kKeyRemapButtonId},
    {IDC_NEXT, kNextButtonId},
    {0, 0},
};

const IdList kHiddenOptions[] = {IDC_KEEP_OPTIONS, IDC_REMAP, 0};

const IdPair kVariantItems[] = {
    {kFirstVariantTextId, 0},
    {kSecondVariantTextId, 1},
    {kThirdVariantTextId, 2},
    {0, 0},
};

const IdPair kDecimalItems[] = {
    {kDecimalCommaItemId, 0},
    {kDecimalStopItemId, 1},
    {0, 0},
};

}  // namespace

int OptionsPage::onInitDialog() {
  if (controller == nullptr || controller->application() == nullptr) return 0;
  setWizardStep(kOptionsStep);
  /* result ignored: an unplaced page still works */ fitToFrame();
  enableControls(kHiddenOptions, 0);
  showControls(kHiddenOptions, 0);
  fillComboById(IDC_VARIANT, kVariantItems, controller->computeVariant());
  fillComboById(IDC_DECIMAL, kDecimalItems, controller->computeDecimalOption());
  setControlTexts(kOptionsTexts);
  // The label names the layout: its table text is a pattern.
  WString pattern;
  WString layoutName;
  WString label;
  lookupTextInto(kTargetLanguageLabelFormatId, pattern);
  lookupTextInto(kLayoutDisplayNameId, layoutName);
  /* result ignored: a failed conversion shows what was formatted */
  Format(&label, pattern.WideAt(0), layoutName.WideAt(0));
  setControlText(IDC_TARGET_LABEL, label.WideAt(0));
  /* result ignored: returns the previous focus */ SetFocus(GetDlgItem(window, IDC_INSTALL));
  /* result ignored: the wizard may be behind another window */ SetForegroundWindow(window);
  return 0;
}

int OptionsPage::onCommand() {
  if (notifyCode != BN_CLICKED) return 0;
  switch (controlId) {
    case IDC_NEXT:
      postToFrame(kGoNext);  // no effect at this step
      return 1;
    case IDC_INSTALL:
      return install();
    case IDC_CANCEL:
      postToFrame(kCloseRequest);
      return 1;
    case IDC_BACK:
      postToFrame(kGoBack);
      return 1;
    case IDC_KEYS:
      postToFrame(kShowKeyAssignment);
      return 1;
    case IDC_REMAP:
      postToFrame(kShowKeyRemap);
      return 1;
    default:
      return 0;
  }
}

int OptionsPage::install() {
  if (controller == nullptr || controller->application() == nullptr) return 0;
  if (!controller->isAdministrator()) {
    showMessage(kNotAdministratorMessageId, MB_OK);
    setWizardStep(kWizardOverStep);
    postToFrame(kCloseRequest);
    return 1;
  }
  // Runs to its end here, with the page's controls disabled; no message is
  // handled meanwhile.
  if (!controller->runInstall()) {
    showMessage(kInstallFailedMessageId, MB_OK);
    setWizardStep(kWizardOverStep);  // the frame then closes without a question
    postToFrame(kCloseRequest);
    return 1;
  }
  setWizardStep(kWizardOverStep);
  postToFrame(kShowFinish);
  return 1;
}
