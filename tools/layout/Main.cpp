// kestrel-layout: turns the layout definitions (layout/*.layout) into the layout
// library's C source, the documents' JSON and the tests' expectations, and checks images.
//
//   kestrel-layout c DEFINITION OUT.c
//   kestrel-layout json DEFINITION OUT.json
//   kestrel-layout expect OUT.h DEF0 DEF1 DEF2
//   kestrel-layout patterns DEF0 DEF1 DEF2
//   kestrel-layout check-strings STRINGS.txt DEF0 DEF1 DEF2
//   kestrel-layout check-patterns STRINGS.txt DEF0 DEF1 DEF2 [--image VARIANT FILE]...
//
// DEF0..DEF2 are the definitions of variants 0, 1 and 2, in that order. Outputs
// are written through a temporary file; nothing is written when an input fails.
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "tools/layout/CSourceWriter.h"
#include "tools/common/FileIo.h"
#include "tools/layout/ExpectationsWriter.h"
#include "tools/layout/ImageCheck.h"
#include "tools/layout/JsonWriter.h"
#include "tools/layout/LayoutDefinition.h"
#include "tools/layout/LayoutTables.h"
#include "tools/layout/PatternStrings.h"
#include "tools/layout/Patterns.h"

namespace {

int Fail(const std::string& message) {
  fprintf(stderr, "kestrel-layout: %s\n", message.c_str());
  return 1;
}

std::string Stem(const std::string& path) {
  size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  return name.substr(0, name.find('.'));
}

bool Load(const std::string& path, LayoutDefinition* definition, LayoutTables* tables, std::string* error) {
  return ReadLayoutDefinition(path, definition, error) && BuildLayoutTables(*definition, tables, error);
}

// Loads the three variants in order and derives their patterns.
bool LoadAll(const std::vector<std::string>& paths, std::vector<LayoutTables>* tables, LayoutPatterns* patterns,
             std::string* error) {
  if (paths.size() != 3) {
    *error = "give the definitions of variants 0, 1 and 2";
    return false;
  }
  for (const std::string& path : paths) {
    LayoutDefinition definition;
    LayoutTables t;
    if (!Load(path, &definition, &t, error)) return false;
    tables->push_back(t);
  }
  return DerivePatterns(*tables, patterns, error);
}

int Usage() {
  fprintf(stderr,
          "usage: kestrel-layout c DEFINITION OUT.c\n"
          "       kestrel-layout json DEFINITION OUT.json\n"
          "       kestrel-layout expect OUT.h DEF0 DEF1 DEF2\n"
          "       kestrel-layout patterns DEF0 DEF1 DEF2\n"
          "       kestrel-layout check-strings STRINGS.txt DEF0 DEF1 DEF2\n"
          "       kestrel-layout check-patterns STRINGS.txt DEF0 DEF1 DEF2 [--image VARIANT FILE]...\n");
  return 2;
}

int CheckStrings(const std::string& stringsPath, const LayoutPatterns& derived) {
  LayoutPatterns stored;
  std::string error;
  if (!ReadPatternStrings(stringsPath, &stored, &error)) return Fail(error);
  int faults = 0;
  auto want = PatternsById(derived);
  auto have = PatternsById(stored);
  for (size_t i = 0; i < want.size(); ++i) {
    if (want[i].second != have[i].second) {
      fprintf(stderr, "kestrel-layout: %s: text %u is %s, the definitions give %s\n", stringsPath.c_str(),
              want[i].first, UpperHex(have[i].second).c_str(), UpperHex(want[i].second).c_str());
      ++faults;
    }
  }
  return faults == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  std::string mode = argv[1];
  std::vector<std::string> args(argv + 2, argv + argc);
  std::string error;
  if ((mode == "c" || mode == "json") && args.size() == 2) {
    LayoutDefinition definition;
    LayoutTables tables;
    if (!Load(args[0], &definition, &tables, &error)) return Fail(error);
    std::string slash = args[0].substr(args[0].find_last_of('/') + 1);
    std::string text = mode == "c" ? LayoutLibrarySource(tables, slash) : LayoutJson(definition);
    if (!WriteFileAtomically(args[1], text)) return Fail(args[1] + ": cannot write");
    return 0;
  }
  if (mode == "expect" && args.size() == 4) {
    std::vector<LayoutTables> tables;
    LayoutPatterns patterns;
    std::vector<std::string> defs(args.begin() + 1, args.end());
    if (!LoadAll(defs, &tables, &patterns, &error)) return Fail(error);
    std::vector<std::string> images;
    for (const std::string& def : defs) images.push_back("kbdkestr-" + Stem(def) + ".dll");
    if (!WriteFileAtomically(args[0], ExpectationsHeader(tables, images))) return Fail(args[0] + ": cannot write");
    return 0;
  }
  if (mode == "patterns" && args.size() == 3) {
    std::vector<LayoutTables> tables;
    LayoutPatterns patterns;
    if (!LoadAll(args, &tables, &patterns, &error)) return Fail(error);
    for (const auto& entry : PatternsById(patterns)) printf("%u %s\n", entry.first, UpperHex(entry.second).c_str());
    return 0;
  }
  if ((mode == "check-strings" && args.size() == 4) || (mode == "check-patterns" && args.size() >= 4)) {
    std::vector<LayoutTables> tables;
    LayoutPatterns derived;
    if (!LoadAll(std::vector<std::string>(args.begin() + 1, args.begin() + 4), &tables, &derived, &error)) {
      return Fail(error);
    }
    if (mode == "check-strings") return CheckStrings(args[0], derived);
    LayoutPatterns stored;
    if (!ReadPatternStrings(args[0], &stored, &error)) return Fail(error);
    std::vector<std::string> faults;
    int images = 0;
    for (size_t i = 4; i < args.size(); i += 3) {
      if (args[i] != "--image" || i + 2 >= args.size()) return Usage();
      unsigned long variant = strtoul(args[i + 1].c_str(), nullptr, 10);
      if (variant > 2) return Usage();
      std::string image;
      if (!ReadWholeFile(args[i + 2], &image)) return Fail(args[i + 2] + ": cannot read");
      CheckImagePatterns(args[i + 2], image, tables[variant], stored, &faults);
      ++images;
    }
    for (const std::string& fault : faults) fprintf(stderr, "kestrel-layout: %s\n", fault.c_str());
    printf("%d images checked, %zu faults\n", images, faults.size());
    return faults.empty() && images > 0 ? 0 : 1;
  }
  return Usage();
}
