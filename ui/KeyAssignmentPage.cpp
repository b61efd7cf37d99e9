// KeyAssignmentPage: its key map and item table, the rows built from the key
// table, and the ways back to the options page and on to the remapping page.

#include "ui/KeyAssignmentPage.h"

#include "payload/StringIds.h"
#include "res/resource.h"
#include "text/Memory.h"
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

// (list id, scan code): the modifier and lock keys, in list order.
const IdPair kAssignedKeys[] = {
    {1401, 0x2A},   {1402, 0x36},   {1403, 0x1D},   {1404, 0xE01D}, {1405, 0x38},
    {1406, 0xE038}, {1407, 0xE05B}, {1408, 0xE05C}, {1409, 0xE05D}, {1410, 0x56},
    {1411, 0x0F},   {1412, 0x3A},   {1413, 0x46},   {1414, 0x45},   {0, 0},
};

// (string id, virtual-key code; 0x100 marks an extended key). Row 0 is never
// offered: each whole list loses its first item.
const IdPair kVirtualKeyItems[] = {
    {152, 0},      {323, 0xFF},   {173, 0x20},   {277, 0xA0},   {278, 0x1A1},  {279, 0xA2},
    {280, 0x1A3},  {281, 0xA4},   {282, 0x1A5},  {225, 0x15B},  {226, 0x15C},  {227, 0x15D},
    {314, 0xE2},   {172, 0x1B},   {308, 0xC0},   {164, 0x09},   {171, 0x14},   {276, 0x91},
    {275, 0x90},   {186, 0x12D},  {187, 0x12E},  {177, 0x124},  {176, 0x123},  {174, 0x121},
    {175, 0x122},  {185, 0x2C},   {170, 0x13},   {0, 0},
};

}  // namespace

KeyAssignmentPage::KeyAssignmentPage()
    : KeyRowsPage(kAssignedKeys, kVirtualKeyItems, IDC_FIRST_KEY_LIST, &KeyRow::assignedKey),
      filled(nullptr) {}

KeyAssignmentPage::~KeyAssignmentPage() { FreeBlock(filled); }

uint32_t KeyAssignmentPage::defaultFor(uint32_t key) {
  const KeyRow* row = controller != nullptr ? controller->findStaticKey(key) : nullptr;
  return row != nullptr ? row->assignedKey : 0;
}

int KeyAssignmentPage::listIsWhole(int32_t row) {
  return filled != nullptr && row >= 0 && row < rowCount ? filled[row] : 0;
}

void KeyAssignmentPage::markWhole(int32_t row) {
  if (filled != nullptr && row >= 0 && row < rowCount) filled[row] = 1;
}

int KeyAssignmentPage::onInitDialog() {
  if (controller == nullptr || controller->application() == nullptr) return 0;
  setWizardStep(kKeyPageStep);
  /* result ignored: an unplaced page still works */ fitToFrame();
  enableControls(kKeyAssignmentHidden, 0);
  showControls(kKeyAssignmentHidden, 0);
  setControlTexts(kKeyAssignmentTexts);
  readRows();
  FreeBlock(filled);
  filled = static_cast<int32_t*>(AllocateBlock(sizeof(int32_t) * static_cast<size_t>(rowCount)));
  for (int32_t i = 0; i < rowCount; ++i) filled[i] = 0;

  for (int32_t i = 0; i < rowCount; ++i) {
    const uint32_t value = choices[i].value;
    if (value == 0) continue;  // unticked, with a disabled empty list
    const int32_t list = kAssignedKeys[i].first;
    HWND listWindow = GetDlgItem(window, list);
    setChecked(list - 100, 1);
    EnableWindow(listWindow, TRUE);
    SendMessageW(listWindow, CB_RESETCONTENT, 0, 0);
    // Only the current code until the first drop-down: a code the table
    // lacks leaves the list empty.
    for (int32_t k = 1; kVirtualKeyItems[k].first != 0; ++k) {
      if (static_cast<uint32_t>(kVirtualKeyItems[k].second) != value) continue;
      lookupText(static_cast<uint32_t>(kVirtualKeyItems[k].first));
      const LRESULT added =
          SendMessageW(listWindow, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.WideAt(0)));
      if (added == CB_ERR || added == CB_ERRSPACE) break;
      /* result ignored: item 0 exists */ SendMessageW(listWindow, CB_SETITEMDATA, 0, value);
      /* result ignored: item 0 exists */ SendMessageW(listWindow, CB_SETCURSEL, 0, 0);
    }
  }
  SetFocus(GetDlgItem(window, IDC_BACK));
  /* result ignored: the wizard may be behind another window */ SetForegroundWindow(window);
  return 0;
}

void KeyAssignmentPage::listDropDown(int32_t list) {
  const int32_t row = list - IDC_FIRST_KEY_LIST;
  if (row < 0 || row >= rowCount || listIsWhole(row)) return;
  const KeyRow* key = controller->findKey(lookupPair(list, kAssignedKeys));
  if (key == nullptr) return;
  /* result ignored: a list that cannot be filled stays as it was */
  fillWholeList(list, key->assignedKey, -1);
}

int KeyAssignmentPage::onCommand() {
  if (controller == nullptr) return 0;
  if (notifyCode == CBN_SELENDOK) {
    choiceMade(controlId);
    return 0;
  }
  if (notifyCode == CBN_DROPDOWN) {
    listDropDown(controlId);
    return 0;
  }
  if (notifyCode != BN_CLICKED) return 0;
  return flowButtonClicked(IDC_REMAP, kShowKeyRemap);
}
