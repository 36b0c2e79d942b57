// The subtitle filter as registered in the prefix, in Wine's real graphs:
// whether it joins, where it sits, and what it does to the frames. Every test
// here changes the filter's "LoadLevel" and puts it back. And the thread that
// draws its cues ahead.

#include <windows.h>
#include <dshow.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "SubtitleTestSupport.h"
#include "engine/PinSearch.h"
#include "platform/Str.h"
#include "standins/subtitles/AheadRasterizer.h"
#include "standins/subtitles/CueList.h"
#include "standins/subtitles/Overlay.h"
#include "standins/subtitles/SubtitleFile.h"
#include "standins/subtitles/SubtitleFilter.h"
#include "standins/subtitles/SubtitleSettings.h"
#include "standins/subtitles/VideoFormat.h"
#include "support/ClipFolder.h"
#include "support/ComApartment.h"
#include "support/GraphRun.h"
#include "support/LoadLevelGuard.h"
#include "support/RawRegistry.h"
#include "support/RecordingSink.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr const char* kSettingsPath = LoadLevelGuard::kSettingsPath;

// Cues over frames 10 to 19 and 30 to 34 of a 25 fps clip.
const char kSubRip[] =
    "1\r\n00:00:00,400 --> 00:00:00,800\r\nHello\r\n\r\n"
    "2\r\n00:00:01,200 --> 00:00:01,400\r\nGood <i>bye</i>\r\n";

bool InACue(REFERENCE_TIME time) {
  return (time >= 4000000 && time < 8000000) || (time >= 12000000 && time < 14000000);
}

std::vector<ComPtr<IBaseFilter>> SubtitleFiltersOf(IGraphBuilder* graph) {
  std::vector<ComPtr<IBaseFilter>> filters, found;
  FiltersOf(graph, filters);
  for (const ComPtr<IBaseFilter>& filter : filters) {
    CLSID clsid = {};
    if (SUCCEEDED(filter->GetClassID(&clsid)) && clsid == kSubtitleFilterClass)
      found.push_back(filter);
  }
  return found;
}

// The filter RenderFile ended the video stream in.
ComPtr<IBaseFilter> FindVideoRenderer(IGraphBuilder* graph) {
  ComPtr<IBaseFilter> renderer;
  LocateRenderer(graph, MEDIATYPE_Video, renderer);
  return renderer;
}

ComPtr<IPin> PinOf(IBaseFilter* filter, PIN_DIRECTION direction) {
  ComPtr<IPin> pin;
  PinAt(filter, direction, 0, pin);
  return pin;
}

ComPtr<IBaseFilter> FilterAcross(IPin* pin) {
  ComPtr<IPin> peer;
  PIN_INFO info = {};
  if (FAILED(pin->ConnectedTo(&peer)) || FAILED(peer->QueryPinInfo(&info))) return nullptr;
  ComPtr<IBaseFilter> filter;
  *filter.GetAddressOf() = info.pFilter;  // adopts the reference QueryPinInfo added
  return filter;
}

class SubtitleFilterTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_com.Entered());
    m_clip = m_clips.MakeAvi("clip.avi", ClipShape{320, 240, 25, 50, false});
    ASSERT_FALSE(m_clip.empty());
  }
  ComPtr<IGraphBuilder> Render() {
    ComPtr<IGraphBuilder> graph;
    if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&graph))))
      return nullptr;
    const HRESULT hr = graph->RenderFile(str::ToWide(m_clip.c_str()).c_str(), nullptr);
    EXPECT_EQ(hr, S_OK);
    return graph;
  }

  // The frames that reach the end of the video stream, as the given subtype.
  // from: where the run starts, 100 ns units.
  std::vector<RecordedSample> Record(const GUID& subtype, std::optional<PictureLayout>& layout,
                                     REFERENCE_TIME from = 0) {
    ComPtr<IGraphBuilder> graph = Render();
    ComPtr<IBaseFilter> renderer = graph ? FindVideoRenderer(graph.Get()) : nullptr;
    if (!renderer) return {};
    ComPtr<IPin> feeding;
    PinOf(renderer.Get(), PINDIR_INPUT)->ConnectedTo(&feeding);
    EXPECT_EQ(graph->RemoveFilter(renderer.Get()), S_OK);
    ComPtr<IBaseFilter> recorder;
    *recorder.GetAddressOf() = new RecordingSink(subtype);  // adopts the creation reference
    RecordingPin& pin = static_cast<RecordingSink*>(recorder.Get())->m_video;
    graph->AddFilter(recorder.Get(), L"Recorder");
    const HRESULT connected = graph->ConnectDirect(feeding.Get(), &pin, nullptr);
    EXPECT_EQ(connected, S_OK);
    if (FAILED(connected)) return {};
    layout = DrawableLayout(pin.ConnectionType().Get());
    ComPtr<IMediaSeeking> seeking;
    if (from != 0 && SUCCEEDED(graph.As(&seeking))) {
      EXPECT_EQ(seeking->SetPositions(&from, AM_SEEKING_AbsolutePositioning, nullptr,
                                      AM_SEEKING_NoPositioning),
                S_OK);
    }
    RunToCompletion(graph.Get());
    return std::move(pin.samples);
  }

  // Frames in a cue differ from the plain ones only in the lower half of the
  // picture; all others are equal byte for byte. framesInCues 0: no cue drawn.
  void ExpectCuesDrawn(const std::vector<RecordedSample>& plain,
                       const std::vector<RecordedSample>& drawn, const PictureLayout& layout,
                       size_t frames, int framesInCues) {
    ASSERT_EQ(drawn.size(), frames);
    ASSERT_EQ(plain.size(), frames);
    int inCues = 0;
    for (size_t i = 0; i < frames; ++i) {
      ASSERT_EQ(drawn[i].time, plain[i].time);
      ASSERT_EQ(drawn[i].bytes.size(), plain[i].bytes.size());
      int changed = 0;
      for (size_t b = 0; b < drawn[i].bytes.size(); ++b) {
        if (drawn[i].bytes[b] == plain[i].bytes[b]) continue;
        ++changed;
        ASSERT_GE(PixelsOfByte(layout, b).y0, layout.height / 2) << "frame " << i;
      }
      const bool inCue = framesInCues > 0 && InACue(drawn[i].time);
      inCues += inCue;
      if (inCue) {
        EXPECT_GT(changed, 100) << "frame " << i;
      } else {
        EXPECT_EQ(changed, 0) << "frame " << i;
      }
    }
    EXPECT_EQ(inCues, framesInCues);
  }

  LoadLevelGuard m_level;
  ComApartment m_com;
  ClipFolder m_clips;
  std::string m_clip;
};

TEST_F(SubtitleFilterTest, JoinsAsTheLoadLevelSays) {
  const struct {
    std::optional<DWORD> level;
    const char* subtitleName;  // beside the clip, or nullptr
    bool joins;
  } kCases[] = {
      {std::nullopt, nullptr, true}, {0, nullptr, true},     {1, nullptr, false},
      {1, "clip.ass", true},         {2, "clip.srt", false}, {7, "clip.srt", false},
  };
  for (const auto& c : kCases) {
    ClipFolder folder;
    m_clip = folder.MakeAvi("clip.avi", ClipShape{160, 120, 25, 10, false});
    if (c.subtitleName) folder.MakeFile(c.subtitleName, kSubRip);
    if (c.level) {
      LoadLevelGuard::Set(*c.level);
    } else {
      LoadLevelGuard::Remove();
    }
    ComPtr<IGraphBuilder> graph = Render();
    ASSERT_TRUE(graph);
    EXPECT_EQ(SubtitleFiltersOf(graph.Get()).size(), c.joins ? 1u : 0u)
        << "level " << c.level.value_or(-1) << " " << (c.subtitleName ? c.subtitleName : "-");
  }
}

