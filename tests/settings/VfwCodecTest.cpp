// The Video for Windows side of the Settings button, with codecs that the
// tests install in this process (ICInstall with a driver function).

#include "settings/VfwCodecs.h"

#include <gtest/gtest.h>

#include <array>
#include <utility>

#include "engine/GraphHandles.h"
#include "fakes/ScriptedPrompts.h"
#include "settings/OutputOptionsDialog.h"
#include "support/ComApartment.h"
#include "support/ScratchProfile.h"
#include "support/ScriptedDialog.h"

namespace {

// One installed test codec; it answers from here and logs what it is asked.
struct TestCodec {
  std::wstring description;
  bool acceptsFrame = true;
  DWORD stateSize = 4;
  std::string state = "AAAA";      // the codec's current state
  std::string confirmed = "BBBB";  // what its dialog sets; empty: the user cancels
  bool fullDescription = false;    // all 128 characters, no terminator
  std::vector<std::string> log;
  HWND configureOwner = nullptr;
};

constexpr size_t kCodecSlots = 56;
TestCodec g_codecs[kCodecSlots];

DWORD Handler(size_t slot) { return mmioFOURCC('t', 'c', '0' + slot / 10, '0' + slot % 10); }

bool IsTestFrame(const BITMAPINFOHEADER* in, LPARAM out) {
  return in && out == 0 && in->biSize == 40 && in->biWidth == 352 && in->biHeight == 240 &&
         in->biPlanes == 1 && in->biBitCount == 24 && in->biCompression == BI_RGB &&
         in->biSizeImage == 253440;
}

LRESULT Describe(size_t slot, ICINFO* info) {
  const TestCodec& codec = g_codecs[slot];
  info->dwSize = sizeof *info;
  info->fccType = ICTYPE_VIDEO;
  info->fccHandler = Handler(slot);
  info->dwVersionICM = ICVERSION;
  wmemset(info->szDescription, L'x', 128);
  if (!codec.fullDescription) wcsncpy(info->szDescription, codec.description.c_str(), 127);
  return sizeof *info;
}

LRESULT Answer(size_t slot, UINT msg, LPARAM lp1, LPARAM lp2) {
  TestCodec& codec = g_codecs[slot];
  switch (msg) {
    case DRV_LOAD:
    case DRV_ENABLE:
    case DRV_DISABLE:
    case DRV_FREE:
    case DRV_CLOSE:
      return DRV_OK;
    case DRV_OPEN:
      return static_cast<LRESULT>(slot + 1);
    case ICM_GETINFO:
      return Describe(slot, reinterpret_cast<ICINFO*>(lp1));
    case ICM_COMPRESS_QUERY:
      return codec.acceptsFrame && IsTestFrame(reinterpret_cast<BITMAPINFOHEADER*>(lp1), lp2)
                 ? ICERR_OK
                 : ICERR_BADFORMAT;
    case ICM_GETSTATE:
      if (!lp1) return codec.stateSize;
      codec.log.push_back("get state");
      memcpy(reinterpret_cast<void*>(lp1), codec.state.data(),
             std::min<size_t>(lp2, codec.state.size()));
      return ICERR_OK;
    case ICM_SETSTATE:
      codec.state.assign(reinterpret_cast<const char*>(lp1), static_cast<size_t>(lp2));
      codec.log.push_back("set state " + codec.state);
      return lp2;
    case ICM_CONFIGURE:
      codec.log.push_back("configure");
      codec.configureOwner = reinterpret_cast<HWND>(lp1);
      if (codec.confirmed.empty()) return ICERR_ABORT;
      codec.state = codec.confirmed;
      return ICERR_OK;
    default:
      return ICERR_UNSUPPORTED;
  }
}

template <size_t Slot>
LRESULT CALLBACK CodecProc(DWORD_PTR, HDRVR, UINT msg, LPARAM lp1, LPARAM lp2) {
  return Answer(Slot, msg, lp1, lp2);
}

template <size_t... Slots>
constexpr std::array<DRIVERPROC, sizeof...(Slots)> MakeProcs(std::index_sequence<Slots...>) {
  return {&CodecProc<Slots>...};
}
// ICInfo asks each driver function without an open instance: one function a codec.
constexpr auto kProcs = MakeProcs(std::make_index_sequence<kCodecSlots>());

class VfwCodecTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(com.Entered()); }
  void TearDown() override {
    for (size_t i = 0; i < installed; ++i) ICRemove(ICTYPE_VIDEO, Handler(i), 0);
    for (TestCodec& codec : g_codecs) codec = TestCodec{};
  }
  // Installs slots 0 .. descriptions-1 with these descriptions.
  void Install(const std::vector<std::wstring>& descriptions) {
    for (const std::wstring& description : descriptions) {
      g_codecs[installed].description = description;
      ASSERT_TRUE(ICInstall(ICTYPE_VIDEO, Handler(installed),
                            reinterpret_cast<LPARAM>(kProcs[installed]), nullptr,
                            ICINSTALL_FUNCTION));
      ++installed;
    }
  }
  // Runs the Output options dialog for script.
  void RunDialog(const std::function<void(HWND)>& script) {
    ConversionSettings settings;
    settings.outputFormat = OutputFormat::Avi;
    GraphHandles graph;
    OutputOptionsDialog dialog(settings, SourceInfo{}, 0, profile, graph.Compressors(), state);
    RunScripted(dialog, script);
  }

  ComApartment com;
  size_t installed = 0;
  ScratchProfile profile{"vfw"};
  ScriptedPrompts prompts;
  VfwCodecState state;
};

