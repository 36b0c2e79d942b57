// The builder and the teardown on Wine's own graphs of clips made here.

#include <gtest/gtest.h>

#include "engine/GraphBuilder.h"
#include "engine/GraphHandles.h"
#include "engine/GraphTeardown.h"
#include "engine/MediaFramework.h"
#include "engine/PinSearch.h"
#include "fakes/FakeCaptureBuilder.h"
#include "fakes/ScriptedPrompts.h"
#include "platform/Str.h"
#include "settings/CompressorCatalogue.h"
#include "settings/ConversionSettings.h"
#include "support/ClipFolder.h"
#include "support/ComApartment.h"

namespace {

using Microsoft::WRL::ComPtr;

constexpr wchar_t kVideoRenderer[] = L"Video Renderer";
constexpr wchar_t kAudioRenderer[] = L"Default DirectSound Device";

// A renderer of the rendered graph and the pin that fed it.
struct Leg {
  ComPtr<IBaseFilter> renderer;
  ComPtr<IPin> fed;
};

Leg LegOf(IGraphBuilder* graph, const wchar_t* rendererName) {
  Leg leg;
  ComPtr<IPin> input;
  if (FAILED(graph->FindFilterByName(rendererName, &leg.renderer))) return {};
  if (FAILED(PinAt(leg.renderer.Get(), PINDIR_INPUT, 0, input))) return {};
  input->ConnectedTo(&leg.fed);
  return leg;
}

// The renderer fed by the splitter's output n (Wine's splitter decodes), in
// its pin order: the renderers' names and order in the graph vary.
Leg SplitterLeg(IGraphBuilder* graph, int n) {
  Leg leg;
  ComPtr<IBaseFilter> splitter;
  ComPtr<IPin> input;
  PIN_INFO info = {};
  if (FAILED(graph->FindFilterByName(L"GStreamer splitter filter", &splitter)) ||
      FAILED(PinAt(splitter.Get(), PINDIR_OUTPUT, n, leg.fed)) ||
      leg.fed->ConnectedTo(&input) != S_OK || FAILED(input->QueryPinInfo(&info)))
    return {};
  leg.renderer = media::Adopt(info.pFilter);
  return leg;
}

bool Connected(IPin* pin) {
  ComPtr<IPin> peer;
  return pin && pin->ConnectedTo(&peer) == S_OK;
}

int FilterCount(IGraphBuilder* graph) {
  ComPtr<IEnumFilters> filters;
  ComPtr<IBaseFilter> filter;
  int count = 0;
  if (FAILED(graph->EnumFilters(&filters))) return -1;
  while (filters->Next(1, filter.ReleaseAndGetAddressOf(), nullptr) == S_OK) ++count;
  return count;
}

enum class After { Absent, Kept, Removed, Reconnected };

After StateOf(const Leg& leg) {
  if (!leg.renderer) return After::Absent;
  FILTER_INFO info = {};
  leg.renderer->QueryFilterInfo(&info);
  if (media::Adopt(info.pGraph)) return After::Kept;
  return Connected(leg.fed.Get()) ? After::Reconnected : After::Removed;
}

class ClipGraphTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(com.Entered());
    window = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetAppTitle("clip_title");
  }
  void TearDown() override {
    SetAppTitle("");
    DestroyWindow(window);
  }
  ComPtr<IGraphBuilder> Rendered(const std::string& path) {
    ComPtr<IGraphBuilder> graph;
    EXPECT_EQ(media::CreateFilterGraph(graph), S_OK);
    EXPECT_TRUE(SUCCEEDED(media::RenderPath(graph.Get(), path.c_str()))) << path;
    return graph;
  }

  ComApartment com;
  ClipFolder clips;
  ScriptedPrompts prompts;
  HWND window = nullptr;
};

