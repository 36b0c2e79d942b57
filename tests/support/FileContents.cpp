#include "support/FileContents.h"

#include <windows.h>

#include <fstream>
#include <sstream>

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

uint64_t FileBytes(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA file = {};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &file)) return 0;
  return uint64_t{file.nFileSizeHigh} << 32 | file.nFileSizeLow;
}
