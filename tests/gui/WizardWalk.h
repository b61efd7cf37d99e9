// WizardWalk: the driver's walk command, one step of an installation's life
// through setup.exe's wizard with the choices given (see WizardWalk.cpp).
#pragma once

#include <windows.h>

// gui_driver.exe walk SETUP.EXE OP [CHOICES]: argv as wmain received it. Prints a
// line per check; returns 0 when the walk reached its end (failed checks are counted).
int WalkCommand(int argc, wchar_t** argv);
