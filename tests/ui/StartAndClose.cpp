// setup_start_close: starts setup.exe, waits for its wizard, closes it through
// the frame's close question (answered Yes) and checks that the program ends
// with exit code 0. Exit 0 = all of that happened; 1 = it did not (a line on
// stderr says what). The GUI driver's tests replace it.

#include <windows.h>

#include <stdio.h>
#include <wchar.h>

#include <string>

namespace {

const wchar_t kFrameClass[] = L"KestrelSetupFrame";  // string 94
const wchar_t kDialogClass[] = L"#32770";
constexpr DWORD kPollMs = 100;
constexpr DWORD kWindowWaitMs = 60000;  // a fresh Wine session shows its first window late
constexpr DWORD kExitWaitMs = 30000;

// A host path (/...) as Wine's Z: drive sees it; Windows paths stay.
std::wstring WindowsPath(const wchar_t* path) {
  std::wstring result(path);
  if (!result.empty() && result[0] == L'/') {
    for (wchar_t& c : result) {
      if (c == L'/') c = L'\\';
    }
    result = L"Z:" + result;
  }
  return result;
}

struct OwnedDialogSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM context) {
  OwnedDialogSearch* search = reinterpret_cast<OwnedDialogSearch*>(context);
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (wcscmp(name, kDialogClass) == 0 && GetWindow(window, GW_OWNER) == search->owner &&
      IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// Polls `find` until it gives a window, the process ends or time runs out.
template <typename Find>
HWND WaitForWindow(HANDLE process, Find find) {
  for (DWORD waited = 0; waited < kWindowWaitMs; waited += kPollMs) {
    HWND window = find();
    if (window != nullptr) return window;
    if (WaitForSingleObject(process, kPollMs) == WAIT_OBJECT_0) return nullptr;
  }
  return nullptr;
}

int Fail(const char* what) {
  fprintf(stderr, "setup_start_close: %s\n", what);
  return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return Fail("usage: setup_start_close SETUP.EXE");
  std::wstring command = L"\"" + WindowsPath(argv[1]) + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return Fail("setup.exe did not start");
  }
  CloseHandle(process.hThread);

  HWND frame = WaitForWindow(process.hProcess, [] { return FindWindowW(kFrameClass, nullptr); });
  if (frame == nullptr) return Fail("no wizard frame appeared");
  HWND page = WaitForWindow(process.hProcess,
                            [frame] { return FindWindowExW(frame, nullptr, kDialogClass, nullptr); });
  if (page == nullptr) return Fail("the frame shows no page");

  // The welcome page is not the end of the wizard: closing asks first.
  PostMessageW(frame, WM_CLOSE, 0, 0);
  const DWORD frameThread = GetWindowThreadProcessId(frame, nullptr);
  HWND question = WaitForWindow(process.hProcess, [frame, frameThread] {
    OwnedDialogSearch search = {frame, nullptr};
    EnumThreadWindows(frameThread, FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
  });
  if (question == nullptr) return Fail("closing asked no question");
  HWND yes = GetDlgItem(question, IDYES);
  if (yes == nullptr) return Fail("the question has no Yes button");
  SendMessageW(yes, BM_CLICK, 0, 0);

  if (WaitForSingleObject(process.hProcess, kExitWaitMs) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    return Fail("setup.exe did not end after Yes");
  }
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  if (code != 0) return Fail("setup.exe ended with a non-zero exit code");
  printf("setup_start_close: wizard shown, closed after the question, exit code 0\n");
  return 0;
}
