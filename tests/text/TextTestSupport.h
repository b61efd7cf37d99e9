// Helpers shared by the text tests: the visible text of a WString as a
// standard string, so that failures print readably on both builds.
#pragma once

#include <string>

#include "text/WString.h"

typedef std::basic_string<WChar> WideString;

inline WideString WideOf(const WString& s) { return WideString(s.WideAt(0), s.Length()); }
inline std::string NarrowOf(const WString& s) { return std::string(s.NarrowAt(0), s.Length()); }

// The character at index `length` of the text: the terminator the class keeps.
inline unsigned TerminatorOf(const WString& s) {
  if (s.Block() == nullptr) return 0;
  int c = s.IsWide() ? 2 : 1;
  const unsigned char* p = s.Block() + 4 + (s.Start() + s.Length()) * c;
  return c == 2 ? static_cast<unsigned>(p[0] | (p[1] << 8)) : p[0];
}
