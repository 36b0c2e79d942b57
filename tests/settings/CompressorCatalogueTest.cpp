// The compressor catalogue against Wine's real system device enumerator, with
// members that the tests register in the categories themselves.

#include "settings/CompressorCatalogue.h"

#include <gtest/gtest.h>

#include "engine/GraphHandles.h"
#include "fakes/FakeFilter.h"
#include "fakes/ScriptedPrompts.h"
#include "platform/Str.h"
#include "settings/SettingsPersistence.h"
#include "support/CategoryMembers.h"
#include "support/ComApartment.h"
#include "support/ScratchProfile.h"
#include "support/ScriptedDialog.h"

namespace {

using Microsoft::WRL::ComPtr;

// How many members the system device enumerator lists in category.
size_t MemberCount(const CLSID& category) {
  ComPtr<ICreateDevEnum> devices;
  ComPtr<IEnumMoniker> members;
  if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&devices))) ||
      devices->CreateClassEnumerator(category, &members, 0) != S_OK)
    return 0;
  size_t count = 0;
  for (ComPtr<IMoniker> member; members->Next(1, &member, nullptr) == S_OK; member.Reset()) ++count;
  return count;
}

class CatalogueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    list = CreateWindowA("COMBOBOX", "", CBS_DROPDOWNLIST, 0, 0, 200, 200, nullptr, nullptr,
                         nullptr, nullptr);
  }
  void TearDown() override { DestroyWindow(list); }
  ComApartment com;
  HWND list = nullptr;
  ScriptedPrompts prompts;
};

// The system's own members alone: codecs in the video category (Wine's
// wrappers of the Video for Windows codecs) and none in the audio one.
TEST_F(CatalogueTest, WithoutRegisteredMembersTheCodecsFollowFullFramesAndNoAudioIsNoFailure) {
  CategoryMembers standInVideo(CLSID_VideoCompressorCategory);
  CategoryMembers standInAudio(CLSID_AudioCompressorCategory);
  ASSERT_TRUE(standInVideo.HideRegistered() && standInAudio.HideRegistered());
  const size_t videoMembers = MemberCount(CLSID_VideoCompressorCategory);
  if (videoMembers == 0 || MemberCount(CLSID_AudioCompressorCategory) != 0)
    GTEST_SKIP() << "wants video codecs and no audio compressor on this system (Wine 8's)";
  int position = -1;
  EXPECT_EQ(FillCompressorList(CompressorCategory::Video, list), S_OK);
  std::vector<std::string> video = ComboTexts(list);
  ASSERT_EQ(video.size(), 1 + videoMembers);
  EXPECT_EQ(video[0], "Full frames (uncompressed)");
  EXPECT_EQ(SendMessageA(list, CB_GETCURSEL, 0, 0), 0);
  EXPECT_FALSE(FindCompressorByName(nullptr, CompressorCategory::Video, kDefaultVideoCompressorName,
                                    position));

  FillCompressorList(CompressorCategory::Audio, list);
  EXPECT_EQ(ComboTexts(list), std::vector<std::string>{"Uncompressed Audio"});
  EXPECT_FALSE(FindCompressorByName(nullptr, CompressorCategory::Audio, kDefaultAudioCompressorName,
                                    position));
  ComPtr<IBaseFilter> audio;
  GetAudioCompressor(nullptr, 0, &audio);
  EXPECT_EQ(audio, nullptr);
  EXPECT_TRUE(prompts.Records().empty()) << "an empty category is not a failure";
}

// Members: 0 nameless, 1 and 2 both ffdshow encoders, 3 beyond them.
class RegisteredMembersTest : public CatalogueTest {
 protected:
  void SetUp() override {
    CatalogueTest::SetUp();
    ASSERT_TRUE(video.AddNameless(L"convtest-0", TestClass(10)));
    ASSERT_TRUE(video.Add(L"convtest-1", L"FFDShow Video Encoder", TestClass(1)));
    ASSERT_TRUE(video.Add(L"convtest-2", L"ffdshow video encoder (second)", TestClass(2)));
    ASSERT_TRUE(audio.Add(L"convtest-1", L"Microsoft ADPCM", TestClass(3)));
    ASSERT_TRUE(first.Registered() && second.Registered() && adpcm.Registered());
  }
  CategoryMembers video{CLSID_VideoCompressorCategory};
  CategoryMembers audio{CLSID_AudioCompressorCategory};
  FakeFilter firstFilter{"first", nullptr}, secondFilter{"second", nullptr},
      adpcmFilter{"adpcm", nullptr};
  ServedFilter first{TestClass(1), &firstFilter};
  ServedFilter second{TestClass(2), &secondFilter};
  ServedFilter adpcm{TestClass(3), &adpcmFilter};
};

