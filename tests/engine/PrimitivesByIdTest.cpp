// The application's system primitives by string id: each resolves its names
// through the string table (the lookup buffer) before one call of the system
// layer, and fails like a failed call when the id names no text.

#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <stdlib.h>
#include <string.h>

#include "payload/StringIds.h"
#include "setup/PrivateScript.h"
#include "tests/app/support/InstallerAppProbe.h"
#include "tests/engine/EngineFixture.h"
#include "text/Format.h"
#include "text/Memory.h"
#include "tests/support/ProcessBits.h"

namespace {

// ---- Registry ----------------------------------------------------------------------

class RegistryById : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_TRUE(ready);
    key = app.createKey(HKEY_CURRENT_USER, kTestKeyId, KEY_READ | KEY_WRITE);
    ASSERT_NE(nullptr, key);
  }
  void TearDown() override {
    if (key != nullptr) RegCloseKey(key);
    SHDeleteKeyW(HKEY_CURRENT_USER, TestKeyPath().c_str());
  }
  // The value stored under `name`, read apart from the code under test.
  std::string stored(const wchar_t* name, DWORD* type) {
    BYTE data[256] = {};
    DWORD size = sizeof(data);
    if (RegQueryValueExW(key, name, nullptr, type, data, &size) != ERROR_SUCCESS) return "<none>";
    return std::string(reinterpret_cast<char*>(data), size);
  }
  bool hasSubKey(const wchar_t* name) {
    HKEY child = nullptr;
    if (RegOpenKeyExW(key, name, 0, KEY_READ, &child) != ERROR_SUCCESS) return false;
    RegCloseKey(child);
    return true;
  }
  std::wstring lookupBuffer() { return Wide(InstallerAppProbe::lookupBuffer(app)); }

  HKEY key = nullptr;
};

std::string Utf16Bytes(const std::wstring& text) {
  return std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * 2);
}

const wchar_t kTextData[] = L"Za\u017C\u00F3\u0142\u0107 g\u0119\u015Bl\u0105";

// Written by id, the values stand under the names the table gives, and read
// back by id; a narrow name names the same value as its wide form.
TEST_F(RegistryById, EachFormResolvesItsNames) {
  const uint8_t bytes[3] = {1, 2, 3};
  ASSERT_EQ(1, app.writeBinary(key, kBinaryValueId, bytes, 3));
  ASSERT_EQ(1, app.writeDword(key, kDwordValueId, 0x01020304u));
  ASSERT_EQ(1, app.writeTextIds(key, kTextValueId, kTextDataId));
  ASSERT_EQ(1, app.writeDword(key, kNarrowValueId, 7));
  DWORD type = 0;
  EXPECT_EQ(std::string("\1\2\3", 3), stored(L"Bytes", &type));
  EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
  EXPECT_EQ(std::string("\4\3\2\1", 4), stored(L"Number", &type));
  EXPECT_EQ(Utf16Bytes(kTextData), stored(L"Text", &type));
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  EXPECT_EQ(std::string("\7\0\0\0", 4), stored(L"Raw", &type));

  uint32_t count = 0;
  uint8_t* block = app.readBinary(key, kBinaryValueId, count);
  ASSERT_NE(nullptr, block);
  EXPECT_EQ(std::string("\1\2\3", 3), std::string(reinterpret_cast<char*>(block), count));
  FreeBlock(block);
  uint32_t value = 0;
  ASSERT_EQ(1, app.readDword(key, kDwordValueId, value));
  EXPECT_EQ(0x01020304u, value);
  WString text;
  ASSERT_EQ(1, app.readText(key, kTextValueId, text));
  EXPECT_EQ(std::wstring(kTextData), Wide(text));
  EXPECT_EQ(1, app.textEquals(key, kTextValueId, text));

  HKEY child = app.createKey(key, kTestSubKeyId, KEY_WRITE);
  ASSERT_NE(nullptr, child);
  RegCloseKey(child);
  EXPECT_TRUE(hasSubKey(L"Child"));
  child = app.openKey(key, kTestSubKeyId, KEY_READ);
  EXPECT_NE(nullptr, child);
  if (child != nullptr) RegCloseKey(child);
  EXPECT_EQ(1, app.deleteSubKey(key, kTestSubKeyId));
  EXPECT_FALSE(hasSubKey(L"Child"));
  app.deleteValue(key, kDwordValueId);
  EXPECT_EQ("<none>", stored(L"Number", &type));
}

