#include "i18n/LocaleTable.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>

#include "fakes/ScriptedPrompts.h"

namespace {

TEST(LocaleTable, HoldsEveryRowInItsOrder) {
  ASSERT_EQ(kLocaleTableSize, 273u);
  EXPECT_STREQ(kLocaleTable[0].name, "Afrikaans");
  EXPECT_STREQ(kLocaleTable[kLocaleTableSize - 1].name, "Yoruba_Nigeria");
  for (size_t i = 0; i < kLocaleTableSize; ++i) {
    const LocaleRow& row = kLocaleTable[i];
    EXPECT_LE(strlen(row.name), 63u) << row.name;
    ASSERT_EQ(strlen(row.abbreviation), 3u) << row.name;
    for (int c = 0; c < 3; ++c) EXPECT_TRUE(isupper(row.abbreviation[c])) << row.name;
    if (strcmp(row.name, "K_iche_Guatemala") == 0) {
      EXPECT_STREQ(kLocaleTable[i - 1].name, "Khmer_Cambodia");
    }
  }
}

struct ResolveCase {
  const char* name;
  LanguageFileEncoding encoding;
  bool found;
  const char* runtimeLocale;
  int primaryLanguage;
  int subLanguage;
};

TEST(ResolveLocale, MatchesNamesAndAbbreviationsFirstRowFirst) {
  const ResolveCase cases[] = {
      {"French", LanguageFileEncoding::Ansi, true, "fra", 0x0C, 0},
      {"fra", LanguageFileEncoding::Ansi, true, "fra", 0x0C, 0},
      {"FRENCH_CANADA", LanguageFileEncoding::Ansi, true, "frc", 0x0C, 3},
      // ENU is English's before English_United_States'.
      {"enu", LanguageFileEncoding::Ansi, true, "enu", 0x09, 0},
      {"English_utf-8", LanguageFileEncoding::Utf8, true, "english", 0x09, 1},
      {"ENGLISH", LanguageFileEncoding::Ansi, true, "english", 0x09, 1},
      {"Chinese_Simplified_unicode", LanguageFileEncoding::Unicode, true, "chs", 0x04, 0},
      {"Chinese_Traditional", LanguageFileEncoding::Ansi, true, "cht", 0x04, 0x1F},
      {"Serbian", LanguageFileEncoding::Ansi, true, "srb", 0x1A, 0x1F},
      {"Spanish_United States", LanguageFileEncoding::Ansi, true, "est", 0x0A, 0x15},
      {"K_iche_Guatemala", LanguageFileEncoding::Ansi, true, "qut", 0x86, 1},
      {"deu_unicode", LanguageFileEncoding::Unicode, true, "deu", 0x07, 0},
  };
  for (const ResolveCase& c : cases) {
    ScriptedPrompts prompts;
    LocaleMatch match = ResolveLocale(c.name, c.encoding);
    EXPECT_EQ(match.found, c.found) << c.name;
    EXPECT_EQ(match.runtimeLocale, c.runtimeLocale) << c.name;
    EXPECT_EQ(match.primaryLanguage, c.primaryLanguage) << c.name;
    EXPECT_EQ(match.subLanguage, c.subLanguage) << c.name;
    EXPECT_TRUE(prompts.Records().empty()) << c.name;
  }
}

struct UnknownCase {
  const char* name;
  LanguageFileEncoding encoding;
  const char* caption;
};

TEST(ResolveLocale, ReportsAnUnknownNameWithTheShortenedNameAsCaption) {
  const UnknownCase cases[] = {
      // The suffix is found anywhere, but the last six characters go.
      {"German_utf-8_x", LanguageFileEncoding::Utf8, "german_u"},
      {"_utf-8", LanguageFileEncoding::Utf8, ""},
      {"", LanguageFileEncoding::Ansi, ""},
      {"Klingon", LanguageFileEncoding::Ansi, "klingon"},
      {"utf", LanguageFileEncoding::Utf8, ""},
  };
  for (const UnknownCase& c : cases) {
    ScriptedPrompts prompts;
    LocaleMatch match = ResolveLocale(c.name, c.encoding);
    EXPECT_FALSE(match.found) << c.name;
    EXPECT_EQ(match.runtimeLocale, "") << c.name;
    ASSERT_EQ(prompts.Messages().size(), 1u) << c.name;
    const PromptRecord message = prompts.Messages()[0];
    EXPECT_EQ(message.text,
              "Your language file name may be not proper,\n please read the help file!");
    EXPECT_EQ(message.caption, c.caption) << c.name;
    EXPECT_EQ(message.owner, nullptr);
    EXPECT_EQ(message.type, static_cast<UINT>(MB_OK));
  }
}

}  // namespace
