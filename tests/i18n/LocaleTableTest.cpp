#include "i18n/LocaleTable.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>

namespace {

// A language file named after any row selects that row's language: no row is
// hidden behind an earlier one, and every abbreviation can be matched.
TEST(LocaleTable, EveryRowIsFoundByItsOwnName) {
  for (size_t i = 0; i < kLocaleTableSize; ++i) {
    const LocaleRow& row = kLocaleTable[i];
    EXPECT_LE(strlen(row.name), 63u) << row.name;
    ASSERT_EQ(strlen(row.abbreviation), 3u) << row.name;
    for (int c = 0; c < 3; ++c) EXPECT_TRUE(isupper(row.abbreviation[c])) << row.name;
    std::string key = row.name;
    for (char& c : key) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    const LocaleMatch match = MatchLocaleKey(key);
    ASSERT_TRUE(match.found) << row.name;
    EXPECT_EQ(match.primaryLanguage, row.languageId & 0x3FF) << row.name;
    EXPECT_FALSE(match.runtimeLocale.empty()) << row.name;
    // The abbreviation finds the first row of that abbreviation, maybe an earlier one.
    std::string abbreviation = row.abbreviation;
    for (char& c : abbreviation) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(MatchLocaleKey(abbreviation).runtimeLocale, abbreviation) << row.name;
  }
}

TEST(LocaleKeys, LoseTheLastCharactersOfTheEncodingsSuffix) {
  const struct {
    const char* lowerName;
    LanguageFileEncoding encoding;
    const char* key;
  } cases[] = {
      {"english_utf-8", LanguageFileEncoding::Utf8, "english"},
      {"german_utf-8_x", LanguageFileEncoding::Utf8, "german_u"},
      {"deu_unicode", LanguageFileEncoding::Unicode, "deu"},
      {"_utf-8", LanguageFileEncoding::Utf8, ""},
      {"utf", LanguageFileEncoding::Utf8, ""},
      {"french_utf-8", LanguageFileEncoding::Ansi, "french_utf-8"},
  };
  for (const auto& c : cases) EXPECT_EQ(LocaleKeyOf(c.lowerName, c.encoding), c.key);
}

TEST(LocaleKeys, MatchNamesAndAbbreviationsFirstRowFirst) {
  const struct {
    const char* key;
    bool found;
    const char* runtimeLocale;
    int primaryLanguage;
    int subLanguage;
  } cases[] = {
      // ENU is English's before English_United_States'.
      {"enu", true, "enu", 0x09, 0},
      // English alone is the United States' and keeps its name for the runtime.
      {"english", true, "english", 0x09, 1},
      // Only lower case matches; no prefix, no longer name.
      {"French", false, "", 0, 0},
      {"fr", false, "", 0, 0},
      {"frenchx", false, "", 0, 0},
      {"", false, "", 0, 0},
  };
  for (const auto& c : cases) {
    const LocaleMatch match = MatchLocaleKey(c.key);
    EXPECT_EQ(match.found, c.found) << c.key;
    EXPECT_EQ(match.runtimeLocale, c.runtimeLocale) << c.key;
    EXPECT_EQ(match.primaryLanguage, c.primaryLanguage) << c.key;
    EXPECT_EQ(match.subLanguage, c.subLanguage) << c.key;
  }
}

}  // namespace