TEST_F(SubtitleFilterTest, SitsBetweenTheDecoderAndTheRendererOnce) {
  m_clips.MakeFile("clip.srt", kSubRip);
  LoadLevelGuard::Set(1);
  ComPtr<IGraphBuilder> graph = Render();
  const std::vector<ComPtr<IBaseFilter>> filters = SubtitleFiltersOf(graph.Get());
  ASSERT_EQ(filters.size(), 1u) << "no stacked copies";
  ComPtr<IBaseFilter> upstream = FilterAcross(PinOf(filters[0].Get(), PINDIR_INPUT).Get());
  ComPtr<IBaseFilter> downstream = FilterAcross(PinOf(filters[0].Get(), PINDIR_OUTPUT).Get());
  ASSERT_TRUE(upstream && downstream);
  EXPECT_EQ(downstream.Get(), FindVideoRenderer(graph.Get()).Get());
  ComPtr<IFileSourceFilter> source;
  EXPECT_FALSE(SUCCEEDED(upstream.As(&source))) << "the decoder, not the file source, feeds it";

  // Joining looks upstream for copies of itself and keeps no reference.
  ComPtr<IPin> input = PinOf(filters[0].Get(), PINDIR_INPUT), feeding;
  ASSERT_EQ(input->ConnectedTo(&feeding), S_OK);
  const ULONG before = (upstream->AddRef(), upstream->Release());
  graph->Disconnect(PinOf(filters[0].Get(), PINDIR_OUTPUT).Get());
  ASSERT_EQ(graph->Disconnect(feeding.Get()), S_OK);
  ASSERT_EQ(graph->Disconnect(input.Get()), S_OK);
  ASSERT_EQ(graph->ConnectDirect(feeding.Get(), input.Get(), nullptr), S_OK);
  EXPECT_EQ((upstream->AddRef(), upstream->Release()), before);
}

// The fourcc's subtype; the splitter offers I420 rather than IYUV.
constexpr GUID kSubtypeI420 = {
    0x30323449, 0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// The frames of each subtype the filter draws into, with the filter kept out
// (level 2) and let in (level 1).
TEST_F(SubtitleFilterTest, FramesCarryTheCuesInTheLowerPartOnly) {
  m_clips.MakeFile("clip.srt", kSubRip);
  for (const GUID& subtype : {MEDIASUBTYPE_YV12, kSubtypeI420, MEDIASUBTYPE_YUY2,
                              MEDIASUBTYPE_RGB24, MEDIASUBTYPE_RGB32}) {
    SCOPED_TRACE(subtype.Data1);
    std::optional<PictureLayout> layout;
    LoadLevelGuard::Set(2);
    const std::vector<RecordedSample> plain = Record(subtype, layout);
    LoadLevelGuard::Set(1);
    const std::vector<RecordedSample> drawn = Record(subtype, layout);
    ASSERT_TRUE(layout) << "connected as the subtype asked for";
    ExpectCuesDrawn(plain, drawn, *layout, 50, 15);
  }
}

// Without a subtitle file the frames pass unchanged. After a seek, samples are
// stamped from the new segment's start: a cue shows by the time in the clip.
TEST_F(SubtitleFilterTest, PassesFramesUnchangedOrDrawsByPresentationTime) {
  std::optional<PictureLayout> layout;
  LoadLevelGuard::Set(2);
  const std::vector<RecordedSample> plain = Record(MEDIASUBTYPE_YV12, layout, 10000000);
  LoadLevelGuard::Set(0);
  const std::vector<RecordedSample> passed = Record(MEDIASUBTYPE_YV12, layout, 10000000);
  m_clips.MakeFile("clip.srt", kSubRip);
  const std::vector<RecordedSample> drawn = Record(MEDIASUBTYPE_YV12, layout, 10000000);
  ASSERT_TRUE(layout);
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.front().time, 10000000);
  ExpectCuesDrawn(plain, passed, *layout, 25, 0);
  ExpectCuesDrawn(plain, drawn, *layout, 25, 5);
}

TEST(SubtitleFiles, AreFoundBesideTheVideoInOrder) {
  const struct {
    std::vector<const char*> files;
    const char* expected;  // nullptr: none
  } kCases[] = {
      {{"v.ssa", "v.ass", "v.srt"}, "v.srt"},
      {{"v.ssa", "v.ass"}, "v.ass"},
      {{"v.ssa", "v.fr.srt"}, "v.ssa"},
      {{"v.fr.srt", "v.de.srt"}, "v.de.srt"},
      {{"v.srt.bak", "vv.srt", "v.txt"}, nullptr},
  };
  for (const auto& c : kCases) {
    ClipFolder folder;
    for (const char* name : c.files) folder.MakeFile(name, "x");
    folder.MakeFolder("v.en.srt");  // a folder is no subtitle file
    const std::wstring found = FindSubtitleFile(str::ToWide(folder.PathOf("v.avi").c_str()));
    const std::wstring expected =
        c.expected ? str::ToWide(folder.PathOf(c.expected).c_str()) : std::wstring();
    EXPECT_EQ(found, expected) << c.files.front();
  }
}

