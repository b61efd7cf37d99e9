// WString storage: the block, growth and compaction, assignment, appending and
// form conversion.
#include "text/WString.h"

#include <string.h>

#include "text/LittleEndian.h"
#include "text/Memory.h"
#include "text/TextPrimitives.h"
#include "text/Utf8.h"

namespace {

constexpr int32_t kGranule = 64;
constexpr int32_t kDumpWidth = 80;
constexpr int32_t kBlockPrefix = 4;

const char kEmptyNarrow[1] = {0};
const WChar kEmptyWide[1] = {0};
const WChar kBackslash[1] = {'\\'};
const WChar kNewline[2] = {0x0D, 0x0A};

// Character counts beyond 32 bits cannot be held; treat them as exhausted memory.
int32_t CheckedCount(int64_t n) {
  if (n > INT32_MAX) EndOnMemoryExhaustion();
  return static_cast<int32_t>(n);
}

}  // namespace

// ---- Construction and access ------------------------------------------------

WString::WString()
    : block(nullptr), length(0), start(0), blockSize(0), granule(kGranule), codePage(0),
      isWide(0), dumpWidth(kDumpWidth), scratch(nullptr) {}

WString::WString(WChar ch, int32_t count) : WString() {
  isWide = 1;
  if (count > 0 && ch != 0) AppendRepeated(ch, count);
}

WString::~WString() {
  FreeBlock(block);
  delete scratch;
  block = nullptr;
  scratch = nullptr;
  length = start = blockSize = 0;
  codePage = isWide = 0;
  granule = kGranule;
  dumpWidth = kDumpWidth;
}

int32_t WString::Capacity() const {
  if (block == nullptr) return 0;
  int32_t capacity = (blockSize - kBlockPrefix) / CharSize() - start - 1;
  return capacity > 0 ? capacity : 0;
}

int32_t WString::FreeRoom() const {
  int32_t room = Capacity() - length;
  return room > 0 ? room : 0;
}

const char* WString::NarrowAt(int32_t i) const {
  if (length == 0 || isWide || i < 0) return kEmptyNarrow;
  return reinterpret_cast<const char*>(CharArea()) + start + (i < length ? i : length);
}

const WChar* WString::WideAt(int32_t i) const {
  if (length == 0 || !isWide || i < 0) return kEmptyWide;
  return reinterpret_cast<const WChar*>(CharArea()) + start + (i < length ? i : length);
}

void WString::WriteTerminator() {
  if (block == nullptr) return;
  memset(CharArea() + static_cast<size_t>(start + length) * CharSize(), 0, CharSize());
}

void* WString::Terminate() {
  if (block == nullptr) return nullptr;
  WriteTerminator();
  return CharArea() + static_cast<size_t>(start) * CharSize();
}

void WString::Empty() {
  length = 0;
  start = 0;
  WriteTerminator();
}

int WString::SetLength(int32_t n) {
  if (block == nullptr) return 0;
  int32_t capacity = Capacity();
  if (n >= 0) {
    length = n < capacity ? n : capacity;
  } else {
    length = 0;
    const uint8_t* text = CharArea() + static_cast<size_t>(start) * CharSize();
    for (int32_t i = 0; i < capacity; ++i) {
      bool zero = isWide ? (text[2 * i] == 0 && text[2 * i + 1] == 0) : text[i] == 0;
      if (zero) {
        length = i;
        break;
      }
    }
  }
  if (length == 0) start = 0;
  WriteTerminator();
  return 1;
}

int WString::DropFront(int32_t n) {
  if (n <= 0) return 0;
  if (n >= length) {
    // The old terminator stays where it was; index 0 is rewritten by the next write.
    length = 0;
    start = 0;
    return 1;
  }
  start += n;
  length -= n;
  return 1;
}

int WString::Compact() {
  if (block == nullptr) return 0;
  if (start != 0) {
    size_t c = CharSize();
    memmove(CharArea(), CharArea() + start * c, (static_cast<size_t>(length) + 1) * c);
    start = 0;
  }
  return 1;
}

