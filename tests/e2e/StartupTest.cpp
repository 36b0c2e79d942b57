// The real program, started with an empty registry and watched from outside.

#include <gtest/gtest.h>
#include <shlobj.h>

#include <utility>

#include "e2e/ProgramDriver.h"
#include "platform/AppProfile.h"
#include "res/resource.h"

namespace {

constexpr DWORD kStartTimeoutMs = 30000;
// The captions that the shipped language files give the main window.
constexpr char kEnglishCaption[] = "RoroVozaririd";
constexpr char kFrenchCaption[] = "RoroVozaririd - Convertisseur vid\xE9o";

std::string MyVideoFolder() {
  char folder[MAX_PATH] = "";
  SHGetFolderPathA(nullptr, CSIDL_MYVIDEO, nullptr, 0, folder);
  return folder;
}

TEST(Startup, FirstStartShowsTheDefaultsAndCloseStoresTheLanguage) {
  AppProfile program("BrimvaleStudio", "RoroVozaririd");
  ASSERT_TRUE(program.DeleteApplicationKey());

  ProgramDriver driver;
  ASSERT_TRUE(driver.Start(ProgramDriver::ProgramPath())) << ProgramDriver::ProgramPath();
  HWND main = driver.WaitForWindow(kEnglishCaption, kStartTimeoutMs);
  ASSERT_NE(main, nullptr) << "the main window did not appear";

  EXPECT_EQ(ProgramDriver::Text(main, IDC_STATIC_SOURCE_LINE), "00:00:00");
  EXPECT_EQ(ProgramDriver::Text(main, IDC_STATIC_SUMMARY_LINE),
            "Output file: " + MyVideoFolder() + "\\output.wmv     Resolution: Original size");
  EXPECT_FALSE(ProgramDriver::Visible(main, IDC_BUTTON_BUILD_FILTERS));
  EXPECT_TRUE(ProgramDriver::Visible(main, IDC_BUTTON_CONVERT));
  EXPECT_EQ(ProgramDriver::Text(main, IDC_BUTTON_ADD_VIDEO), "Open Video");

  EXPECT_TRUE(ProgramDriver::SaveScreenshot(
      main, ProgramDriver::ScreenshotFolder() + "\\main-window-english.bmp"));

  PostMessageA(main, WM_CLOSE, 0, 0);
  DWORD exitCode = 1;
  ASSERT_TRUE(driver.WaitForExit(kStartTimeoutMs, &exitCode)) << "the close request was ignored";
  EXPECT_EQ(exitCode, 0u);
  EXPECT_EQ(program.GetString("Option", "CurrentLanguage", ""), "english");
}

// The language files beside the program are Windows-1252 text.
TEST(Startup, StoredFrenchLanguageShowsTheFrenchTexts) {
  AppProfile program("BrimvaleStudio", "RoroVozaririd");
  ASSERT_TRUE(program.DeleteApplicationKey());
  ASSERT_TRUE(program.WriteString("Option", "CurrentLanguage", "French"));

  ProgramDriver driver;
  ASSERT_TRUE(driver.Start(ProgramDriver::ProgramPath())) << ProgramDriver::ProgramPath();
  HWND main = driver.WaitForWindow(kFrenchCaption, kStartTimeoutMs);
  ASSERT_NE(main, nullptr) << "no main window with the French caption";

  const std::pair<int, const char*> buttons[] = {
      {IDC_BUTTON_ADD_VIDEO, "Ouvrir une vid\xE9o"},
      {IDC_BUTTON_OUTPUT_SETTINGS, "Options"},
      {IDC_BUTTON_CONVERT, "Convertir"},
      {IDC_BUTTON_HELP, "Aide"},
      {IDC_BUTTON_HOMEPAGE, "Site web"},
      {IDC_BUTTON_ABOUT, "\xC0 propos"},
      {IDC_BUTTON_EXIT, "Quitter"},
  };
  for (const auto& [id, text] : buttons) EXPECT_EQ(ProgramDriver::Text(main, id), text) << id;
  EXPECT_EQ(ProgramDriver::Text(main, IDC_STATIC_SUMMARY_LINE),
            "Fichier de sortie : " + MyVideoFolder() +
                "\\output.wmv     R\xE9solution : Taille d'origine");

  EXPECT_TRUE(ProgramDriver::SaveScreenshot(
      main, ProgramDriver::ScreenshotFolder() + "\\main-window-french.bmp"));

  PostMessageA(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(driver.WaitForExit(kStartTimeoutMs)) << "the close request was ignored";
  EXPECT_EQ(program.GetString("Option", "CurrentLanguage", ""), "French");
}

}  // namespace