// An unknown id fails every form, and acts on no value or key: not even on
// the name an earlier lookup left in the buffer.
TEST_F(RegistryById, EachFormFailsOnAnUnknownId) {
  const uint8_t byte = 1;
  ASSERT_EQ(1, app.writeDword(key, kDwordValueId, 5));
  HKEY child = app.createKey(key, kTestSubKeyId, KEY_WRITE);
  ASSERT_NE(nullptr, child);
  RegCloseKey(child);
  WString text;
  text.AssignWide(L"x", 1);

  EXPECT_EQ(nullptr, app.openKey(key, kUnknownId, KEY_READ));
  EXPECT_EQ(nullptr, app.createKey(key, kUnknownId, KEY_WRITE));
  EXPECT_EQ(0, app.writeBinary(key, kUnknownId, &byte, 1));
  uint32_t count = 5;
  EXPECT_EQ(nullptr, app.readBinary(key, kUnknownId, count));
  EXPECT_EQ(0u, count);
  EXPECT_EQ(0, app.writeDword(key, kUnknownId, 1));
  uint32_t value = 77;
  EXPECT_EQ(0, app.readDword(key, kUnknownId, value));
  EXPECT_EQ(77u, value);
  EXPECT_EQ(0, app.writeText(key, kUnknownId, text));
  EXPECT_EQ(0, app.writeTextIds(key, kUnknownId, kTextDataId));
  EXPECT_EQ(0, app.writeTextIds(key, kTextValueId, kUnknownId));
  WString out;
  out.AssignWide(L"old", 3);
  EXPECT_EQ(0, app.readText(key, kUnknownId, out));
  EXPECT_EQ(0, out.Length());
  WString empty;
  EXPECT_EQ(0, app.textEquals(key, kUnknownId, empty));

  // A lookup just before leaves a real name in the buffer; a failed one must
  // not fall back on it.
  ASSERT_EQ(1, app.readDword(key, kDwordValueId, value));
  app.deleteValue(key, kUnknownId);
  EXPECT_EQ(1, app.readDword(key, kDwordValueId, value));
  child = app.openKey(key, kTestSubKeyId, KEY_READ);
  ASSERT_NE(nullptr, child);
  RegCloseKey(child);
  EXPECT_EQ(0, app.deleteSubKey(key, kUnknownId));
  EXPECT_TRUE(hasSubKey(L"Child"));
  DWORD type = 0;
  EXPECT_EQ("<none>", stored(L"", &type));  // nothing written under the empty name
  EXPECT_EQ("<none>", stored(L"Text", &type));
}

TEST_F(RegistryById, EachLookupReplacesTheLookupBuffer) {
  uint32_t value = 0;
  /* result ignored: only the lookup matters here */
  app.readDword(key, kDwordValueId, value);
  EXPECT_EQ(L"Number", lookupBuffer());
  EXPECT_EQ(nullptr, app.openKey(key, kTestSubKeyId, KEY_READ));  // not created
  EXPECT_EQ(L"Child", lookupBuffer());
  // The text written may be the lookup buffer itself: its name is looked up apart.
  WString& buffer = InstallerAppProbe::lookupBuffer(app);
  buffer.AssignWide(L"kept", -1);
  ASSERT_EQ(1, app.writeText(key, kTextValueId, buffer));
  DWORD type = 0;
  EXPECT_EQ(Utf16Bytes(L"kept"), stored(L"Text", &type));
}

// ---- setMachineText ------------------------------------------------------------------

