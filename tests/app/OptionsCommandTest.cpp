// The main window's Options command, with the Output options dialog driven
// from inside its own modal loop.

#include <gtest/gtest.h>

#include "app/MainDialog.h"
#include "fakes/ScriptedPrompts.h"
#include "support/MainDialogProbe.h"
#include "support/ScratchProfile.h"
#include "support/ScriptedDialog.h"

namespace {

// Presses Options in the main window; script drives the dialog it opens.
void PressOptions(HWND main, const std::function<void(HWND)>& script) {
  ClickAndDrive(main, IDC_BUTTON_OUTPUT_SETTINGS, IDC_BUTTON_OPTIONS_OK, script);
}

class OptionsCommandTest : public ::testing::Test {
 protected:
  ScratchProfile profile{"optionscmd"};
  ScriptedPrompts prompts;
  LanguageManager languages{profile};
  GraphHandles graph;
};

TEST_F(OptionsCommandTest, OkTakesTheCopyBackAndRewritesTheSummary) {
  MainDialog dialog(profile, languages, graph);
  const struct {
    SourceInfo source;
    const char* resolution;
  } cases[] = {
      {{640, 480, 25.0}, "640*480"},
      {{0, 0, 25.0}, "Original size"},
  };
  std::vector<std::string> summaries;
  RunScripted(dialog, [&](HWND main) {
    for (const auto& c : cases) {
      MainDialogProbe::Source(dialog) = c.source;
      MainDialogProbe::Settings(dialog).outputWidth = 640;
      MainDialogProbe::Settings(dialog).outputHeight = 480;
      PressOptions(main, [](HWND options) {
        SendDlgItemMessageA(options, IDC_COMBO_OUTPUT_FORMAT, CB_SETCURSEL, 0, 0);
        SendMessageA(options, WM_COMMAND, MAKEWPARAM(IDC_COMBO_OUTPUT_FORMAT, CBN_SELCHANGE), 0);
        SetDlgItemTextA(options, IDC_EDIT_OUTPUT_FILE, "d:\\out\\film.avi");
        Click(options, IDC_BUTTON_OPTIONS_OK);
      });
      summaries.push_back(ControlText(main, IDC_STATIC_SUMMARY_LINE));
    }
    SendMessageA(main, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(summaries[0], "Output file: d:\\out\\film.avi     Resolution: 640*480");
  EXPECT_EQ(summaries[1], "Output file: d:\\out\\film.avi     Resolution: Original size");
  EXPECT_EQ(dialog.Settings().outputFormat, OutputFormat::Avi);
  EXPECT_EQ(dialog.Settings().outputPath, "d:\\out\\film.avi");
  EXPECT_EQ(profile.GetString("Settings", "OutputName", ""), "d:\\out\\film.avi");
}

TEST_F(OptionsCommandTest, CancelChangesNothing) {
  MainDialog dialog(profile, languages, graph);
  std::string before, after;
  ConversionSettings settingsBefore;
  RunScripted(dialog, [&](HWND main) {
    before = ControlText(main, IDC_STATIC_SUMMARY_LINE);
    settingsBefore = dialog.Settings();
    PressOptions(main, [](HWND options) {
      SendDlgItemMessageA(options, IDC_COMBO_OUTPUT_FORMAT, CB_SETCURSEL, 3, 0);
      SendMessageA(options, WM_COMMAND, MAKEWPARAM(IDC_COMBO_OUTPUT_FORMAT, CBN_SELCHANGE), 0);
      SetDlgItemTextA(options, IDC_EDIT_VIDEO_BITRATE, "1");
      Click(options, IDC_BUTTON_OPTIONS_CANCEL);
    });
    after = ControlText(main, IDC_STATIC_SUMMARY_LINE);
    SendMessageA(main, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(after, before);
  EXPECT_EQ(dialog.Settings().outputFormat, settingsBefore.outputFormat);
  EXPECT_EQ(dialog.Settings().outputPath, settingsBefore.outputPath);
  EXPECT_EQ(dialog.Settings().videoBitrate, settingsBefore.videoBitrate);
  EXPECT_FALSE(profile.HasValue("Settings", "nOuptputFormat"));
  EXPECT_FALSE(profile.HasValue("Settings", "n_video_bitrate"));
}

}  // namespace
