// KeyRemapPage: its key map and item table, every row hidden, the rows built
// from the key table, and the ways back to the options and assignment pages.

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

// (list id, scan code): Caps Lock, left Ctrl, the browser, media and power keys.
const IdPair kRemappedKeys[] = {
    {1601, 0x3A},   {1602, 0x1D},   {1603, 0xE068}, {1604, 0xE067}, {1605, 0xE065},
    {1606, 0xE066}, {1607, 0xE032}, {1608, 0xE06C}, {1609, 0xE06B}, {1610, 0xE021},
    {1611, 0xE030}, {1612, 0xE02E}, {1613, 0xE020}, {1614, 0xE022}, {1615, 0xE024},
    {1616, 0xE010}, {1617, 0xE019}, {1618, 0xE06D}, {1619, 0xE05F}, {1620, 0xE05E},
    {0, 0},
};

// (string id, target scan code; 0xFF switches the key off). Row 0 is never offered.
const IdPair kTargetKeyItems[] = {
    {152, 0},      {323, 0xFF},   {284, 0xE06A}, {285, 0xE069}, {287, 0xE068}, {286, 0xE067},
    {288, 0xE065}, {289, 0xE066}, {290, 0xE032}, {298, 0xE06C}, {300, 0xE06B}, {301, 0xE021},
    {293, 0xE030}, {292, 0xE02E}, {291, 0xE020}, {297, 0xE022}, {296, 0xE024}, {295, 0xE010},
    {294, 0xE019}, {299, 0xE06D}, {229, 0xE05F}, {228, 0xE05E}, {171, 0x3A},  {279, 0x1D},
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

KeyRemapPage::KeyRemapPage()
    : KeyRowsPage(kRemappedKeys, kTargetKeyItems, IDC_FIRST_REMAP_LIST, &KeyRow::mapTarget) {}

uint32_t KeyRemapPage::defaultFor(uint32_t key) {
  const KeyRow* row = controller != nullptr ? controller->findStaticKey(key) : nullptr;
  return row != nullptr ? row->scanCode : 0;
}

int KeyRemapPage::onInitDialog() {
  if (controller == nullptr || controller->application() == nullptr) return 0;
  setWizardStep(kKeyPageStep);
  /* result ignored: an unplaced page still works */ fitToFrame();
  ShowKeyRows(*this, IDC_FIRST_REMAP_BOX, 0);
  setControlTexts(kKeyRemapTexts);
  readRows();
  for (int32_t i = 0; i < rowCount; ++i) {
    if (choices[i].value == 0) continue;  // unticked, with a disabled empty list
    const int32_t list = kRemappedKeys[i].first;
    setChecked(list - 100, 1);
    enableControl(list, 1);
    /* result ignored: a list that cannot be filled stays empty */
    fillWholeList(list, choices[i].value, -1);
  }
  /* result ignored: the wizard may be behind another window */ SetForegroundWindow(window);
  return 1;
}

int KeyRemapPage::onCommand() {
  if (controller == nullptr) return 0;
  if (notifyCode == CBN_SELCHANGE) {
    choiceMade(controlId);
    return 0;
  }
  if (notifyCode != BN_CLICKED) return 0;
  return flowButtonClicked(IDC_KEYS, kShowKeyAssignment);
}
