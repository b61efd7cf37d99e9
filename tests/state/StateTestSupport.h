// Support of the installation-state tests: the initialised application, named
// locks around the machine-wide keys they share, and raw registry helpers.
#pragma once

#include <memory>

#include <gtest/gtest.h>

#include <windows.h>

#include <stdint.h>

#include <string>
#include <vector>

#include "app/InstallerApp.h"

using Bytes = std::vector<uint8_t>;

// Machine-wide keys the tests write (the product record lives in the 32-bit
// view on 64-bit Windows, as it does for the 32-bit setup program).
extern const wchar_t kProductVendorPath[];   // SOFTWARE\Kestrel Keyboards
extern const wchar_t kProductKeyPath[];      // ...\Kestrel
extern const wchar_t kDocumentKeyPath[];     // ...\Documents\1.8
extern const wchar_t kLayoutRecordPath[];    // ...\Layout\1.8
extern const wchar_t kLayoutListPath[];      // SYSTEM\...\Keyboard Layouts
extern const wchar_t kLayoutEntryPath[];     // ...\a0e70415
extern const wchar_t kScancodeMapKeyPath[];  // SYSTEM\...\Keyboard Layout

// Holds a named mutex for its lifetime; parallel test programs in one prefix
// take it before touching a shared key.
class NamedLock {
 public:
  explicit NamedLock(const wchar_t* name);
  ~NamedLock();
  NamedLock(const NamedLock&) = delete;
  NamedLock& operator=(const NamedLock&) = delete;
  bool held() const { return held_; }

 private:
  HANDLE mutex_;
  bool held_;
};

// The application with its payload loaded, and the version it runs under
// (KESTREL_EXPECT_VERSION) in versionCode. Null when initialise failed.
InstallerApp* NewInitialisedApp();

// The registry view flag of the system's own keys in this prefix.
REGSAM NativeView();

// Raw writes under HKLM; each creates the key. true = written.
bool PutText(const wchar_t* path, const wchar_t* name, const std::wstring& text, REGSAM view = 0);
bool PutDword(const wchar_t* path, const wchar_t* name, uint32_t value, REGSAM view = 0);
bool PutValue(const wchar_t* path, const wchar_t* name, DWORD type, const Bytes& data,
              REGSAM view = 0);
// Deletes a key and everything under it; true also when it was not there.
bool DeleteTree(const wchar_t* path, REGSAM view = 0);
bool DeleteValue(const wchar_t* path, const wchar_t* name, REGSAM view = 0);
// A value's type and bytes; false when it is missing.
bool GetValue(const wchar_t* path, const wchar_t* name, DWORD* type, Bytes* data, REGSAM view = 0);

// A value saved at construction and put back (or deleted) at destruction.
class SavedValue {
 public:
  SavedValue(const wchar_t* path, const wchar_t* name, REGSAM view = 0);
  ~SavedValue();
  SavedValue(const SavedValue&) = delete;
  SavedValue& operator=(const SavedValue&) = delete;

 private:
  std::wstring path_;
  std::wstring name_;
  REGSAM view_;
  bool existed_;
  DWORD type_;
  Bytes data_;
};

// Little-endian 32-bit words as bytes.
Bytes Words(std::initializer_list<uint32_t> words);

// A scan-code map entry: the physical key in the high word, what it sends in the low.
inline uint32_t MapEntry(uint16_t key, uint16_t target) {
  return (static_cast<uint32_t>(key) << 16) | target;
}

// Tests of the system's scan-code map value: they hold the map's lock, start
// with the value removed (saved and put back afterwards) and an initialised
// application with the real payload.
class ScancodeMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(lock_.held());
    // A fresh Wine prefix lacks the key; real Windows always has it.
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, kScancodeMapKeyPath, 0, nullptr,
                                             0, KEY_READ, nullptr, &key, nullptr));
    RegCloseKey(key);
    saved_.reset(new SavedValue(kScancodeMapKeyPath, L"Scancode Map"));
    ASSERT_TRUE(DeleteValue(kScancodeMapKeyPath, L"Scancode Map"));
    app_.reset(NewInitialisedApp());
    ASSERT_NE(nullptr, app_);
  }
  void TearDown() override {
    app_.reset();
    saved_.reset();
  }

  NamedLock lock_{L"KestrelTestsScancodeMap"};
  std::unique_ptr<SavedValue> saved_;
  std::unique_ptr<InstallerApp> app_;
};