TEST_F(ClipGraphTest, RemovesTheRenderersAndConnectsThePinsThatFedThem) {
  constexpr char kH264AndVorbis[] =
      "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a libvorbis";
  struct Case {
    const char* name;
    bool picture;
    bool sound;
    int format;
    bool refuseOutput;  // a capture builder whose SetOutputFileName fails
    HRESULT result;     // E_NOTIMPL: the refusal's code
    const char* box;    // nullptr: none
    After video;
    After audio;
    After secondSound = After::Absent;  // a second track's renderer
    bool soundDevice = true;            // else the audio renderer goes before the build
  };
  const Case cases[] = {
      {"AVI refused", true, true, 0, true, E_NOTIMPL,
       "Error pBuilder->SetOutputFileName(&guid, Filename, &pMux, &pWriter )", After::Removed,
       After::Removed},
      {"default renderers", true, true, 5, false, S_OK, nullptr, After::Reconnected,
       After::Reconnected},
      // The picture alone goes to the multiplexer.
      {"no sound", true, false, 0, false, S_OK, nullptr, After::Reconnected, After::Absent},
      {"no picture", false, true, 0, false, S_FALSE, "Cannot find video renderer input pin!",
       After::Absent, After::Kept},
      // Sound that no renderer took goes to the multiplexer as well.
      {"no sound device", true, true, 0, false, S_OK, nullptr, After::Reconnected,
       After::Reconnected, After::Absent, false},
      // The first track, whichever renderer the graph lists first; the other goes.
      {"two sound tracks.mkv", true, true, 2, false, S_OK, nullptr, After::Reconnected,
       After::Reconnected, After::Removed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompts.Clear();
    ClipShape shape;
    shape.withAudio = c.sound;
    shape.secondSoundTrack = c.secondSound != After::Absent;
    const std::string path = !c.picture ? clips.MakeWav(std::string(c.name) + ".wav", 2)
                             : shape.secondSoundTrack
                                 ? clips.MakeClip(c.name, shape, kH264AndVorbis)
                                 : clips.MakeAvi(std::string(c.name) + ".avi", shape);
    GraphHandles handles;
    handles.graph = Rendered(path);
    const Leg video = LegOf(handles.graph.Get(), kVideoRenderer);
    const Leg audio = shape.secondSoundTrack ? SplitterLeg(handles.graph.Get(), 1)
                                             : LegOf(handles.graph.Get(), kAudioRenderer);
    const Leg secondAudio = SplitterLeg(handles.graph.Get(), 2);
    ASSERT_EQ(video.fed != nullptr, c.picture);
    ASSERT_EQ(audio.fed != nullptr, c.sound);
    if (!c.soundDevice) {
      ASSERT_EQ(handles.graph->RemoveFilter(audio.renderer.Get()), S_OK);
    }

    ConversionSettings settings;
    settings.outputFormat = static_cast<OutputFormat>(c.format);
    settings.outputPath = clips.PathOf("out.avi");
    settings.videoCompressorIndex = settings.audioCompressorIndex = -1;
    settings.useVideoCompressor = settings.useAudioCompressor = 0;
    std::string errorText;
    FakeWmCallLog calls;
    calls.FailOn("builder.SetOutputFileName", E_NOTIMPL);
    FakeCaptureBuilder refusing(&calls, nullptr, nullptr);
    GraphBuildFactories factories;
    factories.captureBuilder = [&](ICaptureGraphBuilder2** out) {
      return refusing.QueryInterface(IID_PPV_ARGS(out));
    };
    const HRESULT hr = c.refuseOutput
                           ? BuildConversionGraph(window, handles.graph.Get(), handles, settings,
                                                  errorText, factories)
                           : EnsureCompressorsAndBuild(window, handles, settings, errorText);
    EXPECT_EQ(hr, c.result);
    EXPECT_EQ(StateOf(video), c.video);
    EXPECT_EQ(StateOf(audio), c.audio);
    EXPECT_EQ(StateOf(secondAudio), c.secondSound);
    EXPECT_FALSE(handles.soundLeftOut);
    EXPECT_EQ(handles.mediaEvent != nullptr, hr == S_OK);
    ASSERT_EQ(prompts.Messages().size(), c.box ? 1u : 0u);
    if (!c.box) continue;
    EXPECT_EQ(prompts.Messages()[0].text, c.box);
    EXPECT_EQ(prompts.Messages()[0].caption, c.result == S_FALSE ? "Error" : "clip_title");
  }
}

TEST_F(ClipGraphTest, TearDownFindsTheSourceByItsNameOrItsFileAndEmptiesTheGraph) {
  struct Case {
    const char* name;
    bool namedByPath;  // the source added under its path, the rest rendered from it
    const char* tornDownAs;
    bool found;
  };
  const Case cases[] = {
      {"named after its path", true, "clip.avi", true},
      {"rendered", false, "clip.avi", true},
      {"rendered, other letter case", false, "CLIP.AVI", true},
      {"another file", false, "other.avi", false},
  };
  const std::string path = clips.MakeAvi("clip.avi");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    prompts.Clear();
    ComPtr<IGraphBuilder> graph;
    if (c.namedByPath) {
      ASSERT_EQ(media::CreateFilterGraph(graph), S_OK);
      const std::wstring widePath = str::ToWide(path.c_str());
      ComPtr<IBaseFilter> source;
      ComPtr<IPin> output;
      ASSERT_EQ(graph->AddSourceFilter(widePath.c_str(), widePath.c_str(), &source), S_OK);
      ASSERT_EQ(PinAt(source.Get(), PINDIR_OUTPUT, 0, output), S_OK);
      ASSERT_TRUE(SUCCEEDED(graph->Render(output.Get())));
    } else {
      graph = Rendered(path);
    }
    const int filters = FilterCount(graph.Get());
    // The video renderer stands for a compressor that was in the graph.
    GraphHandles handles;
    handles.videoCompressor = LegOf(graph.Get(), kVideoRenderer).renderer;
    ComPtr<IBaseFilter> outside;
    GetCompressor(window, 0, &outside);
    handles.audioCompressor = outside;
    ASSERT_NE(handles.videoCompressor, nullptr);
    if (!outside)
      GTEST_SKIP() << "wants a video compressor outside the graph (Wine lists decoders)";
    const ComPtr<IBaseFilter> inGraph = handles.videoCompressor;  // kept: no address reuse
    ConversionSettings settings;
    settings.videoCompressorIndex = 0;

    TearDownGraph(window, graph.Get(), clips.PathOf(c.tornDownAs).c_str(), handles, settings);
    EXPECT_EQ(FilterCount(graph.Get()), c.found ? 0 : filters);
    EXPECT_EQ(handles.videoCompressor.Get() == inGraph.Get(), !c.found);
    EXPECT_NE(handles.videoCompressor, nullptr) << "a fresh instance of position 0";
    EXPECT_EQ(handles.audioCompressor.Get(), outside.Get());
    ASSERT_EQ(prompts.Messages().size(), c.found ? 0u : 1u);
    if (c.found) continue;
    EXPECT_EQ(prompts.Messages()[0].text, "Failed to FindFilterByName!  hr=0x80040216\n");
    EXPECT_EQ(prompts.Messages()[0].caption, "Message");
    EXPECT_EQ(prompts.Messages()[0].owner, window);
  }
}

}  // namespace
