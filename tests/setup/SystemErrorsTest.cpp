// What the system layer does with a failed call: one line on the debugger
// channel naming the call, its argument and the error, read back the way a
// debugger receives it; and removals that count a missing target as done.

#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <string>

#include "setup/Files.h"
#include "setup/Libraries.h"
#include "setup/Processes.h"
#include "setup/Registry.h"
#include "tests/setup/SystemTestSupport.h"

namespace {

// OutputDebugString reaches a debugger as an exception: the wide form
// (Windows 10 on) or the narrow one (earlier Windows and Wine). A vectored
// handler sees it first and lets the system's own handler end it.
constexpr DWORD kPrintWide = 0x4001000A;   // DBG_PRINTEXCEPTION_WIDE_C
constexpr DWORD kPrintNarrow = 0x40010006;  // DBG_PRINTEXCEPTION_C
std::wstring gDebugger;

LONG CALLBACK ReadDebugPrint(EXCEPTION_POINTERS* pointers) {
  const EXCEPTION_RECORD* record = pointers->ExceptionRecord;
  if (record->NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
  const ULONG_PTR units = record->ExceptionInformation[0];
  if (record->ExceptionCode == kPrintWide) {
    const wchar_t* text = reinterpret_cast<const wchar_t*>(record->ExceptionInformation[1]);
    for (ULONG_PTR i = 0; i < units && text[i] != 0; ++i) gDebugger += text[i];
  } else if (record->ExceptionCode == kPrintNarrow) {
    const char* text = reinterpret_cast<const char*>(record->ExceptionInformation[1]);
    for (ULONG_PTR i = 0; i < units && text[i] != 0; ++i) {
      gDebugger += static_cast<wchar_t>(static_cast<unsigned char>(text[i]));
    }
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

// The system's list of renames and deletions left for the restart, as one text.
std::wstring PendingOperations() {
  HKEY session = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager", 0,
                    KEY_QUERY_VALUE, &session) != ERROR_SUCCESS) {
    return L"";
  }
  std::wstring text(32768, L'\0');
  DWORD bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegQueryValueExW(session, L"PendingFileRenameOperations", nullptr, nullptr,
                       reinterpret_cast<BYTE*>(&text[0]), &bytes) != ERROR_SUCCESS) {
    bytes = 0;
  }
  RegCloseKey(session);
  text.resize(bytes / sizeof(wchar_t));
  return text;
}

class SystemErrors : public ::testing::Test {
 protected:
  void SetUp() override {
    gDebugger.clear();
    handler = AddVectoredExceptionHandler(1, ReadDebugPrint);
    ASSERT_NE(nullptr, handler);
    folder = TempFolder() + Unique(L"kestrel-errors") + L"\\";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    keyPath = L"Software\\KestrelTests\\" + Unique(L"Errors");
    key = CreateRegistryKey(HKEY_CURRENT_USER, keyPath.c_str(), KEY_READ | KEY_WRITE);
    ASSERT_NE(nullptr, key);
  }
  void TearDown() override {
    if (handler != nullptr) RemoveVectoredExceptionHandler(handler);
    if (key != nullptr) RegCloseKey(key);
    SHDeleteKeyW(HKEY_CURRENT_USER, keyPath.c_str());
    RemoveDirectoryW((folder + L"full").c_str());
    RemoveDirectoryW(folder.c_str());
  }
  // Whether one whole line of the debugger's text is `line`.
  static bool Reported(const std::wstring& line) {
    return (L"\n" + gDebugger).find(L"\n" + line + L"\n") != std::wstring::npos;
  }
  // The program's own lines (the test framework may write there as well).
  static std::wstring SetupLines() {
    std::wstring lines;
    for (size_t at = 0; at < gDebugger.size();) {
      size_t end = gDebugger.find(L'\n', at);
      end = end == std::wstring::npos ? gDebugger.size() : end + 1;
      if (gDebugger.compare(at, 7, L"setup: ") == 0) lines += gDebugger.substr(at, end - at);
      at = end;
    }
    return lines;
  }

