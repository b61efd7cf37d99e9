// Writing and reading the payload image and its directory.
#include "tools/payload/PayloadImage.h"

#include <string.h>

#include <map>

const char kPayloadMagic[16] = {'K', 'E', 'S', 'T', 'R', 'E', 'L', ' ',
                                'P', 'A', 'Y', 'L', 'O', 'A', 'D', '1'};

namespace {

constexpr uint32_t kFormatVersion = 1;
constexpr size_t kFixedHeader = 16 + 4 + 4 + 10 * 4;

void AppendLe32(std::string* out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

uint32_t ReadLe32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(s[at + static_cast<size_t>(i)]);
  return v;
}

int32_t* ParameterSlot(KeyBlockParameters* p, int i) {
  int32_t* slots[10] = {&p->keyOffset,  &p->moveASource,  &p->moveADestination, &p->moveACount,
                        &p->moveBSource, &p->moveBDestination, &p->moveBCount,  &p->maskPosition,
                        &p->maskStart,   &p->maskCount};
  return slots[i];
}

}  // namespace

std::string EntryName(uint32_t id) {
  switch (id) {
    case kEntryCommonTable: return "common strings";
    case kEntrySupplementaryTable: return "supplementary strings";
    case kEntryLanguage0Table: return "English strings";
    case kEntryLanguage1Table: return "Polish strings";
    case kEntryKeyBlock: return "key block";
    case kEntryLicence0: return "English licence";
    case kEntryLicence1: return "Polish licence";
    case kEntryFirstDocument: return "user guide";
    case kEntrySecondDocument: return "printable chart";
    case kEntryLinkIcon: return "link icon";
    default: break;
  }
  if (id >= kEntryLayoutImageBase && id < kEntryLayoutImageBase + 39) {
    uint32_t n = id - kEntryLayoutImageBase;
    return "layout image variant " + std::to_string(n / 13) + " slot " + std::to_string(n % 13);
  }
  return "entry " + std::to_string(id);
}

std::string SerializePayloadImage(const PayloadImage& image, std::vector<size_t>* offsets) {
  std::string out(kPayloadMagic, sizeof kPayloadMagic);
  AppendLe32(&out, kFormatVersion);
  AppendLe32(&out, static_cast<uint32_t>(image.entries.size()));
  KeyBlockParameters parameters = image.parameters;
  for (int i = 0; i < 10; ++i) AppendLe32(&out, static_cast<uint32_t>(*ParameterSlot(&parameters, i)));
  size_t offset = out.size() + 12 * image.entries.size();
  offset = (offset + 7) / 8 * 8;
  std::string data;
  std::map<std::string, size_t> stored;  // identical entries (the same image in several slots) once
  for (const PayloadEntry& entry : image.entries) {
    auto found = stored.find(entry.bytes);
    size_t at = found != stored.end() ? found->second : offset + data.size();
    if (found == stored.end()) {
      stored[entry.bytes] = at;
      data += entry.bytes;
      data.resize((data.size() + 7) / 8 * 8, '\0');
    }
    if (offsets != nullptr) offsets->push_back(at);
    AppendLe32(&out, entry.id);
    AppendLe32(&out, static_cast<uint32_t>(at));
    AppendLe32(&out, static_cast<uint32_t>(entry.bytes.size()));
  }
  out.resize(offset, '\0');
  return out + data;
}

bool ParsePayloadImage(const std::string& bytes, PayloadImage* image, std::string* error) {
  size_t start = bytes.find(std::string(kPayloadMagic, sizeof kPayloadMagic));
  if (start == std::string::npos) {
    *error = "no payload image found";
    return false;
  }
  std::string s = bytes.substr(start);
  if (s.size() < kFixedHeader || ReadLe32(s, 16) != kFormatVersion) {
    *error = "payload image header damaged or of another version";
    return false;
  }
  uint32_t count = ReadLe32(s, 20);
  for (int i = 0; i < 10; ++i) {
    *ParameterSlot(&image->parameters, i) = static_cast<int32_t>(ReadLe32(s, 24 + 4 * static_cast<size_t>(i)));
  }
  if (count > 10000 || kFixedHeader + 12ull * count > s.size()) {
    *error = "payload directory damaged";
    return false;
  }
  for (uint32_t i = 0; i < count; ++i) {
    size_t at = kFixedHeader + 12 * static_cast<size_t>(i);
    uint32_t id = ReadLe32(s, at);
    uint64_t offset = ReadLe32(s, at + 4);
    uint64_t length = ReadLe32(s, at + 8);
    if (offset + length > s.size()) {
      *error = EntryName(id) + ": lies outside the image";
      return false;
    }
    image->entries.push_back({id, s.substr(static_cast<size_t>(offset), static_cast<size_t>(length))});
  }
  return true;
}
