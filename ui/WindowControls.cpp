// WindowBase: the control helpers of the pages and the placement of a page
// under the frame's header band.

#include "ui/WindowBase.h"

#include "ui/GdiGuards.h"
#include "ui/WizardController.h"

namespace {

// Storage hint per combo item, in bytes (item texts are short).
constexpr WPARAM kComboBytesPerItem = 100;
// Measured for the band: a capital with an accent is as tall as the font gets.
const WChar kTallestCharacter[] = {0x00D3, 0};

int32_t Width(const RECT& r) { return r.right - r.left; }
int32_t Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

HWND WindowBase::control(int32_t id) const {
  return window != nullptr ? GetDlgItem(window, id) : nullptr;
}

int WindowBase::enableControl(int32_t id, int on) {
  HWND item = control(id);
  if (item == nullptr) return 0;
  EnableWindow(item, on ? TRUE : FALSE);
  return 1;
}

int WindowBase::enableControls(const IdList* ids, int on) {
  if (ids == nullptr) return 0;
  for (; *ids != 0; ++ids) /* result ignored: missing controls are skipped */ enableControl(*ids, on);
  return 1;
}

int WindowBase::showControl(int32_t id, int on) {
  HWND item = control(id);
  if (item == nullptr) return 0;
  ShowWindow(item, on ? SW_SHOW : SW_HIDE);
  return 1;
}

int WindowBase::showControls(const IdList* ids, int on) {
  if (ids == nullptr) return 0;
  for (; *ids != 0; ++ids) /* result ignored: missing controls are skipped */ showControl(*ids, on);
  return 1;
}

int WindowBase::setControlTextId(int32_t id, uint32_t stringId) {
  if (control(id) == nullptr) return 0;
  const int found = lookupText(stringId);
  // A missing text still replaces the control's text, with the empty one.
  const int set = SetDlgItemTextW(window, id, reinterpret_cast<LPCWSTR>(text.WideAt(0)));
  return found && set ? 1 : 0;
}

int WindowBase::setControlText(int32_t id, const WChar* value) {
  if (value == nullptr || control(id) == nullptr) return 0;
  return SetDlgItemTextW(window, id, reinterpret_cast<LPCWSTR>(value)) ? 1 : 0;
}

int WindowBase::setControlTexts(const IdPair* table) {
  if (table == nullptr) return 0;
  for (const IdPair* row = table; row->first != 0; ++row) {
    if (control(row->first) == nullptr) continue;
    /* result ignored: a missing text leaves the control empty */
    setControlTextId(row->first, static_cast<uint32_t>(row->second));
  }
  return 1;
}

int WindowBase::isChecked(int32_t id) {
  HWND item = control(id);
  if (item == nullptr) return 0;
  return SendMessageW(item, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

int WindowBase::setChecked(int32_t id, int on) {
  HWND item = control(id);
  if (item == nullptr) return 0;
  SendMessageW(item, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
  return 1;
}

uint32_t WindowBase::comboSelectedData(int32_t id) {
  HWND item = control(id);
  if (item == nullptr) return 0;
  const LRESULT index = SendMessageW(item, CB_GETCURSEL, 0, 0);
  if (index < 0) return 0;
  return static_cast<uint32_t>(SendMessageW(item, CB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

int WindowBase::fillCombo(HWND combo, const IdPair* items, int32_t selectValue) {
  if (combo == nullptr || items == nullptr) return 0;
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  const int32_t rows = CountPairs(items);
  /* result ignored: only a hint; a box that cannot reserve still adds items one by one */
  SendMessageW(combo, CB_INITSTORAGE, static_cast<WPARAM>(rows > 0 ? rows - 1 : 0),
               kComboBytesPerItem * static_cast<WPARAM>(rows > 0 ? rows - 1 : 0));
  for (const IdPair* row = items; row->first != 0; ++row) {
    /* result ignored: a missing text gives an empty item */
    lookupText(static_cast<uint32_t>(row->first));
    const LRESULT index =
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.WideAt(0)));
    if (index == CB_ERR || index == CB_ERRSPACE) return 0;
    // The index CB_ADDSTRING gives, so a sorted box keeps data and selection right.
    SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(index), row->second);
    if (row->second == selectValue) SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  }
  return 1;
}

int WindowBase::fillComboById(int32_t id, const IdPair* items, int32_t selectValue) {
  return fillCombo(control(id), items, selectValue);
}

int WindowBase::fitToFrame() {
  if (controller == nullptr || window == nullptr) return 0;
  HWND frame = controller->frameWindow();
  if (frame == nullptr) return 0;
  if (controller->bandHeightMeasured() == 0) {
    WindowDcGuard dc(frame);
    if (dc.get() == nullptr) return 0;
    SIZE size = {0, 0};
    {
      SelectionGuard font(dc.get(), controller->headerFontHandle());
      if (!GetTextExtentPoint32W(dc.get(), reinterpret_cast<LPCWSTR>(kTallestCharacter), 1, &size)) {
        return 0;
      }
    }
    textHeight = size.cy;
    controller->setBandHeight(size.cy + size.cy / 2);
  }
  const int32_t band = controller->bandHeightMeasured();

  RECT frameRect;
  RECT frameClient;
  RECT pageClient;
  RECT desktop;
  if (!GetWindowRect(frame, &frameRect) || !GetClientRect(frame, &frameClient) ||
      !GetClientRect(window, &pageClient) || !GetWindowRect(GetDesktopWindow(), &desktop)) {
    return 0;
  }
  if (!controller->isFrameSized()) {
    const int32_t width = Width(frameRect) - Width(frameClient) + Width(pageClient);
    const int32_t height = Height(frameRect) - Height(frameClient) + Height(pageClient) + band;
    /* result ignored: a frame that keeps its size still shows the page */
    SetWindowPos(frame, nullptr, (Width(desktop) - width) / 2, (Height(desktop) - height) / 2,
                 width, height, SWP_NOZORDER);
  }
  controller->markFrameSized();
  /* result ignored: an unplaced page still works, at the top of the frame */
  SetWindowPos(window, nullptr, 0, band, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  return 1;
}
