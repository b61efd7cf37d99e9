// The call log and the script of the application's doubles.

#include "tests/app/doubles/CallScript.h"

#include <stdio.h>

namespace {

CallScript g_script;

}  // namespace

void Log(const std::string& call) { g_script.calls.push_back(call); }

std::string Numbers(const char* name, uint32_t a, uint32_t b) {
  char buffer[64];
  snprintf(buffer, sizeof buffer, "%s %u %u", name, a, b);
  return buffer;
}

CallScript& Script() { return g_script; }

void ResetCallScript() { g_script = CallScript(); }

int CallIndex(const std::string& call) {
  for (size_t i = 0; i < g_script.calls.size(); ++i) {
    if (g_script.calls[i] == call) return static_cast<int>(i);
  }
  return -1;
}

std::string CallLog() {
  std::string log;
  for (const std::string& c : g_script.calls) log += (log.empty() ? "" : "|") + c;
  return log;
}

