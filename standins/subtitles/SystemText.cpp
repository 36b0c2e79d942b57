#include "standins/subtitles/SystemText.h"

#include <windows.h>

#include <climits>

namespace {

std::wstring ToWide(std::string_view text, UINT codePage) {
  if (text.empty() || text.size() > INT_MAX) return {};
  const int size = static_cast<int>(text.size());
  const int count = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  if (count <= 0) return {};
  std::wstring out(static_cast<size_t>(count), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), size, out.data(), count);
  return out;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view utf8) { return ToWide(utf8, CP_UTF8); }

std::string AnsiToUtf8(std::string_view ansi) {
  const std::wstring wide = ToWide(ansi, CP_ACP);
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int count =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (count <= 0) return {};
  std::string out(static_cast<size_t>(count), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data(), count, nullptr, nullptr);
  return out;
}
