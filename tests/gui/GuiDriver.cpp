// gui_driver: drives the real setup.exe through its wizard, as a user would,
// and checks what each page shows against the payload's texts. Each scenario
// walks one road through the wizard and checks every rule met on the way.
//
//   gui_driver.exe fresh SETUP.EXE              no installation: languages, licence,
//                                               second copy, Escape, close question
//   gui_driver.exe installed-close SETUP.EXE    a recorded installation: installed face,
//   gui_driver.exe installed-restart SETUP.EXE  Update, Remove; the finish page closed
//                                               by its close box or by its button
//   gui_driver.exe no-frame SETUP.EXE HOOK.DLL  the frame refused by a CBT hook
//   gui_driver.exe walk SETUP.EXE OP [CHOICES]  one step of an installation's life through
//                                               the wizard, the choices made on its pages
//                                               (WalkCommand; run_scenario.py's gui steps)
//   gui_driver.exe bench RUNS PROGRAM.EXE...    start-up times (see StartupBench.cpp)
//   gui_driver.exe shots-fresh SETUP.EXE REQUEST, shots-installed SETUP.EXE REQUEST LANGUAGE
//                                               pictures of every page (scripts/screenshots.sh)
//
// Prints "ok: ..." or "FAILED: ..." per check; exit code 0 = every check passed.
// The scenarios expect an English user (the interface language starts at 0).

#include <stdio.h>
#include <windows.h>

#include <string>

#include "tests/gui/DriverChecks.h"
#include "tests/gui/PayloadTexts.h"
#include "tests/gui/StartupBench.h"
#include "tests/gui/WizardProbe.h"
#include "tests/gui/WizardWalk.h"

PayloadTexts gTexts;
int gFailures = 0;

