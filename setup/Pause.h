// Pause: the fixed waits of the program (the input-language command's settling
// time), in one place.
#pragma once

#include <stdint.h>

// Waits `milliseconds`. Alone in Pause.cpp, so that a test program can define
// it and skip the wait when it measures the rest.
void PauseMilliseconds(uint32_t milliseconds);
