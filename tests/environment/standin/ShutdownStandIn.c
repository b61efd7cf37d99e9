/* A stand-in for the shutdown calls of advapi32: it records each request instead of
   restarting the machine. Built with both calls, as advapi32 has them from Windows XP
   on, and (KESTREL_STANDIN_WINDOWS_2000) without InitiateSystemShutdownExW. */
#include <wchar.h>

#include "tests/environment/standin/ShutdownStandIn.h"

static struct ShutdownRequest last;
static int answer = 1;

static int Record(const wchar_t* machine, const wchar_t* message, unsigned long timeout,
                  int force, int reboot, int withReason, unsigned long reason) {
  last.calls++;
  last.withReason = withReason;
  last.machineGiven = machine != 0 && machine[0] != 0;
  last.messageGiven = message != 0 && message[0] != 0;
  last.timeout = timeout;
  last.forceAppsClosed = force;
  last.reboot = reboot;
  last.reason = reason;
  return answer;
}

__declspec(dllexport) int __stdcall InitiateSystemShutdownW(wchar_t* machine, wchar_t* message,
                                                            unsigned long timeout, int force,
                                                            int reboot) {
  return Record(machine, message, timeout, force, reboot, 0, 0);
}

#ifndef KESTREL_STANDIN_WINDOWS_2000
__declspec(dllexport) int __stdcall InitiateSystemShutdownExW(wchar_t* machine, wchar_t* message,
                                                              unsigned long timeout, int force,
                                                              int reboot, unsigned long reason) {
  return Record(machine, message, timeout, force, reboot, 1, reason);
}
#endif

__declspec(dllexport) void StandInLastRequest(struct ShutdownRequest* out) { *out = last; }

/* What the following requests return: 1 = accepted, 0 = refused. */
__declspec(dllexport) void StandInAnswer(int value) { answer = value; }