void Print(const std::wstring& text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(static_cast<size_t>(size > 0 ? size : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &narrow[0], size, nullptr, nullptr);
  fputs(narrow.c_str(), stdout);
  fflush(stdout);
}

bool Check(bool ok, const std::wstring& what) {
  Print((ok ? L"ok: " : L"FAILED: ") + what + L"\n");
  if (!ok) ++gFailures;
  return ok;
}

bool CheckText(const std::wstring& got, const std::wstring& expected, const std::wstring& what) {
  const bool same = WithoutReturns(got) == WithoutReturns(expected) && !expected.empty();
  return Check(
      same, what + (same ? L"" : L"\n  shown:    [" + got + L"]\n  expected: [" + expected + L"]"));
}

namespace {

// Checks that a snapshot is unchanged, showing the lines that differ.
void CheckUnchanged(const std::wstring& before, const std::wstring& after,
                    const std::wstring& what) {
  std::wstring differences;
  size_t a = 0, b = 0;
  while (a < before.size() || b < after.size()) {
    const size_t aEnd = before.find(L'\n', a), bEnd = after.find(L'\n', b);
    const std::wstring lineA = before.substr(a, aEnd - a), lineB = after.substr(b, bEnd - b);
    if (lineA != lineB) differences += L"\n  was: " + lineA + L"\n  now: " + lineB;
    a = aEnd == std::wstring::npos ? before.size() : aEnd + 1;
    b = bEnd == std::wstring::npos ? after.size() : bEnd + 1;
  }
  Check(differences.empty(), what + differences);
}

// Heading, body, label, buttons and list of the welcome page in `language`.
void CheckWelcome(HWND page, int32_t language, bool installed) {
  const std::wstring in = language == 0 ? L" (language 0)" : L" (language 1)";
  CheckText(ControlText(page, kWelcomeHeading),
            gTexts.formatted(language, installed ? kInstalledHeading : kFreshHeading, kLayoutName),
            L"welcome heading" + in);
  CheckText(ControlText(page, kWelcomeBody),
            gTexts.text(language, installed ? kInstalledBody : kFreshBody), L"welcome body" + in);
  CheckText(ControlText(page, kLanguageLabel), gTexts.text(language, kLanguageLabelText),
            L"language label" + in);
  CheckText(ControlText(page, kCancel), gTexts.text(language, kCancelText), L"Cancel" + in);
  CheckText(ControlText(page, installed ? kRemove : kNext),
            gTexts.text(language, installed ? kRemoveText : kNextText), L"the face's button" + in);
  const std::vector<std::wstring> items = ComboItems(page, kLanguageList);
  Check(items.size() == 2, L"the language list has two items" + in);
  if (items.size() == 2) {
    // The list is not sorted: the item table's order is the list's.
    CheckText(items[0], gTexts.text(language, kLanguageItem0), L"first language item" + in);
    CheckText(items[1], gTexts.text(language, kLanguageItem1), L"second language item" + in);
  }
  Check(ComboSelectedData(page, kLanguageList) == language, L"the list selects the language" + in);
  for (int id : {kRemove, kUpdate, kWide}) {
    Check(Shown(page, id) == installed && Enabled(page, id) == installed,
          L"control " + std::to_wstring(id) + (installed ? L" shown and enabled" : L" hidden"));
  }
  Check(Shown(page, kNext) != installed && Enabled(page, kNext) != installed,
        installed ? L"Next hidden" : L"Next shown and enabled");
  if (installed) {
    CheckText(ControlText(page, kUpdate), gTexts.text(language, kUpdateText), L"Update" + in);
    CheckText(ControlText(page, kWide), gTexts.text(language, kWideText), L"wide button" + in);
  }
}

// The close question (string 96): No keeps the page, its texts, the states of
// its controls and the keyboard focus; the caller answers Yes later.
void CheckCloseQuestionNo(Wizard& w, HWND page, int32_t language, const wchar_t* where) {
  const std::wstring before = Snapshot(w.frame, page);
  PostMessageW(w.frame, WM_CLOSE, 0, 0);
  HWND box = w.question();
  if (!Check(box != nullptr, std::wstring(L"closing asks the question on the ") + where)) return;
  CheckText(TextOf(box), gTexts.text(language, kCaption), L"the question's caption");
  Check(MessageBoxTexts(box).find(gTexts.text(language, kQuitQuestion)) != std::wstring::npos,
        L"the question is string 96: " + MessageBoxTexts(box));
  w.answer(box, IDNO);
  Check(Settle(page, kCancel) == 1, L"the page answers after No");
  CheckUnchanged(before, Snapshot(w.frame, page),
                 std::wstring(L"No keeps the ") + where + L" page exactly as it was");
}

int Fresh(const std::wstring& setup) {
  Wizard w;
  if (!w.open(setup)) return 1;
  HWND page = w.page(kWelcomeHeading, L"welcome");
  if (page == nullptr) return 1;
  CheckWelcome(page, 0, false);

  // A second copy brings the first to the front and ends, leaving one frame.
  HWND other = CreateWindowExW(0, L"STATIC", L"driver", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                               nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetForegroundWindow(other);
  Check(GetForegroundWindow() == other, L"the driver's window is in front before the second copy");
  {
    Wizard second;
    DWORD code = 1;
    Check(second.program.start(setup) == 1 && second.program.waitForExit(kWindowWait, &code) == 1 &&
              code == 0,
          L"a second copy ends by itself with exit code 0");
  }
  // The window manager hands the activation over after the second copy is gone.
  WaitUntil(kStepWait, [&] { return GetForegroundWindow() == w.frame; });
  Check(GetForegroundWindow() == w.frame,
        L"the second copy brought the first one's frame to the front");
  Check(WindowsOfClass(w.frameClass.c_str()).size() == 1, L"one frame only");
  DestroyWindow(other);


  // The language switch re-reads every text and moves the focus to Next.
  // The focus is put on the list first (as a user choosing from it has it), so
  // that the move can be seen; where the page is not active it may not take it.
  PostMessageW(page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(page, kLanguageList)), 1);
  WaitUntil(kStepWait / 4, [&] { return FocusOf(page) == GetDlgItem(page, kLanguageList); });
  ChooseComboData(page, kLanguageList, 1, CBN_SELENDOK);
  WaitUntil(kStepWait,
            [&] { return ControlText(page, kWelcomeBody) == gTexts.text(1, kFreshBody); });
  CheckWelcome(page, 1, false);
  Check(FocusOf(page) == GetDlgItem(page, kNext), L"the switch moves the focus to Next");

  // The licence of the chosen language; Next only once it is accepted.
  page = w.go(page, kNext, kLicenceBox, L"licence");
  if (page == nullptr) return 1;
  CheckText(ControlText(page, kLicenceHeading), gTexts.text(1, kLicenceHeadingText),
            L"licence heading");
  CheckText(ControlText(page, kAccept), gTexts.text(1, kAcceptText), L"acceptance box");
  CheckText(ControlText(page, kLicenceBox), gTexts.licence(1), L"the licence of language 1");
  Check(gTexts.licence(0) != gTexts.licence(1), L"the two licences differ");
  Check(!Ticked(page, kAccept) && !Enabled(page, kNext), L"unaccepted: box clear, Next disabled");
  Click(page, kAccept);
  Check(WaitUntil(kStepWait, [&] { return Enabled(page, kNext); }) == 1, L"ticking enables Next");
  page = w.go(page, kBack, kWelcomeHeading, L"welcome");
  if (page == nullptr) return 1;
  CheckText(ControlText(page, kWelcomeBody), gTexts.text(1, kFreshBody), L"Back keeps language 1");
  page = w.go(page, kNext, kLicenceBox, L"licence");
  if (page == nullptr) return 1;
  Check(Ticked(page, kAccept) && Enabled(page, kNext), L"the tick survives Back and Next");
  Click(page, kAccept);
  Check(WaitUntil(kStepWait, [&] { return !Enabled(page, kNext); }) == 1,
        L"unticking disables Next");
  Click(page, kAccept);
  Check(WaitUntil(kStepWait, [&] { return Enabled(page, kNext); }) == 1,
        L"ticking again enables Next");

  // Escape does nothing: no question, nothing changed.
  const std::wstring before = Snapshot(w.frame, page);
  PressKey(page, VK_ESCAPE);
  Check(Settle(page, kCancel) == 1 && MessageBoxOf(w.frame) == nullptr, L"Escape asks nothing");
  CheckUnchanged(before, Snapshot(w.frame, page), L"Escape changes nothing on the licence page");

  // The pages beyond, and back.
  page = w.go(page, kNext, kInstall, L"options");
  if (page == nullptr) return 1;
  page = w.go(page, kKeysButton, kFirstKeyList, L"key assignment");
  if (page == nullptr) return 1;
  page = w.go(page, kBack, kInstall, L"options");
  if (page == nullptr) return 1;
  CheckCloseQuestionNo(w, page, 1, L"options");
  page = w.go(page, kBack, kLicenceBox, L"licence");
  if (page == nullptr) return 1;
  Check(Ticked(page, kAccept) && Enabled(page, kNext), L"the tick survives the options page");
  CheckCloseQuestionNo(w, page, 1, L"licence");

  // Cancel asks the same question; Yes ends the wizard.
  Click(page, kCancel);
  HWND box = w.question();
  if (Check(box != nullptr, L"Cancel asks the question")) w.answer(box, IDYES);
  w.ends(L"after Yes");
  return 0;
}

int Installed(const std::wstring& setup, bool restart) {
  Wizard w;
  if (!w.open(setup)) return 1;
  HWND page = w.page(kWelcomeHeading, L"welcome");
  if (page == nullptr) return 1;
  CheckWelcome(page, 0, true);
  Check(FocusOf(page) != nullptr, L"a control has the focus");

  // Escape does nothing here either (the runner checks that it started no
  // settings program), but it does close an open drop-down list.
  std::wstring before = Snapshot(w.frame, page);
  PressKey(page, VK_ESCAPE);
  Check(Settle(page, kCancel) == 1 && MessageBoxOf(w.frame) == nullptr, L"Escape asks nothing");
  CheckUnchanged(before, Snapshot(w.frame, page), L"Escape changes nothing on the welcome page");
  HWND list = GetDlgItem(page, kLanguageList);
  SendMessageW(page, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(list), TRUE);
  SendMessageW(list, CB_SHOWDROPDOWN, TRUE, 0);
  if (Check(SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0) != 0, L"the language list drops down")) {
    PressKey(page, VK_ESCAPE);
    Check(Settle(page, kCancel) == 1 && SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0) == 0,
          L"Escape closes the open language list");
    Check(ComboSelectedData(page, kLanguageList) == 0, L"and keeps the language");
  }

  // The wide button starts the system folder's control.exe (the runner finds
  // its command line, once, in the process trace).
  Click(page, kWide);
  Check(Settle(page, kCancel) == 1 && MessageBoxOf(w.frame) == nullptr,
        L"the wide button asks nothing");

  // Remove asks first; No changes nothing, and the focus is back on Remove.
  before = Snapshot(w.frame, page, false);
  Click(page, kRemove);
  HWND box = w.question();
  if (Check(box != nullptr, L"Remove asks first")) {
    Check(MessageBoxTexts(box).find(gTexts.formatted(0, kRemoveQuestion, kProductName)) !=
              std::wstring::npos,
          L"the removal question names the product: " + MessageBoxTexts(box));
    w.answer(box, IDNO);
  }
  Check(Settle(page, kCancel) == 1, L"the page answers after No");
  CheckUnchanged(before, Snapshot(w.frame, page, false), L"No keeps the installed face as it was");
  Check(FocusOf(page) == GetDlgItem(page, kRemove), L"after No the focus is on Remove again");

  // Update skips the licence, which then shows as accepted.
  page = w.go(page, kUpdate, kInstall, L"options (update)");
  if (page == nullptr) return 1;
  page = w.go(page, kBack, kLicenceBox, L"licence (from update)");
  if (page == nullptr) return 1;
  Check(Ticked(page, kAccept) && Enabled(page, kNext),
        L"after Update the licence counts as accepted");
  page = w.go(page, kBack, kWelcomeHeading, L"welcome");
  if (page == nullptr) return 1;
  CheckWelcome(page, 0, true);

  // Remove, Yes: the removal runs and the finish page follows.
  Click(page, kRemove);
  box = w.question();
  if (!Check(box != nullptr, L"Remove asks again")) return 1;
  w.answer(box, IDYES);
  page = w.page(kFinishHeading, L"finish");
  if (page == nullptr) return 1;
  Check(ControlText(page, kFinishHeading).empty(), L"after a removal the finish heading is empty");
  CheckText(ControlText(page, kFinishResult), gTexts.text(0, kRemovedText),
            L"the removal's result text");
  CheckText(ControlText(page, kRestart), gTexts.text(0, kRestartText), L"the restart button");
  if (restart) {
    Click(page, kRestart);
    w.ends(L"after the restart button");
    return 0;
  }
  // The close box closes at once: no question comes.
  PostMessageW(w.frame, WM_CLOSE, 0, 0);
  DWORD code = 1;
  HWND asked = nullptr;
  WaitUntil(kWindowWait, [&] {
    return (asked = MessageBoxOf(w.frame)) != nullptr || w.program.waitForExit(0, &code) == 1;
  });
  Check(asked == nullptr, L"the finish page closes without a question");
  w.ends(L"from the finish page's close box");
  return 0;
}

