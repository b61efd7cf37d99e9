/* A different program with a window of the frame's class: `frame-standin.exe CLASS`
   makes one visible window of class CLASS and keeps it until it is closed (WM_CLOSE)
   or 60 seconds pass, so that a test can show such a window is not another copy. */
#include <windows.h>

static LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM w, LPARAM l) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, w, l);
}

int wmain(int argc, wchar_t** argv) {
  WNDCLASSW frameClass = {0};
  HWND window;
  MSG message;
  if (argc < 2 || argv[1][0] == 0) return 2;
  frameClass.lpfnWndProc = StandInProc;
  frameClass.hInstance = GetModuleHandleW(0);
  frameClass.lpszClassName = argv[1];
  if (!RegisterClassW(&frameClass)) return 3;
  window = CreateWindowExW(0, argv[1], L"stand-in", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200,
                           100, 0, 0, frameClass.hInstance, 0);
  if (window == 0) return 4;
  SetTimer(window, 1, 60000, 0);
  while (GetMessageW(&message, 0, 0, 0) > 0) {
    if (message.message == WM_TIMER) DestroyWindow(window);
    DispatchMessageW(&message);
  }
  return 0;
}
