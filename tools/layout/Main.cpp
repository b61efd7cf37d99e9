// kestrel-layout: turns the layout definitions (layout/*.layout) into the layout
// library's C source, the documents' JSON and the tests' expectations, and checks images.
//
//   kestrel-layout c DEFINITION OUT.c
//   kestrel-layout json DEFINITION OUT.json
//   kestrel-layout expect OUT.h DEF0 DEF1 DEF2
//   kestrel-layout patterns DEF0 DEF1 DEF2
//   kestrel-layout check-strings STRINGS.txt DEF0 DEF1 DEF2
//   kestrel-layout check-patterns STRINGS.txt DEF0 DEF1 DEF2 [--image VARIANT FILE]...
//   kestrel-layout read MODE FILE
//   kestrel-layout verify MODE FILE DEFINITION [--decimal N] [--keys SCAN:CODE,...]
//
// read prints the tables of the library FILE as the kernel reads them (MODE x86,
// x64 or wow64; the form is tools/layoutfile/CanonicalText.h). verify compares
// them with what a correct image of DEFINITION reads as, after the changes setup
// makes to an installed copy: the decimal option N (0 = comma on the keypad) and
// the assigned keys, hex pairs such as 1E:41,E01C:D (empty: none).
//
// DEF0..DEF2 are the definitions of variants 0, 1 and 2, in that order. Outputs
// are written through a temporary file; nothing is written when an input fails.
#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "tools/layout/CSourceWriter.h"
#include "tools/common/FileIo.h"
#include "tools/layout/ExpectedFileTables.h"
#include "tools/layout/ExpectationsWriter.h"
#include "tools/layout/ImageCheck.h"
#include "tools/layout/JsonWriter.h"
#include "tools/layout/LayoutDefinition.h"
#include "tools/layout/LayoutTables.h"
#include "tools/layout/PatternStrings.h"
#include "tools/layout/Patterns.h"
#include "tools/layoutfile/LayoutFileReader.h"

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
          "       kestrel-layout check-patterns STRINGS.txt DEF0 DEF1 DEF2 [--image VARIANT FILE]...\n"
          "       kestrel-layout read MODE FILE\n"
          "       kestrel-layout verify MODE FILE DEFINITION [--decimal N] [--keys SCAN:CODE,...]\n"
          "MODE: x86, x64 or wow64.\n");
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

// A hex number of at most four digits, the whole of `text`.
bool ParseHex16(const std::string& text, uint16_t* value) {
  if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
    return false;
  }
  *value = static_cast<uint16_t>(strtoul(text.c_str(), nullptr, 16));
  return true;
}

// "1E:41,E01C:D" -> the keys in order; "" -> none.
bool ParseInstalledKeys(const std::string& text, std::vector<InstalledKey>* keys) {
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    const std::string pair = text.substr(start, end - start);
    const size_t colon = pair.find(':');
    InstalledKey key = {0, 0};
    if (colon == std::string::npos || !ParseHex16(pair.substr(0, colon), &key.scan) ||
        !ParseHex16(pair.substr(colon + 1), &key.code)) {
      return false;
    }
    keys->push_back(key);
    start = end + 1;
    if (end + 1 == text.size()) return false;  // a trailing comma
  }
  return true;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  for (size_t start = 0; start < text.size();) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

bool ReadImage(const std::string& modeName, const std::string& path, std::string* text, std::string* error) {
  LayoutFileMode mode;
  if (!ParseLayoutFileMode(modeName, &mode)) {
    *error = "unknown mode " + modeName + " (x86, x64 or wow64)";
    return false;
  }
  std::string bytes;
  if (!ReadWholeFile(path, &bytes)) {
    *error = path + ": cannot read";
    return false;
  }
  LayoutFileTables tables;
  if (!ReadLayoutFile(bytes, mode, &tables, error)) {
    *error = path + " (" + modeName + "): " + *error;
    return false;
  }
  *text = CanonicalLayoutText(tables);
  return true;
}

// verify MODE FILE DEFINITION [--decimal N] [--keys LIST]
int Verify(const std::vector<std::string>& args) {
  int32_t decimal = 1;
  std::vector<InstalledKey> keys;
  for (size_t i = 3; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) return Usage();
    const std::string& value = args[i + 1];
    if (args[i] == "--decimal" && !value.empty() && value.size() <= 9 &&
        value.find_first_not_of("0123456789") == std::string::npos) {
      decimal = static_cast<int32_t>(strtol(value.c_str(), nullptr, 10));
    } else if (args[i] != "--keys" || !ParseInstalledKeys(value, &keys)) {
      return Usage();
    }
  }
  std::string read, error;
  LayoutDefinition definition;
  LayoutTables tables;
  if (!ReadImage(args[0], args[1], &read, &error) || !Load(args[2], &definition, &tables, &error)) return Fail(error);
  LayoutFileTables expected = ExpectedFileTables(tables);
  if (!ApplyInstalledChanges(keys, decimal, &expected, &error)) return Fail(args[2] + ": " + error);
  const std::vector<std::string> want = Lines(CanonicalLayoutText(expected)), have = Lines(read);
  int shown = 0;
  for (size_t i = 0; i < want.size() || i < have.size(); ++i) {
    const std::string a = i < want.size() ? want[i] : "(end)", b = i < have.size() ? have[i] : "(end)";
    if (a == b) continue;
    if (shown++ == 0) fprintf(stderr, "kestrel-layout: %s does not read as %s:\n", args[1].c_str(), args[2].c_str());
    fprintf(stderr, "  line %zu: expected %s\n  line %zu: read     %s\n", i + 1, a.c_str(), i + 1, b.c_str());
    if (shown == 5 || a == "(end)" || b == "(end)") break;
  }
  if (shown > 0) return 1;
  printf("%s: reads as %s (%s)\n", args[1].c_str(), args[2].c_str(), args[0].c_str());
  return 0;
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
  if (mode == "read" && args.size() == 2) {
    std::string text;
    if (!ReadImage(args[0], args[1], &text, &error)) return Fail(error);
    fputs(text.c_str(), stdout);
    return 0;
  }
  if (mode == "verify" && args.size() >= 3) return Verify(args);
  return Usage();
}
