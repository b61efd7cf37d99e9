// WelcomePage: its two faces, the language switch and the removal.

#include "ui/WelcomePage.h"

#include "payload/StringIds.h"
#include "res/resource.h"
#include "text/Format.h"
#include "ui/WizardController.h"
#include "ui/WizardMessage.h"

namespace {

// The level this program records when it installs; any other level gets
// the fresh face, and the install path deals with it.
constexpr int32_t kThisVersionLevel = 180;

const IdPair kWelcomeTexts[] = {
    {IDC_LANGUAGE_LABEL, kWizardLanguageLabelId},
    {IDC_REMOVE, kRemoveButtonId},
    {IDC_CANCEL, kCancelButtonId},
    {IDC_NEXT, kNextButtonId},
    {IDC_LANGUAGE_SETTINGS, kLanguageSettingsButtonId},
    {IDC_UPDATE, kUpdateButtonId},
    {0, 0},
};

// Item value: the interface language's index.
const IdPair kWizardLanguages[] = {
    {kEnglishItemId, 0},
    {kPolishItemId, 1},
    {0, 0},
};

const IdList kInstalledFaceControls[] = {IDC_REMOVE, IDC_LANGUAGE_SETTINGS, IDC_UPDATE, 0};

}  // namespace

int WelcomePage::installed() {
  return controller != nullptr && controller->installedVersion() == kThisVersionLevel ? 1 : 0;
}

int WelcomePage::onInitDialog() {
  setWizardStep(kWelcomeStep);
  /* result ignored: an unplaced page still works */ fitToFrame();
  fillTexts();
  const int face = installed();
  enableControls(kInstalledFaceControls, face);
  showControls(kInstalledFaceControls, face);
  enableControl(IDC_NEXT, !face);
  showControl(IDC_NEXT, !face);
  /* result ignored: the wizard may start behind another window */ SetForegroundWindow(window);
  return 1;
}

void WelcomePage::fillTexts() {
  const int face = installed();
  SetFocus(GetDlgItem(window, face ? IDC_LANGUAGE_SETTINGS : IDC_NEXT));
  WString pattern;
  WString layoutName;
  WString heading;
  lookupTextInto(face ? kInstalledHeadingFormatId : kWelcomeHeadingFormatId, pattern);
  lookupTextInto(kLayoutDisplayNameId, layoutName);
  /* result ignored: a failed conversion shows what was formatted */
  Format(&heading, pattern.WideAt(0), layoutName.WideAt(0));
  setControlText(IDC_WELCOME_HEADING, heading.WideAt(0));
  setControlTextId(IDC_WELCOME_BODY, face ? kInstalledTextId : kWelcomeBodyId);
  setControlTexts(kWelcomeTexts);
  fillComboById(IDC_WIZARD_LANGUAGE, kWizardLanguages,
                controller != nullptr ? controller->languageIndex() : 0);
}

int WelcomePage::onCommand() {
  if (controller == nullptr) return 0;
  if (controlId == IDC_WIZARD_LANGUAGE && notifyCode == CBN_SELENDOK) {
    // Values other than 0 and 1 are refused by the application. The frame's
    // header band follows at once; its title keeps its language.
    controller->setLanguageIndex(static_cast<int32_t>(comboSelectedData(IDC_WIZARD_LANGUAGE)));
    fillTexts();
    controller->repaintHeader();
    return 1;
  }
  if (notifyCode != BN_CLICKED) return 0;
  switch (controlId) {
    case IDC_NEXT:
      if (!installed()) postToFrame(kGoNext);
      return 1;
    case IDC_LANGUAGE_SETTINGS: {
      WString argument;
      lookupTextInto(kLanguageSettingsArgumentId, argument);
      /* result ignored: a program that does not start reports nothing */
      controller->runSystemCommand(kLanguageSettingsCommandId, argument.WideAt(0));
      return 1;
    }
    case IDC_REMOVE:
      remove();
      return 1;
    case IDC_CANCEL:
      postToFrame(kCloseRequest);
      return 1;
    case IDC_UPDATE:
      if (installed()) {
        // An update skips the licence; setUpdateOnly marks it accepted.
        controller->setUpdateOnly(1);
        setWizardStep(kOptionsStep);
        postToFrame(kShowOptions);
      }
      return 0;
    default:
      return 0;
  }
}

void WelcomePage::remove() {
  if (!controller->isAdministrator()) {
    showMessage(kNotAdministratorMessageId, MB_OK);
    setWizardStep(kWizardOverStep);
    postToFrame(kCloseRequest);
    return;
  }
  WString pattern;
  WString productName;
  WString question;
  lookupTextInto(kRemoveQuestionFormatId, pattern);
  lookupTextInto(kProductNameId, productName);
  /* result ignored: a failed conversion asks what was formatted */
  Format(&question, pattern.WideAt(0), productName.WideAt(0));
  if (showMessageText(question.WideAt(0), MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  controller->disablePage();
  // A failed removal leaves the page disabled; the frame still closes.
  if (controller->runUninstall()) {
    setWizardStep(kWizardOverStep);
    postToFrame(kShowFinish);
  }
}