TEST_F(EngineTest, MachineTextWritesUnderAnExistingMachineKey) {
  ASSERT_TRUE(ready);
  const std::wstring path = TestMachineKeyPath();
  EXPECT_EQ(0, app.setMachineText(kTestMachineKeyId, kTextValueId, kTextDataId));  // no key yet
  HKEY machine = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0,
                                           KEY_READ | KEY_WRITE, nullptr, &machine, nullptr));
  EXPECT_EQ(1, app.setMachineText(kTestMachineKeyId, kTextValueId, kTextDataId));
  WString back;
  ASSERT_EQ(1, app.readText(machine, kTextValueId, back));
  EXPECT_EQ(std::wstring(kTextData), Wide(back));
  EXPECT_EQ(0, app.setMachineText(kTestMachineKeyId, kTextValueId, kUnknownId));
  EXPECT_EQ(0, app.setMachineText(kUnknownId, kTextValueId, kTextDataId));
  EXPECT_EQ(0, app.setMachineText(kTestMachineKeyId, kUnknownId, kTextDataId));
  // The completion command names its system program by the folder's full
  // path, filled in now.
  EXPECT_EQ(1, app.setMachineText(kTestMachineKeyId, kTextValueId, kCompletionTextId));
  ASSERT_EQ(1, app.readText(machine, kTextValueId, back));
  EXPECT_EQ(L"\"" + SystemFolder() + L"\\control.exe\" input.dll", Wide(back));
  RegCloseKey(machine);
  SHDeleteKeyW(HKEY_LOCAL_MACHINE, path.c_str());
}

// ---- decodeHexString -------------------------------------------------------------------

// The text of the id, wide or narrow, decoded (the digit rules: setup tests).
TEST_F(EngineTest, HexTextsAreDecodedById) {
  ASSERT_TRUE(ready);
  struct Case {
    uint32_t id;
    std::string bytes;  // empty: the decode fails
  } cases[] = {
      {kHexUpperId, std::string("\x00\xFF\x10\xAB", 4)},
      {kHexNarrowId, std::string("\xAB", 1)},
      {kHexLowerId, ""},
      {kUnknownId, ""},
  };
  for (const Case& c : cases) {
    uint32_t count = 77;
    uint8_t* block = app.decodeHexString(c.id, count);
    if (c.bytes.empty()) {
      EXPECT_EQ(nullptr, block) << c.id;
      EXPECT_EQ(0u, count) << c.id;
    } else {
      ASSERT_NE(nullptr, block) << c.id;
      EXPECT_EQ(c.bytes, std::string(reinterpret_cast<char*>(block), count)) << c.id;
    }
    FreeBlock(block);
  }
}

// ---- Libraries ----------------------------------------------------------------------------

std::wstring ModuleFile(HMODULE module) {
  wchar_t path[MAX_PATH + 1] = {};
  DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
  return std::wstring(path, length);
}

TEST_F(EngineTest, LibraryByIdIsTheSystemFoldersOne) {
  ASSERT_TRUE(ready);
  HMODULE module = app.loadLibraryById(kNativeSystemInfoLibraryId);
  ASSERT_NE(nullptr, module);
  EXPECT_EQ(0, lstrcmpiW((SystemFolder() + L"\\kernel32.dll").c_str(), ModuleFile(module).c_str()))
      << ModuleFile(module);
  FreeLibrary(module);
  EXPECT_EQ(nullptr, app.loadLibraryById(kPathLibraryId));
  EXPECT_EQ(nullptr, app.loadLibraryById(kUnknownId));
}

