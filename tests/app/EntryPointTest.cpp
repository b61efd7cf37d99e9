// The phase order of the program and every way out of it, driven through
// RunInstaller with the recording double in place of the later operations.

#include <gtest/gtest.h>

#include <objbase.h>

#include <string>
#include <vector>

#include "app/EntryPoint.h"
#include "tests/app/doubles/CallScript.h"

namespace {

const std::vector<std::string> kInitialiseSteps = {
    "loadFromImage", "extract 0", "extract 1", "extract 2", "extract 3", "wizard.initialise"};

const std::vector<std::string> kFullRun = {
    "loadFromImage",       "extract 0",        "extract 1",
    "extract 2",           "extract 3",        "wizard.initialise",
    "probeSystem 58 142",  "isSupportedSystem", "checkDesktopUser",
    "activateRunningInstance",
    "buildPaths",          "checkAssociation 42 45", "checkAdministrator",
    "readScancodeMap",     "detectInstallation", "runWizard",
    "teardown"};

// True when COM is still initialised on this thread (a run that skipped
// CoUninitialize); leaves the thread uninitialised either way.
bool ComLeftInitialised() {
  const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  CoUninitialize();
  if (hr == S_FALSE) {
    CoUninitialize();
    return true;
  }
  return false;
}

class EntryPoint : public ::testing::Test {
 protected:
  void SetUp() override { ResetCallScript(); }
  int runInstaller() { return RunInstaller(GetModuleHandleW(nullptr)); }
};

TEST_F(EntryPoint, FullRunCallsEveryStepInOrderThenFinishes) {
  EXPECT_EQ(0, runInstaller());
  EXPECT_EQ(kFullRun, Script().calls) << CallLog();
  EXPECT_FALSE(ComLeftInitialised());
}

TEST_F(EntryPoint, InitialiseFailingAtAnyStepEndsSilentlyWithoutRunOrFinish) {
  for (size_t failing = 0; failing < kInitialiseSteps.size(); ++failing) {
    ResetCallScript();
    CallScript& s = Script();
    if (failing == 0) s.loadKeyBlockResult = 0;
    if (failing >= 1 && failing <= 4) s.extractResult[failing - 1] = 0;
    if (failing == 5) s.wizardInitialiseResult = 0;
    EXPECT_EQ(0, runInstaller());
    const std::vector<std::string> expected(kInitialiseSteps.begin(),
                                            kInitialiseSteps.begin() + failing + 1);
    EXPECT_EQ(expected, s.calls) << "failing step " << failing << ": " << CallLog();
    EXPECT_TRUE(ComLeftInitialised()) << "failing step " << failing;
  }
}

TEST_F(EntryPoint, UnsupportedSystemOrAnotherUsersDesktopShowsItsMessageAndSkipsFinish) {
  Script().supported = 0;
  EXPECT_EQ(0, runInstaller());
  std::vector<std::string> tail(Script().calls.begin() + 6, Script().calls.end());
  std::vector<std::string> expected = {"probeSystem 58 142", "isSupportedSystem",
                                       "showMessage 123 48"};
  EXPECT_EQ(expected, tail) << CallLog();
  EXPECT_TRUE(ComLeftInitialised());

  // Another user's desktop stops the run before any other copy is looked for.
  ResetCallScript();
  Script().desktopUser = 0;
  EXPECT_EQ(0, runInstaller());
  tail.assign(Script().calls.begin() + 6, Script().calls.end());
  expected = {"probeSystem 58 142", "isSupportedSystem", "checkDesktopUser",
              "showMessage 124 48"};
  EXPECT_EQ(expected, tail) << CallLog();
  EXPECT_TRUE(ComLeftInitialised());
}

TEST_F(EntryPoint, SecondCopyStopsWithoutMessageOrFinish) {
  Script().activate = 0;
  EXPECT_EQ(0, runInstaller());
  EXPECT_EQ("activateRunningInstance", Script().calls.back()) << CallLog();
  for (const std::string& call : Script().calls) EXPECT_NE(0u, call.find("showMessage")) << call;
  EXPECT_TRUE(ComLeftInitialised());
}

TEST_F(EntryPoint, NonAdministratorSeesMessage122ThenFinishRuns) {
  Script().administrator = 0;
  EXPECT_EQ(0, runInstaller());
  const std::vector<std::string> tail(Script().calls.begin() + 12, Script().calls.end());
  const std::vector<std::string> expected = {"checkAdministrator", "relaunchElevated",
                                             "showMessage 122 0", "teardown"};
  EXPECT_EQ(expected, tail) << CallLog();
  EXPECT_EQ(-1, CallIndex("runWizard"));
  EXPECT_EQ(-1, CallIndex("readScancodeMap"));
  EXPECT_FALSE(ComLeftInitialised());

  // An administrator's limited token: the elevated copy goes on, this run ends
  // without a word and without its finish.
  ResetCallScript();
  Script().administrator = 0;
  Script().relaunched = 1;
  EXPECT_EQ(0, runInstaller());
  EXPECT_EQ("relaunchElevated", Script().calls.back()) << CallLog();
  EXPECT_EQ(-1, CallIndex("showMessage 122 0"));
}

TEST_F(EntryPoint, WizardThatCannotStartSkipsFinish) {
  Script().runWizardResult = 0;
  EXPECT_EQ(0, runInstaller());
  EXPECT_EQ("runWizard", Script().calls.back()) << CallLog();
  EXPECT_TRUE(ComLeftInitialised());
}

TEST_F(EntryPoint, CompletionIsRecordedOnlyAfterAnInstallOrUninstall) {
  struct Case {
    int install, uninstall;
    int32_t version;
    const char* expected;  // null: nothing recorded
  };
  const Case cases[] = {
      {0, 0, 51, nullptr},
      {1, 0, 51, "setMachineText 4 71 50"},
      {0, 1, 62, "setMachineText 4 71 50"},
      {1, 1, 60, "setMachineText 4 71 50"},
      {1, 0, 50, "setMachineText 4 71 51"},
      {0, 1, 50, "setMachineText 4 71 51"},
      {1, 0, 52, "setMachineText 4 71 50"},
  };
  for (const Case& c : cases) {
    ResetCallScript();
    Script().installDone = c.install;
    Script().uninstallDone = c.uninstall;
    Script().probedVersion = c.version;
    runInstaller();
    const std::string& last = Script().calls.back();
    if (c.expected == nullptr) {
      EXPECT_EQ("teardown", last) << CallLog();
    } else {
      EXPECT_EQ(c.expected, last) << "version " << c.version << ": " << CallLog();
      EXPECT_EQ(static_cast<int>(Script().calls.size()) - 2, CallIndex("teardown"));
    }
  }
}

TEST_F(EntryPoint, RestartOnlyWhenRequestedAndAfterTheCompletionValue) {
  Script().installDone = 1;
  Script().restartRequested = 1;
  runInstaller();
  const std::vector<std::string> tail(Script().calls.end() - 3, Script().calls.end());
  const std::vector<std::string> expected = {"teardown", "setMachineText 4 71 50",
                                             "restartSystem"};
  EXPECT_EQ(expected, tail) << CallLog();

  ResetCallScript();
  Script().installDone = 1;
  runInstaller();
  EXPECT_EQ(-1, CallIndex("restartSystem")) << CallLog();
}

}  // namespace
