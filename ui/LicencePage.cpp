// LicencePage: the licence text and its acceptance (kept by the application,
// so going back and forth keeps the tick).

#include "ui/LicencePage.h"

#include "payload/StringIds.h"
#include "res/resource.h"
#include "ui/WizardController.h"
#include "ui/WizardMessage.h"

namespace {

const IdPair kLicenceTexts[] = {
    {IDC_LICENCE_HEADING, kLicenceHeadingId},
    {IDC_ACCEPT, kLicenceAcceptId},
    {IDC_CANCEL, kCancelButtonId},
    {IDC_BACK, kBackButtonId},
    {IDC_NEXT, kNextButtonId},
    {0, 0},
};

}  // namespace

int LicencePage::onInitDialog() {
  if (controller == nullptr || controller->application() == nullptr) return 0;
  setWizardStep(kLicenceStep);
  /* result ignored: an unplaced page still works */ fitToFrame();
  const int32_t accepted = controller->pageFlag();
  setChecked(IDC_ACCEPT, accepted);
  enableControl(IDC_NEXT, accepted);
  setControlTexts(kLicenceTexts);
  WString licence;
  // A licence that cannot be read leaves the box empty; the page still works.
  if (controller->licenceText(licence)) setControlText(IDC_LICENCE_TEXT, licence.WideAt(0));
  SetFocus(GetDlgItem(window, IDC_ACCEPT));
  /* result ignored: the wizard may be behind another window */ SetForegroundWindow(window);
  return 1;
}

int LicencePage::onCommand() {
  if (notifyCode == BN_CLICKED) {
    switch (controlId) {
      case IDC_NEXT:
        postToFrame(kGoNext);
        return 1;
      case IDC_CANCEL:
        postToFrame(kCloseRequest);
        return 1;
      case IDC_BACK:
        postToFrame(kGoBack);
        return 1;
      case IDC_ACCEPT: {
        // The system has toggled the box already.
        const int accepted = isChecked(IDC_ACCEPT);
        enableControl(IDC_NEXT, accepted);
        if (controller != nullptr) controller->setPageFlag(accepted);
        return 1;
      }
      default:
        break;
    }
  }
  if (notifyCode == EN_SETFOCUS) {
    // The licence is never shown selected when its box gets the focus.
    if (controlId == IDC_LICENCE_TEXT) SendDlgItemMessageW(window, IDC_LICENCE_TEXT, EM_SETSEL, -1, -1);
    return 1;
  }
  return 0;
}