TEST_F(EngineTest, ProcedureByIdLoadsItsLibraryOnlyWhenNoModuleIsGiven) {
  ASSERT_TRUE(ready);
  HMODULE module = nullptr;
  FARPROC proc = app.getProcById(kProcessIdProcId, kNativeSystemInfoLibraryId, module);
  ASSERT_NE(nullptr, module);
  EXPECT_EQ(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetCurrentProcessId"), proc);
  FreeLibrary(module);

  // A module given is used as it is: the library id is not even looked up.
  HMODULE given = GetModuleHandleW(L"kernel32.dll");
  module = given;
  EXPECT_EQ(GetProcAddress(given, "GetCurrentProcessId"),
            app.getProcById(kProcessIdProcId, kUnknownId, module));
  EXPECT_EQ(given, module);
  EXPECT_EQ(nullptr, app.getProcById(kMissingProcId, kUnknownId, module));
  EXPECT_EQ(nullptr, app.getProcById(kUnknownId, kUnknownId, module));
  EXPECT_EQ(given, module);

  // A library that cannot be loaded leaves no module to free.
  module = nullptr;
  EXPECT_EQ(nullptr, app.getProcById(kProcessIdProcId, kUnknownId, module));
  EXPECT_EQ(nullptr, module);
}

// The machine field of a PE file's header, read through the file system as the
// calling thread sees it.
WORD ImageMachine(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  BYTE header[4096] = {};
  DWORD got = 0;
  ReadFile(file, header, sizeof(header), &got, nullptr);
  CloseHandle(file);
  if (got < 0x40) return 0;
  DWORD peOffset = 0;
  memcpy(&peOffset, header + 0x3C, 4);
  if (peOffset + 6 > got) return 0;
  WORD machine = 0;
  memcpy(&machine, header + peOffset + 4, 2);
  return machine;
}

typedef BOOL(WINAPI* DisableProc)(PVOID*);
typedef BOOL(WINAPI* RevertProc)(PVOID);

int ExpectedArchitecture() {
  const char* arch = getenv("KESTREL_EXPECT_ARCH");
  return arch != nullptr ? atoi(arch) : -1;
}

// On 64-bit Windows the pair lets this 32-bit program see the real system
// folder; on a 32-bit system kernel32 exports it too, but it has nothing to
// turn off: the call fails and the system folder stays the same.
TEST_F(EngineTest, RedirectionPairSwitchesTheSystemFolderOnlyOn64BitSystems) {
  SKIP_UNLESS_32_BIT_PROCESS();
  ASSERT_TRUE(ready);
  const int arch = ExpectedArchitecture();
  ASSERT_TRUE(arch == 0 || arch == 9) << "KESTREL_EXPECT_ARCH is not set";
  FARPROC disable = reinterpret_cast<FARPROC>(1), revert = reinterpret_cast<FARPROC>(1);
  HMODULE module = app.loadRedirectionControl(disable, revert);
  ASSERT_NE(nullptr, module);
  ASSERT_NE(nullptr, disable);
  ASSERT_NE(nullptr, revert);
  const std::wstring kernel = SystemFolder() + L"\\kernel32.dll";
  EXPECT_EQ(IMAGE_FILE_MACHINE_I386, ImageMachine(kernel));
  PVOID saved = nullptr;
  const BOOL disabled = reinterpret_cast<DisableProc>(reinterpret_cast<void*>(disable))(&saved);
  const WORD seen = ImageMachine(kernel);
  if (disabled) {
    EXPECT_TRUE(reinterpret_cast<RevertProc>(reinterpret_cast<void*>(revert))(saved));
  }
  if (arch == 9) {
    EXPECT_TRUE(disabled);
    EXPECT_EQ(IMAGE_FILE_MACHINE_AMD64, seen);
  } else {
    EXPECT_FALSE(disabled);
    EXPECT_EQ(IMAGE_FILE_MACHINE_I386, seen);
  }
  EXPECT_EQ(IMAGE_FILE_MACHINE_I386, ImageMachine(kernel));
  FreeLibrary(module);
}

// ---- Processes ----------------------------------------------------------------------------

class ProcessesById : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    ASSERT_TRUE(ready);
    marker = TempFolder() + Unique(L"kestrel-engine-marker") + L".txt";
    DeleteFileW(marker.c_str());
  }
  void TearDown() override { DeleteFileW(marker.c_str()); }
  std::wstring marker;
};

TEST_F(ProcessesById, CommandIsFormattedFromItsTextAndStarted) {
  EXPECT_EQ(1, app.runCommand(kChildCommandId, marker.c_str(), 0));
  EXPECT_TRUE(MarkerAppears(marker, 15000));
  const std::wstring folder = SystemFolder();
  EXPECT_EQ(0, app.runCommand(0, marker.c_str(), 0));
  EXPECT_EQ(0, app.runCommand(kUnknownId, marker.c_str(), 0));
  EXPECT_EQ(0, app.runCommand(kMissingProgramCommandId, folder.c_str()));
}

