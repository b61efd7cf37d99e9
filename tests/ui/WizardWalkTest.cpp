// The wizard in this process, on the real payload and templates: a walk
// through the page flow that checks the binding, the frame's sizing, the
// pages' texts and the messages between them; and a frame that cannot be made.

#include <gtest/gtest.h>

#include <windows.h>

#include <stdlib.h>

#include <string>

#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "res/resource.h"
#include "tests/app/support/InstallerAppProbe.h"
#include "tests/support/DialogControls.h"
#include "tests/support/ProductText.h"
#include "text/Format.h"
#include "ui/WindowBase.h"
#include "ui/WizardController.h"
#include "ui/WizardMessage.h"

namespace {

constexpr UINT kTickMs = 20;
constexpr int kMaxTicks = 1500;  // 30 s: then the walk gives up and closes

std::wstring Formatted(InstallerApp& app, uint32_t patternId, uint32_t argumentId) {
  WString text;
  Format(&text, Text(app, patternId).c_str(), Text(app, argumentId).c_str());
  return Wide(text);
}

// Registers a class of the frame's name for this module: 1 = registered (and
// `registered` is true, the caller unregisters), also when the name was free.
bool RegisterFrameClassName(InstallerApp& app, bool& registered) {
  static std::wstring name;
  name = Text(app, kFrameClassNameId);
  WNDCLASSEXW taken = {};
  taken.cbSize = sizeof(taken);
  taken.lpfnWndProc = DefWindowProcW;
  taken.hInstance = GetModuleHandleW(nullptr);
  taken.lpszClassName = name.c_str();
  registered = RegisterClassExW(&taken) != 0;
  return registered;
}

void UnregisterFrameClassName(InstallerApp& app) {
  UnregisterClassW(Text(app, kFrameClassNameId).c_str(), GetModuleHandleW(nullptr));
}

class WizardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(app.initialise(GetModuleHandleW(nullptr)));
    app.probeSystem(kNativeSystemInfoProcId, kNativeSystemInfoLibraryId);
    wizard = app.getWizard();
    ASSERT_NE(wizard, nullptr);
  }

  InstallerApp app;
  WizardController* wizard = nullptr;
};

// The walk: one action per timer tick, each checked at the next tick, after
// the messages it posted have been handled.
struct Walk {
  InstallerApp* app;
  WizardController* wizard;
  int stage;
  int ticks;
  HWND previousPage;
};
Walk g_walk;

HWND CurrentPage() {
  WindowBase* page = g_walk.wizard->shownPage();
  return page != nullptr ? page->handle() : nullptr;
}


void Post(UINT message) { PostMessageW(g_walk.wizard->frameWindow(), message, 0, 0); }

void CheckFrameFitsPage(HWND frame, HWND page) {
  RECT frameClient;
  RECT pageClient;
  RECT pageOnScreen;
  GetClientRect(frame, &frameClient);
  GetClientRect(page, &pageClient);
  GetWindowRect(page, &pageOnScreen);
  POINT corner = {pageOnScreen.left, pageOnScreen.top};
  ScreenToClient(frame, &corner);
  const int32_t band = g_walk.wizard->bandHeightMeasured();
  EXPECT_GT(band, 0);
  EXPECT_EQ(corner.y, band) << "the page sits under the header band";
  EXPECT_EQ(frameClient.bottom, pageClient.bottom + band);
  EXPECT_EQ(frameClient.right, pageClient.right);
}

