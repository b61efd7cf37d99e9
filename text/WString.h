// WString: the program's one text type, UTF-16 (wide) or UTF-8 (narrow) in one
// owned, always-terminated block that grows in 64-byte granules.
#pragma once

#include <stdarg.h>
#include <stdint.h>

#include "text/WChar.h"

// Header bit of a CountedText: set = the characters are UTF-8 bytes, clear = UTF-16 units.
constexpr uint32_t kCountedTextNarrowBit = 0x80000000u;
// Bits 0-28 of a CountedText header hold the character count.
constexpr uint32_t kCountedTextCountMask = 0x1FFFFFFFu;

class WString {
 public:
  // ---- Construction and access -------------------------------------------
  WString();                          // empty, narrow, no block
  WString(WChar ch, int32_t count);   // wide text of `count` copies of `ch`
  virtual ~WString();
  WString(const WString&) = delete;
  WString& operator=(const WString&) = delete;

  // Text from index min(i, length); a shared empty text when the string is
  // empty, in the other form, or i < 0. Never null, never allocates.
  const char* NarrowAt(int32_t i) const;
  const WChar* WideAt(int32_t i) const;

  // Writes the terminator at `length`; returns the text, or null without a block.
  void* Terminate();
  // After a caller wrote into the buffer: n >= 0 sets length to min(n, capacity);
  // n < 0 takes the first zero character within capacity (0 if none).
  // 0 only without a block.
  int SetLength(int32_t n);
  // Removes the first n characters without moving memory. n <= 0 fails.
  int DropFront(int32_t n);
  // Makes capacity >= n characters (1.5x growth, 64-byte granules). n < 0: no-op.
  int Reserve(int32_t n);
  // Makes free room >= k characters. k <= 0: no-op.
  int EnsureRoom(int32_t k);
  // Switch form, make room for n characters and return the write pointer at
  // `length` (null on failure); the caller then calls SetLength.
  WChar* ReserveWide(int32_t n);
  char* ReserveNarrow(int32_t n);

  // ---- Assignment ----------------------------------------------------------
  // Each first empties the text and takes the form its name gives. No result
  // is ever 0 for want of memory: exhausted memory, or a text longer than
  // 2^31 characters, ends the program (text/Memory.h). A null text or a
  // length of 0 assigns the empty text (1); a negative length measures the
  // text up to its terminator.
  // Always 1: the units are copied as they are (no check of surrogates).
  int AssignWide(const WChar* text, int32_t len);
  // Always 1: the bytes are copied as they are (no check of the UTF-8).
  int AssignNarrow(const char* text, int32_t len, int32_t codePage);
  // 1 = decoded; 0 = malformed UTF-8, and the text is left empty (wide).
  int AssignNarrowAsWide(const char* text, int32_t len, int32_t codePage);
  // 1 = a copy in `other`'s form (`other` == this: unchanged); 0 = null
  // `other`, and the text is left empty.
  int Assign(const WString* other);
  // 1 = `other` as wide text; 0 = null `other` or a narrow `other` that is
  // malformed UTF-8: the text is left empty (wide). `other` == this converts in
  // place, and on malformed UTF-8 leaves the text unchanged (ToWide).
  int AssignAsWide(const WString* other);
  // 1 = `other` as UTF-8 (lone surrogates encoded one by one, never refused);
  // 0 = null `other`, and the text is left empty (narrow).
  int AssignAsNarrow(const WString* other);
  // From a CountedText record (32-bit little-endian header, then characters).
  // 1 = assigned, the characters copied as they are; 0 = null record, and the
  // text is left empty.
  int AssignRecord(const void* record);

