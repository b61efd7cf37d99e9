// Reading and pressing the controls of a dialog page, for the Windows tests.
#pragma once

#include <windows.h>

#include <string>

// The text of control `id` of `page` (up to 4,095 characters).
inline std::wstring ControlText(HWND page, int id) {
  wchar_t buffer[4096] = {};
  GetDlgItemTextW(page, id, buffer, 4096);
  return buffer;
}

// A click of button `id`, as the dialog manager delivers one.
inline void Click(HWND page, int id) { SendDlgItemMessageW(page, id, BM_CLICK, 0, 0); }
