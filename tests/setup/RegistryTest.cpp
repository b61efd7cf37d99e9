// Registry primitives against a key of this process under HKCU: every value
// type written and read back with its exact size, and reads of values that
// other writers left malformed.

#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <string.h>

#include "setup/Registry.h"
#include "tests/support/RegistryLinks.h"
#include "tests/setup/SystemTestSupport.h"
#include "text/Memory.h"

namespace {

class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    path = L"Software\\KestrelTests\\" + Unique(L"System");
    key = CreateRegistryKey(HKEY_CURRENT_USER, path.c_str(), KEY_READ | KEY_WRITE);
    ASSERT_NE(nullptr, key);
  }
  void TearDown() override {
    if (key != nullptr) RegCloseKey(key);
    SHDeleteKeyW(HKEY_CURRENT_USER, path.c_str());
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

  std::wstring path;
  HKEY key = nullptr;
};

// ---- Values of each type ---------------------------------------------------------

TEST_F(Registry, BinaryIsStoredAndReadBackWithItsExactSize) {
  const uint8_t bytes[5] = {0x00, 0xFF, 0x10, 0x80, 0x01};
  ASSERT_EQ(1, WriteBinaryValue(key, L"Bytes", bytes, sizeof(bytes)));
  DWORD type = 0, size = 0;
  storedTypeAndSize(L"Bytes", &type, &size);
  EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
  EXPECT_EQ(5u, size);
  uint32_t count = 99;
  uint8_t* block = ReadBinaryValue(key, L"Bytes", count);
  ASSERT_NE(nullptr, block);
  ASSERT_EQ(5u, count);
  EXPECT_EQ(0, memcmp(bytes, block, 5));
  FreeBlock(block);
}

TEST_F(Registry, DwordIsStoredInFourBytes) {
  ASSERT_EQ(1, WriteDwordValue(key, L"Number", 0xA1B2C3D4u));
  DWORD type = 0, size = 0;
  storedTypeAndSize(L"Number", &type, &size);
  EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
  EXPECT_EQ(4u, size);
  uint32_t value = 0;
  ASSERT_EQ(1, ReadDwordValue(key, L"Number", value));
  EXPECT_EQ(0xA1B2C3D4u, value);
}

TEST_F(Registry, TextIsStoredWithItsTerminatorCounted) {
  WString text;
  text.AssignNarrow("Kestrel \xC5\xBC", -1, -1);  // narrow in, stored as UTF-16
  ASSERT_EQ(1, WriteTextValue(key, L"Text", text));
  DWORD type = 0, size = 0;
  storedTypeAndSize(L"Text", &type, &size);
  EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
  EXPECT_EQ((9u + 1u) * 2u, size);
  WString back;
  ASSERT_EQ(1, ReadTextValue(key, L"Text", back));
  EXPECT_EQ(std::wstring(L"Kestrel \u017C"), Wide(back));
}

TEST_F(Registry, WritesRefuseMissingKeysAndNames) {
  WString text;
  text.AssignWide(L"x", 1);
  const uint8_t byte = 1;
  EXPECT_EQ(0, WriteTextValue(nullptr, L"Text", text));
  EXPECT_EQ(0, WriteTextValue(key, L"", text));
  EXPECT_EQ(0, WriteTextValue(key, nullptr, text));
  EXPECT_EQ(0, WriteDwordValue(nullptr, L"Number", 1));
  EXPECT_EQ(0, WriteBinaryValue(nullptr, L"Bytes", &byte, 1));
  EXPECT_EQ(0, WriteBinaryValue(key, L"Bytes", nullptr, 4));
}

// ---- ReadTextValue of values other programs wrote ----------------------------------

TEST_F(Registry, ReadTextOfAnEmptyValueIsTheEmptyText) {
  rawValue(REG_SZ, L"", 0);
  WString out;
  out.AssignWide(L"old", 3);
  ASSERT_EQ(1, ReadTextValue(key, L"Raw", out));
  EXPECT_TRUE(out.IsWide());
  EXPECT_EQ(0, out.Length());
}

TEST_F(Registry, ReadTextTakesEveryCharacterOfAnUnterminatedValue) {
  rawValue(REG_SZ, L"abcd", 6);  // no terminator stored
  DWORD type = 0, size = 0;
  storedTypeAndSize(L"Raw", &type, &size);
  ASSERT_EQ(6u, size);
  WString out;
  ASSERT_EQ(1, ReadTextValue(key, L"Raw", out));
  EXPECT_EQ(std::wstring(L"abc"), Wide(out));
  EXPECT_EQ(0, out.WideAt(0)[3]);  // terminated in memory all the same
}

