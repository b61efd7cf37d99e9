// The formatting engine's main loop: literal runs, the parse of each
// conversion specification, and the dispatch to the conversion families.
#include "text/Format.h"

#include <string.h>

#include "text/FormatSpec.h"

namespace {

constexpr int kMaxNumberDigits = 10;  // digits read for a width or a precision

bool IsDigit(WChar c) { return c >= '0' && c <= '9'; }

// Reads up to kMaxNumberDigits decimal digits.
const WChar* ReadNumber(const WChar* p, int64_t* value) {
  int64_t n = 0;
  for (int i = 0; i < kMaxNumberDigits && IsDigit(*p); ++i, ++p) n = n * 10 + (*p - '0');
  *value = n;
  return p;
}

// Parses flags, width, precision and modifiers; `*` takes its value from the
// arguments. Leaves spec.letter 0 when the format ends first.
const WChar* ParseSpec(const WChar* p, FormatSpec* spec, FormatArguments* arguments) {
  for (;; ++p) {
    switch (*p) {
      case '-': spec->leftJustify = true; continue;
      case '+': spec->plus = true; continue;
      case ' ': spec->space = true; continue;
      case '0': spec->zeroFill = true; continue;
      case '#': spec->alternate = true; continue;
      case '$': spec->escape = true; continue;
      case '`': spec->group = true; continue;
      default: break;
    }
    break;
  }
  if (*p == '*') {
    int64_t width = arguments->NextInt32();
    if (width < 0) {
      spec->leftJustify = true;
      width = -width;
    }
    spec->width = width;
    ++p;
  } else if (IsDigit(*p)) {
    p = ReadNumber(p, &spec->width);
  }
  if (*p == '.') {
    ++p;
    if (*p == '*') {
      spec->precision = arguments->NextInt32();
      ++p;
    } else {
      p = ReadNumber(p, &spec->precision);
    }
  }
  for (;; ++p) {
    if (*p == 'L') {
      spec->wide64 = true;
    } else if (*p == 'l') {
      if (p[1] == 'l') {
        spec->wide64 = true;
        ++p;
      }
    } else if (*p == 'h') {
      spec->narrow = true;
    } else {
      break;
    }
  }
  spec->letter = *p;
  if (*p != 0) ++p;
  WChar c = spec->letter;
  bool upperLetter = c >= 'A' && c <= 'Z';
  spec->upper = upperLetter && c != 'F' && c != 'I' && c != 'N' && c != 'T' && c != 'U' &&
                c != 'Y';
  return p;
}

// 1 = converted; 0 = the call fails; -1 = not a conversion letter.
int Convert(WString* target, const FormatSpec& spec, FormatArguments* arguments,
            int32_t startLength) {
  switch (spec.letter) {
    case 'd': case 'i': case 'u': case 'x': case 'X': case 'o': case 'y': case 'p': case 'P':
      return FormatInteger(target, spec, arguments);
    case 'c': case 'C':
      return FormatCharacter(target, spec, arguments);
    case 's': case 'S': case 'z': case 'Z':
      return FormatString(target, spec, arguments);
    case 'b': case 'B':
      return FormatBytes(target, spec, arguments);
    case 'f': case 'e': case 'E': case 'g': case 'G': case 'a': case 'A': case 'F':
      return FormatFloat(target, spec, arguments);
    case 'I': case 'U':
      return FormatSize(target, spec, arguments);
    case 'w': case 'W':
      return FormatAddress(target, spec, arguments);
    case 'N': {
      // The line break is a field like any other: the width fills around it.
      int64_t fill;
      WChar* out = BeginField(target, spec, 2, false, &fill);
      if (out == nullptr) return 0;
      out[0] = 0x0D;
      out[1] = 0x0A;
      EndField(target, spec, out, 2, fill);
      return 1;
    }
    case 'n': {
      int32_t* count = static_cast<int32_t*>(const_cast<void*>(arguments->NextPointer()));
      if (count != nullptr) *count = target->Length() - startLength;
      return 1;
    }
    case 'T': case 't': case 'Y':
      // These conversions only consume their argument.
      arguments->NextInt32();
      return 0;
    default:
      return -1;
  }
}

}  // namespace

const char* HexDigits(bool upper) {
  return upper ? "0123456789ABCDEF" : "0123456789abcdef";
}

WChar* BeginField(WString* target, const FormatSpec& spec, int64_t length, bool spacesOnly,
                  int64_t* fill) {
  int64_t padding = spec.width > length ? spec.width - length : 0;
  if (length + padding > kMaxFieldLength) return nullptr;
  WChar* out = target->ReserveWide(static_cast<int32_t>(length + padding));
  if (out == nullptr) return nullptr;
  *fill = padding;
  if (spec.leftJustify) return out;
  WChar fillChar = spec.zeroFill && !spacesOnly ? WChar('0') : WChar(' ');
  for (int64_t i = 0; i < padding; ++i) *out++ = fillChar;
  return out;
}

void EndField(WString* target, const FormatSpec& spec, WChar* out, int64_t length, int64_t fill) {
  if (spec.leftJustify) {
    for (int64_t i = 0; i < fill; ++i) out[length + i] = ' ';
  }
  target->SetLength(target->Length() + static_cast<int32_t>(length + fill));
}

uint64_t TakeMagnitude(const FormatSpec& spec, bool isSigned, FormatArguments* arguments,
                       bool* negative) {
  int64_t value = spec.wide64 ? arguments->NextInt64() : arguments->NextInt32();
  if (!spec.wide64 && !isSigned) return static_cast<uint32_t>(value);
  *negative = isSigned && value < 0;
  return *negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
}

int FormatNull(WString* target, const FormatSpec& spec) {
  static const char kNull[] = "{null}";
  int64_t fill;
  WChar* out = BeginField(target, spec, 6, false, &fill);
  if (out == nullptr) return 0;
  for (int i = 0; i < 6; ++i) out[i] = static_cast<WChar>(kNull[i]);
  EndField(target, spec, out, 6, fill);
  return 1;
}

int AppendFormatted(WString* target, const WChar* format, FormatArguments* arguments) {
  if (target == nullptr || format == nullptr || !target->IsWide()) return 0;
  const int32_t startLength = target->Length();
  const WChar* p = format;
  for (;;) {
    const WChar* run = p;
    while (*p != 0 && *p != '%') ++p;
    if (p != run) target->AppendWide(run, static_cast<int32_t>(p - run));
    if (*p == 0) break;
    ++p;
    if (*p == '%') {
      target->AppendWide(p, 1);
      ++p;
      continue;
    }
    FormatSpec spec;
    const WChar* next = ParseSpec(p, &spec, arguments);
    if (spec.letter == 0) break;  // a "%" at the very end is dropped
    int result = Convert(target, spec, arguments, startLength);
    if (result == 0) {
      target->Terminate();
      return 0;
    }
    // Not a conversion: the letter (even a "%") and what follows are literal text.
    if (result < 0) target->AppendWide(next - 1, 1);
    p = next;
  }
  target->Terminate();
  return 1;
}

int Format(WString* target, const WChar* format, ...) {
  if (target == nullptr) return 0;
  target->AssignWide(WTEXT(""), 0);
  va_list list;
  va_start(list, format);
  int result = target->AppendFormatV(format, list);
  va_end(list);
  return result;
}

int WString::AppendFormatV(const WChar* format, va_list arguments) {
  VaListArguments source(arguments);
  return AppendFormatted(this, format, &source);
}
