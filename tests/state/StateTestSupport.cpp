// Named locks, the initialised application and raw registry access for the
// installation-state tests (the product code under test is not used here).
#include "tests/state/StateTestSupport.h"

#include <shlwapi.h>
#include <stdlib.h>

#include "tests/app/support/InstallerAppProbe.h"

const wchar_t kProductVendorPath[] = L"SOFTWARE\\Kestrel Keyboards";
const wchar_t kProductKeyPath[] = L"SOFTWARE\\Kestrel Keyboards\\Kestrel";
const wchar_t kDocumentKeyPath[] = L"SOFTWARE\\Kestrel Keyboards\\Kestrel\\Documents\\1.8";
const wchar_t kLayoutRecordPath[] = L"SOFTWARE\\Kestrel Keyboards\\Kestrel\\Layout\\1.8";
const wchar_t kLayoutListPath[] = L"SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts";
const wchar_t kLayoutEntryPath[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Keyboard Layouts\\a0e70415";
const wchar_t kScancodeMapKeyPath[] = L"SYSTEM\\CurrentControlSet\\Control\\Keyboard Layout";

NamedLock::NamedLock(const wchar_t* name) : mutex_(CreateMutexW(nullptr, FALSE, name)), held_(false) {
  if (mutex_ == nullptr) return;
  const DWORD waited = WaitForSingleObject(mutex_, 120000);
  held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

NamedLock::~NamedLock() {
  if (held_) ReleaseMutex(mutex_);
  if (mutex_ != nullptr) CloseHandle(mutex_);
}

InstallerApp* NewInitialisedApp() {
  InstallerApp* app = new InstallerApp();
  if (!app->initialise(GetModuleHandleW(nullptr))) {
    delete app;
    return nullptr;
  }
  const char* version = getenv("KESTREL_EXPECT_VERSION");
  InstallerAppProbe::versionCode(*app) = version != nullptr ? atoi(version) : 51;
  return app;
}

REGSAM NativeView() {
  const char* arch = getenv("KESTREL_EXPECT_ARCH");
  return arch != nullptr && atoi(arch) == 9 ? KEY_WOW64_64KEY : 0;
}

bool PutValue(const wchar_t* path, const wchar_t* name, DWORD type, const Bytes& data,
              REGSAM view) {
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_WRITE | view, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const LONG result = RegSetValueExW(key, name, 0, type, data.empty() ? nullptr : data.data(),
                                     static_cast<DWORD>(data.size()));
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

bool PutText(const wchar_t* path, const wchar_t* name, const std::wstring& text, REGSAM view) {
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(text.c_str());
  return PutValue(path, name, REG_SZ, Bytes(bytes, bytes + (text.size() + 1) * sizeof(wchar_t)),
                  view);
}

bool PutDword(const wchar_t* path, const wchar_t* name, uint32_t value, REGSAM view) {
  Bytes data = Words({value});
  return PutValue(path, name, REG_DWORD, data, view);
}

bool DeleteTree(const wchar_t* path, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS | view, &key) != ERROR_SUCCESS) {
    return true;
  }
  // Subkeys first, each by name (an index shifts as keys go).
  wchar_t child[256];
  for (;;) {
    DWORD length = 256;
    if (RegEnumKeyExW(key, 0, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
      break;
    }
    std::wstring childPath = std::wstring(path) + L"\\" + child;
    if (!DeleteTree(childPath.c_str(), view)) break;
  }
  RegCloseKey(key);
  return RegDeleteKeyExW(HKEY_LOCAL_MACHINE, path, view, 0) == ERROR_SUCCESS;
}

bool DeleteValue(const wchar_t* path, const wchar_t* name, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_SET_VALUE | view, &key) != ERROR_SUCCESS) {
    return true;
  }
  const LONG result = RegDeleteValueW(key, name);
  RegCloseKey(key);
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool GetValue(const wchar_t* path, const wchar_t* name, DWORD* type, Bytes* data, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS) {
    return false;
  }
  DWORD size = 0;
  LONG result = RegQueryValueExW(key, name, nullptr, type, nullptr, &size);
  if (result == ERROR_SUCCESS) {
    data->assign(size, 0);
    result = RegQueryValueExW(key, name, nullptr, type, size ? data->data() : nullptr, &size);
    data->resize(size);
  }
  RegCloseKey(key);
  return result == ERROR_SUCCESS;
}

SavedValue::SavedValue(const wchar_t* path, const wchar_t* name, REGSAM view)
    : path_(path), name_(name), view_(view), existed_(false), type_(0) {
  existed_ = GetValue(path, name, &type_, &data_, view);
}

SavedValue::~SavedValue() {
  if (existed_) {
    PutValue(path_.c_str(), name_.c_str(), type_, data_, view_);
  } else {
    DeleteValue(path_.c_str(), name_.c_str(), view_);
  }
}

Bytes Words(std::initializer_list<uint32_t> words) {
  Bytes b;
  for (uint32_t w : words) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(w >> (8 * i)));
  }
  return b;
}
