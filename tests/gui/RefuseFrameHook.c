/* RefuseFrameHook: a CBT hook library that refuses to create any window of the
   class named by the environment variable KESTREL_REFUSED_CLASS, and signals
   the event KestrelGuiTests.FrameRefused when it does. Set as a global hook
   by the GUI driver, it runs inside setup.exe and makes its frame fail. */
#include <windows.h>

__declspec(dllexport) LRESULT CALLBACK RefuseFrame(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_CREATEWND) {
    WCHAR refused[256], name[256];
    const DWORD length = GetEnvironmentVariableW(L"KESTREL_REFUSED_CLASS", refused, 256);
    if (length > 0 && length < 256 && GetClassNameW((HWND)wParam, name, 256) > 0 &&
        lstrcmpW(name, refused) == 0) {
      HANDLE refusedEvent = OpenEventW(EVENT_MODIFY_STATE, FALSE, L"KestrelGuiTests.FrameRefused");
      if (refusedEvent != NULL) {
        SetEvent(refusedEvent);
        CloseHandle(refusedEvent);
      }
      return 1; /* non-zero: the window is not created */
    }
  }
  return CallNextHookEx(NULL, code, wParam, lParam);
}
