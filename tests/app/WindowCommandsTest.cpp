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
  const auto ok = [](HWND about) { Click(about, IDOK); };
  const struct Case {
    UINT msg;
    WPARAM wp;
    bool opens;
    std::function<void(HWND)> end;
  } cases[] = {
      {WM_COMMAND, MAKEWPARAM(IDC_BUTTON_ABOUT, BN_CLICKED), true, ok},
      {WM_COMMAND, IDM_ABOUT, true, [](HWND about) { SendMessageA(about, WM_CLOSE, 0, 0); }},
      {WM_SYSCOMMAND, 0x10, true, [](HWND about) { Click(about, IDCANCEL); }},
      {WM_SYSCOMMAND, 0x13, true, ok},
      {WM_SYSCOMMAND, 0x20, false, ok},
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
                                  c.end(about);
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

TEST_F(WindowCommandsTest, HelpAndHomepageLaunchThroughTheShell) {
  MainDialog dialog(profile, languages, graph);
  RunScripted(dialog, [&](HWND hwnd) {
    prompts.Clear();
    Click(hwnd, IDC_BUTTON_HELP);
    SendMessageA(hwnd, WM_COMMAND, ID_HELP, 0);
    for (INT_PTR shellResult : {33, 32}) {  // 32 and less: the shell failed
      prompts.PlanShellResult(shellResult);
      Click(hwnd, IDC_BUTTON_HOMEPAGE);
    }
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
  });
  const std::vector<PromptRecord> r = prompts.Records();
  ASSERT_EQ(r.size(), 5u);
  // This folder holds no blank: the plain form.
  const std::string help = "hh.exe " + path::ModuleFolder() + "\\help.chm::/Introduction.htm";
  for (const PromptRecord& launch : {r[0], r[1]}) {
    EXPECT_EQ(launch.kind, PromptRecord::Kind::Program);
    EXPECT_EQ(launch.text, help);
    EXPECT_EQ(launch.type, static_cast<UINT>(SW_SHOW));
  }
  for (const PromptRecord& open : {r[2], r[3]}) {
    EXPECT_EQ(open.kind, PromptRecord::Kind::Shell);
    EXPECT_EQ(open.caption, "open");
    EXPECT_EQ(open.owner, nullptr);
    EXPECT_EQ(open.type, static_cast<UINT>(SW_SHOWNORMAL));
  }
  EXPECT_EQ(r[4].caption, "unknown errors");
  EXPECT_EQ(r[4].text, "The Program does not launch your web browser to access " + r[3].text +
                           " ,\nPlease launch your web browser and input the URL manually.");
}

TEST(HelpCommandLine, QuotesAFolderWithBlanksOnly) {
  const struct {
    const char* folder;
    const char* commandLine;
  } cases[] = {
      {"C:\\Tools\\Bin\\", "hh.exe C:\\Tools\\Bin\\help.chm::/Introduction.htm"},
      {"C:\\Program Files\\Lumaweave\\",
       "hh.exe \"C:\\Program Files\\Lumaweave\\help.chm::/Introduction.htm\""},
  };
  for (const auto& c : cases) EXPECT_EQ(HelpCommandLine(c.folder), c.commandLine) << c.folder;
}

}  // namespace
