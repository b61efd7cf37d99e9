// Character, string and byte-dump conversions c C s S z Z b B: precision in
// characters, escapes of control and non-ASCII codes, UTF-8 decoding.
#include <string.h>

#include "text/FormatSpec.h"
#include "text/LittleEndian.h"
#include "text/Utf8.h"

namespace {

constexpr int32_t kEscapeLength = 4;  // "{" two hex digits "}"

WChar* WriteEscape(WChar* out, unsigned code, bool upper) {
  const char* hex = HexDigits(upper);
  out[0] = '{';
  out[1] = static_cast<WChar>(hex[(code >> 4) & 0xF]);
  out[2] = static_cast<WChar>(hex[code & 0xF]);
  out[3] = '}';
  return out + kEscapeLength;
}

bool EscapedWide(const FormatSpec& spec, unsigned code) {
  return (spec.escape && (code < 32 || code > 126)) || (spec.alternate && code < 32);
}

bool EscapedByte(const FormatSpec& spec, uint8_t b) {
  return (spec.escape && (b < 32 || b > 126)) || (spec.alternate && b < 32);
}

// How much of a text the precision takes. `bound` limits texts whose size is
// known (a WString, a counted record); -1 = only the terminator limits it.
struct Extent {
  int64_t maxCharacters;  // -1 = no limit
  bool stopAtZero;
};

Extent ExtentOf(const FormatSpec& spec) {
  if (spec.precision > 0) return {spec.precision, true};
  if (spec.precision < 0) return {-spec.precision, false};
  return {-1, true};
}

// Units of a counted record need not be aligned.
WChar UnitAt(const WChar* text, int64_t i) {
  WChar c;
  memcpy(&c, text + i, sizeof c);
  return c;
}

// Without escapes the text is copied as it is: measured, then moved in one go.
int CopyWideText(WString* target, const FormatSpec& spec, const WChar* text, int64_t bound,
                 const Extent& extent) {
  int64_t limit = extent.maxCharacters;
  if (bound >= 0 && (limit < 0 || bound < limit)) limit = bound;
  int64_t units = 0;
  if (extent.stopAtZero) {
    while (units != limit && UnitAt(text, units) != 0) ++units;
  } else {
    units = limit;
  }
  int64_t fill;
  WChar* out = BeginField(target, spec, units, false, &fill);
  if (out == nullptr) return 0;
  memcpy(out, text, static_cast<size_t>(units) * sizeof(WChar));
  EndField(target, spec, out, units, fill);
  return 1;
}

int WriteWideText(WString* target, const FormatSpec& spec, const WChar* text, int64_t bound) {
  Extent extent = ExtentOf(spec);
  if (!spec.escape && !spec.alternate) return CopyWideText(target, spec, text, bound, extent);
  int64_t units = 0;
  int64_t length = 0;
  while ((bound < 0 || units < bound) && units != extent.maxCharacters) {
    WChar c = UnitAt(text, units);
    if (c == 0 && extent.stopAtZero) break;
    length += EscapedWide(spec, static_cast<uint16_t>(c)) ? kEscapeLength : 1;
    ++units;
  }
  int64_t fill;
  WChar* out = BeginField(target, spec, length, false, &fill);
  if (out == nullptr) return 0;
  WChar* w = out;
  for (int64_t i = 0; i < units; ++i) {
    WChar c = UnitAt(text, i);
    unsigned code = static_cast<uint16_t>(c);
    if (EscapedWide(spec, code)) w = WriteEscape(w, code, spec.upper);
    else *w++ = c;
  }
  EndField(target, spec, out, length, fill);
  return 1;
}

bool IsContinuation(uint8_t b) { return (b & 0xC0) == 0x80; }

int WriteNarrowText(WString* target, const FormatSpec& spec, const char* text, int64_t bound) {
  const uint8_t* bytes = reinterpret_cast<const uint8_t*>(text);
  Extent extent = ExtentOf(spec);
  int64_t count = 0;       // bytes taken
  int64_t characters = 0;  // non-continuation bytes taken
  int64_t length = 0;      // output characters
  while (bound < 0 || count < bound) {
    uint8_t b = bytes[count];
    if (!IsContinuation(b)) {
      if (characters == extent.maxCharacters) break;
      if (b == 0 && extent.stopAtZero) break;
      ++characters;
    }
    if (EscapedByte(spec, b)) length += kEscapeLength;
    else if (spec.escape || !IsContinuation(b)) length += 1;
    ++count;
  }
  int64_t fill;
  WChar* out = BeginField(target, spec, length, false, &fill);
  if (out == nullptr) return 0;
  WChar* w = out;
  int64_t i = 0;
  while (i < count) {
    if (EscapedByte(spec, bytes[i])) {
      w = WriteEscape(w, bytes[i], spec.upper);
      ++i;
    } else if (spec.escape) {
      *w++ = bytes[i++];  // printable ASCII
    } else {
      // A run up to the next escaped byte is UTF-8 text.
      int64_t end = i;
      while (end < count && !EscapedByte(spec, bytes[end])) ++end;
      int32_t units = DecodeUtf8(text + i, static_cast<int32_t>(end - i), w);
      if (units < 0) return 0;
      w += units;
      i = end;
    }
  }
  EndField(target, spec, out, length, fill);
  return 1;
}

// Writes (or, with out null, only counts) the byte dump of `n` bytes.
int64_t LayOutBytes(const FormatSpec& spec, const uint8_t* bytes, int64_t n, WChar* out) {
  const char* hex = HexDigits(spec.upper);
  int64_t length = 0;
  auto put = [&](char c) {
    if (out != nullptr) out[length] = static_cast<WChar>(c);
    ++length;
  };
  auto putByte = [&](uint8_t b) {
    put(hex[b >> 4]);
    put(hex[b & 0xF]);
  };
  for (int64_t i = 0; i < n; ++i) {
    bool groupStart = i % 4 == 0;
    if (!spec.group) {
      if (i > 0 && spec.space) put(' ');
      if (spec.alternate) put('{');
      putByte(bytes[i]);
      if (spec.alternate) put('}');
      continue;
    }
    if (groupStart && i > 0) {
      if (spec.alternate) {
        put('}');
        if (spec.space) put(' ');
      } else {
        put(' ');
        if (spec.space) put(' ');
      }
    } else if (i > 0 && spec.space) {
      put(' ');
    }
    if (groupStart && spec.alternate) put('{');
    putByte(bytes[i]);
  }
  if (spec.group && spec.alternate && n > 0) put('}');
  return length;
}

}  // namespace

