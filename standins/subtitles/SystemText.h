#pragma once
// Text conversions that need the system: UTF-8 to UTF-16 for GDI, and the
// machine's ANSI code page to UTF-8 for subtitle files that are neither UTF-8
// nor UTF-16.

#include <string>
#include <string_view>

std::wstring Utf8ToWide(std::string_view utf8);
std::string AnsiToUtf8(std::string_view ansi);
