// StartupBench: time from the start of a process until its first window shows.
#pragma once

#include <windows.h>

// Starts each of the `count` programs in turn, `runs` rounds, timing from
// CreateProcessW until a visible top-level window of the process exists, then
// ends it. Prints each program's median, minimum and maximum and its median as
// a ratio of the first program's. 0 = measured; 1 = a program did not start or
// showed no window.
int StartupBench(int runs, int count, wchar_t** programs);
