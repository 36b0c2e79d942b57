// Open Video in the real program, through the system's own open-file dialog.

#include <windows.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include "e2e/ProgramDriver.h"
#include "i18n/Localization.h"
#include "platform/AppProfile.h"
#include "res/resource.h"
#include "support/ClipFolder.h"

namespace {

constexpr DWORD kTimeoutMs = 30000;

TEST(OpenVideoEndToEnd, TheOpenFileDialogStartsInTheLastFolderAndOpensTheChosenClip) {
  AppProfile program("BrimvaleStudio", "RoroVozaririd");
  ASSERT_TRUE(program.DeleteApplicationKey());
  ClipFolder clips;
  const std::string folder = clips.MakeFolder("films");
  ASSERT_FALSE(clips.MakeAvi("films\\clip.avi").empty());
  program.WriteString("Option", "LastPhotoFolder", folder.c_str());

  ProgramDriver driver;
  ASSERT_TRUE(driver.Start(ProgramDriver::ProgramPath()));
  HWND main = driver.WaitForWindow("RoroVozaririd", kTimeoutMs);
  ASSERT_NE(main, nullptr);
  ProgramDriver::Click(main, IDC_BUTTON_ADD_VIDEO);
  HWND ask = driver.WaitForWindow(BuiltInString(IDS_MESSAGE_OPEN_FILE).c_str(), kTimeoutMs);
  ASSERT_NE(ask, nullptr) << "no open-file dialog";

  // A bare name: the dialog must have started in the stored folder.
  HWND nameBox = GetDlgItem(ask, cmb13) ? GetDlgItem(ask, cmb13) : GetDlgItem(ask, edt1);
  ASSERT_NE(nameBox, nullptr);
  SendMessageA(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("clip.avi"));
  PostMessageA(ask, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);

  EXPECT_TRUE(WaitUntil(
      [&] { return ProgramDriver::Text(main, IDC_STATIC_SOURCE_LINE) == "clip.avi: 00:00:02"; },
      kTimeoutMs))
      << ProgramDriver::Text(main, IDC_STATIC_SOURCE_LINE);
  EXPECT_EQ(program.GetString("Option", "LastPhotoFolder", ""), folder);
  EXPECT_TRUE(driver.Close(main, kTimeoutMs));
  program.DeleteApplicationKey();
}

}  // namespace
