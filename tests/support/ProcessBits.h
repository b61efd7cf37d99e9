// Facts that hold only in a 32-bit process: WOW64's views of the system folder,
// of Program Files and of GetSystemInfo, and the x86 form of its own image. The
// engine's x86_64 test build runs as a native process, where they do not apply.
#pragma once

#include <gtest/gtest.h>

#if defined(_WIN64)
#define SKIP_UNLESS_32_BIT_PROCESS() \
  GTEST_SKIP() << "a fact of a 32-bit process; this test program is 64-bit"
#else
#define SKIP_UNLESS_32_BIT_PROCESS() static_cast<void>(0)
#endif
