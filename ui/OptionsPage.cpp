// OptionsPage: the language list, the option boxes and lists, and the install.

#include "ui/OptionsPage.h"

#include "payload/StringIds.h"
#include "res/resource.h"
#include "setup/rules/OptionsLayout.h"
#include "text/Format.h"
#include "ui/LocaleList.h"
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

// Separates the language from the layout's name in the default box's text.
const WChar kLanguageSeparator[] = {' ', '-', ' ', 0};

}  // namespace

OptionsPage::OptionsPage() { ReleaseLocaleBuffers(); }

OptionsPage::~OptionsPage() { ForgetLocaleList(); }

int OptionsPage::onInitDialog() {
  if (controller == nullptr || controller->application() == nullptr) return 0;
  setWizardStep(kOptionsStep);
  /* result ignored: an unplaced page still works */ fitToFrame();
  enableControls(kHiddenOptions, 0);
  showControls(kHiddenOptions, 0);
  // The hidden box's setting is cleared on every build.
  setChecked(IDC_KEEP_OPTIONS, controller->clearRecordedOption());
  /* result ignored: an empty list leaves the rest of the page working */
  FillLocaleList(GetDlgItem(window, IDC_TARGET_LANGUAGE), controller->targetLanguageId());
  fillComboById(IDC_VARIANT, kVariantItems, controller->computeVariant());
  fillComboById(IDC_DECIMAL, kDecimalItems, controller->computeDecimalOption());
  // The name of the last list that met the target language (empty before any).
  const WString& name = SelectedLocaleName();
  /* result ignored: the slot keeps its text without memory */
  controller->setTargetLanguageName(name.WideAt(0));
  updateLanguageBoxText();

  const OptionsLayout layout =
      LayOutOptions(controller->versionCode(), controller->updateOnly(),
                    controller->defaultLanguageFlag(), controller->finalStepOption(),
                    controller->placementOption());
  controller->setPlacementOption(layout.placementOption);
  const struct {
    int32_t id;
    int32_t shown;
  } shown[] = {
      {IDC_TARGET_LABEL, layout.languageShown},   {IDC_TARGET_LANGUAGE, layout.languageShown},
      {IDC_DEFAULT_LANGUAGE, layout.languageShown}, {IDC_FINAL_STEP, layout.finalStepShown},
      {IDC_PLACEMENT, layout.placementShown},
  };
  for (const auto& control : shown) {
    showControl(control.id, control.shown);
    enableControl(control.id, control.shown);
  }
  setChecked(IDC_DEFAULT_LANGUAGE, layout.defaultLanguageTicked);
  setChecked(IDC_FINAL_STEP, layout.finalStepTicked);
  setChecked(IDC_PLACEMENT, layout.placementTicked);

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
  SetFocus(GetDlgItem(window, IDC_INSTALL));
  /* result ignored: the wizard may be behind another window */ SetForegroundWindow(window);
  return 0;
}

void OptionsPage::updateLanguageBoxText() {
  WString subject;
  const WString* language = controller->targetLanguageName();
  /* result ignored: a short text still names the layout */
  subject.AssignWide(language != nullptr ? language->WideAt(0) : WTEXT(""), -1);
  WString layoutName;
  lookupTextInto(kLayoutDisplayNameId, layoutName);
  /* result ignored: as above */ subject.AppendWide(kLanguageSeparator, -1);
  /* result ignored: as above */ subject.AppendWide(layoutName.WideAt(0), -1);
  WString pattern;
  WString boxText;
  lookupTextInto(kDefaultLanguageFormatId, pattern);
  /* result ignored: a failed conversion shows what was formatted */
  Format(&boxText, pattern.WideAt(0), subject.WideAt(0));
  setControlText(IDC_DEFAULT_LANGUAGE, boxText.WideAt(0));
}

int OptionsPage::languageChanged() {
  HWND list = GetDlgItem(window, IDC_TARGET_LANGUAGE);
  const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
  if (index == CB_ERR) return 0;
  const LRESULT data = SendMessageW(list, CB_GETITEMDATA, static_cast<WPARAM>(index), 0);
  controller->setTargetLanguageId(static_cast<uint16_t>(data));
  const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length <= 0) return 0;
  WString name;
  WChar* buffer = name.ReserveWide(static_cast<int32_t>(length) + 1);
  if (buffer == nullptr) return 0;
  const LRESULT copied = SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                      reinterpret_cast<LPARAM>(buffer));
  if (copied == CB_ERR || copied > length) return 0;
  /* result ignored: within the room reserved */ name.SetLength(static_cast<int32_t>(copied));
  /* result ignored: the slot keeps its text without memory */
  controller->setTargetLanguageName(name.WideAt(0));
  updateLanguageBoxText();
  return 1;
}

int OptionsPage::onCommand() {
  if (controller == nullptr) return 0;
  if (notifyCode == CBN_SELCHANGE) {
    switch (controlId) {
      case IDC_TARGET_LANGUAGE:
        return languageChanged();
      case IDC_VARIANT:
      case IDC_DECIMAL: {
        HWND list = GetDlgItem(window, controlId);
        if (SendMessageW(list, CB_GETCURSEL, 0, 0) == CB_ERR) return 0;
        const int32_t value = static_cast<int32_t>(comboSelectedData(controlId));
        if (controlId == IDC_VARIANT) {
          controller->setVariant(value);
        } else {
          controller->setDecimalOption(value);
        }
        return 1;
      }
      default:
        return 0;
    }
  }
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
    case IDC_DEFAULT_LANGUAGE:
      controller->setDefaultLanguageFlag(isChecked(IDC_DEFAULT_LANGUAGE));
      return 1;
    case IDC_FINAL_STEP:
      controller->setFinalStepOption(isChecked(IDC_FINAL_STEP));
      return 1;
    case IDC_PLACEMENT:
      controller->setPlacementOption(isChecked(IDC_PLACEMENT));
      return 1;
    case IDC_KEEP_OPTIONS:
      return 1;  // hidden; nothing is stored
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