TEST_F(Registry, ReadTextIgnoresAnOddLastByte) {
  const uint8_t odd[7] = {'a', 0, 'b', 0, 'c', 0, 'd'};
  rawValue(REG_SZ, odd, sizeof(odd));
  WString out;
  ASSERT_EQ(1, ReadTextValue(key, L"Raw", out));
  EXPECT_EQ(std::wstring(L"abc"), Wide(out));
  const uint8_t one = 'z';
  rawValue(REG_SZ, &one, 1);
  ASSERT_EQ(1, ReadTextValue(key, L"Raw", out));
  EXPECT_EQ(0, out.Length());
}

TEST_F(Registry, ReadTextEndsAtTheFirstTerminator) {
  rawValue(REG_SZ, L"ab\0cd", 12);
  WString out;
  ASSERT_EQ(1, ReadTextValue(key, L"Raw", out));
  EXPECT_EQ(std::wstring(L"ab"), Wide(out));
}

TEST_F(Registry, ReadTextRefusesOtherTypesAndMissingValues) {
  WString out;
  rawValue(REG_EXPAND_SZ, L"%TEMP%", 14);
  EXPECT_EQ(0, ReadTextValue(key, L"Raw", out));
  rawValue(REG_BINARY, L"abc", 8);
  out.AssignWide(L"old", 3);
  EXPECT_EQ(0, ReadTextValue(key, L"Raw", out));
  EXPECT_EQ(0, out.Length());  // empty after a failure
  EXPECT_EQ(0, ReadTextValue(key, L"Text", out));  // never written
  EXPECT_EQ(0, ReadTextValue(key, L"", out));
  EXPECT_EQ(0, ReadTextValue(nullptr, L"Raw", out));
}

// ---- ReadDwordValue and ReadBinaryValue refuse what they cannot trust ---------------

TEST_F(Registry, ReadDwordRefusesOtherTypesAndSizes) {
  uint32_t value = 77;
  rawValue(REG_SZ, L"12", 6);
  EXPECT_EQ(0, ReadDwordValue(key, L"Raw", value));
  const uint8_t eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  rawValue(REG_DWORD, eight, 2);
  EXPECT_EQ(0, ReadDwordValue(key, L"Raw", value));
  rawValue(REG_DWORD, eight, 8);
  EXPECT_EQ(0, ReadDwordValue(key, L"Raw", value));
  rawValue(REG_BINARY, eight, 4);
  EXPECT_EQ(0, ReadDwordValue(key, L"Raw", value));
  EXPECT_EQ(0, ReadDwordValue(nullptr, L"Raw", value));
  EXPECT_EQ(77u, value);  // untouched by every failure
  rawValue(REG_DWORD, eight, 4);
  ASSERT_EQ(1, ReadDwordValue(key, L"Raw", value));
  EXPECT_EQ(0x04030201u, value);
}

TEST_F(Registry, ReadBinaryRefusesEmptyValuesAndOtherTypes) {
  uint32_t count = 5;
  rawValue(REG_BINARY, nullptr, 0);
  EXPECT_EQ(nullptr, ReadBinaryValue(key, L"Raw", count));
  EXPECT_EQ(0u, count);
  count = 5;
  rawValue(REG_SZ, L"abc", 8);
  EXPECT_EQ(nullptr, ReadBinaryValue(key, L"Raw", count));
  EXPECT_EQ(0u, count);
  rawValue(REG_DWORD, "\1\0\0\0", 4);
  EXPECT_EQ(nullptr, ReadBinaryValue(key, L"Raw", count));
  EXPECT_EQ(nullptr, ReadBinaryValue(key, L"Bytes", count));  // never written
  EXPECT_EQ(nullptr, ReadBinaryValue(nullptr, L"Raw", count));
}

// ---- TextValueEquals ----------------------------------------------------------------

TEST_F(Registry, TextEqualsOnlyForTheSameCodeUnits) {
  WString stored;
  stored.AssignWide(L"Kestrel", -1);
  ASSERT_EQ(1, WriteTextValue(key, L"Text", stored));
  struct Case {
    const char* utf8;
    int expected;
  } cases[] = {{"Kestrel", 1}, {"kestrel", 0}, {"Kestre", 0}, {"Kestrel ", 0}, {"", 0}};
  for (const Case& c : cases) {
    WString candidate;
    candidate.AssignNarrow(c.utf8, -1, -1);  // a narrow text compares by its characters
    EXPECT_EQ(c.expected, TextValueEquals(key, L"Text", candidate)) << c.utf8;
  }
  WString empty;
  rawValue(REG_SZ, L"", 0);
  EXPECT_EQ(1, TextValueEquals(key, L"Raw", empty));
  EXPECT_EQ(0, TextValueEquals(key, L"Number", stored));  // no such value
}

