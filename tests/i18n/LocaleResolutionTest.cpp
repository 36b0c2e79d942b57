#include "i18n/LocaleResolution.h"

#include <gtest/gtest.h>

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

}  // namespace
