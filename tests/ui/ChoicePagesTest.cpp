// The options page and the key assignment page in this process, on the real
// payload and templates: the language list, the boxes each system shows, the
// choices written at once, the key rows and their saving, and Install without
// administrator rights.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "res/resource.h"
#include "setup/rules/WindowsVersions.h"
#include "tests/app/support/InstallerAppProbe.h"
#include "tests/support/DialogControls.h"
#include "tests/support/ProductText.h"
#include "text/Format.h"
#include "ui/WindowBase.h"
#include "ui/WizardController.h"
#include "ui/WizardMessage.h"

namespace {

constexpr UINT kTickMs = 20;
constexpr int kMaxTicks = 1500;
constexpr uint16_t kPolish = 0x0415;
constexpr uint16_t kUsEnglish = 0x0409;


std::wstring LocaleName(LCID locale) {
  wchar_t buffer[256] = {};
  GetLocaleInfoW(locale, LOCALE_SLANGUAGE, buffer, 256);
  return buffer;
}

// Pattern 102 with "language - layout", as the default box shows it.
std::wstring DefaultBoxText(InstallerApp& app, const std::wstring& language) {
  const std::wstring subject = language + L" - " + Text(app, kLayoutDisplayNameId);
  WString text;
  Format(&text, Text(app, kDefaultLanguageFormatId).c_str(), subject.c_str());
  return Wide(text);
}

LRESULT Combo(HWND page, int id, UINT message, WPARAM wParam = 0) {
  return SendDlgItemMessageW(page, id, message, wParam, 0);
}

LRESULT SelectedData(HWND page, int id) {
  const LRESULT index = Combo(page, id, CB_GETCURSEL);
  return index < 0 ? -1 : Combo(page, id, CB_GETITEMDATA, static_cast<WPARAM>(index));
}

// Selects the item holding `data` and tells the page as a user's choice does.
void Choose(HWND page, int id, LRESULT data, WORD notification) {
  const LRESULT count = Combo(page, id, CB_GETCOUNT);
  for (LRESULT i = 0; i < count; ++i) {
    if (Combo(page, id, CB_GETITEMDATA, static_cast<WPARAM>(i)) == data) {
      Combo(page, id, CB_SETCURSEL, static_cast<WPARAM>(i));
    }
  }
  SendMessageW(page, WM_COMMAND, MAKEWPARAM(id, notification),
               reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}


bool Shown(HWND page, int id) { return IsWindowVisible(GetDlgItem(page, id)) != FALSE; }
bool Ticked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

// A message box of this thread (a top-level dialog owned by the frame).
BOOL CALLBACK FindBox(HWND window, LPARAM found) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (std::wstring(name) != L"#32770" || GetWindow(window, GW_OWNER) == nullptr) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

struct Walk {
  InstallerApp* app;
  WizardController* wizard;
  int stage;
  int ticks;
  int (*step)(HWND page);  // one stage; 1 = go on to the next
};
Walk g_walk;

void CALLBACK WalkTick(HWND, UINT, UINT_PTR, DWORD) {
  HWND frame = g_walk.wizard->frameWindow();
  if (++g_walk.ticks > kMaxTicks) {
    ADD_FAILURE() << "the walk stopped at stage " << g_walk.stage;
    DestroyWindow(frame);
    return;
  }
  WindowBase* shown = g_walk.wizard->shownPage();
  HWND page = shown != nullptr ? shown->handle() : nullptr;
  if (page == nullptr && g_walk.stage > 0) return;  // a page is being replaced
  if (g_walk.step(page)) ++g_walk.stage;
}

class ChoicePagesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(app.initialise(GetModuleHandleW(nullptr)));
    app.probeSystem(kNativeSystemInfoProcId, kNativeSystemInfoLibraryId);
    wizard = app.getWizard();
    ASSERT_NE(wizard, nullptr);
  }