// ---- Keys and deletions --------------------------------------------------------------

TEST_F(Registry, SubKeysAreCreatedOpenedAndDeleted) {
  HKEY child = CreateRegistryKey(key, L"Child", KEY_WRITE);
  ASSERT_NE(nullptr, child);
  RegCloseKey(child);
  child = OpenRegistryKey(key, L"Child", KEY_READ);
  ASSERT_NE(nullptr, child);
  RegCloseKey(child);
  EXPECT_EQ(1, DeleteRegistrySubKey(key, L"Child"));
  EXPECT_EQ(nullptr, OpenRegistryKey(key, L"Child", KEY_READ));
  EXPECT_EQ(1, DeleteRegistrySubKey(key, L"Child"));  // already gone counts as done
}

// A link anywhere on the path is refused, as a user's link to a key the
// elevated program may write would be followed otherwise.
TEST_F(Registry, KeysOpenedWithoutLinksRefuseALinkOnThePath) {
  HKEY inner = CreateRegistryKey(key, L"Real\\Inner", KEY_WRITE);
  ASSERT_NE(nullptr, inner);
  RegCloseKey(inner);
  ASSERT_TRUE(MakeUserLink(path + L"\\Link", path + L"\\Real"));
  HKEY followed = OpenRegistryKey(key, L"Link\\Inner", KEY_READ);
  EXPECT_NE(nullptr, followed);  // the link leads to Real
  if (followed != nullptr) RegCloseKey(followed);
  EXPECT_EQ(nullptr, OpenRegistryKeyNoLink(key, L"Link\\Inner", KEY_READ));
  EXPECT_EQ(nullptr, OpenRegistryKeyNoLink(key, L"Link", KEY_READ));
  HKEY plain = OpenRegistryKeyNoLink(key, L"Real\\Inner", KEY_READ | KEY_WRITE);
  EXPECT_NE(nullptr, plain);
  if (plain != nullptr) {
    EXPECT_EQ(1, WriteDwordValue(plain, L"Written", 1));
    RegCloseKey(plain);
  }
  for (const wchar_t* malformed : {L"Real\\\\Inner", L"\\Real", L"Real\\", L""}) {
    EXPECT_EQ(nullptr, OpenRegistryKeyNoLink(key, malformed, KEY_READ)) << malformed;
  }
  EXPECT_TRUE(DeleteUserLink(path + L"\\Link"));
}

TEST_F(Registry, KeyOperationsRefuseMissingParentsAndNames) {
  EXPECT_EQ(nullptr, OpenRegistryKey(nullptr, L"Child", KEY_READ));
  EXPECT_EQ(nullptr, CreateRegistryKey(nullptr, L"Child", KEY_WRITE));
  EXPECT_EQ(nullptr, OpenRegistryKey(key, L"", KEY_READ));
  EXPECT_EQ(nullptr, CreateRegistryKey(key, nullptr, KEY_WRITE));
  EXPECT_EQ(0, DeleteRegistrySubKey(nullptr, L"Child"));
  // An empty name would name the key itself.
  EXPECT_EQ(0, DeleteRegistrySubKey(key, L""));
  EXPECT_EQ(0, DeleteRegistrySubKey(key, nullptr));
  HKEY self = OpenRegistryKey(HKEY_CURRENT_USER, path.c_str(), KEY_READ);
  EXPECT_NE(nullptr, self);
  if (self != nullptr) RegCloseKey(self);
}

TEST_F(Registry, DeleteValueRemovesTheValue) {
  ASSERT_EQ(1, WriteDwordValue(key, L"Number", 5));
  EXPECT_EQ(1, DeleteRegistryValue(key, L"Number"));
  uint32_t value = 0;
  EXPECT_EQ(0, ReadDwordValue(key, L"Number", value));
  EXPECT_EQ(1, DeleteRegistryValue(key, L"Number"));  // already gone counts as done
  EXPECT_EQ(0, DeleteRegistryValue(key, L""));
  EXPECT_EQ(0, DeleteRegistryValue(nullptr, L"Number"));
}

}  // namespace
