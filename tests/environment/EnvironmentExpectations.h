// What the Wine run of these tests promises about the emulated system: the
// version code and the native architecture the runner put in the environment.
#pragma once

#include <stdlib.h>

#include <string>

#include "tests/support/WideText.h"
#include "text/WString.h"

// The number in environment variable `name`, or -1 when it is not set.
inline int ExpectedNumber(const char* name) {
  const char* value = getenv(name);
  if (value == nullptr || *value == 0) return -1;
  return atoi(value);
}

