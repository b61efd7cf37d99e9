// WString members for search, comparison and upper-casing. A text in the other
// form is converted through the scratch companion first.
#include "text/TextPrimitives.h"
#include "text/Utf8.h"
#include "text/WString.h"

int32_t WString::FindWide(const WChar* needle, int32_t from, int32_t needleLength) {
  if (needle == nullptr || length == 0 || from < 0 || from >= length) return -1;
  if (isWide) return FindUnitsForward(WideAt(0), needle, length, needleLength, from);
  WString& encoded = Scratch();
  encoded.isWide = 0;
  encoded.AppendEncodedUtf8(needle, MeasureWide(needle, needleLength));
  return FindBytesForward(NarrowAt(0), encoded.NarrowAt(0), length, encoded.length, from);
}

int32_t WString::FindNarrow(const char* needle, int32_t from, int32_t needleLength) {
  if (needle == nullptr || length == 0 || from < 0 || from >= length) return -1;
  if (!isWide) return FindBytesForwardMeasured(NarrowAt(0), needle, length, needleLength, from);
  WString& decoded = Scratch();
  decoded.isWide = 1;
  if (!decoded.AppendDecodedUtf8(needle, MeasureNarrow(needle, needleLength))) return -1;
  return FindUnitsForward(WideAt(0), decoded.WideAt(0), length, decoded.length, from);
}

int32_t WString::FindLastChar(WChar ch, int32_t from) {
  if (isWide) return FindUnitLast(WideAt(0), ch, length, from);
  if (static_cast<uint16_t>(ch) < 0x80) {
    return FindByteLast(NarrowAt(0), static_cast<uint8_t>(ch), length, from);
  }
  WString& encoded = Scratch();
  encoded.isWide = 0;
  encoded.AppendEncodedUtf8(&ch, 1);
  return FindBytesBackward(NarrowAt(0), encoded.NarrowAt(0), length, encoded.length, from);
}

int WString::CompareWide(const WChar* text, int32_t len) {
  len = MeasureWide(text, len);
  if (length == 0) return len == 0 ? 0 : -1;
  if (len == 0) return 1;
  if (isWide) return CompareUnits(WideAt(0), text, length, len);
  WString& encoded = Scratch();
  encoded.isWide = 0;
  encoded.AppendEncodedUtf8(text, len);
  return CompareBytes(NarrowAt(0), encoded.NarrowAt(0), length, encoded.length);
}

int WString::CompareNarrow(const char* text, int32_t len) {
  len = MeasureNarrow(text, len);
  if (length == 0) return len == 0 ? 0 : -1;
  if (len == 0) return 1;
  if (!isWide) return CompareBytes(NarrowAt(0), text, length, len);
  WString& decoded = Scratch();
  decoded.isWide = 1;
  if (!decoded.AppendDecodedUtf8(text, len)) return 0;
  return CompareUnits(WideAt(0), decoded.WideAt(0), length, decoded.length);
}

int WString::ToUpper() {
  if (isWide) {
    if (length == 0) return 1;
    WChar* text = reinterpret_cast<WChar*>(CharArea()) + start;
    for (int32_t i = 0; i < length; ++i) text[i] = ToUpperChar(text[i]);
    return 1;
  }
  WString& wide = Scratch();
  if (!wide.AssignAsWide(this)) return 0;
  wide.ToUpper();
  return AssignAsNarrow(&wide);
}
