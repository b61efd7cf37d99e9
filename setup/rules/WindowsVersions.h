// The Windows versions the program tells apart, as version codes (major * 10 +
// minor, VersionCodeOf): every comparison of a version code names one of these.
#pragma once

#include <stdint.h>

constexpr int32_t kWindows2000 = 50;
constexpr int32_t kWindowsXp = 51;
constexpr int32_t kWindowsServer2003 = 52;  // and the x64 edition of XP
constexpr int32_t kWindowsVista = 60;
constexpr int32_t kWindows7 = 61;
constexpr int32_t kWindows8 = 62;  // and every later version, which report 6.2
