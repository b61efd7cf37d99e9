#pragma once
// The engine driver's faults at the machine's changes: counts every change the
// system layer makes and, at the chosen one, ends the process at once (as a
// power cut or Task Manager would: no clean-up, no destructors) before or after
// it, or makes it fail as a full disk or a denied write would.

#include <stdint.h>

enum class ChangeFault { None, CutBefore, CutAfter, Fail };

// The exit code of a process ended at a change.
constexpr uint32_t kCutExitCode = 99;

struct ChangeFaultPlan {
  ChangeFault fault = ChangeFault::None;
  uint32_t at = 0;             // the change's number, from 1
  uint32_t error = 0;          // for Fail: ERROR_DISK_FULL or ERROR_ACCESS_DENIED
  bool trace = false;          // every change on standard error: "change N call target"
};

// Watches the changes from now on, as the plan says.
void StartChangeFaults(const ChangeFaultPlan& plan);
// The changes counted so far.
uint32_t ChangesCounted();
