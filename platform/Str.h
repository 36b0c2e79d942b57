#pragma once
// Bounded text helpers for fixed char buffers. Sizes are in characters and
// include the terminator; results are always terminated, and a false return
// means the text did not fit and was cut.

#include <windows.h>

#include <cstdarg>
#include <cstddef>
#include <string>

#if defined(__GNUC__)
#define STR_PRINTF_LIKE(fmtIndex, firstArg) __attribute__((format(printf, fmtIndex, firstArg)))
#else
#define STR_PRINTF_LIKE(fmtIndex, firstArg)
#endif

namespace str {

bool Copy(char* dst, size_t dstSize, const char* src);
bool Append(char* dst, size_t dstSize, const char* src);

// The format is always a literal of the program; texts from files, the user or
// a language go in as arguments, never as the format.
bool Format(char* dst, size_t dstSize, const char* fmt, ...) STR_PRINTF_LIKE(3, 4);
bool FormatV(char* dst, size_t dstSize, const char* fmt, va_list args);
std::string Printf(const char* fmt, ...) STR_PRINTF_LIKE(1, 2);

template <size_t N>
bool Copy(char (&dst)[N], const char* src) {
  return Copy(dst, N, src);
}
template <size_t N>
bool Append(char (&dst)[N], const char* src) {
  return Append(dst, N, src);
}

bool IsEmpty(const char* s);
bool EqualNoCase(const char* a, const char* b);

// Lower case in the thread's ANSI code page (multi-byte aware).
std::string ToLower(const char* s);

// ANSI (the thread's ANSI code page, CP_ACP) <-> UTF-16.
std::wstring ToWide(const char* ansi, UINT codePage = CP_ACP);
std::string ToAnsi(const wchar_t* wide, UINT codePage = CP_ACP);
// Into a fixed buffer of dstCount wide characters; false when it did not fit.
bool ToWide(const char* ansi, wchar_t* dst, size_t dstCount, UINT codePage = CP_ACP);

// The ANSI code page of a locale, and of the calling thread's locale.
UINT AnsiCodePageOf(LCID locale);
UINT ThreadAnsiCodePage();

}  // namespace str
