// A WString as std::wstring, for the comparisons of the Windows tests.
#pragma once

#include <string>

#include "text/WString.h"

// The wide text of `text`: "" when empty, "<narrow>" for a narrow text.
inline std::wstring Wide(const WString& text) {
  if (text.IsEmpty()) return std::wstring();
  if (!text.IsWide()) return L"<narrow>";
  return std::wstring(text.WideAt(0), static_cast<size_t>(text.Length()));
}
