// Registry primitives by name: thin calls of the registry functions that check
// every argument and every value read back (type, size, terminator).

#include "setup/Registry.h"

#include <string.h>

#include "setup/MachineChanges.h"
#include "setup/SystemErrors.h"
#include "setup/SystemGuards.h"
#include "text/Memory.h"

namespace {

// Text values longer than this are refused rather than allocated: nothing the
// program stores comes near it, and a damaged value must not end the program.
constexpr DWORD kMaxTextValueBytes = 1u << 24;

bool IsEmptyName(const WChar* name) { return name == nullptr || name[0] == 0; }

// A link keeps its target's path in this value; no ordinary key has one.
const WChar kLinkValueName[] = L"SymbolicLinkValue";
// Path components longer than this are no key names (the registry's limit is 255).
constexpr int32_t kMaxKeyNameChars = 256;

// 1 when `key` (opened with REG_OPTION_OPEN_LINK) is a link or cannot be asked.
bool IsLinkOrUnreadable(HKEY key) {
  DWORD type = 0;
  DWORD size = 0;
  const LONG result = RegQueryValueExW(key, kLinkValueName, nullptr, &type, nullptr, &size);
  if (result == ERROR_FILE_NOT_FOUND) return false;
  if (result != ERROR_SUCCESS) ReportFailure("RegQueryValueExW", kLinkValueName, result);
  return result != ERROR_SUCCESS || type == REG_LINK;
}

// A read that finds nothing is an answer the caller asked for (is it there?),
// not a failure: only other errors are reported.
void ReportReadFailure(const char* call, const WChar* name, LONG result) {
  if (result != ERROR_FILE_NOT_FOUND) ReportFailure(call, name, static_cast<DWORD>(result));
}

// 1 for ERROR_SUCCESS; any other result is reported against `name`.
int Succeeded(const char* call, const WChar* name, LONG result) {
  if (result == ERROR_SUCCESS) return 1;
  ReportFailure(call, name, static_cast<DWORD>(result));
  return 0;
}

}  // namespace

HKEY OpenRegistryKey(HKEY parent, const WChar* name, REGSAM access) {
  if (parent == nullptr || IsEmptyName(name)) return nullptr;
  HKEY key = nullptr;
  const LONG result = RegOpenKeyExW(parent, name, 0, access, &key);
  if (result != ERROR_SUCCESS) {
    ReportReadFailure("RegOpenKeyExW", name, result);
    return nullptr;
  }
  return key;
}

HKEY OpenRegistryKeyNoLink(HKEY parent, const WChar* name, REGSAM access) {
  if (parent == nullptr || IsEmptyName(name)) return nullptr;
  HKEY current = parent;
  KeyGuard held;  // the component opened last; `parent` stays the caller's
  const WChar* rest = name;
  while (*rest != 0) {
    WChar component[kMaxKeyNameChars + 1];
    int32_t length = 0;
    while (rest[length] != 0 && rest[length] != L'\\') {
      if (length == kMaxKeyNameChars) return nullptr;
      component[length] = rest[length];
      ++length;
    }
    if (length == 0) return nullptr;  // "\\\\" or a leading or trailing separator
    component[length] = 0;
    rest += length;
    if (*rest == L'\\') {
      ++rest;
      if (*rest == 0) return nullptr;
    }
    const bool last = *rest == 0;
    HKEY next = nullptr;
    // Asking for the link value needs KEY_QUERY_VALUE on every component.
    const LONG result = RegOpenKeyExW(current, component, REG_OPTION_OPEN_LINK,
                                      (last ? access : 0) | KEY_QUERY_VALUE, &next);
    if (result != ERROR_SUCCESS) {
      ReportReadFailure("RegOpenKeyExW", component, result);
      return nullptr;
    }
    KeyGuard opened(next);
    if (IsLinkOrUnreadable(opened.get())) return nullptr;
    *held.out() = opened.release();
    current = held.get();
  }
  return held.release();
}

HKEY CreateRegistryKey(HKEY parent, const WChar* name, REGSAM access) {
  if (parent == nullptr || IsEmptyName(name)) return nullptr;
  HKEY key = nullptr;
  const LONG result = CreateKeyForWriting(parent, name, access, &key);
  return Succeeded("RegCreateKeyExW", name, result) ? key : nullptr;
}

int WriteBinaryValue(HKEY key, const WChar* name, const uint8_t* bytes, uint32_t count) {
  if (key == nullptr || (bytes == nullptr && count != 0)) return 0;
  return Succeeded("RegSetValueExW", name,
                   SetRegistryValue(key, name, REG_BINARY, bytes, count));
}

