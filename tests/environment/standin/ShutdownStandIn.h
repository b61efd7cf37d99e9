// What a stand-in for advapi32's shutdown calls records of the last request, shared
// by the stand-in library and the tests that load it.
#pragma once

struct ShutdownRequest {
  int calls;            // requests since the library was loaded
  int withReason;       // 1 when the last one came through InitiateSystemShutdownExW
  int machineGiven;     // 1 when it named a machine (null or empty = this one)
  int messageGiven;     // 1 when it carried a non-empty message
  unsigned long timeout;
  int forceAppsClosed;
  int reboot;
  unsigned long reason;  // 0 when the call has no reason
};
