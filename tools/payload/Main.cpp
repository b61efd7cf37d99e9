// kestrel-payload: builds the program's payload from content/ and the layout
// images, and lists and verifies the payload of a built program.
//
//   kestrel-payload pack --content DIR --seed FILE --out SOURCE.cpp --map-out MAP
//                        [--image-out FILE] [--layout VARIANT SLOT FILE]...
//                        [--first-document FILE] [--second-document FILE] [--link-icon FILE]
//   kestrel-payload inspect FILE --map MAP [--strings ENTRY]...
//
// --layout SLOT: 0-12 the images by Windows version and architecture (x86 in
// 0, 1, 2, 5, 8, 11; IA-64 in 3, 6, 9; x64 in 4, 7, 10, 12), 13 the variant's
// WOW64 image for the 32-bit system folder of 64-bit Windows.
// pack writes nothing unless every input reads and checks. The map lists the
// entries and the key parameters; it stays beside the program, which never
// needs it. inspect exits 1 when any entry fails to verify or FILE carries the
// map in the clear.
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "payload/PackedEntry.h"
#include "tools/common/FileIo.h"
#include "text/Memory.h"
#include "tools/payload/Inspector.h"
#include "tools/payload/KeyMaterial.h"
#include "tools/payload/PayloadImage.h"
#include "tools/payload/SourceWriter.h"
#include "tools/payload/StringSource.h"
#include "tools/payload/TableBuilder.h"

