// The single-instance test: a window of the frame's class, made here as if by
// a first copy, makes a second copy stand down; one of another program does not.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

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

std::wstring BesideTheProgram(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  const std::wstring program(path, length);
  return program.substr(0, program.find_last_of(L'\\') + 1) + name;
}

// A different program (frame-standin.exe) showing a window of the frame's class.
class StandInProgram {
 public:
  explicit StandInProgram(const std::wstring& className) {
    std::wstring command = L"\"" + BesideTheProgram(KESTREL_FRAME_STANDIN) + L"\" " + className;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
      process = PROCESS_INFORMATION();
      return;
    }
    for (int tries = 0; tries < 200 && window == nullptr; ++tries) {
      for (HWND w = FindWindowExW(nullptr, nullptr, className.c_str(), nullptr); w != nullptr;
           w = FindWindowExW(nullptr, w, className.c_str(), nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == process.dwProcessId) window = w;
      }
      if (window == nullptr) Sleep(50);
    }
  }
  ~StandInProgram() {
    if (process.hProcess == nullptr) return;
    if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 5000) != WAIT_OBJECT_0) {
      TerminateProcess(process.hProcess, 1);
      WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  StandInProgram(const StandInProgram&) = delete;
  StandInProgram& operator=(const StandInProgram&) = delete;

  HWND window = nullptr;

 private:
  PROCESS_INFORMATION process = {};
};

class RunningInstance : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lock.held());
    ASSERT_EQ(1, app.initialise(GetModuleHandleW(nullptr)));
    WString name;
    ASSERT_EQ(1, app.loadText(kFrameClassNameId, name));
    className = Wide(name);
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

TEST_F(RunningInstance, OnlyAWindowOfThisProgramsImageCountsAsAnotherCopy) {
  StandInProgram standIn(className);
  ASSERT_NE(nullptr, standIn.window);
  // Another program's window of the frame's class alone: this copy goes on.
  EXPECT_EQ(1, app.activateRunningInstance());
  // A real copy's window behind the stranger's is still found.
  ASSERT_NO_FATAL_FAILURE(OpenFirstCopysWindow());
  SetWindowPos(standIn.window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ASSERT_EQ(standIn.window, FindWindowW(className.c_str(), nullptr));
  EXPECT_EQ(0, app.activateRunningInstance());
}

TEST_F(RunningInstance, AWindowOfAnotherClassDoesNotCount) {
  className += L"-other";
  ASSERT_NO_FATAL_FAILURE(OpenFirstCopysWindow());
  EXPECT_EQ(1, app.activateRunningInstance());
}

}  // namespace