// Registration, as an installer: the key with "LoadLevel" 0 when it is absent,
// and a user's key left as it is.
TEST(SubtitleFilterRegistration, CreatesTheSettingsOnlyWhereAbsent) {
  LoadLevelGuard guard;
  char exe[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string dll = exe;
  dll = dll.substr(0, dll.find_last_of('\\'));
  dll = dll.substr(0, dll.find_last_of('\\')) + "\\standins\\subtitles.dll";
  HMODULE module = LoadLibraryA(dll.c_str());
  ASSERT_TRUE(module) << dll;
  auto registerServer = reinterpret_cast<HRESULT(WINAPI*)()>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllRegisterServer")));
  ASSERT_TRUE(registerServer);

  RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsPath);
  RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsPath);
  EXPECT_EQ(registerServer(), S_OK);
  EXPECT_EQ(ReadRawValue(kSettingsPath, "LoadLevel"), DwordValue(0));

  LoadLevelGuard::Set(1);
  EXPECT_EQ(registerServer(), S_OK);
  EXPECT_EQ(ReadLoadLevel(), LoadLevel::kWithSubtitles);
  LoadLevelGuard::Remove();
  EXPECT_EQ(registerServer(), S_OK);
  EXPECT_EQ(ReadRawValue(kSettingsPath, "LoadLevel"), std::nullopt)
      << "a key without the value is the user's";
  FreeLibrary(module);
}

// Makes a cue's overlay as wide as its start and as tall as the picture asked
// for, and notes the threads it is made and used on.
class MarkingRasterizer final : public CueRasterizer {
 public:
  explicit MarkingRasterizer(std::set<DWORD>& threads) : m_threads(threads) {
    m_threads.insert(GetCurrentThreadId());
  }
  Overlay Rasterize(const Cue& cue, int, int pictureHeight) override {
    m_threads.insert(GetCurrentThreadId());
    return Overlay(static_cast<int>(cue.start), pictureHeight);
  }

 private:
  std::set<DWORD>& m_threads;
};

// Each overlay taken is its own cue's at the picture size asked for, whatever
// was expected before, in whichever order; one thread, not the caller's, makes
// them all. Steps: "e1@48" expects cue 1 for pictures 48 high, "r1@48" takes it.
TEST(AheadRasterizers, HandEachCueItsOwnOverlayMadeOnOneThread) {
  const CueList cues({{10, 20, {}}, {30, 40, {}}, {50, 60, {}}});
  const std::vector<std::vector<std::string>> cases = {
      {"e0@48", "e1@48", "r0@48", "r1@48"},
      {"e0@48", "e1@48", "r1@48", "r0@48"},
      {"r2@48", "e2@48", "r2@48"},
      {"e0@48", "r0@96", "r0@48"},
      {"e0@48", "e1@48", "e2@48", "e0@96", "e1@96", "e2@96", "r2@96", "r0@48", "r1@96"},
  };
  for (const auto& steps : cases) {
    std::set<DWORD> threads;
    {
      AheadRasterizer ahead([&] { return std::make_unique<MarkingRasterizer>(threads); });
      for (const std::string& step : steps) {
        SCOPED_TRACE(step);
        const Cue& cue = cues[static_cast<size_t>(step[1] - '0')];
        const int height = std::stoi(step.substr(3));
        if (step[0] == 'e') {
          ahead.Expect(cue, 64, height);
          continue;
        }
        const Overlay overlay = ahead.Rasterize(cue, 64, height);
        EXPECT_EQ(overlay.Width(), cue.start);
        EXPECT_EQ(overlay.Height(), height);
      }
    }
    EXPECT_EQ(threads.size(), 1u);
    EXPECT_EQ(threads.count(GetCurrentThreadId()), 0u);
  }
}

}  // namespace