// Chooses name in the dialog's video compressor list and presses Settings.
void PressSettingsFor(HWND dialog, const char* name) {
  HWND video = GetDlgItem(dialog, IDC_COMBO_VIDEO_COMPRESSOR);
  LRESULT index = SendMessageA(video, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(name));
  if (index == CB_ERR) index = SendMessageA(video, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
  SendMessageA(video, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  Click(dialog, IDC_BUTTON_VIDEO_CODEC_SETTINGS);
}

TEST(MatchVfwCodec, EqualDescriptionOrAnyVersionOfTheEncoder) {
  using List = std::vector<std::string>;
  const struct {
    const char* chosen;
    List descriptions;
    int match;
  } cases[] = {
      {"Test Codec", {"other", "TEST CODEC"}, 1},
      {"Dup", {"dup", "x", "DUP"}, 2},  // the last equal one
      {"ffdshow video encoder 1.2", {"x", "ffdshow Video Encoder 2.0 (VfW)"}, 1},
      {"ffdshow video encoder 1.2", {"ffdshow video encoder 1.0", "ffdshow video encoder 1.3"}, 0},
      {"ffdshow video encoder 1.2", {"ffdshow video encoder 1.0", "FFDSHOW VIDEO ENCODER 1.2"}, 1},
      {"ffdshow video encoder", {"ffdshow video encoder 1.3"}, -1},  // no version token
      {"ffdshow video encoder 1.2", {"ffdshow video encoder"}, -1},
      {"ffdshow video encoder 1.2", {"ffdshow 1.2"}, -1},
      {"Full frames (uncompressed)", {"test codec"}, -1},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MatchVfwCodec(c.chosen, c.descriptions), c.match) << c.chosen;

  EXPECT_EQ(VersionToken("ffdshow video encoder 1.2.3 beta"), "1.2.3");
  EXPECT_EQ(VersionToken("encoder v.2 (2019)"), ".2");
  EXPECT_EQ(VersionToken("no version"), "");
}

TEST_F(VfwCodecTest, ListsOnlyCodecsThatTakeTheTestFrameAtMostFifty) {
  std::vector<std::wstring> descriptions;
  for (size_t i = 0; i < kCodecSlots; ++i)
    descriptions.push_back(L"test codec " + std::to_wstring(i));
  Install(descriptions);
  g_codecs[1].acceptsFrame = false;
  std::vector<ICINFO> list;
  EXPECT_EQ(EnumerateVfwCompressors(352, 240, 24, list), 50);
  ASSERT_EQ(list.size(), 50u);
  std::vector<std::wstring> ours;
  for (const ICINFO& info : list)
    if (wcsncmp(info.szDescription, L"test codec ", 11) == 0) ours.push_back(info.szDescription);
  ASSERT_FALSE(ours.empty());
  EXPECT_EQ(ours[0], L"test codec 0");
  EXPECT_EQ(ours[1], L"test codec 2") << "codec 1 refuses the frame";
  EXPECT_EQ(ours.back(), L"test codec " + std::to_wstring(ours.size()));

  const int count = EnumerateVfwCompressors(640, 480, 24, list);
  EXPECT_EQ(count, static_cast<int>(list.size()));
  for (const ICINFO& info : list) EXPECT_NE(wcsncmp(info.szDescription, L"test codec ", 11), 0);
}

TEST_F(VfwCodecTest, SecondConfigurationReopensWithTheConfirmedState) {
  Install({L"Test Codec Alpha", L"ffdshow video encoder 1.3 (VfW)"});
  g_codecs[1].stateSize = 8;
  g_codecs[1].state = "CCCCCCCC";
  g_codecs[1].confirmed = "DDDDDDDD";
  RunDialog([&](HWND dialog) {
    PressSettingsFor(dialog, "test codec alpha");
    EXPECT_EQ(g_codecs[0].log, (std::vector<std::string>{"configure", "get state"}));
    EXPECT_EQ(g_codecs[0].configureOwner, dialog);
    HWND vfw = GetDlgItem(dialog, IDC_COMBO_VFW_CODECS);
    EXPECT_EQ(ControlText(dialog, IDC_COMBO_VFW_CODECS), "Test Codec Alpha");
    EXPECT_FALSE(IsWindowVisible(vfw));

    g_codecs[0].state = "ZZZZ";  // the codec forgot its settings
    g_codecs[0].log.clear();
    PressSettingsFor(dialog, "Test Codec Alpha");
    EXPECT_EQ(g_codecs[0].log,
              (std::vector<std::string>{"set state BBBB", "configure", "get state"}));

    // Another size of state: nothing from the first codec reaches this one.
    PressSettingsFor(dialog, "ffdshow video encoder 1.2");
    EXPECT_EQ(g_codecs[1].log, (std::vector<std::string>{"configure", "get state"}));
    EXPECT_EQ(state.Size(), 8u);
    Click(dialog, IDC_BUTTON_OPTIONS_CANCEL);
  });
  // The state outlives the dialog.
  RunDialog([&](HWND dialog) {
    g_codecs[1].log.clear();
    PressSettingsFor(dialog, "ffdshow video encoder 2");
    EXPECT_EQ(g_codecs[1].log,
              (std::vector<std::string>{"set state DDDDDDDD", "configure", "get state"}));
    Click(dialog, IDC_BUTTON_OPTIONS_CANCEL);
  });
  EXPECT_TRUE(prompts.Records().empty());
}

// The system lists installed codecs among the video compressors by their
// description, so the chosen entry leads back to its codec.
TEST_F(VfwCodecTest, CatalogueEntryLeadsToItsCodec) {
  Install({L"Other Codec", L"Catalogue Test Codec"});
  RunDialog([&](HWND dialog) {
    EXPECT_NE(SendDlgItemMessageA(dialog, IDC_COMBO_VIDEO_COMPRESSOR, CB_FINDSTRINGEXACT,
                                  static_cast<WPARAM>(-1),
                                  reinterpret_cast<LPARAM>("Catalogue Test Codec")),
              CB_ERR);
    PressSettingsFor(dialog, "Catalogue Test Codec");
    EXPECT_TRUE(g_codecs[0].log.empty());
    EXPECT_EQ(g_codecs[1].log, (std::vector<std::string>{"configure", "get state"}));
    Click(dialog, IDC_BUTTON_OPTIONS_CANCEL);
  });
}

TEST_F(VfwCodecTest, NoDialogWithoutStateMatchOrConfirmation) {
  Install({L"Stateless", L"Cancelled", L"ffdshow video encoder"});
  g_codecs[0].stateSize = 0;
  g_codecs[1].confirmed.clear();
  RunDialog([&](HWND dialog) {
    PressSettingsFor(dialog, "Stateless");
    EXPECT_TRUE(g_codecs[0].log.empty());

    PressSettingsFor(dialog, "Cancelled");
    PressSettingsFor(dialog, "Cancelled");
    EXPECT_EQ(g_codecs[1].log, (std::vector<std::string>{"configure", "configure"}))
        << "a cancelled configuration leaves no state to give back";

    PressSettingsFor(dialog, "ffdshow video encoder 1.5");  // no version token in the codec's
    PressSettingsFor(dialog, "Full frames (uncompressed)");
    EXPECT_TRUE(g_codecs[2].log.empty());
    Click(dialog, IDC_BUTTON_OPTIONS_CANCEL);
  });
}

TEST_F(VfwCodecTest, DescriptionsFillingTheirArrayAreListedWhole) {
  Install({L"", L"Second"});
  g_codecs[0].fullDescription = true;
  const std::string full(128, 'x');
  RunDialog([&](HWND dialog) {
    PressSettingsFor(dialog, full.c_str());
    EXPECT_EQ(g_codecs[0].log, (std::vector<std::string>{"configure", "get state"}));
    EXPECT_EQ(ControlText(dialog, IDC_COMBO_VFW_CODECS), full);
    Click(dialog, IDC_BUTTON_OPTIONS_CANCEL);
  });
}

}  // namespace
