// SourceText: literal and number formatting for generated C and C++ sources.
#include "tools/layout/SourceText.h"

#include <stdio.h>

std::string WideLiteral(const std::u16string& text) {
  std::string out = "L\"";
  for (char16_t ch : text) {
    if (ch >= 0x20 && ch < 0x7F && ch != '"' && ch != '\\' && ch != '?') {
      out.push_back(static_cast<char>(ch));
    } else {
      char escape[16];
      snprintf(escape, sizeof escape, "\\x%04X\" L\"", static_cast<unsigned>(ch));
      out += escape;
    }
  }
  out += "\"";
  return out;
}

std::string HexNumber(uint32_t value, int digits) {
  char text[16];
  snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}
