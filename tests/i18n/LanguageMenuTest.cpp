#include "i18n/LanguageMenu.h"

#include <gtest/gtest.h>

#include "app/MainDialog.h"
#include "i18n/LanguageTestSupport.h"
#include "i18n/Localization.h"
#include "platform/Str.h"
#include "support/ScriptedDialog.h"

namespace {

const std::string kEnglish = Ini({{"DIALOG", "IDC_BUTTON_EXIT=Exit"}});
const std::string kFrench = Ini(
    {{"MENU", "IDM_SELECT_LANGUAGE=Langue\r\nIDM_POPUPMENU_FONT=Police\r\nIDM_ABOUT=\xC0 propos"},
     {"DIALOG",
      "IDD_PROGRAM_CAPTION=Convertisseur\r\nIDC_BUTTON_EXIT=Quitter\r\nIDC_BUTTON_HELP=Aide"},
     {"STRING",
      "IDS_MESSAGE_RESTART_PROGRAM=Veuillez red\xE9marrer\r\nIDS_MESSAGE_WARNING=Attention"}});

class LanguageMenuTest : public LanguageTest {
 protected:
  // The popup of menu 131 after FillLanguageMenu; the caller destroys bar.
  HMENU FilledPopup(HMENU& bar) {
    bar = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MENU_LANGUAGE_POPUP));
    HMENU popup = GetSubMenu(bar, 0);
    EXPECT_TRUE(FillLanguageMenu(bar, popup, languages));
    return popup;
  }

  GraphHandles graph;
};

TEST_F(LanguageMenuTest, ListsEveryLanguageAndChecksTheCurrentOne) {
  WriteLanguage("English", kEnglish);
  WriteLanguage("French", kFrench);
  WriteLanguage("deu_unicode", "");
  ASSERT_TRUE(Start("english"));
  HMENU bar = nullptr;
  HMENU popup = FilledPopup(bar);
  EXPECT_EQ(Items(GetSubMenu(popup, 0)), (std::vector<MenuItem>{{45400, "English", true},
                                                                {45401, "French", false},
                                                                {45402, "deu_unicode", false}}));
  EXPECT_EQ(Items(popup)[1], (MenuItem{IDM_POPUPMENU_FONT, "Font", false}));
  DestroyMenu(bar);

  languages.SelectLanguage("FRENCH");
  popup = FilledPopup(bar);
  EXPECT_EQ(Items(GetSubMenu(popup, 0)), (std::vector<MenuItem>{{45400, "English", false},
                                                                {45401, "French", true},
                                                                {45402, "deu_unicode", false}}));
  std::vector<MenuItem> items = Items(popup);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].text, "Langue");
  EXPECT_EQ(items[1], (MenuItem{IDM_POPUPMENU_FONT, "Police", false}));
  EXPECT_EQ(items[2], (MenuItem{IDM_ABOUT, "\xC0 propos", false}));
  DestroyMenu(bar);
}

TEST_F(LanguageMenuTest, WithoutLanguageFilesTheSubmenuIsEmptyAndTextsBuiltIn) {
  ASSERT_FALSE(Start("english"));
  HMENU bar = nullptr;
  HMENU popup = FilledPopup(bar);
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(popup, 0)), 0);
  std::vector<MenuItem> items = Items(popup);
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].text, "Language");
  EXPECT_EQ(items[1].text, "Font");
  EXPECT_EQ(items[2].text, "About");
  DestroyMenu(bar);
}

TEST_F(LanguageMenuTest, LanguageCommandSwitchesAndAsksForARestartInTheNewLanguage) {
  WriteLanguage("English", kEnglish);
  WriteLanguage("French", kFrench);
  ASSERT_TRUE(Start("english"));
  MainDialog dialog(profile, languages, graph);
  RunScripted(dialog, [&](HWND hwnd) {
    std::string summary = ControlText(hwnd, IDC_STATIC_SUMMARY_LINE);
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(45401, 0), 0);
    EXPECT_EQ(languages.CurrentLanguage(), "French");
    EXPECT_EQ(Caption(hwnd), "Convertisseur");
    EXPECT_EQ(ControlText(hwnd, IDC_BUTTON_EXIT), "Quitter");
    EXPECT_EQ(ControlText(hwnd, IDC_STATIC_SUMMARY_LINE), summary);
    EXPECT_EQ(ControlText(hwnd, IDC_STATIC_SOURCE_LINE), "00:00:00");
    EXPECT_TRUE(prompts.ShowedOneMessage("Veuillez red\xE9marrer", "Attention", hwnd));
    // The current language again: reloaded, translated, and the same question.
    SetWindowTextA(hwnd, "changed");
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(45401, 0), 0);
    EXPECT_EQ(Caption(hwnd), "Convertisseur");
    EXPECT_EQ(prompts.Messages().size(), 2u);
    // Back to English, whose file lacks both texts: the built-in ones ask.
    prompts.Clear();
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(45400, 0), 0);
    EXPECT_TRUE(
        prompts.ShowedOneMessage(BuiltInString(IDS_MESSAGE_RESTART_PROGRAM), "Warning", hwnd));
    // The caption and Help have no English text: the French ones stay until a restart.
    EXPECT_EQ(Caption(hwnd), "Convertisseur");
    EXPECT_EQ(ControlText(hwnd, IDC_BUTTON_HELP), "Aide");
    EXPECT_EQ(ControlText(hwnd, IDC_BUTTON_EXIT), "Exit");
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(profile.GetString("Option", "CurrentLanguage", ""), "English");
}

