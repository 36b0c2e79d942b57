// The compressor stand-ins as a user meets them in the Output options dialog:
// listed, chosen and stored, the codec configured through the Settings button
// and its quality kept for the next run of the program.

#include <gtest/gtest.h>

#include "fakes/ScriptedPrompts.h"
#include "settings/OutputOptionsDialog.h"
#include "standins/KeptMjpegSettings.h"
#include "standins/codecs/CodecClsids.h"
#include "standins/codecs/MjpegResource.h"
#include "support/ScratchProfile.h"
#include "support/ScriptedDialog.h"

namespace {

int Find(HWND dialog, int id, const char* text) {
  return static_cast<int>(SendDlgItemMessageA(
      dialog, id, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text)));
}

int Selection(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

// Presses Settings; in the codec's dialog types quality and confirms, or
// cancels for nullptr. Gives the quality the codec's dialog opened with.
std::string Configure(HWND dialog, const char* quality) {
  std::string shown = "(no dialog)";
  ClickAndDrive(dialog, IDC_BUTTON_VIDEO_CODEC_SETTINGS, IDC_MJPEG_QUALITY, [&](HWND codec) {
    shown = ControlText(codec, IDC_MJPEG_QUALITY);
    if (quality) SetDlgItemTextA(codec, IDC_MJPEG_QUALITY, quality);
    Click(codec, quality ? IDOK : IDCANCEL);
  });
  return shown;
}

CLSID ClassOf(IBaseFilter* filter) {
  CLSID clsid = GUID_NULL;
  if (filter) filter->GetClassID(&clsid);
  return clsid;
}

class CompressorChoiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    settings.outputFormat = OutputFormat::Avi;
  }
  void TearDown() override {
    graph = GraphHandles{};
    CoUninitialize();
  }
  // One run of the dialog; state lives as long as the program's run.
  void Run(VfwCodecState& state, const std::function<void(HWND)>& script) {
    OutputOptionsDialog dialog(settings, SourceInfo{}, 0, profile, graph, state);
    RunScripted(dialog, script);
  }

  KeptMjpegSettings kept;
  ScratchProfile profile{"codecs"};
  ScriptedPrompts prompts;
  GraphHandles graph;
  ConversionSettings settings;
};

TEST_F(CompressorChoiceTest, ChosenStoredAndConfiguredThroughTheSettingsButton) {
  int video = -1, audio = -1;
  VfwCodecState state;
  Run(state, [&](HWND dialog) {
    // The filter comes before Wine's wrapper of the same codec, of the same name.
    video = Find(dialog, IDC_COMBO_VIDEO_COMPRESSOR, "MJPEG Compressor");
    audio = Find(dialog, IDC_COMBO_AUDIO_COMPRESSOR, "IMA ADPCM Compressor");
    ASSERT_GT(video, 0);
    ASSERT_GT(audio, 0);
    SendDlgItemMessageA(dialog, IDC_COMBO_VIDEO_COMPRESSOR, CB_SETCURSEL, video, 0);
    SendDlgItemMessageA(dialog, IDC_COMBO_AUDIO_COMPRESSOR, CB_SETCURSEL, audio, 0);
    EXPECT_EQ(Configure(dialog, "33"), "85") << "the codec's default";
    EXPECT_EQ(Configure(dialog, nullptr), "33");
    Click(dialog, IDC_BUTTON_OPTIONS_OK);
  });
  EXPECT_EQ(profile.GetInt("DexVideoCompress", "CompressorNumber", -9), video - 1);
  EXPECT_EQ(profile.GetInt("DexAudioCompress", "CompressorNumber", -9), audio - 1);
  EXPECT_EQ(ClassOf(graph.videoCompressor.Get()), kMjpegCompressorClsid);
  EXPECT_EQ(ClassOf(graph.audioCompressor.Get()), kImaAdpcmCompressorClsid);

  // The next run of the program starts without the state: the codec kept it.
  VfwCodecState nextRun;
  Run(nextRun, [&](HWND dialog) {
    EXPECT_EQ(Selection(dialog, IDC_COMBO_VIDEO_COMPRESSOR), video);
    EXPECT_EQ(Selection(dialog, IDC_COMBO_AUDIO_COMPRESSOR), audio);
    EXPECT_EQ(Configure(dialog, nullptr), "33");
    Click(dialog, IDC_BUTTON_OPTIONS_CANCEL);
  });
  EXPECT_TRUE(prompts.Records().empty());
}

}  // namespace
