// WString::DebugDump: the text in lines of dumpWidth characters on the
// debugger output, each continued line marked with a trailing backslash.
#include "text/DebugOutput.h"
#include "text/WString.h"

namespace {

constexpr WChar kReplacement = 0xFFFD;

// One character of a UTF-8 text as a UTF-16 unit; bytes that do not form a
// character show as U+FFFD so that a damaged text can still be looked at.
WChar NextNarrowCharacter(const uint8_t* p, int32_t count, int32_t* i) {
  uint8_t lead = p[*i];
  int32_t size = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 :
                 (lead & 0xF8) == 0xF0 ? 4 : 1;
  if (size == 1 || *i + size > count) {
    *i += 1;
    return lead < 0x80 ? static_cast<WChar>(lead) : kReplacement;
  }
  for (int32_t k = 1; k < size; ++k) {
    if ((p[*i + k] & 0xC0) != 0x80) {
      *i += 1;
      return kReplacement;
    }
  }
  uint32_t value = size == 2 ? ((lead & 0x1Fu) << 6) | (p[*i + 1] & 0x3Fu)
                 : size == 3 ? ((lead & 0x0Fu) << 12) | ((p[*i + 1] & 0x3Fu) << 6) |
                                   (p[*i + 2] & 0x3Fu)
                             : 0x10000;  // outside UTF-16's single units
  *i += size;
  return value > 0xFFFF ? kReplacement : static_cast<WChar>(value);
}

}  // namespace

void WString::DebugDump(int32_t maxChars) {
  if (length == 0 || maxChars <= 0) return;
  static const WChar kContinued[3] = {' ', '\\', 0x0A};
  static const WChar kLineEnd[1] = {0x0A};
  const WChar* wide = WideAt(0);
  const uint8_t* narrow = reinterpret_cast<const uint8_t*>(NarrowAt(0));
  int32_t width = dumpWidth > 0 ? dumpWidth : 80;
  int32_t position = 0;  // in units or bytes
  int32_t sent = 0;      // characters
  WString& line = Scratch();
  line.isWide = 1;
  while (position < length && sent < maxChars) {
    line.Empty();
    for (int32_t n = 0; n < width && position < length && sent < maxChars; ++n, ++sent) {
      line.AppendChar(isWide ? wide[position++] : NextNarrowCharacter(narrow, length, &position));
    }
    bool more = position < length && sent < maxChars;
    if (more) line.AppendWide(kContinued, 3);
    else line.AppendWide(kLineEnd, 1);
    SendDebugText(line.WideAt(0));
  }
}
