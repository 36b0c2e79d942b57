#include "i18n/LocaleResolution.h"

#include <gtest/gtest.h>

#include <string>

#include "fakes/ScriptedPrompts.h"

namespace {

// The name is lower-cased and its suffix cut before the match; only an
// unknown one is reported, with what was matched as the caption.
TEST(ResolveLocale, MatchesWithoutRegardToCaseAndReportsAnUnknownName) {
  const struct {
    const char* name;
    LanguageFileEncoding encoding;
    const char* runtimeLocale;  // "" when not found
    const char* caption;        // nullptr when nothing is reported
  } cases[] = {
      {"FRENCH_CANADA", LanguageFileEncoding::Ansi, "frc", nullptr},
      {"English_UTF-8", LanguageFileEncoding::Utf8, "english", nullptr},
      {"German_utf-8_x", LanguageFileEncoding::Utf8, "", "german_u"},
      {"Klingon", LanguageFileEncoding::Ansi, "", "klingon"},
  };
  for (const auto& c : cases) {
    ScriptedPrompts prompts;
    const LocaleMatch match = ResolveLocale(c.name, c.encoding);
    EXPECT_EQ(match.found, c.caption == nullptr) << c.name;
    EXPECT_EQ(match.runtimeLocale, c.runtimeLocale) << c.name;
    if (!c.caption) {
      EXPECT_TRUE(prompts.Records().empty()) << c.name;
      continue;
    }
    EXPECT_TRUE(prompts.ShowedOneMessage(
        "Your language file name may be not proper,\n please read the help file!", c.caption,
        nullptr, MB_OK))
        << c.name;
  }
}

// The table against what Windows answers for each row's identifier, where
// Wine knows the identifier: a typo in an abbreviation or identifier shows.
TEST(LocaleTable, AbbreviationsAreWhatWindowsAnswersForTheIdentifiers) {
  // Wine 8 answers otherwise for these rows; the table keeps the program's own.
  const std::string answeredOtherwise =
      " Azeri_Cyrillic_Azerbaijan Bengali_Bangladesh Chinese_Traditional K_iche_Guatemala Mongolian"
      " Mongolian_Cyrillic_Mongolia Quechua_Bolivia Quechua_Ecuador Quechua_Peru Serbian Spanish"
      " Tamazight_Latin_Algeria Tamil Tamil_India Uzbek_Cyrillic_Uzbekistan ";
  size_t checked = 0;
  for (size_t i = 0; i < kLocaleTableSize; ++i) {
    const LocaleRow& row = kLocaleTable[i];
    char answer[16] = "";
    if (answeredOtherwise.find(' ' + std::string(row.name) + ' ') != std::string::npos ||
        !GetLocaleInfoA(MAKELCID(row.languageId, SORT_DEFAULT), LOCALE_SABBREVLANGNAME, answer,
                        sizeof answer))
      continue;
    ++checked;
    EXPECT_STREQ(answer, row.abbreviation) << row.name;
  }
  EXPECT_GT(checked, kLocaleTableSize * 9 / 10);
}

}  // namespace
