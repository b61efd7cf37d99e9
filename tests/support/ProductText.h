// The application's texts as std::wstring, for the comparisons of the Windows tests.
#pragma once

#include <windows.h>

#include <stdint.h>

#include <string>

#include "app/InstallerApp.h"
#include "tests/support/WideText.h"
#include "text/WString.h"

// Text `id` in the application's current language ("" when it has none).
inline std::wstring Text(InstallerApp& app, uint32_t id) {
  WString text;
  app.loadText(id, text);
  return Wide(text);
}
