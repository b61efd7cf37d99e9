// WizardWalk: one step of an installation's life made through the wizard, the
// choices given on the command line (run_scenario.py's steps made through the GUI).

#include "tests/gui/WizardWalk.h"

#include <windows.h>

#include <stdint.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "setup/rules/WindowsVersions.h"
#include "tests/gui/DriverChecks.h"
#include "tests/gui/WizardProbe.h"

namespace {

// The choices a walk makes; -1 (or an empty table) leaves the page's own.
struct Choices {
  int32_t versionCode = 0;  // of the emulated Windows: which options the page offers
  int32_t ui = -1, language = -1, defaultFlag = -1, final = -1, desktop = -1;
  int32_t variant = -1, decimal = -1;
  std::wstring argument;  // given to the program started
  std::vector<std::pair<uint32_t, uint32_t>> keys;  // scan code, virtual-key code
};

// Rows of the key assignment page: scan code and the key's default code.
const uint32_t kKeyRows[][2] = {
    {0x2A, 0xA0}, {0x36, 0x1A1}, {0x1D, 0xA2}, {0xE01D, 0x1A3}, {0x38, 0xA4},
    {0xE038, 0x1A5}, {0xE05B, 0x15B}, {0xE05C, 0x15C}, {0xE05D, 0x15D}, {0x56, 0xE2},
    {0x0F, 0x09}, {0x3A, 0x14}, {0x46, 0x91}, {0x45, 0x90}};
constexpr int kFirstKeyBox = 1301;
constexpr int kKeyPageRows = 14;

int KeyRowOf(uint32_t scan) {
  for (int i = 0; i < kKeyPageRows; ++i) {
    if (kKeyRows[i][0] == scan) return i;
  }
  return -1;
}

// Sets check box `id` to `want` by clicking it, as a user would.
void SetBox(HWND page, int id, int32_t want, const wchar_t* what) {
  if (want < 0) return;
  if (Ticked(page, id) != (want == 1)) Click(page, id);
  Check(WaitUntil(kStepWait, [&] { return Ticked(page, id) == (want == 1); }) == 1,
        std::wstring(what) + L" set to " + std::to_wstring(want));
}

void ChooseList(HWND page, int id, int32_t data, const wchar_t* what) {
  if (data < 0) return;
  Check(ChooseComboData(page, id, data, CBN_SELCHANGE) == 1 && Settle(page, kCancel) == 1 &&
            ComboSelectedData(page, id) == data,
        std::wstring(what) + L" chosen: " + std::to_wstring(data));
}

// Which controls the options page shows for this Windows and mode.
void CheckOptionsShown(HWND page, const Choices& c, bool updateOnly) {
  const bool language = c.versionCode >= kWindowsVista && !updateOnly;
  for (int id : {kTargetLabel, kTargetList, kDefaultBox}) {
    Check(Shown(page, id) == language && Enabled(page, id) == language,
          L"options control " + std::to_wstring(id) + (language ? L" shown" : L" hidden"));
  }
  Check(Shown(page, kFinalBox) == !updateOnly, L"final-step box shown unless update only");
  const bool placement = !updateOnly && c.versionCode < kWindows8;
  Check(Shown(page, kPlacementBox) == placement && Enabled(page, kPlacementBox) == placement,
        placement ? L"desktop box shown" : L"desktop box hidden");
  if (!updateOnly && c.versionCode >= kWindows8) {
    Check(Ticked(page, kPlacementBox), L"from Windows 8 on the desktop box is forced on");
  }
  for (int id : {kVariantList, kDecimalList}) {
    Check(Shown(page, id) && Enabled(page, id), L"list " + std::to_wstring(id) + L" shown");
  }
}

// The target language and the default box, whose text names the chosen language at once.
void ChooseLanguage(HWND page, const Choices& c) {
  if (c.language < 0 || !Shown(page, kTargetList)) return;
  HWND list = GetDlgItem(page, kTargetList);
  const LRESULT count = SendMessageW(list, CB_GETCOUNT, 0, 0);
  Check(count >= 2, L"more than one target language is listed");
  const bool ticked = Ticked(page, kDefaultBox);
  // Another language first, so that the box's text must change twice.
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT other = SendMessageW(list, CB_GETITEMDATA, i, 0);
    if (other == c.language) continue;
    for (LRESULT language : {other, static_cast<LRESULT>(c.language)}) {
      Check(ChooseComboData(page, kTargetList, language, CBN_SELCHANGE) == 1,
            L"the target language is listed: " + std::to_wstring(language));
      const std::wstring name = ControlText(page, kTargetList);
      Check(Settle(page, kCancel) == 1 && !name.empty() &&
                ControlText(page, kDefaultBox).find(name) != std::wstring::npos &&
                Ticked(page, kDefaultBox) == ticked,
            L"the default box names the chosen language at once, its tick kept: [" +
                ControlText(page, kDefaultBox) + L"] [" + name + L"]");
    }
    break;
  }
  SetBox(page, kDefaultBox, c.defaultFlag, L"default box");
}

