// WizardProbe: how the driver reaches the wizard of another process: starting
// and ending it, finding its frame, pages, controls and message boxes, pressing
// buttons, choosing list items and reading texts back, all through messages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "setup/SystemGuards.h"

// Waits of the driver. Each is the longest a window may take to come or go;
// a fresh Wine session shows its first window after 1 to 3 s.
constexpr DWORD kWindowWait = 30000;
constexpr DWORD kStepWait = 10000;

// A program the driver started, ended by the driver if it is still running.
class StartedProgram {
 public:
  StartedProgram() : processId(0) {}
  ~StartedProgram();
  StartedProgram(const StartedProgram&) = delete;
  StartedProgram& operator=(const StartedProgram&) = delete;
  // 1 = started (path quoted, then `arguments` when given); 0 = CreateProcessW failed.
  int start(const std::wstring& path, const std::wstring& arguments = std::wstring());
  // 1 = ended within `ms`, its exit code in *code; 0 = still running.
  int waitForExit(DWORD ms, DWORD* code);
  DWORD id() const { return processId; }

 private:
  HandleGuard process;
  DWORD processId;
};

// Polls `condition` (every 10 ms) until it holds or `ms` pass. 1 = it held.
template <typename Condition>
int WaitUntil(DWORD ms, Condition condition) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return 1;
    if (GetTickCount() - start >= ms) return 0;
    Sleep(10);
  }
}

// The first visible top-level window of process `processId` whose class is
// `className` (any class when null), or null.
HWND TopWindowOf(DWORD processId, const wchar_t* className);
// The top-level windows of class `className`, whoever owns them.
std::vector<HWND> WindowsOfClass(const wchar_t* className);
// The page the frame shows: its dialog child that has control `markerId`, or null.
HWND PageWith(HWND frame, int markerId);
// The message box owned by `frame` (a top-level dialog of class #32770), or null.
HWND MessageBoxOf(HWND frame);
// Every static text of a message box, joined by '|', to find its message in.
std::wstring MessageBoxTexts(HWND box);

std::wstring TextOf(HWND window);
std::wstring ControlText(HWND page, int id);
bool Shown(HWND page, int id);    // exists and visible
bool Enabled(HWND page, int id);  // exists and enabled
bool Ticked(HWND page, int id);   // BM_GETCHECK is BST_CHECKED
// The focused window of the thread that owns `window`.
HWND FocusOf(HWND window);
// The item texts of combo box `id`, and the item data of its selection (-1: none).
std::vector<std::wstring> ComboItems(HWND page, int id);
LRESULT ComboSelectedData(HWND page, int id);

// Presses button `id` (posted BM_CLICK: a handler that opens a message box
// must not hold the driver). 0 = no such control.
int Click(HWND page, int id);
// Selects the item of combo `id` whose data is `data` and sends the page the
// notification its handler waits for (CBN_SELENDOK or CBN_SELCHANGE).
int ChooseComboData(HWND page, int id, LRESULT data, WORD notification);
// Posts a key press (down and up) to the focused control of the page's thread.
void PressKey(HWND page, WPARAM key);
// Returns once the page's thread has handled every message posted to it before
// the call: a marker posted after them (a pushed state on button `markerId`,
// undone at once) must come through first. 0 = it did not within kStepWait.
int Settle(HWND page, int markerId);
// The states of the frame and its page as one text: every child's id, class,
// text, visibility, enabled state, check and selection, and the focus (unless
// `withFocus` is false).
std::wstring Snapshot(HWND frame, HWND page, bool withFocus = true);
