// The Output options dialog on its real template, driven by messages.

#include "settings/OutputOptionsDialog.h"
#include "settings/SettingsPersistence.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "fakes/FakeFilter.h"
#include "engine/GraphHandles.h"
#include "fakes/ScriptedPrompts.h"
#include "i18n/Localization.h"
#include "support/CategoryMembers.h"
#include "support/ComApartment.h"
#include "support/ScratchProfile.h"
#include "support/ScriptedDialog.h"

namespace {

using Microsoft::WRL::ComPtr;

bool Shown(HWND dialog, int id) {
  return (GetWindowLongA(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

int Selection(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0));
}

// Selects position in a list as the user does: the list tells the dialog.
void Choose(HWND dialog, int id, int position) {
  SendDlgItemMessageA(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(position), 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

class OutputOptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(com.Entered());
    settings.outputPath = "d:\\clips\\talk.wmv";
    settings.outputWidth = 720;
    settings.outputHeight = 400;
    settings.videoBitrate = 798720;
  }
  // Runs the dialog on settings; result is what ended it, after the copy.
  INT_PTR Run(const std::function<void(HWND)>& script) {
    OutputOptionsDialog dialog(settings, source, 1, recording, graph.Compressors(), vfwState);
    INT_PTR result = RunScripted(dialog, script);
    after = dialog.Settings();
    return result;
  }

  ComApartment com;
  ScratchProfile profile{"options"};
  std::vector<std::string> writes;
  RecordingProfile recording{profile, writes};
  ScriptedPrompts prompts;
  GraphHandles graph;
  VfwCodecState vfwState;
  ConversionSettings settings;
  ConversionSettings after;
  SourceInfo source{640, 480, 25.0};
};

TEST_F(OutputOptionsTest, RowsAndExtensionFollowTheFormat) {
  const int bitrateRow[] = {IDC_EDIT_VIDEO_BITRATE, IDC_COMBO_AUDIO_BITRATE, IDC_STATIC_VIDEO_KBPS};
  const int compressorRow[] = {IDC_COMBO_VIDEO_COMPRESSOR, IDC_COMBO_AUDIO_COMPRESSOR,
                               IDC_BUTTON_VIDEO_CODEC_SETTINGS, IDC_STATIC_OPTIONS_NOTE};
  Run([&](HWND dialog) {
    for (int id : bitrateRow) EXPECT_TRUE(Shown(dialog, id)) << id;
    for (int id : compressorRow) EXPECT_FALSE(Shown(dialog, id)) << id;
    for (int id :
         {IDC_COMBO_RESOLUTION, IDC_EDIT_FRAME_RATE, IDC_COMBO_VFW_CODECS, IDC_EDIT_AUDIO_BITRATE})
      EXPECT_FALSE(Shown(dialog, id)) << id;
    EXPECT_EQ(ControlText(dialog, IDC_EDIT_VIDEO_BITRATE), "780");
    EXPECT_EQ(ControlText(dialog, IDC_EDIT_AUDIO_BITRATE), "128");
    EXPECT_EQ(ControlText(dialog, IDC_COMBO_RESOLUTION), "");  // 720 x 400 is no preset
    EXPECT_EQ(ControlText(dialog, IDC_EDIT_FRAME_RATE), "23.976");

    Choose(dialog, IDC_COMBO_OUTPUT_FORMAT, 0);
    for (int id : bitrateRow) EXPECT_FALSE(Shown(dialog, id)) << id;
    for (int id : compressorRow) EXPECT_TRUE(Shown(dialog, id)) << id;
    EXPECT_EQ(ControlText(dialog, IDC_EDIT_OUTPUT_FILE), "d:\\clips\\talk.avi");
    Choose(dialog, IDC_COMBO_OUTPUT_FORMAT, 3);
    EXPECT_EQ(ControlText(dialog, IDC_EDIT_OUTPUT_FILE), "d:\\clips\\talk.asf");
    Click(dialog, IDCANCEL);
  });
  EXPECT_TRUE(prompts.Records().empty());
}

TEST_F(OutputOptionsTest, OkWritesEverySettingOnce) {
  settings.fileProfile = 1;
  INT_PTR result = Run([&](HWND dialog) {
    Choose(dialog, IDC_COMBO_OUTPUT_FORMAT, 2);
    SendDlgItemMessageA(dialog, IDC_COMBO_AUDIO_BITRATE, CB_SETCURSEL, 3, 0);
    SetDlgItemTextA(dialog, IDC_EDIT_VIDEO_BITRATE, "500");
    SendDlgItemMessageA(dialog, IDC_COMBO_VIDEO_COMPRESSOR, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageA(dialog, IDC_COMBO_AUDIO_COMPRESSOR, CB_SETCURSEL, 0, 0);
    Click(dialog, IDC_BUTTON_OPTIONS_OK);
  });
  EXPECT_EQ(result, IDOK);
  // What SaveSettings writes (its own test has the list), each value once; the
  // frame rate list holds only its first entry.
  std::vector<std::string> fromDialog = std::move(writes);
  writes.clear();
  SaveSettings(recording, after, -1, "23.976");
  std::sort(fromDialog.begin(), fromDialog.end());
  std::sort(writes.begin(), writes.end());
  EXPECT_EQ(fromDialog, writes);
  EXPECT_EQ(after.outputPath, "d:\\clips\\talk.mkv");
  EXPECT_EQ(after.videoBitrate, 512000);
  EXPECT_EQ(after.audioBitrate, 320000);
  EXPECT_EQ(after.videoCompressorIndex, -1);
  EXPECT_EQ(after.audioCompressorIndex, -1);
  EXPECT_EQ(after.outputFormat, OutputFormat::Mkv);
  EXPECT_EQ(after.frameRateIndex, 1);
  EXPECT_DOUBLE_EQ(after.outputFrameRate, 23.976);
  EXPECT_EQ(after.useVideoCompressor, 0);
  EXPECT_EQ(after.resizeMode, 0) << "the resize list is empty";
  EXPECT_EQ(after.fileProfile, 1);
}

TEST_F(OutputOptionsTest, NumbersAreReadAsTheirLeadingInteger) {
  const struct {
    const char* bitrate;
    int32_t width, height;  // as opened
    int audioPosition;
    int32_t savedBitrate, savedWidth, savedHeight, savedAudio;
  } cases[] = {
      {"500", 725, 400, 3, 512000, 720, 400, 320000},
      {"1", 0, 0, 0, 1024, 16, 16, 64000},
      {" 64 ", -9, 23, 2, 65536, 16, 16, 192000},
      {"2097151", 1920, 1087, -1, 2147482624, 1920, 1080, 100000},
  };
  for (const auto& c : cases) {
    settings.outputWidth = c.width;
    settings.outputHeight = c.height;
    settings.audioBitrate = 100000;
    Run([&](HWND dialog) {
      SetDlgItemTextA(dialog, IDC_EDIT_VIDEO_BITRATE, c.bitrate);
      SendDlgItemMessageA(dialog, IDC_COMBO_AUDIO_BITRATE, CB_SETCURSEL,
                          static_cast<WPARAM>(c.audioPosition), 0);
      Click(dialog, IDC_BUTTON_OPTIONS_OK);
    });
    EXPECT_EQ(after.videoBitrate, c.savedBitrate) << c.bitrate;
    EXPECT_EQ(after.outputWidth, c.savedWidth) << c.bitrate;
    EXPECT_EQ(after.outputHeight, c.savedHeight) << c.bitrate;
    EXPECT_EQ(after.audioBitrate, c.savedAudio) << c.bitrate;
    EXPECT_EQ(profile.GetInt("Settings", "n_video_bitrate", 1), c.savedBitrate);
    EXPECT_EQ(profile.GetInt("Settings", "OutputWidth", 1), c.savedWidth);
  }
}

TEST_F(OutputOptionsTest, RefusedValuesKeepTheDialogOpenWithNothingSaved) {
  SetAppTitle("RoroVozaririd");
  const std::string longPath = "c:\\" + std::string(260, 'p') + ".wmv";
  const std::string noName = BuiltInString(IDS_MESSAGE_NO_OUTPUT_NAME);
  const std::string badBitrate = BuiltInString(IDS_MESSAGE_BAD_BITRATE);
  const std::string unusable = BuiltInString(IDS_MESSAGE_UNUSABLE_NAME);
  const struct {
    const char* frameRate;
    std::string path;
    const char* bitrate;
    std::string message;
    const char* caption;
  } cases[] = {
      {"0.0009", "c:\\a.wmv", "780", "The frame rate is too small!", "RoroVozaririd"},
      {"fast", "c:\\a.wmv", "780", "The frame rate is too small!", "RoroVozaririd"},
      {"25", longPath, "780", kPathTooLong, "Error"},
      {"25", "", "780", noName, "Error"},
      {"25", "c:\\clips\\.wmv", "780", noName, "Error"},
      {"25", "c:\\clips\\", "780", noName, "Error"},
      // A name that the code page could not hold.
      {"25", "c:\\clips\\??.wmv", "780", unusable, "Error"},
      {"25", "c:\\a.wmv", "abc1500", badBitrate, "Error"},
      {"25", "c:\\a.wmv", "1500abc", badBitrate, "Error"},
      {"25", "c:\\a.wmv", "", badBitrate, "Error"},
      {"25", "c:\\a.wmv", "0", badBitrate, "Error"},
      {"25", "c:\\a.wmv", "-512", badBitrate, "Error"},
      {"25", "c:\\a.wmv", "1.5", badBitrate, "Error"},
      {"25", "c:\\a.wmv", "2097152", badBitrate, "Error"},
      {"25", "c:\\a.wmv", "99999999999999999999", badBitrate, "Error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path + " " + c.bitrate);
    prompts.Clear();
    INT_PTR result = Run([&](HWND dialog) {
      SetDlgItemTextA(dialog, IDC_EDIT_FRAME_RATE, c.frameRate);
      SetDlgItemTextA(dialog, IDC_EDIT_OUTPUT_FILE, c.path.c_str());
      SetDlgItemTextA(dialog, IDC_EDIT_VIDEO_BITRATE, c.bitrate);
      Click(dialog, IDC_BUTTON_OPTIONS_OK);
      EXPECT_TRUE(prompts.ShowedOneMessage(c.message, c.caption, dialog)) << c.frameRate;
    });
    EXPECT_EQ(result, kLeftOpen) << c.frameRate;
  }
  EXPECT_TRUE(writes.empty());
  SetAppTitle("");
}

// The bitrate row is hidden for the other formats, where its field cannot be
// mended: a stored bitrate that is none stays as it is.
TEST_F(OutputOptionsTest, AHiddenBitrateFieldThatHoldsNoBitrateKeepsTheBitrate) {
  settings.videoBitrate = -1024;
  INT_PTR result = Run([&](HWND dialog) {
    EXPECT_EQ(ControlText(dialog, IDC_EDIT_VIDEO_BITRATE), "-1");
    Choose(dialog, IDC_COMBO_OUTPUT_FORMAT, 0);
    Click(dialog, IDC_BUTTON_OPTIONS_OK);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_TRUE(prompts.Messages().empty());
  EXPECT_EQ(after.videoBitrate, -1024);
  EXPECT_EQ(profile.GetInt("Settings", "n_video_bitrate", 1), -1024);
}

TEST_F(OutputOptionsTest, CancelAndEscapeLeaveEverythingAsItWas) {
  FakeFilter video("video", nullptr);
  graph.videoCompressor = &video;
  for (int cancel : {IDC_BUTTON_OPTIONS_CANCEL, IDCANCEL}) {
    INT_PTR result = Run([&](HWND dialog) {
      Choose(dialog, IDC_COMBO_OUTPUT_FORMAT, 0);
      SetDlgItemTextA(dialog, IDC_EDIT_OUTPUT_FILE, "e:\\other.avi");
      SetDlgItemTextA(dialog, IDC_EDIT_VIDEO_BITRATE, "1");
      SendDlgItemMessageA(dialog, IDC_COMBO_VIDEO_COMPRESSOR, CB_SETCURSEL, 1, 0);
      Click(dialog, IDC_BUTTON_OUTPUT_DEAULT);
      Click(dialog, cancel);
    });
    EXPECT_EQ(result, IDCANCEL);
  }
  EXPECT_TRUE(writes.empty());
  EXPECT_EQ(graph.videoCompressor.Get(), &video);
  EXPECT_EQ(video.RefCount(), 1u);
  graph.videoCompressor.Reset();
}

TEST_F(OutputOptionsTest, EnterIsOk) {
  INT_PTR result = Run([&](HWND dialog) {
    HWND field = GetDlgItem(dialog, IDC_EDIT_VIDEO_BITRATE);
    SetFocus(field);
    PostMessageA(field, WM_KEYDOWN, VK_RETURN, 0);
    // The dialog manager's part of the modal loop turns the key into a command.
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (!IsDialogMessageA(dialog, &msg)) DispatchMessageA(&msg);
    }
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_FALSE(writes.empty());  // as OK does, the settings were saved
}

TEST_F(OutputOptionsTest, CompressorChoicesAndTheirInstances) {
  CategoryMembers members(CLSID_VideoCompressorCategory);
  FakeFilter old("old", nullptr), encoder("encoder", nullptr);
  ServedFilter served(TestClass(1), &encoder);
  ASSERT_TRUE(members.Add(L"convtest-1", L"Some Codec", TestClass(2)));
  ASSERT_TRUE(members.Add(L"convtest-2", L"FFDShow Video Encoder", TestClass(1)));
  settings.outputFormat = OutputFormat::Avi;
  const struct {
    int stored;   // -2: absent
    int opensAt;  // list position
    int choose;   // list position pressed OK with
    int saved;
    IBaseFilter* instance;
    ULONG oldRefs;
  } cases[] = {
      {-2, 2, 2, 1, &encoder, 0},
      {500, -1, -1, -2, nullptr, 0},  // beyond the catalogue
      {1, 2, 0, -1, &old, 1},         // "Full frames" keeps the instance, unused
  };
  for (const auto& c : cases) {
    profile.DeleteApplicationKey();
    if (c.stored != -2) profile.WriteInt("DexVideoCompress", "CompressorNumber", c.stored);
    graph.videoCompressor = &old;
    Run([&](HWND dialog) {
      EXPECT_EQ(Selection(dialog, IDC_COMBO_VIDEO_COMPRESSOR), c.opensAt) << c.stored;
      if (c.opensAt >= 0) {
        Choose(dialog, IDC_COMBO_VIDEO_COMPRESSOR, 0);
        Click(dialog, IDC_BUTTON_OUTPUT_DEAULT);
        EXPECT_EQ(Selection(dialog, IDC_COMBO_VIDEO_COMPRESSOR), 2) << "the first ffdshow encoder";
        EXPECT_EQ(Selection(dialog, IDC_COMBO_AUDIO_COMPRESSOR), 0);
      }
      SendDlgItemMessageA(dialog, IDC_COMBO_VIDEO_COMPRESSOR, CB_SETCURSEL,
                          static_cast<WPARAM>(c.choose), 0);
      Click(dialog, IDC_BUTTON_OPTIONS_OK);
    });
    EXPECT_EQ(profile.GetInt("DexVideoCompress", "CompressorNumber", 99), c.saved) << c.stored;
    EXPECT_EQ(after.videoCompressorIndex, c.saved);
    EXPECT_EQ(after.useVideoCompressor, c.saved == -1 ? 0 : 1);
    EXPECT_EQ(graph.videoCompressor.Get(), c.instance) << c.stored;
    EXPECT_EQ(old.RefCount(), c.oldRefs) << c.stored;
    graph.videoCompressor.Reset();
  }
  EXPECT_TRUE(prompts.Records().empty());
}

TEST_F(OutputOptionsTest, BrowseTakesTheFormatsExtension) {
  settings.outputFormat = OutputFormat::Mkv;
  prompts.PlanFileAnswer(std::string("e:\\new\\clip.avi"));
  prompts.PlanFileAnswer(std::nullopt);
  Run([&](HWND dialog) {
    SetDlgItemTextA(dialog, IDC_EDIT_OUTPUT_FILE, "typed.mkv");
    Click(dialog, IDC_BUTTON_BROWSE);
    EXPECT_EQ(ControlText(dialog, IDC_EDIT_OUTPUT_FILE), "e:\\new\\clip.mkv");
    Click(dialog, IDC_BUTTON_BROWSE);  // cancelled
    EXPECT_EQ(ControlText(dialog, IDC_EDIT_OUTPUT_FILE), "e:\\new\\clip.mkv");
    Click(dialog, IDCANCEL);
  });
  // The file dialog's own texts: BrowseOutputPath.OffersTheFormatsFilesInTheOpenedFolder.
  ASSERT_EQ(prompts.Records().size(), 2u);
  EXPECT_EQ(prompts.Records()[0].initialFolder, "d:\\clips") << "the folder the dialog opened with";
}

TEST_F(OutputOptionsTest, UnknownStoredFormatKeepsRowsAndSavesNoFormat) {
  settings.outputFormat = static_cast<OutputFormat>(7);
  Run([&](HWND dialog) {
    // The rows stay as the template and the opening left them.
    EXPECT_EQ(ControlText(dialog, IDC_EDIT_OUTPUT_FILE), "d:\\clips\\talk.wmv");
    EXPECT_TRUE(Shown(dialog, IDC_EDIT_VIDEO_BITRATE));
    EXPECT_FALSE(Shown(dialog, IDC_COMBO_VIDEO_COMPRESSOR));
    Click(dialog, IDC_BUTTON_OUTPUT_DEAULT);
    Click(dialog, IDC_BUTTON_OPTIONS_OK);
  });
  ASSERT_EQ(prompts.Messages().size(), 2u);
  EXPECT_EQ(prompts.Messages()[0].text, "Does not support the video format");
  EXPECT_EQ(prompts.Messages()[1].text, "unknown error");
  EXPECT_EQ(prompts.Messages()[1].caption, "error");
  EXPECT_EQ(profile.GetInt("Settings", "nOuptputFormat", 99), -1);
}

}  // namespace
