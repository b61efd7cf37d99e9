// libFuzzer target: random format strings with a matching, bounded argument
// list built from the same bytes. Checks that the engine reads exactly the
// arguments its conversions declare, never past them, and keeps its text
// terminated whether the call succeeds or fails.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "tests/support/CheckedArguments.h"
#include "text/Format.h"

namespace {

class ByteSource {
 public:
  ByteSource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool empty() const { return position_ >= size_; }
  uint8_t Next() { return position_ < size_ ? data_[position_++] : 0; }
  uint32_t Next32() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | Next();
    return v;
  }
  uint64_t Next64() { return (static_cast<uint64_t>(Next32()) << 32) | Next32(); }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t position_ = 0;
};

// Texts long enough for any precision the generator can ask for (at most 999
// characters): fuzz bytes first, then plain ASCII, then a terminator.
constexpr int kTextSize = 1100;
constexpr int kFuzzedPrefix = 64;

struct Buffers {
  WChar wide[kTextSize];
  char narrow[kTextSize];
  uint8_t bytes[kTextSize];
  uint8_t record[4 + kTextSize * 2];
  WString wideString;
  WString narrowString;
  int32_t countSink = 0;
};

void FillTexts(ByteSource* source, Buffers* b) {
  for (int i = 0; i < kTextSize - 1; ++i) {
    bool fuzzed = i < kFuzzedPrefix;
    b->wide[i] = fuzzed ? static_cast<WChar>(source->Next() | (source->Next() << 8)) : WChar('w');
    b->narrow[i] = fuzzed ? static_cast<char>(source->Next()) : 'n';
    b->bytes[i] = static_cast<uint8_t>(i * 7);
  }
  b->wide[kTextSize - 1] = 0;
  b->narrow[kTextSize - 1] = 0;
  // A counted record whose count never exceeds the bytes that follow it.
  uint32_t count = source->Next() % 200;
  uint32_t header = count | (source->Next() & 1 ? kCountedTextNarrowBit : 0);
  memcpy(b->record, &header, 4);
  memcpy(b->record + 4, b->narrow, kTextSize);
  b->wideString.AssignWide(b->wide, kFuzzedPrefix);
  b->narrowString.AssignNarrow(b->narrow, kFuzzedPrefix, -1);
}

const void* MaybeNull(ByteSource* source, const void* pointer) {
  return source->Next() % 8 == 0 ? nullptr : pointer;
}

void AddArgumentsFor(WChar letter, bool wide64, bool narrow, ByteSource* source, Buffers* b,
                     CheckedArguments* arguments) {
  switch (letter) {
    case 'd': case 'i': case 'u': case 'x': case 'X': case 'o': case 'y': case 'I': case 'U':
      if (wide64) arguments->AddInt64(static_cast<int64_t>(source->Next64()));
      else arguments->AddInt32(static_cast<int32_t>(source->Next32()));
      break;
    case 'c': case 'C': case 'T': case 't': case 'Y':
      arguments->AddInt32(static_cast<int32_t>(source->Next32()));
      break;
    case 'p': case 'P':
      arguments->AddPointer(MaybeNull(source, b->bytes));
      break;
    case 's': case 'S':
      arguments->AddPointer(MaybeNull(source, narrow ? static_cast<const void*>(b->narrow)
                                                     : static_cast<const void*>(b->wide)));
      break;
    case 'z': case 'Z':
      if (narrow) arguments->AddPointer(MaybeNull(source, b->record));
      else arguments->AddPointer(MaybeNull(source, source->Next() & 1 ? &b->wideString
                                                                       : &b->narrowString));
      break;
    case 'b': case 'B': case 'w': case 'W':
      arguments->AddPointer(MaybeNull(source, b->bytes));
      break;
    case 'n':
      arguments->AddPointer(MaybeNull(source, &b->countSink));
      break;
    case 'F':
      if (wide64) {
        arguments->AddInt64(static_cast<int64_t>(source->Next64()));
        break;
      }
      if (narrow) {
        arguments->AddInt32(static_cast<int32_t>(source->Next32()));
        break;
      }
      [[fallthrough]];
    case 'f': case 'e': case 'E': case 'g': case 'G': case 'a': case 'A': {
      uint64_t bits = source->Next64();
      double x;
      memcpy(&x, &bits, sizeof x);
      arguments->AddDouble(x);
      break;
    }
    default:
      break;
  }
}

constexpr char kLetters[] = "diuxXoypPcCsSzZbBfeEgGaAFIUwWNnTtY%qDk";
constexpr char kFlags[] = "-+ 0#$`";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ByteSource source(data, size);
  static Buffers buffers;
  FillTexts(&source, &buffers);
  CheckedArguments arguments;
  WChar format[512];
  int n = 0;
  while (!source.empty() && n < 400 && arguments.count() < CheckedArguments::kCapacity - 4) {
    uint8_t choice = source.Next();
    if (choice % 3 != 0) {  // a literal character
      format[n++] = static_cast<WChar>(choice < 0x80 ? (choice == '%' ? 'x' : choice) : 0x00E9);
      if (format[n - 1] == 0) format[n - 1] = '.';
      continue;
    }
    format[n++] = '%';
    for (uint8_t f = source.Next(); f & 1; f >>= 1) format[n++] = kFlags[(f >> 1) % 7];
    uint8_t w = source.Next() % 5;
    if (w == 1) {
      format[n++] = '*';
      arguments.AddInt32(static_cast<int32_t>(source.Next() % 1201) - 600);
    } else if (w >= 2) {
      for (int i = 0; i < w - 1; ++i) format[n++] = static_cast<WChar>('0' + source.Next() % 10);
    }
    uint8_t p = source.Next() % 5;
    if (p >= 1) format[n++] = '.';
    if (p == 2) {
      format[n++] = '*';
      arguments.AddInt32(static_cast<int32_t>(source.Next() % 1201) - 600);
    } else if (p >= 3) {
      for (int i = 0; i < p - 2; ++i) format[n++] = static_cast<WChar>('0' + source.Next() % 10);
    }
    bool wide64 = false;
    bool narrow = false;
    switch (source.Next() % 6) {
      case 1: format[n++] = 'L'; wide64 = true; break;
      case 2: format[n++] = 'l'; format[n++] = 'l'; wide64 = true; break;
      case 3: format[n++] = 'h'; narrow = true; break;
      case 4: format[n++] = 'l'; break;
      default: break;
    }
    WChar letter = static_cast<WChar>(kLetters[source.Next() % (sizeof kLetters - 1)]);
    format[n++] = letter;
    AddArgumentsFor(letter, wide64, narrow, &source, &buffers, &arguments);
  }
  format[n] = 0;

  WString out;
  out.AssignWide(WTEXT("start:"), -1);
  int result = AppendFormatted(&out, format, &arguments);
  if (arguments.misused()) __builtin_trap();                           // wrong kind or past the end
  if (result && arguments.taken() != arguments.count()) __builtin_trap();  // left some unread
  if (out.Block() != nullptr && out.WideAt(0)[out.Length()] != 0) __builtin_trap();
  if (out.Length() < 6) __builtin_trap();  // the text before the call was lost
  return 0;
}
