// The application object the system tests drive: the real payload (for the
// product's own ids) plus a table of test texts that the tests' ids name.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <stdint.h>

#include <string>

#include "app/InstallerApp.h"
#include "text/WString.h"

// Ids of the test texts (no product table uses them).
constexpr uint32_t kTestKeyId = 9001;          // HKCU key of this process's registry tests
constexpr uint32_t kTestSubKeyId = 9002;       // a sub-key under it
constexpr uint32_t kTestMachineKeyId = 9003;   // HKLM key of this process
constexpr uint32_t kBinaryValueId = 9010;
constexpr uint32_t kDwordValueId = 9011;
constexpr uint32_t kTextValueId = 9012;
constexpr uint32_t kRawValueId = 9013;         // written directly with RegSetValueExW
constexpr uint32_t kTextDataId = 9014;         // data of writeTextIds
constexpr uint32_t kHexUpperId = 9030;         // "00FF10AB"
constexpr uint32_t kHexLowerId = 9031;         // "00ff"
constexpr uint32_t kHexOddId = 9032;           // "ABz": the odd last character is ignored
constexpr uint32_t kHexBadDigitId = 9033;      // "0G12"
constexpr uint32_t kHexSingleId = 9034;        // "A"
constexpr uint32_t kIniAssociationId = 9040;   // ".ini" (a fresh Wine prefix has no ".txt" type)
constexpr uint32_t kNoAssociationId = 9041;    // an extension nothing is registered for
constexpr uint32_t kTestAssociationId = 9042;  // an extension the process tests register
constexpr uint32_t kPlantedLibraryId = 9050;   // a library only the test folder holds
constexpr uint32_t kPathLibraryId = 9051;      // a library name with a path in it
constexpr uint32_t kParentPathLibraryId = 9052;
constexpr uint32_t kVersionLibraryId = 9053;   // a system library not loaded yet
constexpr uint32_t kProcessIdProcId = 9060;    // "GetCurrentProcessId"
constexpr uint32_t kMissingProcId = 9061;
constexpr uint32_t kChildCommandId = 9070;     // child path, marker path, milliseconds
constexpr uint32_t kCmdCommandId = 9071;       // system folder: cmd.exe /c exit 0
constexpr uint32_t kMissingProgramCommandId = 9072;
constexpr uint32_t kAssociatedCommandId = 9073;  // program, marker path
constexpr uint32_t kReplaceCommandId = 9074;   // child: marker path, milliseconds, file to attack
constexpr uint32_t kUnknownId = 9999;          // no table holds it

std::wstring Wide(const WString& text);
std::wstring SystemFolder();
std::wstring TestProgramFolder();  // the folder of the running test program, with "\"
// Unique within the prefix for this process: tests of both versions run at once.
std::wstring Unique(const wchar_t* base);
bool FileExists(const std::wstring& path);
std::string ReadWholeFile(const std::wstring& path);

class SystemTest : public ::testing::Test {
 protected:
  void SetUp() override;

  InstallerApp app;
  bool ready = false;
};
