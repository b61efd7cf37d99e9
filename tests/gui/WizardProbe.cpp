// WizardProbe: windows of another process found by class, owner and control id,
// and driven with posted and sent messages.
#include "tests/gui/WizardProbe.h"

#include <stdio.h>

StartedProgram::~StartedProgram() {
  if (process.get() != nullptr && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
    /* result ignored: a program that cannot be ended ends with the Wine session */
    TerminateProcess(process.get(), 1);
    WaitForSingleObject(process.get(), kStepWait);
  }
}

int StartedProgram::start(const std::wstring& path, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + path + L"\"";
  if (!arguments.empty()) commandLine += L" " + arguments;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION started = {};
  if (!CreateProcessW(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &started)) {
    return 0;
  }
  CloseHandle(started.hThread);
  *process.out() = started.hProcess;
  processId = started.dwProcessId;
  return 1;
}

int StartedProgram::waitForExit(DWORD ms, DWORD* code) {
  if (WaitForSingleObject(process.get(), ms) != WAIT_OBJECT_0) return 0;
  if (!GetExitCodeProcess(process.get(), code)) *code = 0xFFFFFFFF;
  return 1;
}

namespace {

struct WindowSearch {
  DWORD processId;
  const wchar_t* className;
  HWND owner;
  std::vector<HWND> found;
};

bool ClassIs(HWND window, const wchar_t* className) {
  wchar_t name[256];
  return GetClassNameW(window, name, 256) > 0 && lstrcmpW(name, className) == 0;
}

BOOL CALLBACK CollectTopWindow(HWND window, LPARAM data) {
  WindowSearch* search = reinterpret_cast<WindowSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (search->processId != 0 && (owner != search->processId || !IsWindowVisible(window))) {
    return TRUE;
  }
  if (search->className != nullptr && !ClassIs(window, search->className)) return TRUE;
  if (search->owner != nullptr && GetWindow(window, GW_OWNER) != search->owner) return TRUE;
  search->found.push_back(window);
  return TRUE;
}

std::vector<HWND> TopWindows(DWORD processId, const wchar_t* className, HWND owner) {
  WindowSearch search = {processId, className, owner, {}};
  EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace

HWND TopWindowOf(DWORD processId, const wchar_t* className) {
  std::vector<HWND> found = TopWindows(processId, className, nullptr);
  return found.empty() ? nullptr : found[0];
}

std::vector<HWND> WindowsOfClass(const wchar_t* className) {
  return TopWindows(0, className, nullptr);
}

HWND PageWith(HWND frame, int markerId) {
  for (HWND child = GetWindow(frame, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    // Visible: a page is shown once its controls are filled.
    if (ClassIs(child, L"#32770") && IsWindowVisible(child) &&
        GetDlgItem(child, markerId) != nullptr) {
      return child;
    }
  }
  return nullptr;
}

HWND MessageBoxOf(HWND frame) {
  for (HWND box : TopWindows(0, L"#32770", frame)) {
    // Shown, and its default button given the focus: a press that came
    // earlier could lose its mouse capture to that focus change.
    const HWND focus = FocusOf(box);
    if (IsWindowVisible(box) && focus != nullptr && GetParent(focus) == box) return box;
  }
  return nullptr;
}

std::wstring MessageBoxTexts(HWND box) {
  std::wstring texts;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    if (ClassIs(child, L"Static")) texts += TextOf(child) + L"|";
  }
  return texts;
}

std::wstring TextOf(HWND window) {
  if (window == nullptr) return L"<no control>";
  const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const LRESULT copied =
      SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
  text.resize(static_cast<size_t>(copied));
  return text;
}

std::wstring ControlText(HWND page, int id) { return TextOf(GetDlgItem(page, id)); }

bool Shown(HWND page, int id) {
  HWND control = GetDlgItem(page, id);
  return control != nullptr && IsWindowVisible(control);
}

bool Enabled(HWND page, int id) {
  HWND control = GetDlgItem(page, id);
  return control != nullptr && IsWindowEnabled(control);
}

bool Ticked(HWND page, int id) {
  return SendDlgItemMessageW(page, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

HWND FocusOf(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof(info);
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

std::vector<std::wstring> ComboItems(HWND page, int id) {
  std::vector<std::wstring> items;
  const LRESULT count = SendDlgItemMessageW(page, id, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = SendDlgItemMessageW(page, id, CB_GETLBTEXTLEN, i, 0);
    if (length < 0) break;
    std::wstring item(static_cast<size_t>(length) + 1, L'\0');
    SendDlgItemMessageW(page, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&item[0]));
    item.resize(static_cast<size_t>(length));
    items.push_back(item);
  }
  return items;
}

LRESULT ComboSelectedData(HWND page, int id) {
  const LRESULT index = SendDlgItemMessageW(page, id, CB_GETCURSEL, 0, 0);
  return index < 0 ? -1 : SendDlgItemMessageW(page, id, CB_GETITEMDATA, index, 0);
}

int Click(HWND page, int id) {
  HWND button = GetDlgItem(page, id);
  return button != nullptr && PostMessageW(button, BM_CLICK, 0, 0) ? 1 : 0;
}

int ChooseComboData(HWND page, int id, LRESULT data, WORD notification) {
  HWND combo = GetDlgItem(page, id);
  if (combo == nullptr) return 0;
  const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    if (SendMessageW(combo, CB_GETITEMDATA, i, 0) != data) continue;
    SendMessageW(combo, CB_SETCURSEL, i, 0);
    return PostMessageW(page, WM_COMMAND, MAKEWPARAM(id, notification),
                        reinterpret_cast<LPARAM>(combo))
               ? 1
               : 0;
  }
  return 0;
}

void PressKey(HWND page, WPARAM key) {
  HWND target = FocusOf(page);
  if (target == nullptr) target = page;
  const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), 0)) << 16;
  PostMessageW(target, WM_KEYDOWN, key, scan | 1);
  PostMessageW(target, WM_KEYUP, key, scan | 1 | (3 << 30));
}

int Settle(HWND page, int markerId) {
  HWND marker = GetDlgItem(page, markerId);
  if (marker == nullptr || !PostMessageW(marker, BM_SETSTATE, TRUE, 0)) return 0;
  const int came = WaitUntil(
      kStepWait, [&] { return (SendMessageW(marker, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0; });
  SendMessageW(marker, BM_SETSTATE, FALSE, 0);
  return came;
}

std::wstring Snapshot(HWND frame, HWND page, bool withFocus) {
  std::wstring state = L"frame " + TextOf(frame) + L"\n";
  wchar_t line[128];
  for (HWND child = GetWindow(page, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t className[64] = {};
    GetClassNameW(child, className, 64);
    swprintf(line, 128, L"%d %ls visible=%d enabled=%d check=%d selection=%d: ",
             GetDlgCtrlID(child), className, IsWindowVisible(child) ? 1 : 0,
             IsWindowEnabled(child) ? 1 : 0,
             static_cast<int>(SendMessageW(child, BM_GETCHECK, 0, 0)),
             static_cast<int>(SendMessageW(child, CB_GETCURSEL, 0, 0)));
    state += line + TextOf(child) + L"\n";
  }
  swprintf(line, 128, L"page %p focus %d\n", static_cast<void*>(page),
           withFocus ? GetDlgCtrlID(FocusOf(page)) : 0);
  return state + line;
}