int FormatCharacter(WString* target, const FormatSpec& spec, FormatArguments* arguments) {
  int32_t value = arguments->NextInt32();
  unsigned code = spec.narrow ? static_cast<uint8_t>(value) : static_cast<uint16_t>(value);
  bool escaped = spec.narrow ? EscapedByte(spec, static_cast<uint8_t>(code))
                             : EscapedWide(spec, code);
  if (!escaped && spec.narrow && code >= 0x80) return 0;  // not a whole UTF-8 character
  int64_t length = escaped ? kEscapeLength : 1;
  int64_t fill;
  WChar* out = BeginField(target, spec, length, false, &fill);
  if (out == nullptr) return 0;
  if (escaped) WriteEscape(out, code, spec.upper);
  else out[0] = static_cast<WChar>(code);
  EndField(target, spec, out, length, fill);
  return 1;
}

int FormatString(WString* target, const FormatSpec& spec, FormatArguments* arguments) {
  const void* argument = arguments->NextPointer();
  const bool isText = spec.letter == 's' || spec.letter == 'S';
  if (isText && spec.wide64) return 1;
  if (argument == nullptr) return FormatNull(target, spec);
  if (isText) {
    if (spec.narrow) return WriteNarrowText(target, spec, static_cast<const char*>(argument), -1);
    return WriteWideText(target, spec, static_cast<const WChar*>(argument), -1);
  }
  if (spec.narrow) {
    // A counted record: its header gives the form and, as a bound, the count.
    const uint8_t* record = static_cast<const uint8_t*>(argument);
    uint32_t header = ReadLittle32(record);
    int64_t count = header & kCountedTextCountMask;
    if (header & kCountedTextNarrowBit) {
      return WriteNarrowText(target, spec, reinterpret_cast<const char*>(record + 4), count);
    }
    return WriteWideText(target, spec, reinterpret_cast<const WChar*>(record + 4), count);
  }
  const WString* text = static_cast<const WString*>(argument);
  if (text->IsWide()) return WriteWideText(target, spec, text->WideAt(0), text->Length());
  return WriteNarrowText(target, spec, text->NarrowAt(0), text->Length());
}

int FormatBytes(WString* target, const FormatSpec& spec, FormatArguments* arguments) {
  const uint8_t* bytes = static_cast<const uint8_t*>(arguments->NextPointer());
  int64_t n = spec.precision;
  if (n <= 0) return 1;
  if (bytes == nullptr) return FormatNull(target, spec);
  int64_t length = LayOutBytes(spec, bytes, n, nullptr);
  int64_t fill;
  WChar* out = BeginField(target, spec, length, false, &fill);
  if (out == nullptr) return 0;
  LayOutBytes(spec, bytes, n, out);
  EndField(target, spec, out, length, fill);
  return 1;
}
