// PauseMilliseconds: the system's sleep. Alone in its file: a test program may
// define the function itself.

#include <windows.h>

#include "setup/Pause.h"

void PauseMilliseconds(uint32_t milliseconds) { Sleep(milliseconds); }
