// Registry primitives against a key of this process under HKCU: every value
// type written and read back with its exact size, and reads of values that
// other writers left malformed.

#include <windows.h>
#include <shlwapi.h>

#include <string.h>

#include "tests/app/support/InstallerAppProbe.h"
#include "payload/StringIds.h"
#include "tests/system/SystemFixture.h"
#include "text/Memory.h"

namespace {

class Registry : public SystemTest {
 protected:
  void SetUp() override {
    SystemTest::SetUp();
    ASSERT_TRUE(ready);
    key = app.createKey(HKEY_CURRENT_USER, kTestKeyId, KEY_READ | KEY_WRITE);
    ASSERT_NE(nullptr, key);
  }
  void TearDown() override {
    if (key != nullptr) RegCloseKey(key);
    WString name;
    if (app.loadText(kTestKeyId, name)) SHDeleteKeyW(HKEY_CURRENT_USER, name.WideAt(0));
  }
  // Writes a value as another program might, with exactly `bytes` bytes.
  void rawValue(DWORD type, const void* data, DWORD bytes) {
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExW(key, L"Raw", 0, type, static_cast<const BYTE*>(data), bytes));
  }
  void storedTypeAndSize(const wchar_t* name, DWORD* type, DWORD* size) {
    *size = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, name, nullptr, type, nullptr, size));
  }

  HKEY key = nullptr;
};

// ---- Values of each type ---------------------------------------------------------

TEST_F(Registry, BinaryIsStoredAndReadBackWithItsExactSize) {
  const uint8_t bytes[5] = {0x00, 0xFF, 0x10, 0x80, 0x01};
  ASSERT_EQ(1, app.writeBinary(key, kBinaryValueId, bytes, sizeof(bytes)));
  DWORD type = 0, size = 0;
  storedTypeAndSize(L"Bytes", &type, &size);
  EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
  EXPECT_EQ(5u, size);
  uint32_t count = 99;
  uint8_t* block = app.readBinary(key, kBinaryValueId, &count);
  ASSERT_NE(nullptr, block);
  ASSERT_EQ(5u, count);
  EXPECT_EQ(0, memcmp(bytes, block, 5));
  FreeBlock(block);
}

TEST_F(Registry, DwordIsStoredInFourBytes) {
  ASSERT_EQ(1, app.writeDword(key, kDwordValueId, 0xA1B2C3D4u));
  DWORD type = 0, size = 0;
  storedTypeAndSize(L"Number", &type, &size);
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
  EXPECT_EQ(4u, size);
  uint32_t value = 0;
  ASSERT_EQ(1, app.readDword(key, kDwordValueId, &value));
  EXPECT_EQ(0xA1B2C3D4u, value);
}

TEST_F(Registry, TextIsStoredWithItsTerminatorCounted) {
  WString text;
  text.AssignNarrow("Kestrel \xC5\xBC", -1, -1);  // narrow in, stored as UTF-16
  ASSERT_EQ(1, app.writeText(key, kTextValueId, text));
  DWORD type = 0, size = 0;
  storedTypeAndSize(L"Text", &type, &size);
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  EXPECT_EQ((9u + 1u) * 2u, size);
  WString back;
  ASSERT_EQ(1, app.readText(key, kTextValueId, back));
  EXPECT_EQ(std::wstring(L"Kestrel \u017C"), Wide(back));
}

TEST_F(Registry, TextByIdsWritesTheDataText) {
  ASSERT_EQ(1, app.writeTextIds(key, kTextValueId, kTextDataId));
  WString expected, back;
  ASSERT_EQ(1, app.loadText(kTextDataId, expected));
  ASSERT_EQ(1, app.readText(key, kTextValueId, back));
  EXPECT_EQ(Wide(expected), Wide(back));
  EXPECT_EQ(0, app.writeTextIds(key, kTextValueId, kUnknownId));
  EXPECT_EQ(0, app.writeTextIds(key, kUnknownId, kTextDataId));
}

TEST_F(Registry, WritesRefuseMissingKeysNamesAndIds) {
  WString text;
  text.AssignWide(L"x", 1);
  const uint8_t byte = 1;
  EXPECT_EQ(0, app.writeText(nullptr, kTextValueId, text));
  EXPECT_EQ(0, app.writeTextNamed(key, L"", text));
  EXPECT_EQ(0, app.writeTextNamed(key, nullptr, text));
  EXPECT_EQ(0, app.writeDword(nullptr, kDwordValueId, 1));
  EXPECT_EQ(0, app.writeBinary(nullptr, kBinaryValueId, &byte, 1));
  EXPECT_EQ(0, app.writeBinary(key, kBinaryValueId, nullptr, 4));
  EXPECT_EQ(0, app.writeDword(key, kUnknownId, 1));
}

// ---- readText of values other programs wrote -------------------------------------