void CALLBACK WalkStep(HWND, UINT, UINT_PTR, DWORD) {
  InstallerApp& app = *g_walk.app;
  HWND frame = g_walk.wizard->frameWindow();
  HWND page = CurrentPage();
  const int32_t step = app.getWizardStep();
  if (++g_walk.ticks > kMaxTicks) {
    ADD_FAILURE() << "the walk stopped at stage " << g_walk.stage;
    DestroyWindow(frame);
    return;
  }
  if (page == nullptr) return;  // a page is being replaced
  switch (g_walk.stage) {
    case 0:  // welcome, fresh face
      EXPECT_EQ(step, kWelcomeStep);
      CheckFrameFitsPage(frame, page);
      EXPECT_EQ(ControlText(page, IDC_WELCOME_HEADING),
                Formatted(app, kWelcomeHeadingFormatId, kLayoutDisplayNameId));
      EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, IDC_NEXT)));
      EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_REMOVE)));
      g_walk.previousPage = page;
      Post(kGoBack);  // nothing before the welcome page
      break;
    case 1:
      EXPECT_EQ(page, g_walk.previousPage);
      Click(page, IDC_NEXT);
      break;
    case 2:  // licence, not accepted yet
      EXPECT_EQ(step, kLicenceStep);
      EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_NEXT)));
      // The English licence, its byte-order mark dropped.
      EXPECT_EQ(ControlText(page, IDC_LICENCE_TEXT).rfind(L"Kestrel keyboard layout", 0), 0u);
      Click(page, IDC_ACCEPT);
      break;
    case 3:
      EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_NEXT)));
      EXPECT_EQ(app.getPageFlag(), 1);
      Click(page, IDC_BACK);
      break;
    case 4:  // a new welcome page
      EXPECT_EQ(step, kWelcomeStep);
      EXPECT_NE(page, g_walk.previousPage);
      Click(page, IDC_NEXT);
      break;
    case 5:  // the acceptance is kept
      EXPECT_EQ(step, kLicenceStep);
      EXPECT_EQ(IsDlgButtonChecked(page, IDC_ACCEPT), BST_CHECKED);
      EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_NEXT)));
      Click(page, IDC_NEXT);
      break;
    case 6:  // options
      EXPECT_EQ(step, kOptionsStep);
      EXPECT_EQ(ControlText(page, IDC_INSTALL), Text(app, kInstallButtonId));
      EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_REMAP)));
      g_walk.previousPage = page;
      Post(kGoNext);  // no page after the options by Next
      break;
    case 7:
      EXPECT_EQ(page, g_walk.previousPage);
      Click(page, IDC_KEYS);
      break;
    case 8:  // key assignment, rows 15 to 20 hidden
      EXPECT_EQ(step, kKeyPageStep);
      EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_FIRST_KEY_BOX + 14)));
      EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, IDC_FIRST_KEY_BOX + 13)));
      Click(page, IDC_BACK);
      break;
    case 9:
      EXPECT_EQ(step, kOptionsStep);
      Post(kShowFinish);
      break;
    case 10: {  // finish after an install (no PDF program known to this app)
      EXPECT_EQ(step, kWizardOverStep);
      EXPECT_EQ(ControlText(page, IDC_FINISH_HEADING), Text(app, kInstalledTextId));
      const std::wstring first = app.getVersionCode() >= 60
                                     ? Text(app, kInstalledResultId)
                                     : Formatted(app, kLegacyInstalledResultFormatId,
                                                 kLayoutDisplayNameId);
      EXPECT_FALSE(first.empty());
      std::wstring expected = first + L"\n\n" + Text(app, kNoPdfViewerId);
      // The static control keeps the text as given.
      EXPECT_EQ(ControlText(page, IDC_FINISH_RESULT), expected);
      Click(page, IDC_RESTART);  // step 6: the frame closes without a question
      break;
    }
    default:
      return;
  }
  ++g_walk.stage;
}

TEST_F(WizardTest, WalksThePagesAndClosesWithARestartRequest) {
  g_walk = {&app, wizard, 0, 0, nullptr};
  const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, WalkStep);
  ASSERT_NE(timer, 0u);
  EXPECT_EQ(wizard->runWizard(), 1);
  KillTimer(nullptr, timer);
  EXPECT_EQ(g_walk.stage, 11);
  EXPECT_EQ(app.getRestartRequested(), 1);
  // Every window object went with its window.
  EXPECT_EQ(wizard->frameWindow(), nullptr);
  EXPECT_EQ(wizard->shownPage(), nullptr);
  // The frame's class went with the wizard: its name is free again.
  bool registered = false;
  EXPECT_TRUE(RegisterFrameClassName(app, registered));
  if (registered) UnregisterFrameClassName(app);
}

