// WChar: one UTF-16 code unit. wchar_t on Windows (so texts go straight to the
// W functions), char16_t elsewhere, where wchar_t is 4 bytes.
#pragma once

#if defined(_WIN32)
typedef wchar_t WChar;
#define WTEXT(s) L##s
#else
typedef char16_t WChar;
#define WTEXT(s) u##s
#endif

static_assert(sizeof(WChar) == 2, "UTF-16 code units are 2 bytes");
