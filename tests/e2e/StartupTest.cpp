// The real program, started with an empty registry or a stored language and
// watched from outside.

#include <gtest/gtest.h>
#include <shlobj.h>

#include <utility>
#include <vector>

#include "e2e/ProgramDriver.h"
#include "platform/AppProfile.h"
#include "res/resource.h"

namespace {

constexpr DWORD kStartTimeoutMs = 30000;

std::string MyVideoFolder() {
  char folder[MAX_PATH] = "";
  SHGetFolderPathA(nullptr, CSIDL_MYVIDEO, nullptr, 0, folder);
  return folder;
}

// The caption and texts come from the language files beside the program,
// which are Windows-1252 text; the language shown is stored at the close.
TEST(Startup, ShowsTheDefaultsInTheStoredLanguageAndCloseStoresIt) {
  const struct {
    const char* stored;  // nullptr: a first start
    const char* caption;
    std::vector<std::pair<int, std::string>> texts;
    const char* storedAtClose;
  } cases[] = {
      {nullptr,
       "RoroVozaririd",
       {{IDC_STATIC_SOURCE_LINE, "00:00:00"},
        {IDC_BUTTON_ADD_VIDEO, "Open Video"},
        {IDC_STATIC_SUMMARY_LINE,
         "Output file: " + MyVideoFolder() + "\\output.wmv     Resolution: Original size"}},
       "english"},
      {"French",
       "RoroVozaririd - Convertisseur vid\xE9o",
       {{IDC_BUTTON_ADD_VIDEO, "Ouvrir une vid\xE9o"},
        {IDC_BUTTON_OUTPUT_SETTINGS, "Options"},
        {IDC_BUTTON_CONVERT, "Convertir"},
        {IDC_BUTTON_HELP, "Aide"},
        {IDC_BUTTON_HOMEPAGE, "Site web"},
        {IDC_BUTTON_ABOUT, "\xC0 propos"},
        {IDC_BUTTON_EXIT, "Quitter"},
        {IDC_STATIC_SUMMARY_LINE, "Fichier de sortie : " + MyVideoFolder() +
                                      "\\output.wmv     R\xE9solution : Taille d'origine"}},
       "French"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.storedAtClose);
    AppProfile program("BrimvaleStudio", "RoroVozaririd");
    ASSERT_TRUE(program.DeleteApplicationKey());
    if (c.stored) {
      ASSERT_TRUE(program.WriteString("Option", "CurrentLanguage", c.stored));
    }

    ProgramDriver driver;
    ASSERT_TRUE(driver.Start(ProgramDriver::ProgramPath())) << ProgramDriver::ProgramPath();
    HWND main = driver.WaitForWindow(c.caption, kStartTimeoutMs);
    ASSERT_NE(main, nullptr) << "no main window with the caption " << c.caption;
    for (const auto& [id, text] : c.texts) EXPECT_EQ(ProgramDriver::Text(main, id), text) << id;
    EXPECT_FALSE(ProgramDriver::Visible(main, IDC_BUTTON_BUILD_FILTERS));
    EXPECT_TRUE(ProgramDriver::Visible(main, IDC_BUTTON_CONVERT));
    EXPECT_TRUE(ProgramDriver::SaveScreenshot(
        main, ProgramDriver::ScreenshotFolder() + "\\main-window-" + c.storedAtClose + ".bmp"));

    EXPECT_TRUE(driver.Close(main, kStartTimeoutMs)) << "the close request was ignored";
    EXPECT_EQ(program.GetString("Option", "CurrentLanguage", ""), c.storedAtClose);
  }
}

}  // namespace