// The installed face: the wizard's language switched to Polish, Update (which
// skips the licence and accepts it), Back from the options page to the
// licence of the new language, and the finish page after a removal, closed
// without a question and without a restart.
void CALLBACK InstalledWalkStep(HWND, UINT, UINT_PTR, DWORD) {
  InstallerApp& app = *g_walk.app;
  HWND frame = g_walk.wizard->frameWindow();
  HWND page = CurrentPage();
  if (++g_walk.ticks > kMaxTicks) {
    ADD_FAILURE() << "the walk stopped at stage " << g_walk.stage;
    DestroyWindow(frame);
    return;
  }
  if (page == nullptr) return;
  switch (g_walk.stage) {
    case 0: {
      EXPECT_EQ(app.getWizardStep(), kWelcomeStep);
      EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_NEXT)));
      EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, IDC_REMOVE)));
      EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_UPDATE)));
      EXPECT_EQ(ControlText(page, IDC_WELCOME_HEADING),
                Formatted(app, kInstalledHeadingFormatId, kLayoutDisplayNameId));
      HWND list = GetDlgItem(page, IDC_WIZARD_LANGUAGE);
      EXPECT_EQ(SendMessageW(list, CB_GETCOUNT, 0, 0), 2);
      for (int i = 0; i < 2; ++i) {
        if (SendMessageW(list, CB_GETITEMDATA, i, 0) == 1) SendMessageW(list, CB_SETCURSEL, i, 0);
      }
      ValidateRect(frame, nullptr);  // nothing waits to be painted
      SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_WIZARD_LANGUAGE, CBN_SELENDOK),
                   reinterpret_cast<LPARAM>(list));
      // The header band waits to be painted again, in the new language.
      RECT waiting = {0, 0, 0, 0};
      EXPECT_TRUE(GetUpdateRect(frame, &waiting, FALSE));
      EXPECT_EQ(0, waiting.top);
      break;
    }
    case 1:  // the page's texts in Polish at once
      EXPECT_EQ(app.getLanguageIndex(), 1);
      EXPECT_EQ(ControlText(page, IDC_WELCOME_HEADING),
                Formatted(app, kInstalledHeadingFormatId, kLayoutDisplayNameId));
      EXPECT_EQ(ControlText(page, IDC_UPDATE), Text(app, kUpdateButtonId));
      EXPECT_EQ(GetFocus(), GetDlgItem(page, IDC_LANGUAGE_SETTINGS));
      Click(page, IDC_UPDATE);
      break;
    case 2:
      EXPECT_EQ(app.getWizardStep(), kOptionsStep);
      EXPECT_EQ(app.getUpdateOnly(), 1);
      EXPECT_EQ(app.getPageFlag(), 1);
      Click(page, IDC_BACK);
      break;
    case 3:  // the licence of the Polish table, already accepted
      EXPECT_EQ(app.getWizardStep(), kLicenceStep);
      EXPECT_EQ(ControlText(page, IDC_LICENCE_TEXT).rfind(L"Uk\u0142ad klawiatury Kestrel", 0), 0u);
      EXPECT_EQ(IsDlgButtonChecked(page, IDC_ACCEPT), BST_CHECKED);
      InstallerAppProbe::uninstallDone(app) = 1;
      Post(kShowFinish);
      break;
    case 4:
      EXPECT_EQ(app.getWizardStep(), kWizardOverStep);
      EXPECT_EQ(ControlText(page, IDC_FINISH_HEADING), L"");
      EXPECT_EQ(ControlText(page, IDC_FINISH_RESULT), Text(app, kRemovedResultId));
      PostMessageW(frame, WM_CLOSE, 0, 0);  // the close box: no question at step 6
      break;
    default:
      return;
  }
  ++g_walk.stage;
}

TEST_F(WizardTest, InstalledFaceSwitchesLanguageUpdatesAndFinishesARemoval) {
  InstallerAppProbe::installedVersion(app) = 180;
  g_walk = {&app, wizard, 0, 0, nullptr};
  const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, InstalledWalkStep);
  ASSERT_NE(timer, 0u);
  EXPECT_EQ(wizard->runWizard(), 1);
  KillTimer(nullptr, timer);
  EXPECT_EQ(g_walk.stage, 5);
  EXPECT_EQ(app.getRestartRequested(), 0);
  EXPECT_EQ(wizard->shownPage(), nullptr);
}

// A frame class of this name that the module already holds (a wizard's class
// left behind) cannot be registered again: the wizard ends at once instead of
// waiting for messages that never come.
TEST_F(WizardTest, EndsAtOnceWhenTheFrameCannotBeMade) {
  bool registered = false;
  RegisterFrameClassName(app, registered);
  // An earlier wizard of this process may still hold the class: the same case.
  ASSERT_TRUE(registered || GetLastError() == ERROR_CLASS_ALREADY_EXISTS);
  EXPECT_EQ(wizard->runWizard(), 0);
  EXPECT_EQ(wizard->frameWindow(), nullptr);
  EXPECT_EQ(app.getWizardStep(), 0) << "no page was shown";
  if (registered) UnregisterFrameClassName(app);
}

}  // namespace