// The product's input-language command: system folder, then the script file.
TEST_F(ProcessesById, ScriptCommandNamesTheSystemProgramByFullPath) {
  WString format, command;
  ASSERT_EQ(1, app.loadText(kScriptCommandId, format));
  const std::wstring folder = SystemFolder();
  ASSERT_EQ(1, Format(&command, format.WideAt(0), folder.c_str(), marker.c_str()));
  EXPECT_EQ(L"\"" + folder + L"\\control.exe\"", Wide(command).substr(0, folder.size() + 14));
  EXPECT_EQ(1, app.runCommand(kScriptCommandId, folder.c_str(), marker.c_str()));
}

// The program of a file type, found by the ids of the type; and a system
// program started by the system folder's path, whatever the associations say.
TEST_F(ProcessesById, AssociatedProgramIsFoundAndSystemCommandRunsFromTheSystemFolder) {
  WString program;
  ASSERT_EQ(1, app.findAssociatedProgram(kIniAssociationId, program));
  std::wstring path = Wide(program);
  CharLowerW(&path[0]);
  EXPECT_NE(std::wstring::npos, path.find(L"notepad")) << path;
  EXPECT_EQ(0, app.findAssociatedProgram(kNoAssociationId, program));
  EXPECT_EQ(0, program.Length());
  EXPECT_EQ(0, app.findAssociatedProgram(kUnknownId, program));

  const std::wstring systemChild = SystemFolder() + L"\\" + SystemChildName();
  const std::wstring child = TestProgramFolder() + KESTREL_SYSTEM_TEST_CHILD;
  EXPECT_EQ(0, app.runSystemCommand(kSystemCommandId, marker.c_str()));  // not copied yet
  ASSERT_TRUE(CopyFileW(child.c_str(), systemChild.c_str(), FALSE));
  EXPECT_EQ(1, app.runSystemCommand(kSystemCommandId, marker.c_str()));
  EXPECT_TRUE(MarkerAppears(marker, 15000));
  EXPECT_EQ(0, app.runSystemCommand(kUnknownId, marker.c_str()));
  DeleteFileW(systemChild.c_str());
}

// ---- Script files --------------------------------------------------------------------------

// The script is made in a folder named after the prefix text, in the
// system's temporary folder (never the user's), as UTF-8.
TEST_F(EngineTest, ScriptFileIsNamedAfterItsPrefixText) {
  ASSERT_TRUE(ready);
  WString prefix;
  ASSERT_EQ(1, app.loadText(kScriptPrefixId, prefix));
  wchar_t windows[MAX_PATH + 1] = {};
  const UINT length = GetSystemWindowsDirectoryW(windows, MAX_PATH + 1);
  const std::wstring folderStart = std::wstring(windows, length) + L"\\Temp\\" + Wide(prefix);
  WString text;
  text.AssignWide(L"<add ID=\"0415:a0e70415\"/> \u017C", -1);
  PrivateScript made;
  ASSERT_EQ(1, app.createScriptFile(kScriptPrefixId, text, made));
  EXPECT_FALSE(text.IsWide());  // converted in place
  const std::wstring folder = Wide(made.folder);
  EXPECT_EQ(0, lstrcmpiW(folderStart.c_str(), folder.substr(0, folderStart.size()).c_str()))
      << folder;
  EXPECT_EQ(folder + L"\\" + Wide(prefix) + L".tmp", Wide(made.path));
  EXPECT_EQ("<add ID=\"0415:a0e70415\"/> \xC5\xBC", ReadWholeFile(Wide(made.path)));
  RemovePrivateScript(made);
  EXPECT_FALSE(FileExists(folder));

  text.AssignWide(L"x", 1);
  EXPECT_EQ(0, app.createScriptFile(0, text, made));
  EXPECT_EQ(0, app.createScriptFile(kUnknownId, text, made));
  WString empty;
  EXPECT_EQ(0, app.createScriptFile(kScriptPrefixId, empty, made));
  EXPECT_EQ(nullptr, made.file);
  EXPECT_EQ(0, made.folder.Length());
}

}  // namespace