  // Runs the wizard with `step` called at every tick; `stages` must be done.
  void RunWalk(int (*step)(HWND), int stages) {
    g_walk = {&app, wizard, 0, 0, step};
    const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, WalkTick);
    ASSERT_NE(timer, 0u);
    EXPECT_EQ(wizard->runWizard(), 1);
    KillTimer(nullptr, timer);
    EXPECT_EQ(g_walk.stage, stages);
  }

  KeyRow& Key(uint16_t scanCode) { return *app.findKey(scanCode); }

  InstallerApp app;
  WizardController* wizard = nullptr;
};

// ---- Options page, keys page and back, then Install without the rights ------

int ChoicesStep(HWND page) {
  InstallerApp& app = *g_walk.app;
  switch (g_walk.stage) {
    case 0:
      PostMessageW(g_walk.wizard->frameWindow(), kShowOptions, 0, 0);
      return 1;
    case 1: {
      if (app.getWizardStep() != kOptionsStep) return 0;
      EXPECT_EQ(app.getRecordedOption(), 0) << "cleared by every build";
      EXPECT_TRUE(Shown(page, IDC_TARGET_LANGUAGE) && Shown(page, IDC_DEFAULT_LANGUAGE));
      EXPECT_TRUE(Ticked(page, IDC_DEFAULT_LANGUAGE));
      EXPECT_FALSE(Ticked(page, IDC_FINAL_STEP));
      // Every item has a loaded layout for its language, or is the target
      // language, which has none here and is still listed and selected.
      HKL layouts[64] = {};
      const int layoutCount = GetKeyboardLayoutList(64, layouts);
      EXPECT_GT(layoutCount, 0);
      const LRESULT count = Combo(page, IDC_TARGET_LANGUAGE, CB_GETCOUNT);
      EXPECT_GE(count, 2);
      bool english = false;
      for (LRESULT i = 0; i < count; ++i) {
        const LRESULT locale = Combo(page, IDC_TARGET_LANGUAGE, CB_GETITEMDATA, i);
        bool hasLayout = false;
        for (int k = 0; k < layoutCount; ++k) {
          hasLayout |= LOWORD(reinterpret_cast<uintptr_t>(layouts[k])) == LOWORD(locale);
        }
        EXPECT_TRUE(hasLayout || locale == kPolish) << std::hex << locale;
        english |= locale == kUsEnglish;
      }
      EXPECT_TRUE(english);
      EXPECT_EQ(SelectedData(page, IDC_TARGET_LANGUAGE), kPolish);
      EXPECT_EQ(std::wstring(app.path(0)->WideAt(0)), LocaleName(kPolish));
      EXPECT_EQ(ControlText(page, IDC_DEFAULT_LANGUAGE), DefaultBoxText(app, LocaleName(kPolish)));
      // Choices go into the application at once; the box text follows the
      // language, its tick stays.
      Choose(page, IDC_TARGET_LANGUAGE, kUsEnglish, CBN_SELCHANGE);
      EXPECT_EQ(app.getTargetLanguageId(), kUsEnglish);
      EXPECT_EQ(std::wstring(app.path(0)->WideAt(0)), LocaleName(kUsEnglish));
      EXPECT_EQ(ControlText(page, IDC_DEFAULT_LANGUAGE), DefaultBoxText(app, LocaleName(kUsEnglish)));
      EXPECT_TRUE(Ticked(page, IDC_DEFAULT_LANGUAGE));
      Click(page, IDC_DEFAULT_LANGUAGE);
      Click(page, IDC_FINAL_STEP);
      Choose(page, IDC_VARIANT, 2, CBN_SELCHANGE);
      Choose(page, IDC_DECIMAL, 1, CBN_SELCHANGE);
      EXPECT_EQ(app.getDefaultLanguageFlag(), 0);
      EXPECT_EQ(app.getFinalStepOption(), 1);
      EXPECT_EQ(app.getVariantIndex(), 2);
      EXPECT_EQ(app.getDecimalOption(), 1);
      Click(page, IDC_KEYS);
      return 1;
    }
    case 2: {
      if (app.getWizardStep() != kKeyPageStep) return 0;
      const int box = IDC_FIRST_KEY_BOX;
      const int list = IDC_FIRST_KEY_LIST;
      // Left Shift (row 0): unticked, disabled and empty; ticking shows the
      // whole table less its first row, with the key's default selected.
      EXPECT_EQ(ControlText(page, box), Text(app, app.findKey(0x2A)->keyNumber));
      EXPECT_FALSE(Ticked(page, box));
      EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, list)));
      EXPECT_EQ(Combo(page, list, CB_GETCOUNT), 0);
      Click(page, box);
      EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, list)));
      EXPECT_EQ(Combo(page, list, CB_GETCOUNT), 26);
      EXPECT_EQ(SelectedData(page, list), app.findStaticKey(0x2A)->assignedKey);
      Choose(page, list, 0x1A5, CBN_SELENDOK);
      EXPECT_EQ(app.findKey(0x2A)->assignedKey, 0x1A5) << "stored at once";
      // Right Shift (row 1): ticked then unticked stores nothing.
      Click(page, box + 1);
      Click(page, box + 1);
      EXPECT_EQ(SelectedData(page, list + 1), 0) << "the blank item";
      // Left Ctrl (row 2): its default chosen, stored as 0 on leaving.
      Click(page, box + 2);
      // Caps Lock (row 11), ticked at start with only its code: unticked and
      // ticked again before any drop-down keeps the code the user saw.
      EXPECT_TRUE(Ticked(page, box + 11));
      EXPECT_EQ(Combo(page, list + 11, CB_GETCOUNT), 1);
      EXPECT_EQ(SelectedData(page, list + 11), 0x1A3);
      Click(page, box + 11);
      EXPECT_EQ(SelectedData(page, list + 11), 0);
      Click(page, box + 11);
      EXPECT_EQ(Combo(page, list + 11, CB_GETCOUNT), 26);
      EXPECT_EQ(SelectedData(page, list + 11), 0x1A3);
      // Scroll Lock (row 12) holds a code the table lacks: an empty list.
      EXPECT_TRUE(Ticked(page, box + 12));
      EXPECT_EQ(Combo(page, list + 12, CB_GETCOUNT), 0);
      // Num Lock (row 13) switched off: the whole list at its drop-down.
      SendMessageW(page, WM_COMMAND, MAKEWPARAM(list + 13, CBN_DROPDOWN),
                   reinterpret_cast<LPARAM>(GetDlgItem(page, list + 13)));
      EXPECT_EQ(Combo(page, list + 13, CB_GETCOUNT), 26);
      EXPECT_EQ(SelectedData(page, list + 13), 0xFF);
      Click(page, IDC_BACK);
      return 1;
    }
    case 3: {
      if (app.getWizardStep() != kOptionsStep) return 0;
      EXPECT_EQ(app.findKey(0x2A)->assignedKey, 0x1A5);
      EXPECT_EQ(app.findKey(0x36)->assignedKey, 0);
      EXPECT_EQ(app.findKey(0x1D)->assignedKey, 0) << "the default, normalised";
      EXPECT_EQ(app.findKey(0x3A)->assignedKey, 0x1A3);
      EXPECT_EQ(app.findKey(0x46)->assignedKey, 0) << "an unlisted code is not kept";
      EXPECT_EQ(app.findKey(0x45)->assignedKey, 0xFF);
      // The page rebuilt from the settings.
      EXPECT_EQ(SelectedData(page, IDC_TARGET_LANGUAGE), kUsEnglish);
      EXPECT_EQ(ControlText(page, IDC_DEFAULT_LANGUAGE), DefaultBoxText(app, LocaleName(kUsEnglish)));
      EXPECT_FALSE(Ticked(page, IDC_DEFAULT_LANGUAGE));
      EXPECT_TRUE(Ticked(page, IDC_FINAL_STEP));
      EXPECT_EQ(SelectedData(page, IDC_VARIANT), 2);
      EXPECT_EQ(SelectedData(page, IDC_DECIMAL), 1);
      // Posted, so that the message box's loop runs the next ticks.
      PostMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_INSTALL, BN_CLICKED),
                   reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_INSTALL)));
      return 1;
    }
    case 4: {
      HWND box = nullptr;
      EnumThreadWindows(GetCurrentThreadId(), FindBox, reinterpret_cast<LPARAM>(&box));
      if (box == nullptr) return 0;
      EXPECT_EQ(ControlText(box, 0xFFFF), Text(app, kNotAdministratorMessageId));
      PostMessageW(box, WM_COMMAND, IDOK, 0);
      return 1;
    }
    default:
      return 0;  // the frame closes by itself, without a question
  }
}

