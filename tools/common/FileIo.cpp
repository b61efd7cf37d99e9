// Whole-file reading and all-or-nothing writing for the host tools.
#include "tools/common/FileIo.h"

#include <stdio.h>

bool ReadWholeFile(const std::string& path, std::string* bytes) {
  FILE* file = fopen(path.c_str(), "rb");
  if (file == nullptr) return false;
  char buffer[65536];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, file)) > 0) bytes->append(buffer, n);
  fclose(file);
  return true;
}

bool WriteFileAtomically(const std::string& path, const std::string& bytes) {
  std::string temporary = path + ".partial";
  FILE* file = fopen(temporary.c_str(), "wb");
  if (file == nullptr) return false;
  bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  ok = fclose(file) == 0 && ok;
  if (ok) ok = rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) remove(temporary.c_str());
  return ok;
}
