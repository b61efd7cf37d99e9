// libFuzzer target: the payload inspector on damaged maps and programs. The
// first byte chooses between the input split into a map and a file as they are,
// and a payload built from the input: key parameters, then entries that are
// packed properly and then damaged, string tables built as the payload tool
// builds them (their record count right or not), or hand-made plain entries
// enciphered with the key, so that every check behind the header and the table
// reader is reached; or one word of the map the tool writes changed. An
// unchanged map must read back as it was written, and a payload with the real
// key whose entries are all right must verify.
#include <stddef.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "payload/Blowfish.h"
#include "payload/PackedEntry.h"
#include "payload/PayloadStore.h"
#include "tests/fuzz/FuzzInput.h"
#include "text/LittleEndian.h"
#include "text/Memory.h"
#include "tools/payload/Inspector.h"
#include "tools/payload/PayloadImage.h"
#include "tools/payload/TableBuilder.h"

namespace {

typedef FuzzInput Input;

constexpr size_t kMostEntries = 4;

constexpr uint32_t kIds[] = {kEntryCommonTable, kEntrySupplementaryTable, kEntryLanguage0Table,
                             kEntryLanguage1Table, kEntryKeyBlock, kEntryLicence0,
                             kEntryLayoutImageBase + 4, kEntryFirstDocument};

// Enciphers or deciphers an entry in place with an already keyed cipher.
void Encipher(const BlowfishCipher& cipher, std::string* entry, bool decipher) {
  uint8_t* bytes = reinterpret_cast<uint8_t*>(&(*entry)[0]);
  const uint32_t length = static_cast<uint32_t>(entry->size());
  if (decipher) {
    cipher.decryptBuffer(bytes, bytes, length);
  } else {
    cipher.encryptBuffer(bytes, bytes, length);
  }
}

bool IsTable(uint32_t id) { return id >= kEntryCommonTable && id <= kEntryLanguage1Table; }

// Texts from raw bytes: an id, a byte (bit 0: UTF-8, the rest: units), then
// the units. *distinct is false when an id comes twice.
std::vector<SourceText> TextsFrom(const std::string& raw, bool* distinct) {
  std::vector<SourceText> texts;
  Input in{reinterpret_cast<const uint8_t*>(raw.data()), raw.size()};
  while (in.size > 0) {
    SourceText text;
    text.id = in.Word();
    const uint32_t flags = in.Byte();
    text.narrow = (flags & 1) != 0;
    for (uint32_t i = 0; i < (flags >> 1) && in.size > 0; ++i) {
      text.units.push_back(static_cast<char16_t>(in.Byte() | in.Byte() << 8));
    }
    for (const SourceText& earlier : texts) *distinct = *distinct && earlier.id != text.id;
    texts.push_back(text);
  }
  return texts;
}

// One entry from the input: flags, a number, a length, then its bytes. *right
// is false when the entry is damaged on purpose or its plain bytes are not
// what its kind must hold.
PayloadEntry MakeEntry(Input* in, const uint8_t* key, const BlowfishCipher& cipher, bool* right) {
  const uint32_t id = kIds[in->Byte() % (sizeof kIds / sizeof kIds[0])];
  uint32_t flags = in->Byte();
  uint32_t number = in->Word();
  std::string bytes = in->Bytes(in->Byte() | (in->Byte() & 0x0F) << 8);
  if (key == nullptr || id == kEntryKeyBlock) {
    *right = false;  // bytes in the clear in the image, which may spell the map's magic
    return {id, bytes};
  }
  uint32_t variant = 0, slot = 0;
  if (LayoutImageSlotOf(id, &variant, &slot)) *right = false;  // random bytes are no layout library
  if (IsTable(id) && (flags & 16)) {  // a table as the tool builds it, its count right unless bit 5
    bool distinct = true;
    const std::vector<SourceText> texts = TextsFrom(bytes, &distinct);
    bytes = BuildStringTable(texts);
    if (!(flags & 32)) number = static_cast<uint32_t>(texts.size());
    *right = *right && distinct && !(flags & 32) && !texts.empty();
    flags |= 1;
  } else if (IsTable(id)) {
    *right = false;  // random bytes as a table
  }
  if (flags & 1) {  // packed properly (tag = number), then a header field replaced
    uint32_t length = 0;
    uint8_t* stored = PackEntry(key, kKeyLength, reinterpret_cast<const uint8_t*>(bytes.data()),
                                static_cast<uint32_t>(bytes.size()), number, &length);
    if (stored == nullptr) return {id, bytes};
    bytes.assign(reinterpret_cast<char*>(stored), length);
    FreeBlock(stored);
    if (flags & 2) {
      *right = false;
      Encipher(cipher, &bytes, true);
      const size_t field = 4 * ((flags >> 2) % 6);
      for (size_t i = 0; i < 4; ++i) bytes[field + i] = static_cast<char>(number >> (8 * i));
      Encipher(cipher, &bytes, false);
    }
    return {id, bytes};
  }
  *right = false;
  if (flags & 4) {  // a hand-made plain entry, enciphered (its stored length set right on request)
    const size_t atLeastAHeader = bytes.size() < kPackedHeaderSize ? kPackedHeaderSize : bytes.size();
    bytes.resize(BlowfishCipher::roundUpToBlock(static_cast<uint32_t>(atLeastAHeader)), '\0');
    if (flags & 8) {
      for (size_t i = 0; i < 4; ++i) bytes[i] = static_cast<char>(bytes.size() >> (8 * i));
    }
    Encipher(cipher, &bytes, false);
  }
  return {id, bytes};
}

// The key of the program's own payload.
const uint8_t* RealKey() {
  static KeyBlock keyBlock(PayloadKeyParameters());
  static const int loaded = keyBlock.loadFromImage(kPayloadStore.keyBlock.bytes,
                                                   static_cast<int32_t>(kPayloadStore.keyBlock.length));
  return loaded ? keyBlock.key() : nullptr;
}

int Inspect(const PayloadImage& image) {
  static FILE* sink = fopen("/dev/null", "w");
  InspectOptions options;
  options.tablesToPrint = {kEntryCommonTable, kEntryLanguage1Table};
  options.out = sink;
  return InspectPayload(image, options);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > 65536) return 0;
  Input in{data + 1, size - 1};
  PayloadImage image;
  std::string error;
  if ((data[0] & 1) == 0) {  // a map and a file as they are
    const size_t split = in.Byte() * in.size / 256;
    const std::string map = in.Bytes(split);
    const std::string file = in.Bytes(in.size);
    if (ReadPayload(map, file, &image, &error)) {
      Inspect(image);
      MapTracesIn(file, image.parameters);
    }
    return 0;
  }
  // The real parameters, or ten numbers from the input.
  image.parameters = PayloadKeyParameters();
  if (data[0] & 2) {  // mostly inside the block, some just outside
    int32_t fields[10];
    for (int32_t& field : fields) field = static_cast<int32_t>(in.Word() % 1200) - 100;
    static_assert(sizeof fields == sizeof image.parameters, "ten 32-bit parameters");
    memcpy(&image.parameters, fields, sizeof fields);
  }
  const uint32_t mapDamage = data[0] & 4 ? in.Word() : 0;  // which word of the map, and how
  const StoredEntry& stored = kPayloadStore.keyBlock;
  image.entries.push_back(
      {kEntryKeyBlock, std::string(reinterpret_cast<const char*>(stored.bytes), stored.length)});
  KeyBlock keyBlock(image.parameters);
  /* result ignored: an unloaded block has no key, and the entries stay as they are */
  keyBlock.loadFromImage(stored.bytes, static_cast<int32_t>(stored.length));
  // The key schedule is most of a run's time: the real key's is made once.
  static BlowfishCipher realCipher;
  static const int realKeyed = realCipher.setKey(RealKey(), kKeyLength);
  BlowfishCipher ownCipher;
  const bool real = (data[0] & 2) == 0 && realKeyed;
  if (!real && keyBlock.key() != nullptr) ownCipher.setKey(keyBlock.key(), kKeyLength);
  // A few entries reach every check; more would only slow each run down.
  bool right = real;
  while (in.size > 0 && image.entries.size() <= kMostEntries) {
    image.entries.push_back(MakeEntry(&in, keyBlock.key(), real ? realCipher : ownCipher, &right));
  }
  const SerializedPayload serialized = SerializePayload(image);
  const std::string file = "program bytes before the image" + serialized.image;
  PayloadImage read;
  if (data[0] & 4) {  // one word of the map changed
    std::string map = serialized.map;
    const size_t at = 4 * ((mapDamage >> 8) % (map.size() / 4));
    for (size_t i = 0; i < 4; ++i) map[at + i] ^= static_cast<char>((mapDamage | 1) >> (8 * i));
    // The magic, the version and the entry count each refuse a map on their own.
    if (ReadPayload(map, file, &read, &error)) {
      if (at < 24) __builtin_trap();
      // Every entry read is as long as the map says: none runs past the image.
      const uint8_t* m = reinterpret_cast<const uint8_t*>(map.data());
      const uint32_t anchor = ReadLittle32(m + 64) < 32 ? ReadLittle32(m + 64) : 32;
      for (size_t i = 0; i < read.entries.size(); ++i) {
        if (read.entries[i].bytes.size() != ReadLittle32(m + 68 + anchor + 12 * i + 8)) __builtin_trap();
      }
      Inspect(read);
    }
    return 0;
  }
  if (!ReadPayload(serialized.map, file, &read, &error)) {
    __builtin_trap();  // a map the tool wrote must find its own image
  }
  // ...and give back every entry as it was written, shared copies included.
  if (read.entries.size() != image.entries.size() ||
      memcmp(&read.parameters, &image.parameters, sizeof image.parameters) != 0) {
    __builtin_trap();
  }
  for (size_t i = 0; i < read.entries.size(); ++i) {
    if (read.entries[i].id != image.entries[i].id || read.entries[i].bytes != image.entries[i].bytes) {
      __builtin_trap();
    }
  }
  // A payload with the real key and only right entries verifies and shows no trace of its map.
  const int failures = Inspect(read);
  if (right && (failures != 0 || !MapTracesIn(file, read.parameters).empty())) __builtin_trap();
  return 0;
}