TEST_F(LanguageMenuTest, OtherCommandsAreNotLanguageCommands) {
  WriteLanguage("English", kEnglish);
  WriteLanguage("French", kFrench);
  ASSERT_TRUE(Start("english"));
  MainDialog dialog(profile, languages, graph);
  RunScripted(dialog, [&](HWND hwnd) {
    for (UINT command : {45399u, 45402u, 46399u, 46400u, static_cast<UINT>(IDC_BUTTON_HELP)})
      SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(command, 0), 0);
    EXPECT_EQ(languages.CurrentLanguage(), "english");
    EXPECT_TRUE(prompts.Messages().empty());
    EXPECT_FALSE(dialog.Ending());
  });
}

// Language texts are data: a "%" in them is shown, never interpreted.
TEST_F(LanguageMenuTest, LanguageTextsWithFormatSequencesAreShownAsTheyAre) {
  WriteLanguage("English", Ini({{"STRING",
                                 "IDS_MESSAGE_OUTPUT_FILE=%s%n%d Out:\r\n"
                                 "IDS_MESSAGE_ORIGINAL_SIZE=100%\r\n"
                                 "IDS_MESSAGE_RESTART_PROGRAM=%n%s restart %x"}}));
  ASSERT_TRUE(Start("english"));
  MainDialog dialog(profile, languages, graph);
  RunScripted(dialog, [&](HWND hwnd) {
    std::string summary = ControlText(hwnd, IDC_STATIC_SUMMARY_LINE);
    EXPECT_EQ(summary.rfind("%s%n%d Out: ", 0), 0u) << summary;
    const std::string end = "     Resolution: 100%";
    ASSERT_GT(summary.size(), end.size());
    EXPECT_EQ(summary.substr(summary.size() - end.size()), end) << summary;
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(45400, 0), 0);
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages()[0].text, "%n%s restart %x");
  });
}

// What a language folder may hold besides languages: a folder named like a
// file, binary junk, a 2 MB text, and more files than the menu has commands.
TEST_F(LanguageMenuTest, AnOddLanguageFolderListsWhatCanBeChosen) {
  WriteLanguage("English", Ini({{"STRING", "IDS_MESSAGE_ERROR=" + std::string(2 << 20, 'e')}}));
  std::string junk(4096, '\0');
  for (size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<char>(i * 7919 >> 3);
  WriteLanguage("Junk", junk);
  folder.Write("language\\Folder.ini\\inside.txt", "");
  for (int i = 0; i < 1000; ++i) WriteLanguage(str::Printf("L%04d", i), "");
  ASSERT_TRUE(Start("english"));
  EXPECT_EQ(GetLocalizedString(IDS_MESSAGE_ERROR), std::string(2047, 'e'));
  ASSERT_EQ(languages.LanguageCount(), 1002u);
  HMENU bar = nullptr;
  const std::vector<MenuItem> items = Items(GetSubMenu(FilledPopup(bar), 0));
  DestroyMenu(bar);
  ASSERT_EQ(items.size(), 1000u) << "more items than language commands";
  EXPECT_EQ(items.front(), (MenuItem{kFirstLanguageCommand, "English", true}));
  EXPECT_EQ(items.back(), (MenuItem{kLastLanguageCommand, "L0997", false}));

  MainDialog dialog(profile, languages, graph);
  RunScripted(dialog, [&](HWND hwnd) {
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(kFirstLanguageCommand + 1, 0), 0);
    EXPECT_EQ(languages.CurrentLanguage(), "Junk");
    EXPECT_EQ(GetLocalizedString(IDS_MESSAGE_ERROR), "Error") << "junk gave no texts";
    SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(kLastLanguageCommand, 0), 0);
    EXPECT_EQ(languages.CurrentLanguage(), "L0997");
  });
}

struct OpenMenu {
  bool seen = false;
  RECT rect = {};
  std::vector<MenuItem> popup;
  std::vector<MenuItem> languages;
};
OpenMenu* g_openMenu = nullptr;

void CALLBACK LookAtOpenMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND window = FindWindowA("#32768", nullptr);
  if (!window || !IsWindowVisible(window)) return;  // not open yet
  KillTimer(nullptr, timer);
  HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
  g_openMenu->seen = true;
  GetWindowRect(window, &g_openMenu->rect);
  g_openMenu->popup = Items(menu);
  g_openMenu->languages = Items(GetSubMenu(menu, 0));
  EndMenu();
}

TEST_F(LanguageMenuTest, RightButtonReleaseOpensTheMenuAtThePoint) {
  WriteLanguage("English", kEnglish);
  WriteLanguage("French", kFrench);
  ASSERT_TRUE(Start("French"));
  MainDialog dialog(profile, languages, graph);
  OpenMenu open;
  POINT at = {40, 200};
  RunScripted(dialog, [&](HWND hwnd) {
    g_openMenu = &open;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, &LookAtOpenMenu);
    SendMessageA(hwnd, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    KillTimer(nullptr, timer);
    g_openMenu = nullptr;
    ClientToScreen(hwnd, &at);
  });
  ASSERT_TRUE(open.seen);
  EXPECT_EQ(open.rect.left, at.x);
  EXPECT_EQ(open.rect.top, at.y);
  ASSERT_EQ(open.popup.size(), 3u);
  EXPECT_EQ(open.popup[0].text, "Langue");
  EXPECT_EQ(open.popup[2], (MenuItem{IDM_ABOUT, "\xC0 propos", false}));
  EXPECT_EQ(open.languages,
            (std::vector<MenuItem>{{45400, "English", false}, {45401, "French", true}}));
}

}  // namespace
