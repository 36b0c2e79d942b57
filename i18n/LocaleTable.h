#pragma once
// The catalogue of Windows locales that a language file's name is matched
// against, and the match itself. Nothing here needs Windows: the caller
// lower-cases the name in its code page and reports an unknown one.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// How a language file is encoded, told by its name alone.
enum class LanguageFileEncoding { Ansi = 0, Unicode = 1, Utf8 = 2 };

struct LocaleRow {
  const char* name;          // Language or Language_Country
  const char* abbreviation;  // the Windows three-letter abbreviation, capitals
  uint16_t languageId;       // primary language in bits 0-9, sublanguage in bits 10-15
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

// The lower-case name without the encoding's suffix. The suffix may stand
// anywhere in the name, but it is always the last characters that go.
std::string_view LocaleKeyOf(std::string_view lowerName, LanguageFileEncoding encoding);

// The first row whose name or abbreviation, in lower case, equals key.
LocaleMatch MatchLocaleKey(std::string_view key);
