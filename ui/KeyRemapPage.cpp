// KeyRemapPage: its texts, every row hidden, and the ways back to the options
// page and to the assignment page.

#include "ui/KeyRemapPage.h"

#include "payload/StringIds.h"
#include "res/resource.h"
#include "ui/WizardController.h"
#include "ui/WizardMessage.h"

namespace {

// Neither template has control 206: that row has no effect.
const IdPair kKeyRemapTexts[] = {
    {IDC_CANCEL, kCancelButtonId},
    {IDC_BACK, kBackButtonId},
    {IDC_KEYS, kKeyAssignmentButtonId},
    {IDC_REMAP, kKeyRemapButtonId},
    {IDC_INSTALL, kInstallButtonId},
    {0, 0},
};

// Hides or shows the rows of a key page: boxes from `firstBox`, lists 100 above.
void ShowKeyRows(WindowBase& page, int32_t firstBox, int on) {
  for (int32_t row = 0; row < KEY_ROW_COUNT; ++row) {
    page.enableControl(firstBox + row, on);
    page.showControl(firstBox + row, on);
    page.enableControl(firstBox + 100 + row, on);
    page.showControl(firstBox + 100 + row, on);
  }
}

}  // namespace

int KeyRemapPage::onInitDialog() {
  if (controller == nullptr || controller->application() == nullptr) return 0;
  setWizardStep(kKeyPageStep);
  /* result ignored: an unplaced page still works */ fitToFrame();
  ShowKeyRows(*this, IDC_FIRST_REMAP_BOX, 0);
  setControlTexts(kKeyRemapTexts);
  /* result ignored: the wizard may be behind another window */ SetForegroundWindow(window);
  return 1;
}

int KeyRemapPage::onCommand() {
  if (notifyCode != BN_CLICKED) return 0;
  switch (controlId) {
    case IDC_CANCEL:
      postToFrame(kCloseRequest);
      return 1;
    case IDC_BACK:
      postToFrame(kShowOptions);
      return 1;
    case IDC_KEYS:
      postToFrame(kShowKeyAssignment);
      return 1;
    default:
      return 0;
  }
}
