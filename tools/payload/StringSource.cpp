// The parser of string-table source files.
#include "tools/payload/StringSource.h"

#include "text/Utf8.h"
#include "tools/common/FileIo.h"

#include <stdio.h>

#include <map>

namespace {

// Decodes one UTF-8 character (1 to 3 bytes: the program's texts are UTF-16
// code units). Returns false for anything else.
bool DecodeCharacter(const std::string& s, size_t* i, char16_t* unit) {
  unsigned char lead = static_cast<unsigned char>(s[*i]);
  auto continuation = [&](size_t k) {
    return k < s.size() && (static_cast<unsigned char>(s[k]) & 0xC0) == 0x80;
  };
  if (lead < 0x80) {
    *unit = lead;
    *i += 1;
  } else if ((lead & 0xE0) == 0xC0 && lead >= 0xC2 && continuation(*i + 1)) {
    *unit = static_cast<char16_t>(((lead & 0x1F) << 6) | (s[*i + 1] & 0x3F));
    *i += 2;
  } else if ((lead & 0xF0) == 0xE0 && continuation(*i + 1) && continuation(*i + 2)) {
    *unit = static_cast<char16_t>(((lead & 0x0F) << 12) | ((s[*i + 1] & 0x3F) << 6) |
                                  (s[*i + 2] & 0x3F));
    *i += 3;
    if (*unit < 0x800) return false;  // overlong
  } else {
    return false;
  }
  return true;
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Parses one quoted string starting at s[*i] == '"'. Appends its units.
bool ParseQuoted(const std::string& s, size_t* i, std::u16string* out, std::string* message) {
  ++*i;
  while (*i < s.size()) {
    char c = s[*i];
    if (c == '"') {
      ++*i;
      return true;
    }
    if (c == '\\') {
      if (*i + 1 >= s.size()) break;
      char e = s[*i + 1];
      *i += 2;
      switch (e) {
        case '\\': out->push_back(u'\\'); break;
        case '"': out->push_back(u'"'); break;
        case 'n': out->push_back(u'\n'); break;
        case 'r': out->push_back(u'\r'); break;
        case 't': out->push_back(u'\t'); break;
        case 'u': {
          unsigned value = 0;
          for (int k = 0; k < 4; ++k) {
            int h = *i < s.size() ? HexValue(s[*i]) : -1;
            if (h < 0) {
              *message = "bad escape: \\u needs four hexadecimal digits";
              return false;
            }
            value = value * 16 + static_cast<unsigned>(h);
            ++*i;
          }
          out->push_back(static_cast<char16_t>(value));
          break;
        }
        default:
          *message = std::string("bad escape \\") + e;
          return false;
      }
      continue;
    }
    char16_t unit;
    if (!DecodeCharacter(s, i, &unit)) {
      *message = "not UTF-8 (or a character outside the 16-bit range)";
      return false;
    }
    out->push_back(unit);
  }
  *message = "unterminated quoted text";
  return false;
}

size_t SkipSpaces(const std::string& s, size_t i) {
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  return i;
}

}  // namespace

bool ReadStringSource(const std::string& path, std::vector<SourceText>* texts, std::string* error) {
  std::string bytes;
  if (!ReadWholeFile(path, &bytes)) {
    *error = path + ": cannot read the file (missing?)";
    return false;
  }
  std::map<uint32_t, int> firstLine;
  int lineNumber = 0;
  size_t start = 0;
  auto fail = [&](const std::string& message) {
    *error = path + ":" + std::to_string(lineNumber) + ": " + message;
    return false;
  };
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    start = end + 1;
    ++lineNumber;
    size_t i = SkipSpaces(line, 0);
    if (i == line.size() || line[i] == '#') continue;
    if (line[i] == '"') {
      if (i == 0) return fail("a continuation line must start with white space");
      if (texts->empty()) return fail("a continuation line with no text before it");
      std::string message;
      if (!ParseQuoted(line, &i, &texts->back().units, &message)) return fail(message);
    } else {
      SourceText text;
      text.line = lineNumber;
      size_t digits = i;
      uint64_t id = 0;
      while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
        id = id * 10 + static_cast<uint64_t>(line[i] - '0');
        if (id > UINT32_MAX) return fail("id out of range");
        ++i;
      }
      if (i == digits) return fail("expected an id (a decimal number)");
      text.id = static_cast<uint32_t>(id);
      i = SkipSpaces(line, i);
      size_t formStart = i;
      while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
      std::string form = line.substr(formStart, i - formStart);
      if (form == "utf8") text.narrow = true;
      else if (form != "utf16") return fail("unknown form '" + form + "' (utf16 or utf8)");
      i = SkipSpaces(line, i);
      if (i >= line.size() || line[i] != '"') return fail("expected a quoted text");
      std::string message;
      if (!ParseQuoted(line, &i, &text.units, &message)) return fail(message);
      auto seen = firstLine.find(text.id);
      if (seen != firstLine.end()) {
        return fail("duplicate id " + std::to_string(text.id) + " (first on line " +
                    std::to_string(seen->second) + ")");
      }
      firstLine[text.id] = lineNumber;
      texts->push_back(text);
    }
    i = SkipSpaces(line, i);
    if (i != line.size() && line[i] != '#') return fail("unexpected text after the quoted text");
  }
  for (const SourceText& t : *texts) {
    if (t.units.size() > 0x1FFFFFFF) {
      lineNumber = t.line;
      return fail("text too long");
    }
  }
  return true;
}

std::string StoredCharacters(const SourceText& text) {
  std::string out;
  if (!text.narrow) {
    for (char16_t u : text.units) {
      out.push_back(static_cast<char>(u & 0xFF));
      out.push_back(static_cast<char>(u >> 8));
    }
    return out;
  }
  // The program's own encoder: units one by one, surrogates included.
  const WChar* units = reinterpret_cast<const WChar*>(text.units.data());
  const int32_t count = static_cast<int32_t>(text.units.size());
  out.resize(static_cast<size_t>(Utf8EncodedSize(units, count)));
  EncodeUtf8(units, count, &out[0]);
  return out;
}