int WString::Reserve(int32_t n) {
  if (n < 0) return 1;
  if (n <= length) return Compact();
  int64_t target = n;
  int64_t grown = static_cast<int64_t>(length) + length / 2;
  if (grown > target) target = grown;
  int64_t bytesNeeded = kBlockPrefix + (target + 1) * CharSize();
  if (bytesNeeded > blockSize) {
    int64_t newSize = (bytesNeeded + granule - 1) / granule * granule;
    if (newSize > INT32_MAX) EndOnMemoryExhaustion();
    uint8_t* newBlock = static_cast<uint8_t*>(AllocateBlock(static_cast<size_t>(newSize)));
    memset(newBlock, 0, kBlockPrefix);
    if (block != nullptr) {
      memcpy(newBlock + kBlockPrefix, CharArea() + static_cast<size_t>(start) * CharSize(),
             static_cast<size_t>(length) * CharSize());
      FreeBlock(block);
    }
    block = newBlock;
    blockSize = static_cast<int32_t>(newSize);
    start = 0;
    WriteTerminator();
    return 1;
  }
  if (Capacity() < n) return Compact();
  return 1;
}

int WString::EnsureRoom(int32_t k) {
  if (k <= 0 || FreeRoom() >= k) return 1;
  return Reserve(CheckedCount(static_cast<int64_t>(length) + k));
}

WChar* WString::ReserveWide(int32_t n) {
  if (ToWide(-1) == nullptr) return nullptr;
  // A caller that asks for no room still needs a block to write the terminator into.
  if (!EnsureRoom(n > 0 ? n : 1)) return nullptr;
  return reinterpret_cast<WChar*>(CharArea()) + start + length;
}

char* WString::ReserveNarrow(int32_t n) {
  if (ToNarrow(-1) == nullptr) return nullptr;
  if (!EnsureRoom(n > 0 ? n : 1)) return nullptr;
  return reinterpret_cast<char*>(CharArea()) + start + length;
}

WString& WString::Scratch() {
  if (scratch == nullptr) scratch = new WString();
  scratch->Empty();
  scratch->codePage = codePage;
  return *scratch;
}

// ---- Assignment ---------------------------------------------------------------

int WString::AssignWide(const WChar* text, int32_t len) {
  Empty();
  isWide = 1;
  WriteTerminator();
  return AppendWide(text, len);
}

int WString::AssignNarrow(const char* text, int32_t len, int32_t cp) {
  Empty();
  isWide = 0;
  WriteTerminator();
  return AppendNarrow(text, len, cp);
}

int WString::AssignNarrowAsWide(const char* text, int32_t len, int32_t cp) {
  Empty();
  isWide = 1;
  WriteTerminator();
  return AppendNarrowText(text, len, cp);
}

int WString::Assign(const WString* other) {
  if (other == this) return 1;  // emptying first would lose the text being copied
  if (other == nullptr) {
    Empty();
    return 0;
  }
  Empty();
  isWide = other->isWide;
  codePage = other->codePage;
  WriteTerminator();
  if (isWide) return AppendWide(other->WideAt(0), other->length);
  return AppendNarrow(other->NarrowAt(0), other->length, -1);
}

int WString::AssignAsWide(const WString* other) {
  if (other == this) return ToWide(-1) != nullptr;
  Empty();
  isWide = 1;
  WriteTerminator();
  if (other == nullptr) return 0;
  codePage = other->codePage;
  if (other->isWide) return AppendWide(other->WideAt(0), other->length);
  return AppendDecodedUtf8(other->NarrowAt(0), other->length);
}

int WString::AssignAsNarrow(const WString* other) {
  if (other == this) return ToNarrow(-1) != nullptr;
  Empty();
  isWide = 0;
  WriteTerminator();
  if (other == nullptr) return 0;
  codePage = other->codePage;
  if (!other->isWide) return AppendNarrow(other->NarrowAt(0), other->length, -1);
  return AppendEncodedUtf8(other->WideAt(0), other->length);
}

int WString::AssignRecord(const void* record) {
  if (record == nullptr) {
    Empty();
    return 0;
  }
  const uint8_t* bytes = static_cast<const uint8_t*>(record);
  uint32_t header = ReadLittle32(bytes);
  int32_t count = static_cast<int32_t>(header & kCountedTextCountMask);
  const uint8_t* characters = bytes + 4;
  if ((header & kCountedTextNarrowBit) == 0) {
    return AssignWide(reinterpret_cast<const WChar*>(characters), count);
  }
  Empty();
  isWide = 0;
  WriteTerminator();
  return AppendNarrow(reinterpret_cast<const char*>(characters), count, -1);
}

