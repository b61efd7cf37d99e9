// The driver's watcher of the machine's changes.

#include "tests/scenario/ChangeFaults.h"

#include <windows.h>

#include <stdio.h>

#include "setup/MachineChanges.h"

namespace {

ChangeFaultPlan gPlan;
uint32_t gCount = 0;

void Cut() {
  fflush(stdout);
  fflush(stderr);
  TerminateProcess(GetCurrentProcess(), kCutExitCode);
}

int Ahead(const char* call, const WChar* target) {
  ++gCount;
  if (gPlan.trace) {
    fprintf(stderr, "change %u %s %ls\n", static_cast<unsigned>(gCount), call,
            target != nullptr ? target : L"");
  }
  if (gCount != gPlan.at) return 1;
  if (gPlan.fault == ChangeFault::CutBefore) Cut();
  if (gPlan.fault == ChangeFault::Fail) {
    SetLastError(gPlan.error);
    return 0;
  }
  return 1;
}

void Done(const char*, const WChar*) {
  if (gCount == gPlan.at && gPlan.fault == ChangeFault::CutAfter) Cut();
}

const MachineChangeWatcher kWatcher = {Ahead, Done};

}  // namespace

void StartChangeFaults(const ChangeFaultPlan& plan) {
  gPlan = plan;
  gCount = 0;
  WatchMachineChanges(&kWatcher);
}

uint32_t ChangesCounted() { return gCount; }
