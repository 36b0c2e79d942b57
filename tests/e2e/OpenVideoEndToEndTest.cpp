// Open Video in the real program, through the system's own open-file dialog.

#include <windows.h>
#include <dlgs.h>
#include <gtest/gtest.h>

#include "e2e/ProgramDriver.h"
#include "platform/AppProfile.h"
#include "res/resource.h"
#include "support/ClipFolder.h"

namespace {

constexpr DWORD kTimeoutMs = 30000;

// The source line once it differs from before, or before after the timeout.
std::string WaitForSourceLine(HWND main, const std::string& before) {
  WaitUntil([&] { return ProgramDriver::Text(main, IDC_STATIC_SOURCE_LINE) != before; },
            kTimeoutMs);
  return ProgramDriver::Text(main, IDC_STATIC_SOURCE_LINE);
}

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
  HWND ask = driver.WaitForWindow("Open a video file", kTimeoutMs);
  ASSERT_NE(ask, nullptr) << "no open-file dialog";

  // A bare name: the dialog must have started in the stored folder.
  HWND nameBox = GetDlgItem(ask, cmb13) ? GetDlgItem(ask, cmb13) : GetDlgItem(ask, edt1);
  ASSERT_NE(nameBox, nullptr);
  SendMessageA(nameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("clip.avi"));
  PostMessageA(ask, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);

  EXPECT_EQ(WaitForSourceLine(main, "00:00:00"), "clip.avi: 00:00:02");
  EXPECT_EQ(program.GetString("Option", "LastPhotoFolder", ""), folder);

  PostMessageA(main, WM_CLOSE, 0, 0);
  DWORD exitCode = 1;
  ASSERT_TRUE(driver.WaitForExit(kTimeoutMs, &exitCode));
  EXPECT_EQ(exitCode, 0u);
  program.DeleteApplicationKey();
}

}  // namespace