// Opens list `id` as a click would: the page fills a list at its first drop-down.
void DropDown(HWND page, int id) {
  PostMessageW(page, WM_COMMAND, MAKEWPARAM(id, CBN_DROPDOWN),
               reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
  Settle(page, kCancel);
}

// The key page: each given key ticked, chosen, unticked (a blank shows), ticked again
// (the choice comes back); a row given its default is stored as 0 (checked on return).
HWND AssignKeys(Wizard& w, HWND page, const Choices& c) {
  if (c.keys.empty()) return page;
  page = w.go(page, kKeysButton, kFirstKeyList, L"key assignment");
  if (page == nullptr) return nullptr;
  for (const auto& key : c.keys) {
    const int row = KeyRowOf(key.first);
    if (!Check(row >= 0, L"the key is on the page: " + std::to_wstring(key.first))) continue;
    const int box = kFirstKeyBox + row, list = box + 100;
    if (!Ticked(page, box)) {
      Check(!Enabled(page, list), L"an unticked row's list is disabled");
      Click(page, box);
      Check(WaitUntil(kStepWait, [&] { return Enabled(page, list); }) == 1 &&
                ComboSelectedData(page, list) == static_cast<LRESULT>(kKeyRows[row][1]),
            L"ticking a row shows the key's default: row " + std::to_wstring(row));
    }
    DropDown(page, list);
    Check(ChooseComboData(page, list, key.second, CBN_SELENDOK) == 1 && Settle(page, kCancel) == 1,
          L"choice made in row " + std::to_wstring(row));
    Click(page, box);
    Check(WaitUntil(kStepWait, [&] { return !Enabled(page, list); }) == 1 &&
              ComboSelectedData(page, list) == 0 && ControlText(page, list) == L" ",
          L"unticking shows a blank item");
    Click(page, box);
    Check(WaitUntil(kStepWait, [&] { return Enabled(page, list); }) == 1 &&
              ComboSelectedData(page, list) == static_cast<LRESULT>(key.second),
          L"ticking again brings back the choice the user saw");
  }
  // A row ticked and left at the key's own code changes nothing: it comes back unticked.
  const int numLock = kFirstKeyBox + KeyRowOf(0x45);
  const bool numLockGiven = KeyRowOf(0x45) < 0 ||
      std::find_if(c.keys.begin(), c.keys.end(), [](const auto& k) { return k.first == 0x45; }) !=
          c.keys.end();
  if (!numLockGiven && !Ticked(page, numLock)) {
    Click(page, numLock);
    Check(WaitUntil(kStepWait, [&] { return Enabled(page, numLock + 100); }) == 1,
          L"the Num Lock row ticked at its default");
  }
  page = w.go(page, kBack, kInstall, L"options (from the keys)");
  if (page == nullptr) return nullptr;
  page = w.go(page, kKeysButton, kFirstKeyList, L"key assignment (again)");
  if (page == nullptr) return nullptr;
  for (const auto& key : c.keys) {
    const int row = KeyRowOf(key.first);
    if (row < 0) continue;
    const bool isDefault = key.second == kKeyRows[row][1];
    const int box = kFirstKeyBox + row;
    Check(Ticked(page, box) == !isDefault &&
              (isDefault || ComboSelectedData(page, box + 100) == static_cast<LRESULT>(key.second)),
          isDefault ? L"a row left at its default is stored as none"
                    : L"the row keeps its choice after Back: " + std::to_wstring(row));
  }
  if (!numLockGiven) Check(!Ticked(page, numLock), L"a row left at its default is stored as none");
  return w.go(page, kBack, kInstall, L"options (back again)");
}

// Every choice the options page offers in this mode, the keys included; the
// options page again (null when a page did not come).
HWND MakeChoices(Wizard& w, HWND page, const Choices& c, bool updateOnly) {
  CheckOptionsShown(page, c, updateOnly);
  ChooseLanguage(page, c);
  if (!updateOnly) {
    SetBox(page, kFinalBox, c.final, L"final-step box");
    if (Shown(page, kPlacementBox)) SetBox(page, kPlacementBox, c.desktop, L"desktop box");
  }
  ChooseList(page, kVariantList, c.variant, L"variant");
  ChooseList(page, kDecimalList, c.decimal, L"decimal key");
  return AssignKeys(w, page, c);
}

// Install after the choices; the finish page closed by its close box.
int InstallAndFinish(Wizard& w, HWND page) {
  page = w.go(page, kInstall, kFinishHeading, L"finish");
  if (page == nullptr) return 1;
  PostMessageW(w.frame, WM_CLOSE, 0, 0);
  w.ends(L"after the installation");
  return 0;
}

// A message box that ends the wizard: its text holds string `text`, OK closes it.
void EndsWithMessage(Wizard& w, uint32_t text, int32_t language, const wchar_t* what) {
  HWND box = w.question();
  if (Check(box != nullptr, std::wstring(what) + L": a message comes")) {
    Check(MessageBoxTexts(box).find(gTexts.text(language, text)) != std::wstring::npos,
          std::wstring(what) + L": the message is string " + std::to_wstring(text) + L": " +
              MessageBoxTexts(box));
    w.answer(box, IDOK);
  }
  HWND asked = nullptr;
  DWORD code = 1;
  WaitUntil(kWindowWait, [&] {
    return (asked = MessageBoxOf(w.frame)) != nullptr || w.program.waitForExit(0, &code) == 1;
  });
  Check(asked == nullptr, std::wstring(what) + L": no question follows");
  w.ends(what);
}

// One step: `op` install (a fresh machine), update or remove (over an installation);
// install-fails: an installation that must end with message 141; install-refused and
// remove-refused: a program whose user is not an administrator, where Install and
// Remove must end with message 122.
int Walk(const std::wstring& setup, const std::wstring& op, const Choices& c) {
  Wizard w;
  if (!w.open(setup, c.argument)) return 1;
  HWND page = w.page(kWelcomeHeading, L"welcome");
  if (page == nullptr) return 1;
  const bool fresh = op.compare(0, 7, L"install") == 0;
  const int32_t ui =
      c.ui >= 0 ? c.ui : static_cast<int32_t>(ComboSelectedData(page, kLanguageList));
  // The other language first, then the one wanted: each choice re-reads the page.
  const uint32_t body = fresh ? kFreshBody : kInstalledBody;
  for (int32_t language : {1 - ui, ui}) {
    ChooseComboData(page, kLanguageList, language, CBN_SELENDOK);
    Check(WaitUntil(kStepWait, [&] {
            return ControlText(page, kWelcomeBody) == gTexts.text(language, body);
          }) == 1,
          L"the welcome page in the chosen language " + std::to_wstring(language));
  }
  if (op == L"remove-refused") {
    Click(page, kRemove);
    EndsWithMessage(w, kNotAdministrator, ui, L"Remove without the right");
    return 0;
  }
  if (op == L"remove") {
    Click(page, kRemove);
    HWND box = w.question();
    if (!Check(box != nullptr, L"Remove asks first")) return 1;
    w.answer(box, IDYES);
    page = w.page(kFinishHeading, L"finish");
    if (page == nullptr) return 1;
    PostMessageW(w.frame, WM_CLOSE, 0, 0);
    w.ends(L"after the removal");
    return 0;
  }
  if (op == L"update") {
    page = w.go(page, kUpdate, kInstall, L"options (update only)");
    if (page != nullptr) page = MakeChoices(w, page, c, true);
    return page == nullptr ? 1 : InstallAndFinish(w, page);
  }
  page = w.go(page, kNext, kLicenceBox, L"licence");
  if (page == nullptr) return 1;
  Click(page, kAccept);
  Check(WaitUntil(kStepWait, [&] { return Enabled(page, kNext); }) == 1,
        L"the licence is accepted");
  page = w.go(page, kNext, kInstall, L"options");
  if (page == nullptr) return 1;
  if (op == L"install-refused") {
    Click(page, kInstall);
    EndsWithMessage(w, kNotAdministrator, ui, L"Install without the right");
    return 0;
  }
  page = MakeChoices(w, page, c, false);
  if (page == nullptr) return 1;
  if (op == L"install") return InstallAndFinish(w, page);
  Click(page, kInstall);
  EndsWithMessage(w, kInstallFailed, ui, L"a failed installation");
  return 0;
}

}  // namespace

