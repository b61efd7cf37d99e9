// KeyAssignmentPage: its texts, the rows that stand for no key hidden, and the
// ways back to the options page and on to the remapping page.

#include "ui/KeyAssignmentPage.h"

#include "payload/StringIds.h"
#include "res/resource.h"
#include "ui/WizardController.h"
#include "ui/WizardMessage.h"

namespace {

// Neither template has control 206: that row has no effect.
const IdPair kKeyAssignmentTexts[] = {
    {IDC_CANCEL, kCancelButtonId},
    {IDC_BACK, kBackButtonId},
    {IDC_KEYS, kKeyAssignmentButtonId},
    {IDC_INSTALL, kInstallButtonId},
    {0, 0},
};

// Rows 15 to 20 of the assignment page stand for no key.
const IdList kKeyAssignmentHidden[] = {1315, 1316, 1317, 1318, 1319, 1320, 1415, 1416,
                                       1417, 1418, 1419, 1420, IDC_REMAP, 0};

}  // namespace

int KeyAssignmentPage::onInitDialog() {
  if (controller == nullptr || controller->application() == nullptr) return 0;
  setWizardStep(kKeyPageStep);
  /* result ignored: an unplaced page still works */ fitToFrame();
  enableControls(kKeyAssignmentHidden, 0);
  showControls(kKeyAssignmentHidden, 0);
  setControlTexts(kKeyAssignmentTexts);
  /* result ignored: returns the previous focus */ SetFocus(GetDlgItem(window, IDC_BACK));
  /* result ignored: the wizard may be behind another window */ SetForegroundWindow(window);
  return 0;
}

int KeyAssignmentPage::onCommand() {
  if (notifyCode != BN_CLICKED) return 0;
  switch (controlId) {
    case IDC_CANCEL:
      postToFrame(kCloseRequest);
      return 1;
    case IDC_BACK:
      postToFrame(kShowOptions);
      return 1;
    case IDC_REMAP:
      postToFrame(kShowKeyRemap);
      return 1;
    default:
      return 0;
  }
}