TEST_F(Registry, ReadTextOfAnEmptyValueIsTheEmptyText) {
  rawValue(REG_SZ, L"", 0);
  WString out;
  out.AssignWide(L"old", 3);
  ASSERT_EQ(1, app.readText(key, kRawValueId, out));
  EXPECT_TRUE(out.IsWide());
  EXPECT_EQ(0, out.Length());
}

TEST_F(Registry, ReadTextTakesEveryCharacterOfAnUnterminatedValue) {
  rawValue(REG_SZ, L"abcd", 6);  // no terminator stored
  DWORD type = 0, size = 0;
  storedTypeAndSize(L"Raw", &type, &size);
  ASSERT_EQ(6u, size);
  WString out;
  ASSERT_EQ(1, app.readText(key, kRawValueId, out));
  EXPECT_EQ(std::wstring(L"abc"), Wide(out));
  EXPECT_EQ(0, out.WideAt(0)[3]);  // terminated in memory all the same
}

TEST_F(Registry, ReadTextIgnoresAnOddLastByte) {
  const uint8_t odd[7] = {'a', 0, 'b', 0, 'c', 0, 'd'};
  rawValue(REG_SZ, odd, sizeof(odd));
  WString out;
  ASSERT_EQ(1, app.readText(key, kRawValueId, out));
  EXPECT_EQ(std::wstring(L"abc"), Wide(out));
  const uint8_t one = 'z';
  rawValue(REG_SZ, &one, 1);
  ASSERT_EQ(1, app.readText(key, kRawValueId, out));
  EXPECT_EQ(0, out.Length());
}

TEST_F(Registry, ReadTextEndsAtTheFirstTerminator) {
  rawValue(REG_SZ, L"ab\0cd", 12);
  WString out;
  ASSERT_EQ(1, app.readText(key, kRawValueId, out));
  EXPECT_EQ(std::wstring(L"ab"), Wide(out));
}

TEST_F(Registry, ReadTextRefusesOtherTypesAndMissingValues) {
  WString out;
  rawValue(REG_EXPAND_SZ, L"%TEMP%", 14);
  EXPECT_EQ(0, app.readText(key, kRawValueId, out));
  rawValue(REG_BINARY, L"abc", 8);
  out.AssignWide(L"old", 3);
  EXPECT_EQ(0, app.readText(key, kRawValueId, out));
  EXPECT_EQ(0, out.Length());  // empty after a failure
  EXPECT_EQ(0, app.readText(key, kTextValueId, out));  // never written
  EXPECT_EQ(0, app.readText(key, kUnknownId, out));
  EXPECT_EQ(0, app.readTextNamed(nullptr, L"Raw", out));
}

// ---- readDword and readBinary refuse what they cannot trust -----------------------

TEST_F(Registry, ReadDwordRefusesOtherTypesAndSizes) {
  uint32_t value = 77;
  rawValue(REG_SZ, L"12", 6);
  EXPECT_EQ(0, app.readDword(key, kRawValueId, &value));
  const uint8_t eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  rawValue(REG_DWORD, eight, 2);
  EXPECT_EQ(0, app.readDword(key, kRawValueId, &value));
  rawValue(REG_DWORD, eight, 8);
  EXPECT_EQ(0, app.readDword(key, kRawValueId, &value));
  rawValue(REG_BINARY, eight, 4);
  EXPECT_EQ(0, app.readDword(key, kRawValueId, &value));
  EXPECT_EQ(77u, value);  // untouched by every failure
  rawValue(REG_DWORD, eight, 4);
  ASSERT_EQ(1, app.readDword(key, kRawValueId, &value));
  EXPECT_EQ(0x04030201u, value);
}

TEST_F(Registry, ReadBinaryRefusesEmptyValuesAndOtherTypes) {
  uint32_t count = 5;
  rawValue(REG_BINARY, nullptr, 0);
  EXPECT_EQ(nullptr, app.readBinary(key, kRawValueId, &count));
  EXPECT_EQ(0u, count);
  count = 5;
  rawValue(REG_SZ, L"abc", 8);
  EXPECT_EQ(nullptr, app.readBinary(key, kRawValueId, &count));
  EXPECT_EQ(0u, count);
  rawValue(REG_DWORD, "\1\0\0\0", 4);
  EXPECT_EQ(nullptr, app.readBinary(key, kRawValueId, &count));
  EXPECT_EQ(nullptr, app.readBinary(key, kBinaryValueId, &count));  // never written
  EXPECT_EQ(nullptr, app.readBinary(nullptr, kRawValueId, &count));
}

// ---- textEquals ---------------------------------------------------------------------

