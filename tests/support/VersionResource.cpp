#include "support/VersionResource.h"

#include <windows.h>

#include <vector>

namespace {

constexpr char kNone[] = "<none>";

std::vector<char> VersionBlock(const std::string& file) {
  DWORD ignored = 0;
  std::vector<char> block(GetFileVersionInfoSizeA(file.c_str(), &ignored) + 1);
  if (!GetFileVersionInfoA(file.c_str(), 0, static_cast<DWORD>(block.size()), block.data())) {
    block.clear();
  }
  return block;
}

}  // namespace

std::string FileVersion(const std::string& file) {
  std::vector<char> block = VersionBlock(file);
  VS_FIXEDFILEINFO* v = nullptr;
  UINT size = 0;
  if (block.empty() || !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&v), &size)) {
    return kNone;
  }
  return std::to_string(HIWORD(v->dwFileVersionMS)) + "." +
         std::to_string(LOWORD(v->dwFileVersionMS)) + "." +
         std::to_string(HIWORD(v->dwFileVersionLS)) + "." +
         std::to_string(LOWORD(v->dwFileVersionLS));
}

std::string VersionString(const std::string& file, const char* name) {
  std::vector<char> block = VersionBlock(file);
  char* value = nullptr;
  UINT size = 0;
  const std::string query = std::string("\\StringFileInfo\\040904b0\\") + name;
  if (block.empty() ||
      !VerQueryValueA(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &size) ||
      size == 0) {
    return kNone;
  }
  return value;
}
