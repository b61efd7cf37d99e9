// Reads a string-table source file: one text per id with its stored form.
//   # comment
//   93 utf16 "Kestrel Setup"
//       "a following line that starts with a quoted string continues the text"
// Escapes: \\ \" \n \r \t \uXXXX (one UTF-16 code unit). Errors name file and line.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

struct SourceText {
  uint32_t id = 0;
  bool narrow = false;          // stored as UTF-8 (else UTF-16)
  std::u16string units;         // the text as UTF-16 code units
  int line = 0;
};

// Parses `path`. Returns true and fills `texts` (in file order), or false with
// `error` as "path:line: message".
bool ReadStringSource(const std::string& path, std::vector<SourceText>* texts, std::string* error);

// The stored characters of a text: UTF-16LE units or UTF-8 bytes (units encoded
// one by one, as the program's text class does).
std::string StoredCharacters(const SourceText& text);