  void* handler = nullptr;
  std::wstring folder, keyPath;
  HKEY key = nullptr;
};

// A file in a folder that does not exist, a value written through a key opened
// for reading, a library and a program that are not there: each fails with its
// call, its argument and the system's error on one line. Values and keys that
// are merely absent when read are answers, not failures, and say nothing.
TEST_F(SystemErrors, FailedCallsNameTheCallTheArgumentAndTheError) {
  const std::wstring file = folder + L"missing\\out.txt";
  EXPECT_EQ(nullptr, CreateOutputFile(file.c_str()));
  EXPECT_TRUE(Reported(L"setup: CreateFileW " + file + L": error 3")) << gDebugger;

  HKEY readOnly = OpenRegistryKey(HKEY_CURRENT_USER, keyPath.c_str(), KEY_READ);
  ASSERT_NE(nullptr, readOnly);
  EXPECT_EQ(0, WriteDwordValue(readOnly, L"Denied", 1));
  RegCloseKey(readOnly);
  EXPECT_TRUE(Reported(L"setup: RegSetValueExW Denied: error 5")) << gDebugger;

  EXPECT_EQ(nullptr, LoadSystemLibrary(L"kestrel-absent.dll"));
  EXPECT_TRUE(Reported(L"setup: LoadLibraryExW " + SystemFolder() +
                       L"\\kestrel-absent.dll: error 126"))
      << gDebugger;

  WString command;
  const std::wstring line = L"\"" + folder + L"absent.exe\"";
  ASSERT_EQ(1, command.AssignWide(line.c_str(), -1));
  EXPECT_EQ(0, RunCommandLine(command));
  EXPECT_TRUE(Reported(L"setup: CreateProcessW " + line + L": error 2")) << gDebugger;

  // What a command returned is said as well (the child ends with 2 without arguments).
  const std::wstring child = L"\"" + TestProgramFolder() + KESTREL_SYSTEM_TEST_CHILD + L"\"";
  ASSERT_EQ(1, command.AssignWide(child.c_str(), -1));
  EXPECT_EQ(1, RunCommandLineWaiting(command, 15000));
  EXPECT_TRUE(Reported(L"setup: " + child + L": exit code 2")) << gDebugger;

  const std::wstring failures = SetupLines();
  uint32_t value = 0;
  WString text;
  EXPECT_EQ(0, ReadDwordValue(key, L"Absent", value));
  EXPECT_EQ(0, ReadTextValue(key, L"Absent", text));
  EXPECT_EQ(nullptr, OpenRegistryKey(key, L"AbsentKey", KEY_READ));
  EXPECT_EQ(failures, SetupLines());
}

// Every removal takes a target that is not there, or whose folder is not
// there, as done, and says nothing about it; a removal that really fails
// still fails, and says why.
TEST_F(SystemErrors, RemovalsCountWhatIsAlreadyGoneAsDone) {
  const std::wstring gone = folder + L"gone.txt", noFolder = folder + L"none\\gone.txt";
  for (const std::wstring& path : {gone, noFolder}) {
    SCOPED_TRACE(path);
    WString text;
    ASSERT_EQ(1, text.AssignWide(path.c_str(), -1));
    EXPECT_EQ(1, RemoveFile(path.c_str()));
    EXPECT_EQ(1, RemoveFileText(text));
    EXPECT_EQ(1, DeleteFileNow(path.c_str()));
    EXPECT_EQ(1, RemoveFolderText(text));
    EXPECT_EQ(1, RemoveFileInside(folder.c_str(), path.c_str()));
  }
  EXPECT_EQ(1, DeleteRegistryValue(key, L"Gone"));
  EXPECT_EQ(1, DeleteRegistrySubKey(key, L"Gone"));
  EXPECT_EQ(L"", SetupLines());
  // Nothing that is gone is left for the restart either. (Wine schedules any
  // name it is given, so ScheduleRemovalAtRestart itself shows nothing here.)
  EXPECT_EQ(std::wstring::npos, PendingOperations().find(Unique(L"kestrel-errors")));

  // A folder that still holds something stays, as its callers expect: no line.
  const std::wstring full = folder + L"full";
  ASSERT_TRUE(CreateDirectoryW(full.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW((full + L"\\inner").c_str(), nullptr));
  WString fullText;
  ASSERT_EQ(1, fullText.AssignWide(full.c_str(), -1));
  EXPECT_EQ(0, RemoveFolderText(fullText));
  EXPECT_EQ(L"", SetupLines());
  ASSERT_TRUE(RemoveDirectoryW((full + L"\\inner").c_str()));

  ASSERT_EQ(1, WriteDwordValue(key, L"Kept", 1));
  HKEY readOnly = OpenRegistryKey(HKEY_CURRENT_USER, keyPath.c_str(), KEY_READ);
  ASSERT_NE(nullptr, readOnly);
  EXPECT_EQ(0, DeleteRegistryValue(readOnly, L"Kept"));
  RegCloseKey(readOnly);
  EXPECT_TRUE(Reported(L"setup: RegDeleteValueW Kept: error 5")) << gDebugger;
}

}  // namespace