TEST_F(Registry, TextEqualsOnlyForTheSameCodeUnits) {
  WString stored;
  stored.AssignWide(L"Kestrel", -1);
  ASSERT_EQ(1, app.writeText(key, kTextValueId, stored));
  struct Case {
    const char* utf8;
    int expected;
  } cases[] = {{"Kestrel", 1}, {"kestrel", 0}, {"Kestre", 0}, {"Kestrel ", 0}, {"", 0}};
  for (const Case& c : cases) {
    WString candidate;
    candidate.AssignNarrow(c.utf8, -1, -1);  // a narrow text compares by its characters
    EXPECT_EQ(c.expected, app.textEquals(key, kTextValueId, candidate)) << c.utf8;
  }
  WString empty;
  rawValue(REG_SZ, L"", 0);
  EXPECT_EQ(1, app.textEquals(key, kRawValueId, empty));
  EXPECT_EQ(0, app.textEquals(key, kDwordValueId, stored));  // no such value
}

// ---- Keys and deletions --------------------------------------------------------------

TEST_F(Registry, SubKeysAreCreatedOpenedAndDeleted) {
  HKEY child = app.createKey(key, kTestSubKeyId, KEY_WRITE);
  ASSERT_NE(nullptr, child);
  RegCloseKey(child);
  child = app.openKey(key, kTestSubKeyId, KEY_READ);
  ASSERT_NE(nullptr, child);
  RegCloseKey(child);
  EXPECT_EQ(1, app.deleteSubKey(key, kTestSubKeyId));
  EXPECT_EQ(nullptr, app.openKey(key, kTestSubKeyId, KEY_READ));
  EXPECT_EQ(0, app.deleteSubKey(key, kTestSubKeyId));  // already gone
}

TEST_F(Registry, KeyOperationsRefuseMissingParentsNamesAndIds) {
  EXPECT_EQ(nullptr, app.openKey(nullptr, kTestSubKeyId, KEY_READ));
  EXPECT_EQ(nullptr, app.createKey(nullptr, kTestSubKeyId, KEY_WRITE));
  EXPECT_EQ(nullptr, app.openKey(key, kUnknownId, KEY_READ));
  EXPECT_EQ(nullptr, app.createKey(key, kUnknownId, KEY_WRITE));
  EXPECT_EQ(nullptr, app.openKeyNamed(key, L"", KEY_READ));
  EXPECT_EQ(nullptr, app.createKeyNamed(key, nullptr, KEY_WRITE));
  EXPECT_EQ(0, app.deleteSubKey(key, kUnknownId));
  EXPECT_EQ(0, app.deleteSubKey(nullptr, kTestSubKeyId));
}

TEST_F(Registry, DeleteValueRemovesTheValue) {
  ASSERT_EQ(1, app.writeDword(key, kDwordValueId, 5));
  app.deleteValue(key, kDwordValueId);
  uint32_t value = 0;
  EXPECT_EQ(0, app.readDword(key, kDwordValueId, &value));
  EXPECT_EQ(0, app.deleteValueNamed(key, L"Number"));  // already gone
  EXPECT_EQ(0, app.deleteValueNamed(key, L""));
  EXPECT_EQ(0, app.deleteValueNamed(nullptr, L"Number"));
}

TEST_F(Registry, EachByIdOperationReplacesTheLookupBuffer) {
  uint32_t value = 0;
  /* result ignored: only the lookup matters here */
  app.readDword(key, kDwordValueId, &value);
  EXPECT_EQ(std::wstring(L"Number"), Wide(InstallerAppProbe::lookupBuffer(app)));
  EXPECT_EQ(nullptr, app.openKey(key, kTestSubKeyId, KEY_READ));  // not created
  EXPECT_EQ(std::wstring(L"Child"), Wide(InstallerAppProbe::lookupBuffer(app)));
}

// ---- setMachineText --------------------------------------------------------------------

TEST_F(Registry, MachineTextWritesUnderAnExistingMachineKey) {
  WString path;
  ASSERT_EQ(1, app.loadText(kTestMachineKeyId, path));
  EXPECT_EQ(0, app.setMachineText(kTestMachineKeyId, kTextValueId, kTextDataId));  // no key yet
  HKEY machine = nullptr;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.WideAt(0), 0, nullptr, 0,
                                           KEY_READ | KEY_WRITE, nullptr, &machine, nullptr));
  EXPECT_EQ(1, app.setMachineText(kTestMachineKeyId, kTextValueId, kTextDataId));
  WString expected;
  ASSERT_EQ(1, app.loadText(kTextDataId, expected));
  EXPECT_EQ(1, app.textEquals(machine, kTextValueId, expected));
  EXPECT_EQ(0, app.setMachineText(kTestMachineKeyId, kTextValueId, kUnknownId));
  // A command names its system program by the folder's full path, filled in now.
  EXPECT_EQ(1, app.setMachineText(kTestMachineKeyId, kTextValueId, kCompletionTextId));
  WString command;
  ASSERT_EQ(1, app.readText(machine, kTextValueId, command));
  EXPECT_EQ(L"\"" + SystemFolder() + L"\\control.exe\" input.dll", Wide(command));
  RegCloseKey(machine);
  SHDeleteKeyW(HKEY_LOCAL_MACHINE, path.WideAt(0));
}

}  // namespace
