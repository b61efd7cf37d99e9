// Registry: thin calls of the registry functions by key and value name. Every
// argument is checked, and every value read back (type, size, terminator).
#pragma once

#include <windows.h>

#include <stdint.h>

#include "text/WString.h"

// Each returns a key or 1 on success, and null or 0 on a refused argument (a
// null key, an empty name where one is needed) or a failed call. Keys are the
// caller's to close (KeyGuard). A failed call is reported (ReportFailure: the
// call, the key or value name, the LSTATUS), except a key or value that is not
// there when it is opened or read: the caller is asking whether it exists.
HKEY OpenRegistryKey(HKEY parent, const WChar* name, REGSAM access);
HKEY CreateRegistryKey(HKEY parent, const WChar* name, REGSAM access);
// OpenRegistryKey for a key whose path anyone who can write under `parent`
// may have changed: every component of `name` (split at '\\') is opened as
// itself (REG_OPTION_OPEN_LINK), and a registry link (a key with a REG_LINK
// value SymbolicLinkValue) is refused as if the key were missing: null.
HKEY OpenRegistryKeyNoLink(HKEY parent, const WChar* name, REGSAM access);

int WriteBinaryValue(HKEY key, const WChar* name, const uint8_t* bytes, uint32_t count);
// An owned block (FreeBlock) of exactly the stored size, its size in `count`;
// null (count 0) unless the value is REG_BINARY and not empty.
uint8_t* ReadBinaryValue(HKEY key, const WChar* name, uint32_t& count);

int WriteDwordValue(HKEY key, const WChar* name, uint32_t value);
// 1 only for a REG_DWORD of exactly 4 bytes; `value` is unchanged otherwise.
int ReadDwordValue(HKEY key, const WChar* name, uint32_t& value);

// REG_SZ (or `type`, REG_EXPAND_SZ) with the terminator counted; the text becomes wide.
int WriteTextValue(HKEY key, const WChar* name, WString& text, DWORD type = REG_SZ);
// A REG_SZ value as wide text, up to its first zero (the stored terminator
// dropped, an unterminated value kept whole); `out` is empty on failure.
int ReadTextValue(HKEY key, const WChar* name, WString& out);
// 1 when the value was read and equals `text` unit for unit (case counts).
int TextValueEquals(HKEY key, const WChar* name, const WString& text);

// Removals: 1 = deleted, or not there (IsAlreadyGone); 0 = a null key, an
// empty name, or the deletion failed (access denied, say).
int DeleteRegistryValue(HKEY key, const WChar* name);
// Deletes sub-key `name` of `key` with its values, not while it has sub-keys.
int DeleteRegistrySubKey(HKEY key, const WChar* name);
