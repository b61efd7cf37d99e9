// The application object the engine tests drive: the real payload (for the
// product's own ids) with its first language table replaced by a table of
// test texts that the tests' ids below name.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <stdint.h>

#include <string>

#include "app/InstallerApp.h"
#include "tests/setup/SystemTestSupport.h"
#include "text/WString.h"

// Ids of the test texts (no product table uses them).
constexpr uint32_t kTestKeyId = 9001;          // HKCU key of this process
constexpr uint32_t kTestSubKeyId = 9002;       // "Child", a sub-key under it
constexpr uint32_t kTestMachineKeyId = 9003;   // HKLM key of this process
constexpr uint32_t kBinaryValueId = 9010;      // "Bytes"
constexpr uint32_t kDwordValueId = 9011;       // "Number"
constexpr uint32_t kTextValueId = 9012;        // "Text"
constexpr uint32_t kNarrowValueId = 9013;      // "Raw", stored narrow
constexpr uint32_t kTextDataId = 9014;         // data of writeTextIds and setMachineText
constexpr uint32_t kHexUpperId = 9030;         // "00FF10AB"
constexpr uint32_t kHexNarrowId = 9031;        // "ABz", stored narrow
constexpr uint32_t kHexLowerId = 9032;         // "00ff"
constexpr uint32_t kIniAssociationId = 9040;   // ".ini" (a fresh Wine prefix has no ".txt" type)
constexpr uint32_t kNoAssociationId = 9041;    // an extension nothing is registered for
constexpr uint32_t kTestAssociationId = 9042;  // an extension of this process
constexpr uint32_t kPathLibraryId = 9051;      // a library name with a path in it
constexpr uint32_t kProcessIdProcId = 9060;    // "GetCurrentProcessId", stored narrow
constexpr uint32_t kMissingProcId = 9061;
constexpr uint32_t kChildCommandId = 9070;     // child path, marker path, milliseconds
constexpr uint32_t kMissingProgramCommandId = 9072;  // system folder
constexpr uint32_t kSystemCommandId = 9073;  // system folder, marker path: SystemChildName()
constexpr uint32_t kUnknownId = 9999;          // no table holds it

// The file name of this process's copy of the child program in the system folder.
std::wstring SystemChildName();
// The HKCU and HKLM key paths of kTestKeyId and kTestMachineKeyId.
std::wstring TestKeyPath();
std::wstring TestMachineKeyPath();

class EngineTest : public ::testing::Test {
 protected:
  void SetUp() override;

  InstallerApp app;
  bool ready = false;
};
