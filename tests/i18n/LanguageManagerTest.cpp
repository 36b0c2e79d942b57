#include "i18n/LanguageManager.h"

#include <gtest/gtest.h>

#include <clocale>

#include "i18n/LanguageTestSupport.h"
#include "i18n/Localization.h"
#include "platform/Str.h"
#include "res/resource.h"

namespace {

const std::string kEnglish =
    Ini({{"STRING", "IDS_MESSAGE_ERROR=Trouble"}, {"DIALOG", "IDC_BUTTON_EXIT=Leave"}});

struct EncodingCase {
  const char* name;
  LanguageFileEncoding encoding;
};

TEST(LanguageManagerNames, EncodingComesFromTheNameAlone) {
  const EncodingCase cases[] = {
      {"French", LanguageFileEncoding::Ansi},
      {"French_UTF-8", LanguageFileEncoding::Utf8},
      {"x_unicode_y", LanguageFileEncoding::Unicode},
      {"a_unicode_utf-8", LanguageFileEncoding::Utf8},
      {"utf-8", LanguageFileEncoding::Ansi},
  };
  for (const EncodingCase& c : cases)
    EXPECT_EQ(LanguageManager::EncodingFromName(c.name), c.encoding) << c.name;
}

// The double-byte characters are those of the code page given.
TEST(LanguageManagerNames, UnescapesWithTheCodePagesLeadBytes) {
  const struct {
    const char* text;
    UINT codePage;
    const char* expected;
  } cases[] = {
      {"\x95\x5Cn", 932, "\x95\x5Cn"},
      {"\x95\x5Cn", 1252, "\x95\n"},
      {"\x95\x5Cn", CP_UTF8, "\x95\n"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(LanguageManager::UnescapeText(c.text, c.codePage), c.expected) << c.codePage;
}

class LanguageLoaderTest : public LanguageTest {};

TEST_F(LanguageLoaderTest, ListsTheFilesInByteOrder) {
  WriteLanguage("english", kEnglish);
  WriteLanguage("French", "");
  WriteLanguage("deu_unicode", "");
  folder.Write("language\\notes.txt", "");
  ASSERT_TRUE(Start("english"));
  ASSERT_EQ(languages.LanguageCount(), 3u);
  EXPECT_EQ(languages.LanguageName(0), "French");
  EXPECT_EQ(languages.LanguageName(1), "deu_unicode");
  EXPECT_EQ(languages.LanguageName(2), "english");
  EXPECT_EQ(languages.BaseDirectory(), folder.Path());
}

TEST_F(LanguageLoaderTest, FindsTheStoredNameWithoutRegardToCaseElseEnglish) {
  WriteLanguage("English", kEnglish);
  WriteLanguage("French", Ini({{"STRING", "IDS_MESSAGE_ERROR=Erreur"}}));
  const struct {
    const char* stored;
    const char* current;
  } cases[] = {{"Klingon", "english"}, {"ENGLISH", "ENGLISH"}};
  for (const auto& c : cases) {
    ASSERT_TRUE(Start(c.stored));
    EXPECT_EQ(languages.CurrentLanguage(), c.current);
    EXPECT_EQ(languages.LanguageFilePath(), folder.Path() + "\\language\\" + c.current + ".ini");
    EXPECT_EQ(GetLocalizedString(IDS_MESSAGE_ERROR), "Trouble") << c.stored;
  }
  EXPECT_TRUE(prompts.Records().empty());
}

TEST_F(LanguageLoaderTest, WithoutAnEnglishFileTheBuiltInTextsAndUsEnglishServe) {
  WriteLanguage("French", Ini({{"STRING", "IDS_MESSAGE_ERROR=Erreur"}}));
  ASSERT_TRUE(Start("French"));
  languages.SelectLanguage("Klingon");
  EXPECT_EQ(languages.CurrentLanguage(), "english");
  EXPECT_EQ(GetLocalizedString(IDS_MESSAGE_ERROR), "Error");
  EXPECT_EQ(languages.LanguageId(), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
  EXPECT_EQ(PRIMARYLANGID(LANGIDFROMLCID(GetThreadLocale())), LANG_ENGLISH);
}

TEST_F(LanguageLoaderTest, EveryKeyIsLookedUpInItsOwnSectionOnly) {
  WriteLanguage("english", Ini({{"DIALOG", "IDS_MESSAGE_ERROR=Wrong\r\nIDC_BUTTON_STOP=Halt"},
                                {"STRING", "IDC_BUTTON_EXIT=Wrong\r\nIDS_MESSAGE_WARNING=Careful"},
                                {"MENU", "IDM_ABOUT=Info"}}));
  ASSERT_TRUE(Start("english"));
  EXPECT_EQ(GetLocalizedString(IDS_MESSAGE_ERROR), "Error");
  EXPECT_EQ(GetLocalizedString(IDS_MESSAGE_WARNING), "Careful");
  EXPECT_EQ(FindDialogText(IDC_BUTTON_EXIT), "");
  EXPECT_EQ(GetLocalizedDialogText(IDS_BUTTON_STOP), "Halt");
  EXPECT_EQ(FindMenuText(IDM_ABOUT), "Info");
}

TEST_F(LanguageLoaderTest, KeysReadTwiceGiveTheSameTextToBothIds) {
  WriteLanguage("english", Ini({{"DIALOG",
                                 "IDD_PROGRAM_CAPTION=Caption\r\nIDC_BUTTON_CONVERT=Go\r\n"
                                 "IDC_BUTTON_ABOUT=Info"}}));
  ASSERT_TRUE(Start("english"));
  EXPECT_EQ(FindDialogText(IDD_MAIN_DIALOG), "Caption");
  EXPECT_EQ(FindDialogText(IDC_STATIC_PRODUCT), "Caption");
  EXPECT_EQ(FindDialogText(IDC_BUTTON_CONVERT), "Go");
  EXPECT_EQ(GetLocalizedDialogText(IDS_BUTTON_CONVERT), "Go");
  EXPECT_EQ(FindDialogText(IDD_ABOUTBOX), "Info");
  EXPECT_EQ(FindDialogText(IDC_BUTTON_ABOUT), "Info");
}

TEST_F(LanguageLoaderTest, EscapesInValuesBecomeControlCharacters) {
  WriteLanguage("english", Ini({{"STRING",
                                 "IDS_MESSAGE_RESTART_PROGRAM=Please\\nrestart\r\n"
                                 "IDS_MESSAGE_WARNING=\\\\tWarning"}}));
  ASSERT_TRUE(Start("english"));
  EXPECT_EQ(GetLocalizedString(IDS_MESSAGE_RESTART_PROGRAM), "Please\nrestart");
  EXPECT_EQ(GetLocalizedString(IDS_MESSAGE_WARNING), "\\\tWarning");
}

TEST_F(LanguageLoaderTest, ValuesAreCutAt2047Characters) {
  std::string longText(3000, 'x');
  longText[2046] = 'y';
  WriteLanguage("english", Ini({{"STRING", "IDS_MESSAGE_NOT_OPEN_FILE=" + longText}}));
  ASSERT_TRUE(Start("english"));
  std::string text = GetLocalizedString(IDS_MESSAGE_NOT_OPEN_FILE);
  ASSERT_EQ(text.size(), 2047u);
  EXPECT_EQ(text.back(), 'y');
}

TEST_F(LanguageLoaderTest, WithoutALanguageFolderEveryTextIsBuiltIn) {
  EXPECT_FALSE(Start("english"));
  EXPECT_EQ(languages.LanguageCount(), 0u);
  EXPECT_EQ(languages.CurrentLanguage(), "english");
  EXPECT_TRUE(languages.DialogTexts().empty());
  EXPECT_EQ(languages.InterfaceFontHandle(), nullptr);
  EXPECT_EQ(GetLocalizedString(IDS_MESSAGE_ERROR), "Error");
  EXPECT_EQ(GetLocalizedDialogText(IDS_BUTTON_STOP), "Stop");
  EXPECT_EQ(GetLocalizedString(999), "");
  EXPECT_EQ(FindDialogText(IDC_BUTTON_EXIT), "");
  EXPECT_TRUE(prompts.Records().empty());
}

TEST_F(LanguageLoaderTest, UnknownNameIsReportedAndLoadedAllTheSame) {
  WriteLanguage("Klingon", Ini({{"STRING", "IDS_MESSAGE_ERROR=Qagh"}}));
  ASSERT_TRUE(Start("Klingon"));
  EXPECT_EQ(languages.CurrentLanguage(), "Klingon");
  EXPECT_EQ(GetLocalizedString(IDS_MESSAGE_ERROR), "Qagh");
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].caption, "klingon");
  // The previous language's identifier stays.
  EXPECT_EQ(languages.LanguageId(), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
}

TEST_F(LanguageLoaderTest, LanguageSetsTheLocalesButNumbersStayEnglish) {
  WriteLanguage("French", Ini({{"STRING", "IDS_MESSAGE_ERROR=Erreur"}}));
  ASSERT_TRUE(Start("French"));
  EXPECT_EQ(PRIMARYLANGID(LANGIDFROMLCID(GetThreadLocale())), LANG_FRENCH);
  EXPECT_NE(std::string(setlocale(LC_CTYPE, nullptr)).find("French"), std::string::npos);
  EXPECT_STREQ(localeconv()->decimal_point, ".");
  EXPECT_EQ(str::Printf("%.3f", 23.976), "23.976");
}

// A "_utf-8" file's texts reach the interface in the code page of the
// language's locale; texts that the reader decoded already stay as they are.
TEST_F(LanguageLoaderTest, Utf8TextsAreConvertedToTheLanguagesCodePage) {
  const std::string russian =
      Ini({{"STRING", "IDS_MESSAGE_ERROR=\xD0\x9E\xD1\x88\xD0\xB8\xD0\xB1\xD0\xBA\xD0\xB0"}});
  const std::string french = Ini({{"STRING", "IDS_MESSAGE_ERROR=Arr\xC3\xAAt \xE2\x82\xAC"}});
  WriteLanguage("Russian_utf-8", russian);
  WriteLanguage("French_utf-8", french);
  WriteLanguage("fra_utf-8", "\xEF\xBB\xBF[MENU]\r\n" + french);
  WriteLanguage("French", Ini({{"STRING", "IDS_MESSAGE_ERROR=Arr\xEAt \x80"}}));
  ASSERT_TRUE(Start("Russian_utf-8"));
  EXPECT_EQ(str::ThreadAnsiCodePage(), 1251u);
  EXPECT_EQ(GetLocalizedString(IDS_MESSAGE_ERROR), "\xCE\xF8\xE8\xE1\xEA\xE0");
  for (const char* name : {"French_utf-8", "fra_utf-8", "French"}) {
    languages.SelectLanguage(name);
    EXPECT_EQ(str::ThreadAnsiCodePage(), 1252u) << name;
    EXPECT_EQ(GetLocalizedString(IDS_MESSAGE_ERROR), "Arr\xEAt \x80") << name;
  }
  EXPECT_TRUE(prompts.Records().empty());
}

TEST_F(LanguageLoaderTest, ALanguageFolderAboveTheProgramWinsWhenItHoldsEnglish) {
  const std::string tools = folder.Path() + "\\Tools";
  const std::string program = tools + "\\Bin\\RoroVozaririd.exe";
  folder.Write("Tools\\Bin\\language\\English.ini", kEnglish);
  EXPECT_EQ(LanguageManager::ResolveLanguageRoot(program), tools + "\\Bin");
  folder.Write("Tools\\language\\French.ini", kEnglish);
  EXPECT_EQ(LanguageManager::ResolveLanguageRoot(program), tools + "\\Bin");
  folder.Write("Tools\\language\\English.ini", kEnglish);
  EXPECT_EQ(LanguageManager::ResolveLanguageRoot(program), tools);
}

}  // namespace
