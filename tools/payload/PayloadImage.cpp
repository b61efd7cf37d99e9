// Writing the payload image and its map, and reading them back from a built
// program with the map beside it.
#include "tools/payload/PayloadImage.h"

#include <map>

#include "text/LittleEndian.h"

const char kPayloadMapMagic[16] = {'K', 'E', 'S', 'T', 'R', 'E', 'L', ' ',
                                   'P', 'A', 'Y', 'M', 'A', 'P', ' ', '2'};
const char kEarlierDirectoryMagic[16] = {'K', 'E', 'S', 'T', 'R', 'E', 'L', ' ',
                                         'P', 'A', 'Y', 'L', 'O', 'A', 'D', '1'};

namespace {

constexpr uint32_t kMapVersion = 2;
constexpr size_t kParameterCount = 10;
constexpr size_t kFixedHeader = 16 + 4 + 4 + kParameterCount * 4 + 4;
constexpr size_t kAnchorLength = 32;
constexpr size_t kRecordLength = 12;
constexpr uint32_t kMostEntries = 10000;

void AppendLe32(std::string* out, uint32_t v) {
  uint8_t bytes[4];
  WriteLittle32(bytes, v);
  out->append(reinterpret_cast<const char*>(bytes), sizeof(bytes));
}

uint32_t ReadLe32(const std::string& s, size_t at) {
  return ReadLittle32(reinterpret_cast<const uint8_t*>(s.data()) + at);
}

int32_t* ParameterSlot(KeyBlockParameters* p, size_t i) {
  int32_t* slots[kParameterCount] = {&p->keyOffset,  &p->moveASource,      &p->moveADestination,
                                     &p->moveACount,  &p->moveBSource,      &p->moveBDestination,
                                     &p->moveBCount,  &p->maskPosition,     &p->maskStart,
                                     &p->maskCount};
  return slots[i];
}

// The ten parameters as the map stores them, one after the other.
std::string ParameterRecord(const KeyBlockParameters& parameters) {
  KeyBlockParameters copy = parameters;
  std::string out;
  for (size_t i = 0; i < kParameterCount; ++i) {
    AppendLe32(&out, static_cast<uint32_t>(*ParameterSlot(&copy, i)));
  }
  return out;
}

// Where the image of `length` bytes starting with `anchor` lies in `file`, or npos.
size_t FindImage(const std::string& file, const std::string& anchor, uint64_t length) {
  if (length > file.size()) return std::string::npos;
  for (size_t at = file.find(anchor); at != std::string::npos; at = file.find(anchor, at + 1)) {
    if (at + length <= file.size()) return at;
  }
  return std::string::npos;
}

}  // namespace

namespace {
constexpr uint32_t kWow64Slot = 13;
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
  uint32_t variant = 0, slot = 0;
  if (LayoutImageSlotOf(id, &variant, &slot)) {
    return "layout image variant " + std::to_string(variant) + " slot " + std::to_string(slot) +
           (slot == kWow64Slot ? " (WOW64)" : "");
  }
  return "entry " + std::to_string(id);
}

uint32_t LayoutImageEntryId(uint32_t variant, uint32_t slot) {
  return slot == kWow64Slot ? kEntryWow64ImageBase + variant : kEntryLayoutImageBase + variant * 13 + slot;
}

bool LayoutImageSlotOf(uint32_t id, uint32_t* variant, uint32_t* slot) {
  if (id >= kEntryLayoutImageBase && id < kEntryLayoutImageBase + 39) {
    *variant = (id - kEntryLayoutImageBase) / 13;
    *slot = (id - kEntryLayoutImageBase) % 13;
    return true;
  }
  if (id >= kEntryWow64ImageBase && id < kEntryWow64ImageBase + 3) {
    *variant = id - kEntryWow64ImageBase;
    *slot = kWow64Slot;
    return true;
  }
  return false;
}

SerializedPayload SerializePayload(const PayloadImage& image) {
  SerializedPayload out;
  std::map<std::string, size_t> stored;  // identical entries (the same image in several slots) once
  for (const PayloadEntry& entry : image.entries) {
    auto found = stored.find(entry.bytes);
    size_t at = found != stored.end() ? found->second : out.image.size();
    if (found == stored.end()) {
      stored[entry.bytes] = at;
      out.image += entry.bytes;
      out.image.resize((out.image.size() + 7) / 8 * 8, '\0');
    }
    out.offsets.push_back(at);
  }
  out.map.assign(kPayloadMapMagic, sizeof kPayloadMapMagic);
  AppendLe32(&out.map, kMapVersion);
  AppendLe32(&out.map, static_cast<uint32_t>(image.entries.size()));
  out.map += ParameterRecord(image.parameters);
  AppendLe32(&out.map, static_cast<uint32_t>(out.image.size()));
  out.map += out.image.substr(0, kAnchorLength);
  for (size_t i = 0; i < image.entries.size(); ++i) {
    AppendLe32(&out.map, image.entries[i].id);
    AppendLe32(&out.map, static_cast<uint32_t>(out.offsets[i]));
    AppendLe32(&out.map, static_cast<uint32_t>(image.entries[i].bytes.size()));
  }
  return out;
}

bool ReadPayload(const std::string& map, const std::string& file, PayloadImage* image,
                 std::string* error) {
  if (map.size() < kFixedHeader || map.compare(0, 16, kPayloadMapMagic, 16) != 0 ||
      ReadLe32(map, 16) != kMapVersion) {
    *error = "not a payload map, or one of another version";
    return false;
  }
  const uint32_t count = ReadLe32(map, 20);
  for (size_t i = 0; i < kParameterCount; ++i) {
    *ParameterSlot(&image->parameters, i) = static_cast<int32_t>(ReadLe32(map, 24 + 4 * i));
  }
  const uint64_t imageLength = ReadLe32(map, kFixedHeader - 4);
  const size_t anchorLength = imageLength < kAnchorLength ? static_cast<size_t>(imageLength) : kAnchorLength;
  if (count > kMostEntries || map.size() != kFixedHeader + anchorLength + kRecordLength * count) {
    *error = "payload map damaged";
    return false;
  }
  const size_t start = FindImage(file, map.substr(kFixedHeader, anchorLength), imageLength);
  if (start == std::string::npos) {
    *error = "does not hold the payload this map describes (built from other inputs?)";
    return false;
  }
  image->entries.clear();
  for (uint32_t i = 0; i < count; ++i) {
    const size_t at = kFixedHeader + anchorLength + kRecordLength * i;
    const uint32_t id = ReadLe32(map, at);
    const uint64_t offset = ReadLe32(map, at + 4);
    const uint64_t length = ReadLe32(map, at + 8);
    if (offset + length > imageLength) {
      *error = EntryName(id) + ": lies outside the image";
      return false;
    }
    image->entries.push_back(
        {id, file.substr(start + static_cast<size_t>(offset), static_cast<size_t>(length))});
  }
  return true;
}

std::string MapTracesIn(const std::string& file, const KeyBlockParameters& parameters) {
  std::string traces;
  auto note = [&](const std::string& what) { traces += (traces.empty() ? "" : ", ") + what; };
  if (file.find(std::string(kPayloadMapMagic, 16)) != std::string::npos) note("the map's magic");
  if (file.find(std::string(kEarlierDirectoryMagic, 16)) != std::string::npos) {
    note("a payload directory's magic");
  }
  if (file.find(ParameterRecord(parameters)) != std::string::npos) {
    note("the key parameters as one record");
  }
  return traces;
}