TEST_F(RegisteredMembersTest, EachOperationCountsItsOwnWay) {
  FillCompressorList(CompressorCategory::Video, list);
  std::vector<std::string> texts = ComboTexts(list);
  ASSERT_GE(texts.size(), 3u);
  EXPECT_EQ(texts[1], "FFDShow Video Encoder") << "the nameless member is left out";
  EXPECT_EQ(texts[2], "ffdshow video encoder (second)");

  int position = -1;
  ASSERT_TRUE(
      FindCompressorByName(nullptr, CompressorCategory::Video, "ffdshow video encoder", position));
  EXPECT_EQ(position, 1) << "first in enumeration order, nameless member counted";

  ComPtr<IBaseFilter> filter;
  GetCompressor(nullptr, 2, &filter);
  EXPECT_EQ(filter.Get(), &secondFilter) << "creation counts every member";
  GetCompressor(nullptr, 1, &filter);
  EXPECT_EQ(filter.Get(), &firstFilter);
  EXPECT_EQ(secondFilter.RefCount(), 0u) << "the previous instance is released";
  EXPECT_TRUE(prompts.Records().empty());
  filter.Reset();
  EXPECT_EQ(firstFilter.RefCount(), 0u);
}

TEST_F(RegisteredMembersTest, FailuresAreReportedAndLeaveNoInstance) {
  ComPtr<IBaseFilter> filter = &firstFilter;
  const struct {
    int position;
    const char* message;  // nullptr: none
  } cases[] = {
      {0, "Failed to bind to object"},  // its class is not served
      {100000, nullptr},
      {-1, nullptr},
  };
  for (const auto& c : cases) {
    prompts.Clear();
    GetCompressor(list, c.position, &filter);
    EXPECT_EQ(filter, nullptr) << c.position;
    ASSERT_EQ(prompts.Messages().size(), c.message ? 1u : 0u) << c.position;
    if (c.message) {
      EXPECT_EQ(prompts.Messages()[0].text, c.message);
      EXPECT_EQ(prompts.Messages()[0].owner, list);
    }
  }
  prompts.Clear();
  GetCompressor(nullptr, 1, nullptr);
  GetAudioCompressor(nullptr, 0, nullptr);
  ASSERT_EQ(prompts.Messages().size(), 2u);
  EXPECT_EQ(prompts.Messages()[0].text, "GetCompressor received invalid pointer");
  EXPECT_EQ(prompts.Messages()[1].text, "GetAudioCompressor received invalid pointer");
  EXPECT_EQ(prompts.Messages()[1].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
}

TEST_F(RegisteredMembersTest, StartUpResolvesTheStoredChoices) {
  ScratchProfile profile("catalogue");
  const struct {
    int storedVideo;  // absent when -2
    int index, use;
    IBaseFilter* instance;
  } cases[] = {
      {-2, 1, 1, &firstFilter},
      {-1, -1, 0, nullptr},
      {2, 2, 1, &secondFilter},
      {100000, 100000, 1, nullptr},
  };
  for (const auto& c : cases) {
    profile.DeleteApplicationKey();
    if (c.storedVideo != -2)
      profile.WriteInt("DexVideoCompress", "CompressorNumber", c.storedVideo);
    ConversionSettings settings;
    GraphHandles graph;
    LoadCompressorChoices(nullptr, settings, profile, graph.Compressors());
    EXPECT_EQ(settings.videoCompressorIndex, c.index) << c.storedVideo;
    EXPECT_EQ(settings.useVideoCompressor, c.use) << c.storedVideo;
    EXPECT_EQ(graph.videoCompressor.Get(), c.instance) << c.storedVideo;
    // Letter case does not matter to the default choice.
    EXPECT_EQ(settings.audioCompressorIndex, 0);
    EXPECT_EQ(settings.useAudioCompressor, 1);
    EXPECT_EQ(graph.audioCompressor.Get(), &adpcmFilter);
  }
  EXPECT_TRUE(prompts.Records().empty());
}

TEST_F(CatalogueTest, NoDefaultCompressorMeansNone) {
  ScratchProfile profile("nodefault");
  ConversionSettings settings;
  GraphHandles graph;
  LoadCompressorChoices(nullptr, settings, profile, graph.Compressors());
  EXPECT_EQ(settings.videoCompressorIndex, -1);
  EXPECT_EQ(settings.useVideoCompressor, 0);
  EXPECT_EQ(settings.audioCompressorIndex, -1);
  EXPECT_EQ(settings.useAudioCompressor, 0);
  EXPECT_EQ(graph.videoCompressor, nullptr);
}

TEST_F(CatalogueTest, LongNamesAreCutAtACharacterBoundary) {
  CategoryMembers video(CLSID_VideoCompressorCategory);
  const std::wstring longName(300, L'n');
  ASSERT_TRUE(video.Add(L"convtest-long", longName.c_str(), TestClass(20)));
  FillCompressorList(CompressorCategory::Video, list);
  EXPECT_EQ(ComboTexts(list).at(1), std::string(255, 'n'));

  // Two bytes a character in code page 932: 127 whole characters fit.
  const std::wstring japanese(200, L'\x65E5');
  std::string cut = CompressorText(japanese.c_str(), japanese.size(), 932);
  EXPECT_EQ(cut.size(), 254u);
  EXPECT_EQ(str::ToWide(cut.c_str(), 932), std::wstring(127, L'\x65E5'));
  // A description that fills its array has no terminator.
  wchar_t full[4] = {L'a', L'b', L'c', L'd'};
  EXPECT_EQ(CompressorText(full, 4, CP_ACP), "abcd");
}

}  // namespace