// ---- Appending ------------------------------------------------------------------

int WString::AppendWide(const WChar* text, int32_t len) {
  len = MeasureWide(text, len);
  if (len == 0) return 1;
  if (!isWide) return 0;
  if (!EnsureRoom(len)) return 0;
  memcpy(CharArea() + (static_cast<size_t>(start) + length) * 2, text,
         static_cast<size_t>(len) * 2);
  length += len;
  WriteTerminator();
  return 1;
}

int WString::AppendNarrow(const char* text, int32_t len, int32_t /*codePage: both sides UTF-8*/) {
  len = MeasureNarrow(text, len);
  if (len == 0) return 1;
  if (isWide) return 0;
  if (!EnsureRoom(len)) return 0;
  memcpy(CharArea() + start + length, text, static_cast<size_t>(len));
  length += len;
  WriteTerminator();
  return 1;
}

int WString::AppendEncodedUtf8(const WChar* text, int32_t len) {
  if (len == 0) return 1;
  int32_t size = CheckedCount(Utf8EncodedSize(text, len));
  if (!EnsureRoom(size)) return 0;
  EncodeUtf8(text, len, reinterpret_cast<char*>(CharArea()) + start + length);
  length += size;
  WriteTerminator();
  return 1;
}

int WString::AppendDecodedUtf8(const char* text, int32_t len) {
  if (len == 0) return 1;
  const int32_t sequences = Utf8SequenceCount(text, len);
  if (sequences == 0) return 0;  // the first byte cannot lead a character
  if (!EnsureRoom(sequences)) return 0;
  // Decoding writes past `length` only; a malformed text leaves the string as it was.
  int32_t units = DecodeUtf8(text, len, reinterpret_cast<WChar*>(CharArea()) + start + length);
  if (units < 0) {
    WriteTerminator();
    return 0;
  }
  length += units;
  WriteTerminator();
  return 1;
}

int WString::AppendWideText(const WChar* text, int32_t len) {
  if (isWide) return AppendWide(text, len);
  len = MeasureWide(text, len);
  if (len == 0) return 1;
  codePage = 0;
  return AppendEncodedUtf8(text, len);
}

int WString::AppendNarrowText(const char* text, int32_t len, int32_t cp) {
  if (!isWide) return AppendNarrow(text, len, cp);
  return AppendDecodedUtf8(text, MeasureNarrow(text, len));
}

int WString::Append(const WString* other) {
  if (other == nullptr) return 0;
  if (other == this) {
    // Growth would free the block the text is read from: copy it out first.
    WString& copy = Scratch();
    copy.Assign(this);
    return Append(&copy);
  }
  if (other->isWide) return AppendWideText(other->WideAt(0), other->length);
  return AppendNarrowText(other->NarrowAt(0), other->length, -1);
}

int WString::AppendChar(WChar ch) {
  if (!isWide) return 0;
  if (!EnsureRoom(1)) return 0;
  memcpy(CharArea() + (static_cast<size_t>(start) + length) * 2, &ch, 2);
  ++length;
  return 1;
}

int WString::AppendRepeated(WChar ch, int32_t count) {
  if (ch == 0 || count == 0) return 1;
  if (count < 0) return 0;
  if (!isWide) {
    if (static_cast<uint16_t>(ch) >= 0x80) return 0;
    return AppendRepeatedByte(static_cast<uint8_t>(ch), count);
  }
  if (!EnsureRoom(count)) return 0;
  WChar* out = reinterpret_cast<WChar*>(CharArea()) + start + length;
  for (int32_t i = 0; i < count; ++i) out[i] = ch;
  length += count;
  WriteTerminator();
  return 1;
}

int WString::AppendRepeatedByte(uint8_t b, int32_t count) {
  if (b == 0 || count == 0) return 1;
  if (count < 0) return 0;
  if (isWide) {
    if (b >= 0x80) return 0;
    return AppendRepeated(static_cast<WChar>(b), count);
  }
  if (!EnsureRoom(count)) return 0;
  memset(CharArea() + start + length, b, static_cast<size_t>(count));
  length += count;
  WriteTerminator();
  return 1;
}

