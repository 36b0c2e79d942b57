// The main window's About, Help and Homepage commands, on the real window.

#include <gtest/gtest.h>

#include "app/HelpCommand.h"
#include "app/MainDialog.h"
#include "i18n/LanguageTestSupport.h"
#include "platform/Path.h"
#include "support/ScriptedDialog.h"

namespace {

class WindowCommandsTest : public LanguageTest {
 protected:
  GraphHandles graph;
};

TEST_F(WindowCommandsTest, AboutOpensFromItsCommandsInTheCurrentLanguage) {
  WriteLanguage("French",
                Ini({{"DIALOG", "IDC_BUTTON_ABOUT=A propos\r\nIDD_PROGRAM_CAPTION=Lumi"}}));
  ASSERT_TRUE(Start("French"));
  struct Case {
    UINT msg;
    WPARAM wp;
    UINT endWith;  // how the box is ended
    bool opens;
  };
  const Case cases[] = {
      {WM_COMMAND, MAKEWPARAM(IDC_BUTTON_ABOUT, BN_CLICKED), IDOK, true},
      {WM_COMMAND, IDM_ABOUT, WM_CLOSE, true},
      {WM_SYSCOMMAND, 0x10, IDCANCEL, true},
      {WM_SYSCOMMAND, 0x13, IDOK, true},
      {WM_SYSCOMMAND, 0x20, IDOK, false},
  };
  MainDialog dialog(profile, languages, graph);
  RunScripted(dialog, [&](HWND hwnd) {
    for (const Case& c : cases) {
      SCOPED_TRACE(c.wp);
      std::string caption, product;
      HWND owner = nullptr;
      bool opened = DriveNested([&] { SendMessageA(hwnd, c.msg, c.wp, 0); }, IDC_STATIC_PRODUCT,
                                [&](HWND about) {
                                  char text[64] = "";
                                  GetWindowTextA(about, text, sizeof text);
                                  caption = text;
                                  product = ControlText(about, IDC_STATIC_PRODUCT);
                                  owner = GetWindow(about, GW_OWNER);
                                  if (c.endWith == WM_CLOSE)
                                    SendMessageA(about, WM_CLOSE, 0, 0);
                                  else
                                    Click(about, static_cast<int>(c.endWith));
                                });
      EXPECT_EQ(opened, c.opens);
      if (!c.opens) continue;
      EXPECT_EQ(caption, "A propos");
      EXPECT_EQ(product, "Lumi");
      EXPECT_EQ(owner, hwnd);
    }
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
  });
}

TEST_F(WindowCommandsTest, HomepageTellsWhenTheShellCannotOpenIt) {
  const struct {
    INT_PTR shellResult;
    bool told;
  } cases[] = {{33, false}, {32, true}, {SE_ERR_NOASSOC, true}, {0, true}};
  MainDialog dialog(profile, languages, graph);
  RunScripted(dialog, [&](HWND hwnd) {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.shellResult);
      prompts.Clear();
      prompts.PlanShellResult(c.shellResult);
      Click(hwnd, IDC_BUTTON_HOMEPAGE);
      const std::vector<PromptRecord>& records = prompts.Records();
      ASSERT_EQ(records.size(), c.told ? 2u : 1u);
      EXPECT_EQ(records[0].kind, PromptRecord::Kind::Shell);
      EXPECT_EQ(records[0].caption, "open");
      EXPECT_EQ(records[0].owner, nullptr);
      EXPECT_EQ(records[0].type, static_cast<UINT>(SW_SHOWNORMAL));
      if (!c.told) continue;
      EXPECT_EQ(records[1].caption, "unknown errors");
      EXPECT_EQ(records[1].text, "The Program does not launch your web browser to access " +
                                     records[0].text +
                                     " ,\nPlease launch your web browser and input the URL "
                                     "manually.");
      EXPECT_EQ(records[1].owner, hwnd);
    }
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
  });
}

TEST_F(WindowCommandsTest, HelpStartsTheViewerOnTheFileBesideTheProgram) {
  MainDialog dialog(profile, languages, graph);
  RunScripted(dialog, [&](HWND hwnd) {
    prompts.Clear();
    Click(hwnd, IDC_BUTTON_HELP);
    SendMessageA(hwnd, WM_COMMAND, ID_HELP, 0);
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
  });
  ASSERT_EQ(prompts.Records().size(), 2u);
  for (const PromptRecord& r : prompts.Records()) {
    EXPECT_EQ(r.kind, PromptRecord::Kind::Program);
    // This folder holds no blank: the plain form.
    EXPECT_EQ(r.text, "hh.exe " + path::ModuleFolder() + "\\help.chm::/Introduction.htm");
    EXPECT_EQ(r.type, static_cast<UINT>(SW_SHOW));
  }
}

TEST(HelpCommandLine, QuotesAFolderWithBlanksOnly) {
  const struct {
    const char* folder;
    const char* commandLine;
  } cases[] = {
      {"C:\\Tools\\Bin\\", "hh.exe C:\\Tools\\Bin\\help.chm::/Introduction.htm"},
      {"C:\\Program Files\\Lumaweave\\",
       "hh.exe \"C:\\Program Files\\Lumaweave\\help.chm::/Introduction.htm\""},
      {"C:\\", "hh.exe C:\\help.chm::/Introduction.htm"},
  };
  for (const auto& c : cases) EXPECT_EQ(HelpCommandLine(c.folder), c.commandLine) << c.folder;
}

}  // namespace
