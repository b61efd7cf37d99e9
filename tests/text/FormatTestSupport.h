// Helpers of the format tests: format into a fresh string and return the text.
#pragma once

#include <stdarg.h>

#include "tests/text/TextTestSupport.h"
#include "text/Format.h"

inline WideString Formatted(const WChar* format, ...) {
  WString out;
  out.AssignWide(WTEXT(""), 0);
  va_list list;
  va_start(list, format);
  int result = out.AppendFormatV(format, list);
  va_end(list);
  return result ? WideOf(out) : WideOf(out) + WTEXT("<failed>");
}

// A UTF-8 literal as UTF-16, for expectations with non-ASCII characters.
inline WideString FromUtf8(const char* text) {
  WString s;
  s.AssignNarrowAsWide(text, -1, 0);
  return WideOf(s);
}
