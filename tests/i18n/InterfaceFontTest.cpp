#include "i18n/InterfaceFont.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/MainDialog.h"
#include "i18n/LanguageMenu.h"
#include "i18n/LanguageTestSupport.h"
#include "platform/Str.h"
#include "support/ScriptedDialog.h"

namespace {

LOGFONTA DescriptionOf(HFONT font) {
  LOGFONTA description = {};
  EXPECT_EQ(GetObjectA(font, sizeof description, &description),
            static_cast<int>(sizeof description));
  return description;
}

HFONT FontOf(HWND dialog, int id) {
  return reinterpret_cast<HFONT>(SendDlgItemMessageA(dialog, id, WM_GETFONT, 0, 0));
}

LOGFONTA BoldChoice() {
  LOGFONTA font = {};
  font.lfHeight = -15;
  font.lfWeight = FW_BOLD;
  font.lfItalic = 1;
  font.lfCharSet = EASTEUROPE_CHARSET;  // 238: above 127, stored unsigned
  font.lfQuality = CLEARTYPE_QUALITY;
  str::Copy(font.lfFaceName, "Tahoma");
  return font;
}

class InterfaceFontTest : public LanguageTest {
 protected:
  GraphHandles graph;
};

TEST_F(InterfaceFontTest, AFreshLanguageHasTheDefaultFont) {
  WriteLanguage("english", "");
  ASSERT_TRUE(Start("english"));
  ASSERT_NE(languages.InterfaceFontHandle(), nullptr);
  LOGFONTA font = DescriptionOf(languages.InterfaceFontHandle());
  EXPECT_STREQ(font.lfFaceName, "Microsoft Sans Serif");
  EXPECT_EQ(font.lfHeight, -11);
  EXPECT_EQ(font.lfWidth, 0);
  EXPECT_EQ(font.lfWeight, FW_NORMAL);
  EXPECT_EQ(font.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(font.lfItalic + font.lfUnderline + font.lfStrikeOut, 0);
  EXPECT_FALSE(profile.HasValue("english", "lfHeight"));
  EXPECT_TRUE(prompts.Records().empty());
}

TEST_F(InterfaceFontTest, StoredValuesBuildTheFontWithDefaultQuality) {
  WriteLanguage("english", "");
  profile.WriteInt("english", "lfHeight", -20);
  profile.WriteInt("english", "lfUnderline", 1);
  profile.WriteInt("english", "lfCharSet", 204);
  profile.WriteString("english", "lfFaceName", std::string(40, 'F').c_str());
  ASSERT_TRUE(Start("english"));
  LOGFONTA font = DescriptionOf(languages.InterfaceFontHandle());
  EXPECT_EQ(font.lfHeight, -20);
  EXPECT_EQ(font.lfUnderline, 1);
  EXPECT_EQ(font.lfCharSet, 204);
  EXPECT_EQ(font.lfWeight, FW_NORMAL);
  EXPECT_EQ(font.lfQuality, DEFAULT_QUALITY);
  // A face name longer than the field is cut to 31 characters.
  EXPECT_EQ(std::string(font.lfFaceName), std::string(31, 'F'));
}

struct CutCase {
  const char* text;
  size_t size;
  UINT codePage;
  const char* expected;
  bool whole;
};

TEST(CopyWholeCharacters, NeverSplitsADoubleByteCharacter) {
  const CutCase cases[] = {
      {"abcdef", 4, 1252, "abc", false},
      {"abc", 4, 1252, "abc", true},
      {"a\x82\xA0\x82\xA0", 5, 932, "a\x82\xA0", false},
      {"ab\x82\xA0", 5, 932, "ab\x82\xA0", true},
      {"ab\x82\xA0", 5, 1252, "ab\x82\xA0", true},
      {"abc\x82\xA0", 5, 1252, "abc\x82", false},
      {"", 1, 932, "", true},
  };
  for (const CutCase& c : cases) {
    char buffer[8];
    memset(buffer, 'Z', sizeof buffer);
    EXPECT_EQ(CopyWholeCharacters(buffer, c.size, c.text, c.codePage), c.whole) << c.text;
    EXPECT_STREQ(buffer, c.expected) << c.text;
  }
}

// Chosen under english (after a cancelled choice), stored under english only,
// back after a round trip through French, which keeps its own (default) font.
TEST_F(InterfaceFontTest, AChosenFontBelongsToItsLanguage) {
  WriteLanguage("English", Ini({{"DIALOG", "IDC_BUTTON_EXIT=Exit"}}));
  WriteLanguage("French", Ini({{"DIALOG", "IDC_BUTTON_EXIT=Quitter"}}));
  ASSERT_TRUE(Start("english"));
  MainDialog dialog(profile, languages, graph);
  RunScripted(dialog, [&](HWND hwnd) {
    // A cancelled font dialog changes nothing.
    HFONT before = FontOf(hwnd, IDC_BUTTON_EXIT);
    prompts.PlanFontAnswer(std::nullopt);
    Click(hwnd, IDM_POPUPMENU_FONT);
    EXPECT_EQ(FontOf(hwnd, IDC_BUTTON_EXIT), before);
    EXPECT_EQ(languages.InterfaceFontHandle(), before);
    EXPECT_FALSE(profile.HasValue("english", "lfHeight"));

    prompts.Clear();
    prompts.PlanFontAnswer(BoldChoice());
    Click(hwnd, IDM_POPUPMENU_FONT);
    ASSERT_EQ(prompts.Records().size(), 1u);
    EXPECT_EQ(prompts.Records()[0].kind, PromptRecord::Kind::Font);
    EXPECT_EQ(prompts.Records()[0].owner, hwnd);
    EXPECT_EQ(prompts.Records()[0].type & (CF_SCREENFONTS | CF_EFFECTS),
              static_cast<UINT>(CF_SCREENFONTS | CF_EFFECTS));
    HFONT bold = FontOf(hwnd, IDC_BUTTON_EXIT);
    EXPECT_EQ(bold, languages.InterfaceFontHandle());
    EXPECT_EQ(DescriptionOf(bold).lfWeight, FW_BOLD);
    EXPECT_EQ(profile.GetInt("english", "lfWeight", 0), FW_BOLD);
    EXPECT_EQ(profile.GetInt("english", "lfCharSet", 0), 238);
    EXPECT_EQ(profile.GetString("english", "lfFaceName", ""), "Tahoma");
    EXPECT_FALSE(profile.HasValue("english", "lfQuality"));

    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(kFirstLanguageCommand + 1, 0), 0);
    EXPECT_EQ(DescriptionOf(FontOf(hwnd, IDC_BUTTON_EXIT)).lfWeight, FW_NORMAL);
    EXPECT_FALSE(profile.HasValue("French", "lfWeight"));
    // A replaced font stays valid for controls that still hold it.
    EXPECT_EQ(GetObjectType(bold), static_cast<DWORD>(OBJ_FONT));

    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(kFirstLanguageCommand, 0), 0);
    LOGFONTA back = DescriptionOf(FontOf(hwnd, IDC_BUTTON_EXIT));
    EXPECT_EQ(back.lfWeight, FW_BOLD);
    EXPECT_EQ(back.lfHeight, -15);
    EXPECT_EQ(back.lfItalic, 1);
    EXPECT_EQ(back.lfCharSet, EASTEUROPE_CHARSET);
    EXPECT_EQ(back.lfQuality, DEFAULT_QUALITY);
    EXPECT_STREQ(back.lfFaceName, "Tahoma");
  });
}

}  // namespace
