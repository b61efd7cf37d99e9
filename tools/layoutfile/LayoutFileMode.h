// LayoutFileMode: the three forms of layout library the reader knows.
//   x86:   PE32 i386, 4-byte pointers, HIGHLOW relocations.
//   x64:   PE32+ AMD64, 8-byte pointers, DIR64 relocations.
//   wow64: PE32 i386 with the x64 field layout: every pointer an 8-byte slot
//          whose low half is a 32-bit VA (HIGHLOW relocation) and high half 0.
#pragma once

#include <string>

enum class LayoutFileMode { kX86, kX64, kWow64 };

// "x86", "x64", "wow64"; false for anything else.
bool ParseLayoutFileMode(const std::string& name, LayoutFileMode* mode);
const char* LayoutFileModeName(LayoutFileMode mode);
