#include "standins/subtitles/SubtitleFile.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "standins/subtitles/SubtitleText.h"
#include "standins/subtitles/SystemText.h"

namespace {

constexpr DWORD kMaxSubtitleBytes = 16 * 1024 * 1024;

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// name.<language>.srt files beside the video, the first by name.
std::wstring FindLanguageFile(const std::wstring& stem) {
  const size_t slash = stem.find_last_of(L"\\/");
  const std::wstring folder = slash == std::wstring::npos ? L"" : stem.substr(0, slash + 1);
  const std::wstring prefix = stem.substr(folder.size()) + L".";
  WIN32_FIND_DATAW found = {};
  HANDLE search = FindFirstFileW((stem + L".*.srt").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return {};
  std::vector<std::wstring> names;
  do {
    const std::wstring name = found.cFileName;
    // The pattern also matches short names; the long name must have the form.
    if (name.size() > prefix.size() + 4 &&
        _wcsnicmp(name.c_str(), prefix.c_str(), prefix.size()) == 0 &&
        _wcsicmp(name.c_str() + name.size() - 4, L".srt") == 0 &&
        !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
      names.push_back(name);
  } while (FindNextFileW(search, &found));
  FindClose(search);
  if (names.empty()) return {};
  return folder + *std::min_element(names.begin(), names.end());
}

// The path with other than ASCII characters replaced, for the extension test.
std::string AsciiOf(const std::wstring& path) {
  std::string out;
  for (wchar_t c : path) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

}  // namespace

std::wstring FindSubtitleFile(const std::wstring& videoPath) {
  const size_t slash = videoPath.find_last_of(L"\\/");
  const size_t dot = videoPath.rfind(L'.');
  const bool hasExtension =
      dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
  const std::wstring stem = hasExtension ? videoPath.substr(0, dot) : videoPath;
  if (stem.empty()) return {};
  for (const wchar_t* extension : {L".srt", L".ass", L".ssa"}) {
    const std::wstring candidate = stem + extension;
    if (IsFile(candidate)) return candidate;
  }
  return FindLanguageFile(stem);
}

CueList LoadSubtitleFile(const std::wstring& path) {
  const std::optional<SubtitleFormat> format = FormatOfPath(AsciiOf(path));
  if (!format) return {};
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  LARGE_INTEGER size = {};
  std::string bytes;
  if (GetFileSizeEx(file, &size))
    bytes.resize(static_cast<size_t>(std::min<LONGLONG>(size.QuadPart, kMaxSubtitleBytes)));
  DWORD total = 0;
  DWORD read = 0;
  // The file may shrink while it is read: only the bytes read count.
  while (total < bytes.size() &&
         ReadFile(file, bytes.data() + total, static_cast<DWORD>(bytes.size()) - total, &read,
                  nullptr) &&
         read > 0)
    total += read;
  CloseHandle(file);
  bytes.resize(total);
  return ReadSubtitleText(bytes, *format, AnsiToUtf8);
}
