#pragma once
// A language file's name into the locale that loading the language activates.

#include <string>

#include "i18n/LocaleTable.h"

// Matches a language name (the file name without ".ini") by locale name or
// abbreviation, without regard to case, after removing the encoding's
// suffix. An unknown name is reported to the user with the name as caption.
LocaleMatch ResolveLocale(const std::string& name, LanguageFileEncoding encoding);