  // ---- Appending -----------------------------------------------------------
  // As above: never 0 for want of memory. A null text or a length of 0 appends
  // nothing and gives 1, whatever the form (EnsureSuffix and the path
  // components differ, below). Unless a function says otherwise, a 0 leaves the
  // text exactly as it was.
  // 0 = a narrow string.
  int AppendWide(const WChar* text, int32_t len);
  // 0 = a wide string.
  int AppendNarrow(const char* text, int32_t len, int32_t codePage);
  // Either form; never 0 (a narrow string gets the UTF-8 form).
  int AppendWideText(const WChar* text, int32_t len);
  // Either form; 0 = a wide string and malformed UTF-8.
  int AppendNarrowText(const char* text, int32_t len, int32_t codePage);
  // `other` converted to this string's form (it may be this string itself);
  // 0 = null `other`, or malformed UTF-8 going into a wide string.
  int Append(const WString* other);
  // 0 = a narrow string. Wide only; leaves the terminator to the caller.
  int AppendChar(WChar ch);
  // `count` copies; ch 0 (whatever the count) or count 0 appends nothing (1).
  // 0 = a negative count, or a unit of 0x80 or more for a narrow string.
  int AppendRepeated(WChar ch, int32_t count);
  // As AppendRepeated for a byte; 0 also for a byte of 0x80 or more and a wide string.
  int AppendRepeatedByte(uint8_t b, int32_t count);
  // CR LF in the string's form; always 1.
  int AppendNewline();
  // Appends `text` unless the string already ends with it. 0 = an empty or
  // null `text`, or (EnsureSuffixNarrow into a wide string) malformed UTF-8.
  int EnsureSuffix(const WChar* text, int32_t len);
  int EnsureSuffixNarrow(const char* text, int32_t len);
  // One backslash, then `text` without one leading '\' or '/' ("C:" + "/x" =
  // "C:\x"; an empty string gets "\x"; an empty `text` only the backslash).
  // AppendPathComponent is always 1. The
  // narrow form into a wide string gives 0 for malformed UTF-8 and then, unlike
  // the rest, has already appended the backslash ("C:" becomes "C:\").
  int AppendPathComponent(const WChar* text, int32_t len);
  int AppendPathComponentNarrow(const char* text, int32_t len);

  // ---- Form conversion -----------------------------------------------------
  // The text in that form, converted in place. ToWide gives null (and leaves
  // the string unchanged) when the UTF-8 text is malformed; ToNarrow never
  // gives null (lone surrogates are encoded one by one).
  const WChar* ToWide(int32_t codePage);
  const char* ToNarrow(int32_t codePage);
  int ToUpper();

  // ---- Search and comparison (indices in the string's own units) ------------
  int32_t FindWide(const WChar* needle, int32_t start, int32_t needleLength);
  int32_t FindNarrow(const char* needle, int32_t start, int32_t needleLength);
  int32_t FindLastChar(WChar ch, int32_t start);
  // Length first, then content: -1, 0 or 1.
  int CompareWide(const WChar* text, int32_t len);
  int CompareNarrow(const char* text, int32_t len);

  // ---- Formatting --------------------------------------------------------
  // Appends `format` with its conversions filled from `arguments` (see
  // text/Format.h). 0 for a null format, a narrow string or a failed
  // conversion; the text appended before a failure stays.
  int AppendFormatV(const WChar* format, va_list arguments);

  // ---- Diagnostics ---------------------------------------------------------
  // Sends at most maxChars characters to the debug output in lines of dumpWidth.
  void DebugDump(int32_t maxChars);

  // ---- Attributes ----------------------------------------------------------
  int32_t Length() const { return length; }
  int32_t Start() const { return start; }
  int32_t BlockSize() const { return blockSize; }
  int32_t CodePage() const { return codePage; }
  bool IsWide() const { return isWide != 0; }
  bool IsEmpty() const { return length == 0; }
  int32_t Capacity() const;
  int32_t FreeRoom() const;
  const uint8_t* Block() const { return block; }

  // Build-time guards: a narrow text or a number passed where UTF-16 is wanted.
  int AppendWide(const char*, int32_t) = delete;
  int AssignWide(const char*, int32_t) = delete;
  int AppendChar(char) = delete;
  int AppendChar(int) = delete;

 private:
  int CharSize() const { return isWide ? 2 : 1; }
  uint8_t* CharArea() const { return block + 4; }
  void WriteTerminator();
  void Empty();
  int Compact();
  WString& Scratch();
  int AppendEncodedUtf8(const WChar* text, int32_t len);
  int AppendDecodedUtf8(const char* text, int32_t len);
  int EnsureSuffixChecked(const WChar* text, int32_t len);
  int EnsureSuffixNarrowChecked(const char* text, int32_t len);
  int AppendPathComponentWideChecked(const WChar* text, int32_t len);
  int AppendPathComponentNarrowChecked(const char* text, int32_t len);

  uint8_t* block;
  int32_t length;
  int32_t start;
  int32_t blockSize;
  int32_t granule;
  int32_t codePage;
  int32_t isWide;
  int32_t dumpWidth;
  WString* scratch;
};
