// KeyRowsPage: the rows of the key pages, their lists and their saving.

#include "ui/KeyRowsPage.h"

#include "res/resource.h"
#include "text/Memory.h"
#include "ui/WizardController.h"
#include "ui/WizardMessage.h"

namespace {

// A row's list id is its box id + 100.
constexpr int32_t kListAfterBox = 100;
// What an unticked row's list shows: one blank item.
const WChar kBlankItem[] = {' ', 0};

}  // namespace

int32_t ListIndexOfValue(const IdPair* items, uint32_t value) {
  if (items == nullptr || items[0].first == 0) return -1;
  for (int32_t k = 1; items[k].first != 0; ++k) {
    if (static_cast<uint32_t>(items[k].second) == value) return k - 1;
  }
  return -1;
}

KeyRowsPage::KeyRowsPage(const IdPair* keyMap, const IdPair* items, int32_t firstList,
                         uint16_t KeyRow::*column)
    : keyMap(keyMap), items(items), firstList(firstList), column(column), choices(nullptr), rowCount(0) {}

KeyRowsPage::~KeyRowsPage() { FreeBlock(choices); }

int KeyRowsPage::listIsWhole(int32_t row) {
  HWND list = GetDlgItem(window, firstList + row);
  return list != nullptr && SendMessageW(list, CB_GETCOUNT, 0, 0) > 0 ? 1 : 0;
}

void KeyRowsPage::markWhole(int32_t) {}

int32_t KeyRowsPage::rowOfList(int32_t list) const {
  const int32_t row = list - firstList;
  return row >= 0 && row < rowCount ? row : -1;
}

int KeyRowsPage::readRows() {
  if (controller == nullptr) return 0;
  FreeBlock(choices);
  rowCount = CountPairs(keyMap);
  // A page rebuilt reads its rows anew; the count is a table's, far from any limit.
  choices = static_cast<KeyChoice*>(AllocateBlock(sizeof(KeyChoice) * static_cast<size_t>(rowCount)));
  for (int32_t i = 0; i < rowCount; ++i) {
    choices[i].key = static_cast<uint32_t>(keyMap[i].second);
    choices[i].value = 0;
    const KeyRow* row = controller->findKey(choices[i].key);
    if (row == nullptr) continue;  // the box keeps its empty text
    choices[i].value = row->*column;
    /* result ignored: a missing name leaves the box empty */
    setControlTextId(keyMap[i].first - kListAfterBox, row->keyNumber);
  }
  return 1;
}

KeyChoice* KeyRowsPage::findChoice(uint32_t key) {
  for (int32_t i = 0; i < rowCount; ++i) {
    if (choices[i].key == key) return &choices[i];
  }
  return nullptr;
}

int KeyRowsPage::fillWholeList(int32_t list, uint32_t value, int32_t fallbackIndex) {
  if (!fillComboById(list, items, 0)) return 0;
  /* result ignored: a list without its first item only offers one more */
  SendDlgItemMessageW(window, list, CB_DELETESTRING, 0, 0);
  const int32_t index = ListIndexOfValue(items, value);
  /* result ignored: -1 clears the selection */
  SendDlgItemMessageW(window, list, CB_SETCURSEL, static_cast<WPARAM>(index >= 0 ? index : fallbackIndex), 0);
  const int32_t row = rowOfList(list);
  if (row >= 0) markWhole(row);
  return 1;
}

void KeyRowsPage::rowToggled(int32_t box) {
  const int32_t list = box + kListAfterBox;
  HWND listWindow = GetDlgItem(window, list);
  if (listWindow == nullptr) return;
  const uint32_t key = lookupPair(list, keyMap);
  const int32_t row = rowOfList(list);
  if (key == 0 || row < 0) return;  // ids that are not boxes end here
  const int ticked = isChecked(box);
  EnableWindow(listWindow, ticked ? TRUE : FALSE);
  if (ticked) {
    uint32_t value = choices[row].value;
    if (value == 0) value = defaultFor(key);
    if (listIsWhole(row)) {
      // The blank item of the unticked row goes; the whole table is below it.
      /* result ignored: a list without it offers the same codes */
      SendMessageW(listWindow, CB_DELETESTRING, 0, 0);
      const int32_t index = ListIndexOfValue(items, value);
      /* result ignored: the index exists */
      SendMessageW(listWindow, CB_SETCURSEL, static_cast<WPARAM>(index >= 0 ? index : 0), 0);
    } else {
      // An empty list, or one that held only the code shown at start: filled
      // whole first, so that the code selected is the one the user saw.
      /* result ignored: a list that cannot be filled stays as it was */ fillWholeList(list, value, 0);
    }
    return;
  }
  // Unticked: the choice is remembered in the page, and the row shows blank.
  choices[row].value = comboSelectedData(list);
  const LRESULT blank = SendMessageW(listWindow, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(kBlankItem));
  if (blank == CB_ERR || blank == CB_ERRSPACE) return;
  /* result ignored: item 0 exists */ SendMessageW(listWindow, CB_SETITEMDATA, 0, 0);
  /* result ignored: item 0 exists */ SendMessageW(listWindow, CB_SETCURSEL, 0, 0);
}

void KeyRowsPage::choiceMade(int32_t list) {
  const uint32_t key = lookupPair(list, keyMap);
  if (key == 0 || controller == nullptr) return;
  const uint32_t value = comboSelectedData(list);
  KeyRow* row = controller->findKey(key);
  if (row != nullptr) row->*column = static_cast<uint16_t>(value);
  KeyChoice* choice = findChoice(key);
  if (choice != nullptr) choice->value = value;
}

void KeyRowsPage::saveRows() {
  if (controller == nullptr) return;
  for (int32_t i = 0; i < rowCount; ++i) {
    KeyRow* row = controller->findKey(static_cast<uint32_t>(keyMap[i].second));
    if (row == nullptr) continue;
    const int32_t list = keyMap[i].first;
    row->*column = isChecked(list - kListAfterBox) ? static_cast<uint16_t>(comboSelectedData(list)) : 0;
  }
  /* result ignored: 0 only without a table, which findKey already met */
  controller->normaliseKeyTable();
}

int KeyRowsPage::flowButtonClicked(int32_t switchButton, uint32_t switchMessage) {
  if (controlId == IDC_NEXT) {
    postToFrame(kGoNext);  // no effect at this step
    return 1;
  }
  if (controlId == IDC_CANCEL) {
    postToFrame(kCloseRequest);  // nothing more is saved
    return 1;
  }
  if (controlId == IDC_BACK || controlId == switchButton) {
    saveRows();
    postToFrame(controlId == IDC_BACK ? kShowOptions : switchMessage);
    return 1;
  }
  rowToggled(controlId);
  return 0;
}
