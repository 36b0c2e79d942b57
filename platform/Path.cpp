#include "platform/Path.h"

#include <windows.h>

#include <cstring>

namespace path {

namespace {

const char* LastOf(const char* p, bool slashToo) {
  const char* found = nullptr;
  for (const char* c = p; c && *c; c = CharNextA(c)) {
    if (*c == '\\' || (slashToo && *c == '/')) found = c;
  }
  return found;
}

std::string ModulePath() {
  char buf[MAX_PATH + 1] = {};
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  return std::string(buf, n < sizeof buf ? n : 0);
}

// Opens the file without asking for any access, so that a file open elsewhere
// (even for writing) still tells who it is.
bool ReadIdentity(const char* p, BY_HANDLE_FILE_INFORMATION& info) {
  UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HANDLE file = CreateFileA(p, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  SetErrorMode(previousMode);
  if (file == INVALID_HANDLE_VALUE) return false;
  bool read = GetFileInformationByHandle(file, &info) != FALSE;
  CloseHandle(file);
  return read;
}

}  // namespace

const char* LastBackslash(const char* p) { return LastOf(p, false); }

const char* LastSeparator(const char* p) { return LastOf(p, true); }

std::string FolderOf(const char* p) {
  const char* slash = LastBackslash(p);
  return slash ? std::string(p, static_cast<size_t>(slash - p) + 1) : std::string();
}

std::string FileNameOf(const char* p) {
  if (!p || !*p) return std::string();
  const bool driveLetter = (p[0] >= 'a' && p[0] <= 'z') || (p[0] >= 'A' && p[0] <= 'Z');
  if (driveLetter && p[1] == ':') p += 2;
  const char* separator = LastSeparator(p);
  return std::string(separator ? separator + 1 : p);
}

bool HasFileName(const char* p) {
  // A '.' is never the trail byte of a double-byte character.
  const std::string name = FileNameOf(p);
  return !name.empty() && name.rfind('.') != 0;
}

bool HoldsUnusableCharacters(const char* p) {
  for (const char* c = p; c && *c; c = CharNextA(c)) {
    if (*c == '?') return true;
  }
  return false;
}

std::string FullPathOf(const char* p) {
  const DWORD size = GetFullPathNameA(p, 0, nullptr, nullptr);
  if (size == 0) return p;
  std::string full(size, '\0');
  const DWORD length = GetFullPathNameA(p, size, full.data(), nullptr);
  if (length == 0 || length >= size) return p;
  full.resize(length);
  return full;
}

bool NamesSameFile(const char* a, const char* b) {
  if (!a || !b || !*a || !*b) return false;
  if (lstrcmpiA(FullPathOf(a).c_str(), FullPathOf(b).c_str()) == 0) return true;
  BY_HANDLE_FILE_INFORMATION first = {};
  BY_HANDLE_FILE_INFORMATION second = {};
  if (!ReadIdentity(a, first) || !ReadIdentity(b, second)) return false;
  return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

bool FileExists(const char* p) {
  const UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HANDLE file = CreateFileA(p ? p : "", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  SetErrorMode(previousMode);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

std::string ModuleFolder() {
  std::string full = ModulePath();
  const char* slash = LastBackslash(full.c_str());
  return slash ? full.substr(0, static_cast<size_t>(slash - full.c_str())) : full;
}

std::string ModuleBaseName() {
  std::string full = ModulePath();
  const char* slash = LastSeparator(full.c_str());
  std::string name = slash ? std::string(slash + 1) : full;
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

}  // namespace path
