#include "platform/Str.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace str {

bool Copy(char* dst, size_t dstSize, const char* src) {
  if (!dst || dstSize == 0) return false;
  if (!src) src = "";
  size_t len = strlen(src);
  bool fits = len < dstSize;
  size_t n = fits ? len : dstSize - 1;
  memcpy(dst, src, n);
  dst[n] = '\0';
  return fits;
}

bool Append(char* dst, size_t dstSize, const char* src) {
  if (!dst || dstSize == 0) return false;
  size_t used = strnlen(dst, dstSize);
  if (used == dstSize) {  // not terminated: repair, report the cut
    dst[dstSize - 1] = '\0';
    return false;
  }
  return Copy(dst + used, dstSize - used, src);
}

bool FormatV(char* dst, size_t dstSize, const char* fmt, va_list args) {
  if (!dst || dstSize == 0) return false;
  int n = vsnprintf(dst, dstSize, fmt, args);
  if (n < 0) {
    dst[0] = '\0';
    return false;
  }
  return static_cast<size_t>(n) < dstSize;
}

bool Format(char* dst, size_t dstSize, const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  bool ok = FormatV(dst, dstSize, fmt, args);
  va_end(args);
  return ok;
}

std::string Printf(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list copy;
  va_copy(copy, args);
  int n = vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    out.resize(static_cast<size_t>(n) + 1);
    vsnprintf(out.data(), out.size(), fmt, args);
    out.resize(static_cast<size_t>(n));
  }
  va_end(args);
  return out;
}

bool IsEmpty(const char* s) { return !s || !*s; }

bool EqualNoCase(const char* a, const char* b) { return lstrcmpiA(a ? a : "", b ? b : "") == 0; }

std::string ToLower(const char* s) {
  std::string out = s ? s : "";
  if (!out.empty()) CharLowerBuffA(out.data(), static_cast<DWORD>(out.size()));
  return out;
}

std::wstring ToWide(const char* ansi, UINT codePage) {
  if (!ansi || !*ansi) return std::wstring();
  int n = MultiByteToWideChar(codePage, 0, ansi, -1, nullptr, 0);
  if (n <= 0) return std::wstring();
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, ansi, -1, out.data(), n);
  out.resize(static_cast<size_t>(n) - 1);
  return out;
}

std::string ToAnsi(const wchar_t* wide, UINT codePage) {
  if (!wide || !*wide) return std::string();
  int n = WideCharToMultiByte(codePage, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, wide, -1, out.data(), n, nullptr, nullptr);
  out.resize(static_cast<size_t>(n) - 1);
  return out;
}

bool ToWide(const char* ansi, wchar_t* dst, size_t dstCount, UINT codePage) {
  if (!dst || dstCount == 0) return false;
  std::wstring wide = ToWide(ansi, codePage);
  bool fits = wide.size() < dstCount;
  size_t n = fits ? wide.size() : dstCount - 1;
  wmemcpy(dst, wide.data(), n);
  dst[n] = L'\0';
  return fits;
}

UINT AnsiCodePageOf(LCID locale) {
  char buf[8] = {};
  if (GetLocaleInfoA(locale, LOCALE_IDEFAULTANSICODEPAGE, buf, sizeof buf) == 0) return CP_ACP;
  // 0 for the locales that have only Unicode texts: CP_ACP then.
  return static_cast<UINT>(strtoul(buf, nullptr, 10));
}

UINT ThreadAnsiCodePage() { return AnsiCodePageOf(GetThreadLocale()); }

}  // namespace str