int WString::AppendNewline() {
  if (isWide) return AppendWide(kNewline, 2);
  return AppendNarrow("\r\n", 2, -1);
}

int WString::EnsureSuffixChecked(const WChar* text, int32_t len) {
  if (length >= len && CompareUnits(WideAt(length - len), text, len, len) == 0) return 1;
  return AppendWide(text, len);
}

int WString::EnsureSuffixNarrowChecked(const char* text, int32_t len) {
  if (length >= len && CompareBytes(NarrowAt(length - len), text, len, len) == 0) return 1;
  return AppendNarrow(text, len, -1);
}

int WString::EnsureSuffix(const WChar* text, int32_t len) {
  len = MeasureWide(text, len);
  if (len == 0) return 0;
  if (isWide) return EnsureSuffixChecked(text, len);
  WString& encoded = Scratch();
  encoded.isWide = 0;
  if (!encoded.AppendEncodedUtf8(text, len)) return 0;
  return EnsureSuffixNarrowChecked(encoded.NarrowAt(0), encoded.length);
}

int WString::EnsureSuffixNarrow(const char* text, int32_t len) {
  len = MeasureNarrow(text, len);
  if (len == 0) return 0;
  if (!isWide) return EnsureSuffixNarrowChecked(text, len);
  WString& decoded = Scratch();
  decoded.isWide = 1;
  if (!decoded.AppendDecodedUtf8(text, len)) return 0;
  return EnsureSuffixChecked(decoded.WideAt(0), decoded.length);
}

int WString::AppendPathComponentWideChecked(const WChar* text, int32_t len) {
  if (len > 0 && (text[0] == '\\' || text[0] == '/')) {
    ++text;
    --len;
  }
  EnsureSuffixChecked(kBackslash, 1);
  return AppendWide(text, len);
}

int WString::AppendPathComponentNarrowChecked(const char* text, int32_t len) {
  if (len > 0 && (text[0] == '\\' || text[0] == '/')) {
    ++text;
    --len;
  }
  EnsureSuffixNarrowChecked("\\", 1);
  return AppendNarrow(text, len, -1);
}

int WString::AppendPathComponent(const WChar* text, int32_t len) {
  len = MeasureWide(text, len);
  if (isWide) return AppendPathComponentWideChecked(text, len);
  WString& encoded = Scratch();
  encoded.isWide = 0;
  encoded.AppendEncodedUtf8(text, len);
  return AppendPathComponentNarrowChecked(encoded.NarrowAt(0), encoded.length);
}

int WString::AppendPathComponentNarrow(const char* text, int32_t len) {
  len = MeasureNarrow(text, len);
  if (!isWide) return AppendPathComponentNarrowChecked(text, len);
  WString& decoded = Scratch();
  decoded.isWide = 1;
  if (!decoded.AppendDecodedUtf8(text, len)) {
    // A malformed component cannot be appended; keep the separator rule, report the failure.
    EnsureSuffixChecked(kBackslash, 1);
    return 0;
  }
  return AppendPathComponentWideChecked(decoded.WideAt(0), decoded.length);
}

// ---- Form conversion ----------------------------------------------------------------

const WChar* WString::ToWide(int32_t cp) {
  int32_t normalised = cp == 0 ? 0 : codePage;
  if (!isWide) {
    WString& decoded = Scratch();
    if (!decoded.AssignAsWide(this)) return nullptr;
    Empty();
    isWide = 1;
    WriteTerminator();
    AppendWide(decoded.WideAt(0), decoded.length);
  }
  codePage = normalised;
  return WideAt(0);
}

const char* WString::ToNarrow(int32_t cp) {
  int32_t normalised = cp == 0 ? 0 : codePage;
  if (isWide) {
    if (length == 0) {
      isWide = 0;
      Empty();
    } else {
      WString& encoded = Scratch();
      encoded.isWide = 0;
      if (!encoded.AppendEncodedUtf8(WideAt(0), length)) return nullptr;
      if (!AssignAsNarrow(&encoded)) return nullptr;
    }
  }
  codePage = normalised;
  return NarrowAt(0);
}