// The frame refused by the hook library's CBT hook: the program must end. The
// hook signals kRefusedEvent when it refuses a window of the frame's class.
int NoFrame(const std::wstring& setup, const std::wstring& hookPath) {
  const std::wstring frameClass = gTexts.text(0, kFrameClass);
  HandleGuard refused(CreateEventW(nullptr, TRUE, FALSE, L"KestrelGuiTests.FrameRefused"));
  HMODULE hook = LoadLibraryW(hookPath.c_str());
  HOOKPROC proc =
      reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(GetProcAddress(hook, "RefuseFrame")));
  SetEnvironmentVariableW(L"KESTREL_REFUSED_CLASS", frameClass.c_str());
  HHOOK hooked = proc != nullptr ? SetWindowsHookExW(WH_CBT, proc, hook, 0) : nullptr;
  if (!Check(refused.get() != nullptr && hooked != nullptr, L"the refusing hook is set")) return 1;
  Wizard w;
  DWORD code = 1;
  Check(w.program.start(setup) == 1 && w.program.waitForExit(kWindowWait, &code) == 1 && code == 0,
        L"setup.exe ends with exit code 0 when its frame cannot be created");
  Check(WaitForSingleObject(refused.get(), 0) == WAIT_OBJECT_0, L"the hook refused the frame");
  UnhookWindowsHookEx(hooked);
  return 0;
}