namespace {

int Fail(const std::string& message) {
  fprintf(stderr, "kestrel-payload: %s\n", message.c_str());
  return 1;
}

bool Pack(const KeyMaterial& key, uint32_t id, const std::string& plain, uint32_t tag,
          PayloadImage* image) {
  uint32_t storedLength = 0;
  uint8_t* stored = PackEntry(reinterpret_cast<const uint8_t*>(key.key.data()),
                              static_cast<int32_t>(key.key.size()),
                              reinterpret_cast<const uint8_t*>(plain.data()),
                              static_cast<uint32_t>(plain.size()), tag, &storedLength);
  if (stored == nullptr) return false;
  image->entries.push_back({id, std::string(reinterpret_cast<char*>(stored), storedLength)});
  FreeBlock(stored);
  return true;
}

struct PackInputs {
  std::string content;
  std::string seed;
  std::string out;
  std::string imageOut;
  std::string mapOut;
  std::vector<std::pair<uint32_t, std::string>> files;  // entry id, path
};

int RunPack(const PackInputs& in) {
  if (in.content.empty() || in.seed.empty() || in.out.empty() || in.mapOut.empty()) {
    return Fail("pack needs --content, --seed, --out and --map-out");
  }
  std::string seedText;
  if (!ReadWholeFile(in.seed, &seedText)) return Fail(in.seed + ": cannot read the key seed");
  KeyMaterial key;
  std::string keyError;
  if (!MakeKeyMaterial(seedText, &key, &keyError)) return Fail(in.seed + ": " + keyError);

  PayloadImage image;
  image.parameters = key.parameters;
  image.entries.push_back({kEntryKeyBlock, key.storedBlock});
  static const char* const kTables[] = {"common", "supplementary", "english", "polish"};
  for (uint32_t i = 0; i < 4; ++i) {
    std::vector<SourceText> texts;
    std::string error;
    if (!ReadStringSource(in.content + "/strings/" + kTables[i] + ".txt", &texts, &error)) {
      return Fail(error);
    }
    if (texts.empty()) return Fail(in.content + "/strings/" + kTables[i] + ".txt: no texts");
    if (!Pack(key, kEntryCommonTable + i, BuildStringTable(texts), static_cast<uint32_t>(texts.size()), &image)) {
      return Fail("deflate failed");
    }
  }
  std::vector<std::pair<uint32_t, std::string>> files = {
      {kEntryLicence0, in.content + "/licence/licence.en.txt"},
      {kEntryLicence1, in.content + "/licence/licence.pl.txt"}};
  files.insert(files.end(), in.files.begin(), in.files.end());
  for (const auto& file : files) {
    std::string bytes;
    if (!ReadWholeFile(file.second, &bytes)) return Fail(file.second + ": cannot read the file (missing?)");
    if (!Pack(key, file.first, bytes, 0, &image)) return Fail("deflate failed");
  }
  const SerializedPayload serialized = SerializePayload(image);
  if (!in.imageOut.empty() && !WriteFileAtomically(in.imageOut, serialized.image)) {
    return Fail(in.imageOut + ": cannot write");
  }
  if (!WriteFileAtomically(in.mapOut, serialized.map)) return Fail(in.mapOut + ": cannot write");
  if (!WriteFileAtomically(in.out, PayloadSource(image))) return Fail(in.out + ": cannot write");
  return 0;
}

int RunInspect(const std::string& path, const std::string& mapPath, const InspectOptions& options) {
  std::string bytes;
  std::string map;
  if (!ReadWholeFile(path, &bytes)) return Fail(path + ": cannot read");
  if (!ReadWholeFile(mapPath, &map)) return Fail(mapPath + ": cannot read");
  PayloadImage image;
  std::string error;
  if (!ReadPayload(map, bytes, &image, &error)) return Fail(path + ": " + error);
  int failures = InspectPayload(image, options);
  const std::string traces = MapTracesIn(bytes, image.parameters);
  if (traces.empty()) {
    printf("payload map in the clear: none\n");
  } else {
    printf("payload map in the clear: %s: FAILED\n", traces.c_str());
    ++failures;
  }
  printf("%zu entries, %d failed to verify\n", image.entries.size(), failures);
  return failures == 0 ? 0 : 1;
}

int Usage() {
  fprintf(stderr,
          "usage: kestrel-payload pack --content DIR --seed FILE --out SOURCE.cpp --map-out MAP\n"
          "                            [--image-out FILE] [--layout VARIANT SLOT FILE]...\n"
          "                            [--first-document FILE] [--second-document FILE] [--link-icon FILE]\n"
          "       kestrel-payload inspect FILE --map MAP [--strings 1|2|3|4]...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string mode = argv[1];
  std::vector<std::string> args(argv + 2, argv + argc);
  if (mode == "inspect") {
    if (args.empty()) return Usage();
    InspectOptions options;
    std::string map;
    for (size_t i = 1; i < args.size(); ++i) {
      if (args[i] == "--strings" && i + 1 < args.size()) {
        options.tablesToPrint.push_back(static_cast<uint32_t>(strtoul(args[++i].c_str(), nullptr, 10)));
      } else if (args[i] == "--map" && i + 1 < args.size()) {
        map = args[++i];
      } else {
        return Usage();
      }
    }
    if (map.empty()) return Fail("inspect needs --map (the build writes generated/payload.map)");
    return RunInspect(args[0], map, options);
  }
  if (mode != "pack") return Usage();
  PackInputs in;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto next = [&](std::string* value) {
      if (i + 1 >= args.size()) return false;
      *value = args[++i];
      return true;
    };
    std::string value;
    if (a == "--content" && next(&in.content)) continue;
    if (a == "--seed" && next(&in.seed)) continue;
    if (a == "--out" && next(&in.out)) continue;
    if (a == "--image-out" && next(&in.imageOut)) continue;
    if (a == "--map-out" && next(&in.mapOut)) continue;
    if (a == "--first-document" && next(&value)) { in.files.push_back({kEntryFirstDocument, value}); continue; }
    if (a == "--second-document" && next(&value)) { in.files.push_back({kEntrySecondDocument, value}); continue; }
    if (a == "--link-icon" && next(&value)) { in.files.push_back({kEntryLinkIcon, value}); continue; }
    if (a == "--layout" && i + 3 < args.size()) {
      unsigned long variant = strtoul(args[i + 1].c_str(), nullptr, 10);
      unsigned long slot = strtoul(args[i + 2].c_str(), nullptr, 10);
      if (variant > 2 || slot > 13) return Fail("--layout VARIANT (0-2) SLOT (0-13) FILE");
      in.files.push_back({LayoutImageEntryId(static_cast<uint32_t>(variant), static_cast<uint32_t>(slot)), args[i + 3]});
      i += 3;
      continue;
    }
    return Usage();
  }
  return RunPack(in);
}