TEST_F(ChoicePagesTest, ChoicesGoIntoTheApplicationAndKeyRowsAreSaved) {
  InstallerAppProbe::versionCode(app) = kWindows7;
  InstallerAppProbe::isAdministrator(app) = 0;
  InstallerAppProbe::targetLanguageId(app) = kPolish;
  InstallerAppProbe::defaultLanguageFlag(app) = 1;
  InstallerAppProbe::finalStepOption(app) = 0;
  InstallerAppProbe::recordedOption(app) = 1;
  Key(0x3A).assignedKey = 0x1A3;  // Caps Lock as right Ctrl
  Key(0x46).assignedKey = 0x41;   // Scroll Lock as a code no list offers
  Key(0x45).assignedKey = 0xFF;   // Num Lock switched off
  RunWalk(ChoicesStep, 5);
  EXPECT_EQ(app.getWizardStep(), kWizardOverStep);
  EXPECT_EQ(app.getInstallDone(), 0) << "nothing installed without the rights";
}

// ---- What each system and mode shows ------------------------------------------

struct ViewCase {
  int32_t version;
  int32_t updateOnly;
  bool language, finalStep, placement;
};
ViewCase g_view;

int ViewStep(HWND page) {
  InstallerApp& app = *g_walk.app;
  if (g_walk.stage == 0) {
    PostMessageW(g_walk.wizard->frameWindow(), kShowOptions, 0, 0);
    return 1;
  }
  if (g_walk.stage != 1 || app.getWizardStep() != kOptionsStep) return 0;
  EXPECT_EQ(Shown(page, IDC_TARGET_LABEL), g_view.language);
  EXPECT_EQ(Shown(page, IDC_TARGET_LANGUAGE), g_view.language);
  EXPECT_EQ(Shown(page, IDC_DEFAULT_LANGUAGE), g_view.language);
  EXPECT_EQ(Shown(page, IDC_FINAL_STEP), g_view.finalStep);
  EXPECT_EQ(Shown(page, IDC_PLACEMENT), g_view.placement);
  EXPECT_TRUE(Shown(page, IDC_VARIANT) && Shown(page, IDC_DECIMAL));
  EXPECT_FALSE(Shown(page, IDC_KEEP_OPTIONS) || Shown(page, IDC_REMAP));
  // A hidden box leaves its setting as it was (placement forced from Windows 8).
  EXPECT_EQ(app.getDefaultLanguageFlag(), 1);
  EXPECT_EQ(app.getPlacementOption(), g_view.version >= 62 ? 1 : 0);
  app.setWizardStep(kWizardOverStep);  // closes without a question
  PostMessageW(g_walk.wizard->frameWindow(), WM_CLOSE, 0, 0);
  return 1;
}

class OptionsViewTest : public ChoicePagesTest, public ::testing::WithParamInterface<ViewCase> {};

TEST_P(OptionsViewTest, ShowsTheControlsOfItsSystemAndMode) {
  g_view = GetParam();
  InstallerAppProbe::versionCode(app) = g_view.version;
  InstallerAppProbe::updateOnly(app) = g_view.updateOnly;
  InstallerAppProbe::defaultLanguageFlag(app) = 1;
  InstallerAppProbe::placementOption(app) = 0;
  RunWalk(ViewStep, 2);
}

// Windows XP, Windows 8 and an update on Windows 7.
INSTANTIATE_TEST_SUITE_P(Systems, OptionsViewTest,
                         ::testing::Values(ViewCase{51, 0, false, true, true},
                                           ViewCase{62, 0, true, true, false},
                                           ViewCase{61, 1, false, false, false}));

}  // namespace
