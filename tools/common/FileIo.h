// Whole-file reading and all-or-nothing writing for the host tools: a failed
// run never leaves a half-written output behind.
#pragma once

#include <string>

// Appends the file's bytes to `bytes`; false when it cannot be opened.
bool ReadWholeFile(const std::string& path, std::string* bytes);
// Writes through `path`.partial and renames it into place; false (and no
// output, the old file untouched) on any failure.
bool WriteFileAtomically(const std::string& path, const std::string& bytes);