// Pictures for the README: asks the runner for one by writing `request` (the
// name and the frame's rectangle) and waits until the runner has removed it.
void Shot(Wizard& w, HWND page, const std::wstring& request, const wchar_t* name) {
  Settle(page, kCancel);
  RedrawWindow(w.frame, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sleep(300);  // the display catches up; a picture is no check
  RECT r;
  GetWindowRect(w.frame, &r);
  FILE* file = _wfopen(request.c_str(), L"w");
  if (file == nullptr) return;
  fprintf(file, "%ls %ld %ld %ld %ld\n", name, r.left, r.top, r.right - r.left, r.bottom - r.top);
  fclose(file);
  Check(WaitUntil(kWindowWait,
                  [&] { return GetFileAttributesW(request.c_str()) == INVALID_FILE_ATTRIBUTES; }) ==
            1,
        std::wstring(L"picture ") + name);
}

// Tells the runner that the walk is over, whatever it reached.
void ShotsDone(const std::wstring& request) {
  WaitUntil(kWindowWait,
            [&] { return GetFileAttributesW(request.c_str()) == INVALID_FILE_ATTRIBUTES; });
  FILE* file = _wfopen(request.c_str(), L"w");
  if (file == nullptr) return;
  fputs("done\n", file);
  fclose(file);
}

// Every page of a fresh installation in both languages, then the closing question.
int ShotsFresh(const std::wstring& setup, const std::wstring& request) {
  for (int32_t language : {0, 1}) {
    const std::wstring suffix = language == 0 ? L"-en" : L"-pl";
    Wizard w;
    if (!w.open(setup)) return 1;
    HWND page = w.page(kWelcomeHeading, L"welcome");
    if (page == nullptr) return 1;
    ChooseComboData(page, kLanguageList, language, CBN_SELENDOK);
    WaitUntil(kStepWait,
              [&] { return ControlText(page, kWelcomeBody) == gTexts.text(language, kFreshBody); });
    Shot(w, page, request, (L"welcome" + suffix).c_str());
    page = w.go(page, kNext, kLicenceBox, L"licence");
    if (page == nullptr) return 1;
    Click(page, kAccept);
    WaitUntil(kStepWait, [&] { return Enabled(page, kNext); });
    Shot(w, page, request, (L"licence" + suffix).c_str());
    page = w.go(page, kNext, kInstall, L"options");
    if (page == nullptr) return 1;
    Shot(w, page, request, (L"options" + suffix).c_str());
    page = w.go(page, kKeysButton, kFirstKeyList, L"key assignment");
    if (page == nullptr) return 1;
    // One row in use for the picture: Caps Lock (the twelfth row) as left Ctrl.
    constexpr int kCapsLockRow = 11;
    Click(page, kFirstKeyBox + kCapsLockRow);
    WaitUntil(kStepWait, [&] { return Enabled(page, kFirstKeyList + kCapsLockRow); });
    ChooseComboData(page, kFirstKeyList + kCapsLockRow, 0xA2, CBN_SELENDOK);
    Shot(w, page, request, (L"keys" + suffix).c_str());
    Click(page, kCancel);
    HWND box = w.question();
    if (box != nullptr) w.answer(box, IDYES);
    w.ends(L"after the pictures");
  }
  return 0;
}

// The installed face and, after a removal, the finish page, in `language`.
int ShotsInstalled(const std::wstring& setup, const std::wstring& request, int32_t language) {
  const std::wstring suffix = language == 0 ? L"-en" : L"-pl";
  Wizard w;
  if (!w.open(setup)) return 1;
  HWND page = w.page(kWelcomeHeading, L"welcome");
  if (page == nullptr) return 1;
  ChooseComboData(page, kLanguageList, language, CBN_SELENDOK);
  WaitUntil(kStepWait, [&] {
    return ControlText(page, kWelcomeBody) == gTexts.text(language, kInstalledBody);
  });
  Shot(w, page, request, (L"welcome-installed" + suffix).c_str());
  Click(page, kRemove);
  HWND box = w.question();
  if (box == nullptr) return 1;
  w.answer(box, IDYES);
  page = w.page(kFinishHeading, L"finish");
  if (page == nullptr) return 1;
  Shot(w, page, request, (L"finish" + suffix).c_str());
  PostMessageW(w.frame, WM_CLOSE, 0, 0);
  w.ends(L"after the pictures");
  return 0;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    fputs(
        "usage: gui_driver.exe fresh|installed-close|installed-restart|no-frame SETUP.EXE "
        "[HOOK.DLL]\n"
        "       gui_driver.exe bench RUNS PROGRAM.EXE...\n",
        stderr);
    return 2;
  }
  const std::wstring scenario = argv[1];
  if (scenario == L"bench") return StartupBench(_wtoi(argv[2]), argc - 3, argv + 3);
  if (!gTexts.load()) {
    fputs("gui_driver: the payload does not load\n", stderr);
    return 2;
  }
  if (scenario == L"fresh") {
    Fresh(argv[2]);
  } else if (scenario == L"installed-close" || scenario == L"installed-restart") {
    Installed(argv[2], scenario == L"installed-restart");
  } else if (scenario == L"shots-fresh" && argc >= 4) {
    ShotsFresh(argv[2], argv[3]);
    ShotsDone(argv[3]);
  } else if (scenario == L"shots-installed" && argc >= 5) {
    ShotsInstalled(argv[2], argv[3], _wtoi(argv[4]));
    ShotsDone(argv[3]);
  } else if (scenario == L"walk" && argc >= 4) {
    WalkCommand(argc, argv);
  } else if (scenario == L"no-frame" && argc >= 4) {
    NoFrame(argv[2], argv[3]);
  } else {
    fputs("gui_driver: unknown scenario\n", stderr);
    return 2;
  }
  Print(L"gui_driver " + scenario + L": " + std::to_wstring(gFailures) + L" failed\n");
  return gFailures == 0 ? 0 : 1;
}