// walk SETUP OP [--version-code N] [--ui N] [--language HEX] [--default 0|1] [--final 0|1]
//      [--desktop 0|1] [--variant N] [--decimal N] [--assign SCAN:VK]... [--argument TEXT]
int WalkCommand(int argc, wchar_t** argv) {
  Choices c;
  for (int i = 4; i + 1 < argc; i += 2) {
    const std::wstring name = argv[i];
    const wchar_t* value = argv[i + 1];
    if (name == L"--assign") {
      wchar_t* rest = nullptr;
      const uint32_t scan = wcstoul(value, &rest, 16);
      c.keys.push_back({scan, wcstoul(rest + (*rest == L':' ? 1 : 0), nullptr, 16)});
      continue;
    }
    const int base = name == L"--language" ? 16 : 10;
    const int32_t number =
        name == L"--argument" ? 0 : static_cast<int32_t>(wcstol(value, nullptr, base));
    if (name == L"--version-code") c.versionCode = number;
    else if (name == L"--ui") c.ui = number;
    else if (name == L"--language") c.language = number;
    else if (name == L"--default") c.defaultFlag = number;
    else if (name == L"--final") c.final = number;
    else if (name == L"--desktop") c.desktop = number;
    else if (name == L"--variant") c.variant = number;
    else if (name == L"--decimal") c.decimal = number;
    else if (name == L"--argument") c.argument = value;
    else Check(false, L"a known walk option: " + name);
  }
  return Walk(argv[2], argv[3], c);
}
