// The single-instance test: a window of the frame's class, made here as if by
// a first copy, makes a second copy stand down.
#include <gtest/gtest.h>

#include <windows.h>

#include "app/InstallerApp.h"
#include "payload/StringIds.h"
#include "tests/environment/EnvironmentExpectations.h"

namespace {

// The tests of every emulated version share one desktop per prefix: one at a
// time may own a window of the frame's class.
class FrameClassLock {
 public:
  FrameClassLock() : mutex(CreateMutexW(nullptr, FALSE, L"KestrelTests.EnvironmentFrameClass")) {
    if (mutex != nullptr) WaitForSingleObject(mutex, 60000);
  }
  ~FrameClassLock() {
    if (mutex != nullptr) {
      ReleaseMutex(mutex);
      CloseHandle(mutex);
    }
  }
  FrameClassLock(const FrameClassLock&) = delete;
  FrameClassLock& operator=(const FrameClassLock&) = delete;
  bool held() const { return mutex != nullptr; }

 private:
  HANDLE mutex;
};

class RunningInstance : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lock.held());
    ASSERT_EQ(1, app.initialise(GetModuleHandleW(nullptr)));
    WString name;
    ASSERT_EQ(1, app.loadText(kFrameClassNameId, name));
    className = WideText(name);
    ASSERT_FALSE(className.empty());
  }
  void TearDown() override {
    if (window != nullptr) DestroyWindow(window);
    if (registered) UnregisterClassW(className.c_str(), GetModuleHandleW(nullptr));
  }
  void OpenFirstCopysWindow() {
    WNDCLASSW frameClass = {};
    frameClass.lpfnWndProc = DefWindowProcW;
    frameClass.hInstance = GetModuleHandleW(nullptr);
    frameClass.lpszClassName = className.c_str();
    registered = RegisterClassW(&frameClass) != 0;
    ASSERT_TRUE(registered);
    window = CreateWindowExW(0, className.c_str(), L"first copy", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                             100, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(nullptr, window);
  }

  FrameClassLock lock;
  InstallerApp app;
  std::wstring className;
  bool registered = false;
  HWND window = nullptr;
};

TEST_F(RunningInstance, NoFrameWindowLetsThisCopyGoOn) {
  ASSERT_EQ(nullptr, FindWindowW(className.c_str(), nullptr));
  EXPECT_EQ(1, app.activateRunningInstance());
}

TEST_F(RunningInstance, AFrameWindowOfAnotherCopyStopsThisOne) {
  ASSERT_NO_FATAL_FAILURE(OpenFirstCopysWindow());
  EXPECT_EQ(0, app.activateRunningInstance());
  // Once that window is gone, a new start goes on again.
  DestroyWindow(window);
  window = nullptr;
  EXPECT_EQ(1, app.activateRunningInstance());
}

TEST_F(RunningInstance, AWindowOfAnotherClassDoesNotCount) {
  className += L"-other";
  ASSERT_NO_FATAL_FAILURE(OpenFirstCopysWindow());
  EXPECT_EQ(1, app.activateRunningInstance());
}

}  // namespace