uint8_t* ReadBinaryValue(HKEY key, const WChar* name, uint32_t& count) {
  count = 0;
  if (key == nullptr) return nullptr;
  DWORD type = 0;
  DWORD size = 0;
  LONG result = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
  if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) {
    ReportReadFailure("RegQueryValueExW", name, result);
    return nullptr;
  }
  if (size == 0 || type != REG_BINARY) return nullptr;
  // The size comes from the registry: a value too large to hold fails here.
  uint8_t* block = static_cast<uint8_t*>(TryAllocateBlock(size));
  if (block == nullptr) return nullptr;
  DWORD readSize = size;
  result = RegQueryValueExW(key, name, nullptr, &type, block, &readSize);
  // The value may have changed between the two queries.
  if (result != ERROR_SUCCESS || readSize != size || type != REG_BINARY) {
    if (result != ERROR_SUCCESS) ReportFailure("RegQueryValueExW", name, result);
    FreeBlock(block);
    return nullptr;
  }
  count = size;
  return block;
}

int WriteDwordValue(HKEY key, const WChar* name, uint32_t value) {
  if (key == nullptr) return 0;
  DWORD data = value;
  return Succeeded("RegSetValueExW", name,
                   SetRegistryValue(key, name, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                  sizeof(data)));
}

int ReadDwordValue(HKEY key, const WChar* name, uint32_t& value) {
  if (key == nullptr) return 0;
  DWORD type = 0;
  DWORD data = 0;
  DWORD size = sizeof(data);
  // A longer value answers ERROR_MORE_DATA and fails here, a shorter one below.
  const LONG result =
      RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
  if (result != ERROR_SUCCESS) {
    ReportReadFailure("RegQueryValueExW", name, result);
    return 0;
  }
  if (type != REG_DWORD || size != sizeof(data)) return 0;
  value = data;
  return 1;
}

int WriteTextValue(HKEY key, const WChar* name, WString& text, DWORD type) {
  if (key == nullptr || IsEmptyName(name) || (type != REG_SZ && type != REG_EXPAND_SZ)) return 0;
  const WChar* wide = text.ToWide(-1);
  if (wide == nullptr) return 0;
  // The terminator is stored with the text; the byte count must fit a DWORD.
  const uint64_t bytes = (static_cast<uint64_t>(text.Length()) + 1) * sizeof(WChar);
  if (bytes > kMaxTextValueBytes) return 0;
  return Succeeded("RegSetValueExW", name,
                   SetRegistryValue(key, name, type, reinterpret_cast<const BYTE*>(wide),
                                  static_cast<DWORD>(bytes)));
}

int ReadTextValue(HKEY key, const WChar* name, WString& out) {
  if (key == nullptr || IsEmptyName(name)) return 0;
  out.AssignWide(WTEXT(""), 0);
  DWORD type = 0;
  DWORD size = 0;
  const LONG result = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size);
  if (result != ERROR_SUCCESS) {
    ReportReadFailure("RegQueryValueExW", name, result);
    return 0;
  }
  if (type != REG_SZ) return 0;
  if (size == 0) return 1;
  if (size > kMaxTextValueBytes) return 0;
  // Room for every byte returned, an odd last one included, so the query
  // never writes past the buffer.
  const DWORD units = (size + 1) / sizeof(WChar);
  WChar* buffer = out.ReserveWide(static_cast<int32_t>(units));
  if (buffer == nullptr) return 0;
  DWORD readSize = units * sizeof(WChar);
  const LONG read =
      RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &readSize);
  if (read != ERROR_SUCCESS || type != REG_SZ || readSize > units * sizeof(WChar)) {
    if (read != ERROR_SUCCESS) ReportFailure("RegQueryValueExW", name, read);
    out.AssignWide(WTEXT(""), 0);
    return 0;
  }
  // The value need not be terminated: the text is what was returned, up to
  // the first zero unit; an odd last byte is not a character.
  DWORD length = 0;
  const DWORD returnedUnits = readSize / sizeof(WChar);
  while (length < returnedUnits && buffer[length] != 0) ++length;
  out.SetLength(static_cast<int32_t>(length));
  out.Terminate();
  return 1;
}

int TextValueEquals(HKEY key, const WChar* name, const WString& text) {
  WString stored;
  if (!ReadTextValue(key, name, stored)) return 0;
  WString wanted;
  if (!wanted.AssignAsWide(&text)) return 0;
  if (stored.Length() != wanted.Length()) return 0;
  // Exact code units: no case folding, no normalisation.
  return memcmp(stored.WideAt(0), wanted.WideAt(0),
                static_cast<size_t>(stored.Length()) * sizeof(WChar)) == 0
             ? 1
             : 0;
}

int DeleteRegistryValue(HKEY key, const WChar* name) {
  if (key == nullptr || IsEmptyName(name)) return 0;
  const LONG result = DeleteRegistryValueByName(key, name);
  if (IsAlreadyGone(static_cast<DWORD>(result))) return 1;
  return Succeeded("RegDeleteValueW", name, result);
}

int DeleteRegistrySubKey(HKEY key, const WChar* name) {
  // An empty name would name the key itself.
  if (key == nullptr || IsEmptyName(name)) return 0;
  const LONG result = DeleteRegistryKeyByName(key, name);
  if (IsAlreadyGone(static_cast<DWORD>(result))) return 1;
  return Succeeded("RegDeleteKeyW", name, result);
}
