#pragma once
// The catalogue of Windows locales that a language file's name is matched
// against, and the match itself.

#include <windows.h>

#include <cstddef>
#include <string>

// How a language file is encoded, told by its name alone.
enum class LanguageFileEncoding { Ansi = 0, Unicode = 1, Utf8 = 2 };

struct LocaleRow {
  const char* name;          // Language or Language_Country
  const char* abbreviation;  // the Windows three-letter abbreviation, capitals
  WORD languageId;           // primary language in bits 0-9, sublanguage in bits 10-15
};

// The rows in their fixed order: the first row that matches wins.
extern const LocaleRow kLocaleTable[];
extern const size_t kLocaleTableSize;

struct LocaleMatch {
  bool found = false;
  std::string runtimeLocale;  // for setlocale; empty when not found
  int primaryLanguage = 0;    // only when found
  int subLanguage = 0;
};

// Matches a language name (the file name without ".ini") by locale name or
// abbreviation, without regard to case, after removing the encoding's
// suffix. An unknown name is reported to the user with the name as caption.
LocaleMatch ResolveLocale(const std::string& name, LanguageFileEncoding encoding);
