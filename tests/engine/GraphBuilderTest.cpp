// The conversion graph builder on a graph of fakes: every failure it reports,
// the calls of each output format, and every reference given back.

#include "engine/GraphBuilder.h"

#include <gtest/gtest.h>

#include "engine/GraphHandles.h"
#include "engine/PinSearch.h"
#include "fakes/FakeCaptureBuilder.h"
#include "fakes/FakeGraphBuilder.h"
#include "fakes/FakeMediaControl.h"
#include "fakes/FakeMediaEvent.h"
#include "fakes/FakeMuxConfig.h"
#include "fakes/FakePin.h"
#include "fakes/FakeWmProfileManager.h"
#include "fakes/ScriptedPrompts.h"
#include "i18n/Localization.h"
#include "res/resource.h"
#include "settings/ConversionSettings.h"

namespace {

using Microsoft::WRL::ComPtr;

constexpr HRESULT kInjected = static_cast<HRESULT>(0x80041234);
const HWND kWindow = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x4242));
constexpr char kTitle[] = "builder_title";
constexpr char kAvi[] = "builder.SetOutputFileName({E436EB88-524F-11CE-9F53-0020AF0BA770} C:\\o)";
constexpr char kWmv[] = "builder.SetOutputFileName({7C23220E-55BB-11D3-8B16-00C04FB6BD3D} C:\\o)";
constexpr char kAviBuilt[] =
    "builder.SetOutputFileName({E436EB88-524F-11CE-9F53-0020AF0BA770} C:\\o) mux.put_Mode(2) "
    "sink.SetMode(1) graph.AddFilter(VideoCompressor) builder.RenderStream(videoOut "
    "videoCompressor mux) graph.AddFilter(AudioCompressor) builder.RenderStream(audioOut "
    "audioCompressor mux)";
// What a generated WMV profile's build does; the writer encodes by itself.
constexpr char kWmvBuilt[] =
    "builder.SetOutputFileName({7C23220E-55BB-11D3-8B16-00C04FB6BD3D} C:\\o) mux.put_Mode(2) "
    "sink.SetMode(1) writer.ConfigureFilterUsingProfile(profile) "
    "builder.RenderStream(videoOut - mux) builder.RenderStream(audioOut - mux)";

// A rendered graph: a decoder whose two outputs feed a video and an audio
// renderer; a capture builder, multiplexer and Windows Media runtime to match.
struct FakeConversion {
  FakeWmCallLog calls;
  FakeFilter decoder{"decoder", nullptr}, videoRenderer{"videoRenderer", nullptr},
      audioRenderer{"audioRenderer", nullptr}, mux{"mux", nullptr},
      videoCompressor{"videoCompressor", nullptr}, audioCompressor{"audioCompressor", nullptr};
  FakePin videoOut{"videoOut", &calls, PINDIR_OUTPUT, &decoder};
  FakePin audioOut{"audioOut", &calls, PINDIR_OUTPUT, &decoder, MEDIATYPE_Audio};
  FakePin secondAudioOut{"secondAudioOut", &calls, PINDIR_OUTPUT, &decoder, MEDIATYPE_Audio};
  FakePin videoIn{"videoIn", &calls, PINDIR_INPUT, &videoRenderer, MEDIATYPE_Video};
  FakePin audioIn{"audioIn", &calls, PINDIR_INPUT, &audioRenderer, MEDIATYPE_Audio};
  FakeMuxConfig config{calls};
  FakeCaptureBuilder builder{&calls, &mux, &config};
  FakeGraphBuilder graph{"graph", nullptr};
  FakeMediaControl control{"control", nullptr};
  FakeMediaEvent events{"events", nullptr};
  FakeWmProfile profile{"profile", calls};
  FakeWmProfileManager manager{calls, &profile};
  FakeWmStreamConfig wma{"wma", calls, FakeWaveFormat(0x0161, 44100, 2, 16000, 5945)};
  FakeWmStreamConfig wmv3{"wmv3", calls, FakeVideoFormat(MAKEFOURCC('W', 'M', 'V', '3'))};
  ConversionSettings settings;
  bool videoCompressorInstalled = true;  // else its stored choice made no instance

  FakeConversion() {
    videoOut.ConnectWith(videoIn);
    audioOut.ConnectWith(audioIn);
    decoder.pins = {&videoOut, &audioOut};
    videoRenderer.pins = {&videoIn};
    audioRenderer.pins = {&audioIn};
    for (FakeFilter* filter : {&decoder, &videoRenderer, &audioRenderer, &mux})
      filter->calls = &calls;
    graph.calls = &calls;
    graph.filters = {&decoder, &videoRenderer, &audioRenderer};
    graph.Offer(IID_IMediaControl, &control, "IMediaControl");
    graph.Offer(IID_IMediaEventEx, &events, "IMediaEventEx");
    IUnknown* configuration = static_cast<IConfigInterleaving*>(&config);
    mux.Offer(IID_IConfigInterleaving, configuration, "IConfigInterleaving");
    mux.Offer(__uuidof(IConfigAsfWriter), configuration, "IConfigAsfWriter");
    manager.audioCodecs = {{&wma}};
    manager.videoCodecs = {{&wmv3}};
    settings.outputPath = "C:\\o";
  }

  HRESULT Build(GraphHandles& handles, std::string& errorText) {
    if (videoCompressorInstalled) handles.videoCompressor = &videoCompressor;
    handles.audioCompressor = &audioCompressor;
    GraphBuildFactories factories;
    factories.captureBuilder = [this](ICaptureGraphBuilder2** out) {
      HRESULT hr = calls.Call("runtime", "CreateCaptureBuilder");
      return FAILED(hr) ? hr : builder.QueryInterface(IID_PPV_ARGS(out));
    };
    factories.profileManager = manager.Factory();
    return BuildConversionGraph(kWindow, &graph, handles, settings, errorText, factories);
  }

  // What the build did to the graph and the output, after the renderers'
  // removal and SetFiltergraph, blank-separated.
  std::string BuildCalls() const {
    const char* shown[] = {"graph.AddFilter",
                           "builder.",
                           "mux.put",
                           "sink.",
                           "writer.",
                           "manager.LoadProfileByData",
                           "graph.RemoveFilter(audioCompressor)"};
    std::string out;
    for (const std::string& entry : calls.Entries())
      for (const char* prefix : shown)
        if (entry.rfind(prefix, 0) == 0 && entry != "builder.SetFiltergraph()")
          out += (out.empty() ? "" : " ") + entry;
    return out;
  }

  // Every prompt as "E:" ("Error" box), "A:" (application box), "D:"
  // (diagnostic box), each owned by the window, or "S:" (a page opened by the
  // shell) and its text, "|"-separated; "*" stands for the framework's text of
  // kInjected.
  static std::string Shown(const ScriptedPrompts& prompts) {
    std::string out;
    for (const PromptRecord& r : prompts.Records()) {
      const bool owned = r.owner == kWindow;
      const bool error = r.caption == "Error" && owned && r.type == MB_OK;
      const bool app = r.caption == kTitle && owned && r.type == (MB_OK | MB_ICONEXCLAMATION);
      const bool diagnostic = r.caption == "Message" && owned && r.type == MB_OK;
      const bool shell = r.kind == PromptRecord::Kind::Shell && r.caption == "open" &&
                         r.type == SW_SHOWNORMAL && r.text.rfind("https://", 0) == 0;
      const char* form = shell ? "S:" : error ? "E:" : app ? "A:" : diagnostic ? "D:" : "?:";
      out += (out.empty() ? "" : "|") +
             (form + (r.text == FrameworkErrorText(kInjected) || shell ? "*" : r.text));
    }
    return out;
  }

  // The reference counts of every fake, which must all be back at 0.
  std::vector<ULONG> Counts() const {
    std::vector<ULONG> counts = {
        decoder.RefCount(),  videoRenderer.RefCount(),   audioRenderer.RefCount(),
        mux.RefCount(),      videoCompressor.RefCount(), audioCompressor.RefCount(),
        videoOut.RefCount(), audioOut.RefCount(),        videoIn.RefCount(),
        audioIn.RefCount(),  config.RefCount(),          builder.RefCount(),
        graph.RefCount(),    control.RefCount(),         events.RefCount(),
        profile.RefCount(),  manager.RefCount(),         wma.RefCount(),
        wmv3.RefCount(),     secondAudioOut.RefCount()};
    for (const auto& stream : profile.NewStreams()) counts.push_back(stream->RefCount());
    return counts;
  }
};

void NoVideoRenderer(FakeConversion& c) { c.graph.filters = {&c.decoder, &c.audioRenderer}; }
void NoAudioRenderer(FakeConversion& c) { c.graph.filters = {&c.decoder, &c.videoRenderer}; }
void FileProfile(FakeConversion& c) { c.settings.fileProfile = 1; }
// No sound device: no audio renderer was made, and its pin stayed unconnected.
void NoSoundDevice(FakeConversion& c) {
  NoAudioRenderer(c);
  c.audioOut.peer = c.audioIn.peer = nullptr;
}
// A second sound track that rendering left out (no decoder).
void SecondTrackLoose(FakeConversion& c) { c.decoder.pins.push_back(&c.secondAudioOut); }
void Uncompressed(FakeConversion& c) { c.settings.useVideoCompressor = 0; }
void Unnotified(FakeConversion& c) { c.events.notifyResult = kInjected; }
void VideoCompressorRemoved(FakeConversion& c) { c.videoCompressorInstalled = false; }

struct Row {
  const char* name;
  int format;
  const char* failOn;  // a call that fails with kInjected
  void (*arrange)(FakeConversion&);
  HRESULT result;
  std::string shown;  // FakeConversion::Shown
  const char* calls;  // FakeConversion::BuildCalls, when given
  bool soundLeftOut = false;
};

// clang-format off
const Row kRows[] = {
  {"video renderer search fails", 0, "decoder.EnumPins", nullptr, kInjected, "", ""},
  {"no video renderer", 0, nullptr, NoVideoRenderer, S_FALSE,
   "E:Cannot find video renderer input pin!", ""},
  {"video renderer input not connected", 0, "videoIn.ConnectedTo", nullptr, kInjected,
   "E:Cannot find the output pin connected to video renderer's input pin!", ""},
  {"video renderer not removed", 0, "graph.RemoveFilter(videoRenderer)", nullptr, kInjected,
   "E:Cannot Remove video renderer", ""},
  {"audio renderer search fails", 0, "audioRenderer.EnumPins", nullptr, kInjected, "", ""},
  // No sound: the picture alone, and the audio compressor stays out.
  {"no audio renderer", 0, nullptr, NoAudioRenderer, S_OK, "",
   "builder.SetOutputFileName({E436EB88-524F-11CE-9F53-0020AF0BA770} C:\\o) mux.put_Mode(2) "
   "sink.SetMode(1) graph.AddFilter(VideoCompressor) builder.RenderStream(videoOut "
   "videoCompressor mux)"},
  {"audio renderer input not connected", 0, "audioIn.ConnectedTo", nullptr, kInjected,
   "E:Cannot find the output pin connected to audio renderer's input pin!", ""},
  {"audio renderer not removed", 0, "graph.RemoveFilter(audioRenderer)", nullptr, S_FALSE,
   "E:Cannot Remove audio renderer", ""},
  {"no capture builder", 0, "runtime.CreateCaptureBuilder", nullptr, kInjected,
   "A:Could not create ICaptureGraphBuilder2", ""},
  {"graph refused", 0, "builder.SetFiltergraph", nullptr, kInjected,
   "A:Error pBuilder->SetFiltergraph( pGraph )", ""},
  {"AVI not opened", 0, "builder.SetOutputFileName", nullptr, kInjected,
   "A:Error pBuilder->SetOutputFileName(&guid, Filename, &pMux, &pWriter )", kAvi},
  {"WMV not opened", 1, "builder.SetOutputFileName", nullptr, kInjected,
   "A:Error pBuilder->SetOutputFileName(&guid, Filename, &pMux, &pWriter )", kWmv},
  {"MKV not opened", 2, "builder.SetOutputFileName", nullptr, kInjected,
   "A:Please install MKV codec)|S:*",
   "builder.SetOutputFileName({A28F324B-DDC5-4999-AA25-D3A7E25EF7A8} C:\\o)"},
  {"ASF not opened", 3, "builder.SetOutputFileName", nullptr, kInjected,
   "A:Please install ASF Multipexer)|S:*",
   "builder.SetOutputFileName({6432C990-68CD-4913-98FE-C20322E042C0} C:\\o)"},
  {"no profile", 1, "manager.CreateEmptyProfile", nullptr, kInjected,
   "D:Failed to GenerateProfile Audio video with script!  hr=0x80041234\n", ""},
  {"no IConfigAsfWriter", 1, "mux.QueryInterface(IConfigAsfWriter)", nullptr, kInjected,
   "D:Failed to QI for IConfigAsfWriter!  hr=0x80041234\n", ""},
  {"test2 not loaded", 1, "manager.LoadProfileByData", FileProfile, kInjected,
   "D:Failed to map profile ID!  hr=0x80041234\n", ""},
  {"loaded profile refused", 1, "writer.ConfigureFilterUsingProfile", FileProfile, kInjected,
   "D:Failed to configure filter to use file profile!  hr=0x80041234\n", ""},
  {"generated profile refused", 1, "writer.ConfigureFilterUsingProfile", nullptr, kInjected,
   "D:Failed to configure filter to use profile!  hr=0x80041234\n", ""},
  {"compressor not added", 0, "graph.AddFilter(VideoCompressor)", nullptr, kInjected, "A:*", ""},
  {"stored compressor no longer installed", 0, nullptr, VideoCompressorRemoved, VFW_E_NOT_FOUND,
   "E:" + BuiltInString(IDS_MESSAGE_NO_COMPRESSOR), ""},
  {"video not rendered", 0, "builder.RenderStream(videoOut videoCompressor mux)", nullptr,
   kInjected, "E:failed pBuilder->RenderStream( NULL, NULL, pPin, NULL, pMux)|A:*", ""},
  {"audio not rendered", 0, "builder.RenderStream(audioOut audioCompressor mux)", nullptr,
   kInjected, "A:failed pBuilder->RenderStream( NULL, NULL, pPin, NULL, pMux )|A:*", ""},
  {"no control", 0, "graph.QueryInterface(IMediaControl)", nullptr, kInjected,
   "A:Could not get pControl", ""},
  {"no events", 0, "graph.QueryInterface(IMediaEventEx)", nullptr, kInjected,
   "A:Could not get pEvent", ""},
  {"no notification", 0, nullptr, Unnotified, kInjected, "A:can not SetNotifyWindow!!!", ""},
  {"AVI", 0, nullptr, nullptr, S_OK, "", kAviBuilt},
  {"AVI, uncompressed video", 0, nullptr, Uncompressed, S_OK, "",
   "builder.SetOutputFileName({E436EB88-524F-11CE-9F53-0020AF0BA770} C:\\o) mux.put_Mode(2) "
   "sink.SetMode(1) builder.RenderStream(videoOut - mux) graph.AddFilter(AudioCompressor) "
   "builder.RenderStream(audioOut audioCompressor mux)"},
  {"WMV", 1, nullptr, nullptr, S_OK, "", kWmvBuilt},
  // The compressors chosen for the other formats stay out, and so does their absence.
  {"WMV with a stored compressor removed", 1, nullptr, VideoCompressorRemoved, S_OK, "",
   kWmvBuilt},
  {"WMV from profile text", 1, nullptr, FileProfile, S_OK, "",
   "builder.SetOutputFileName({7C23220E-55BB-11D3-8B16-00C04FB6BD3D} C:\\o) mux.put_Mode(2) "
   "sink.SetMode(1) manager.LoadProfileByData(test2) writer.ConfigureFilterUsingProfile(profile) "
   "builder.RenderStream(videoOut - mux) builder.RenderStream(audioOut - mux)"},
  // Sound that no renderer took goes to the compressor; the build leaves it
  // out, without a box, only when even that fails, and when no sound reached a
  // renderer.
  {"no sound device", 0, nullptr, NoSoundDevice, S_OK, "", kAviBuilt},
  {"no sound device, sound not rendered", 0,
   "builder.RenderStream(audioOut audioCompressor mux)", NoSoundDevice, S_OK, "",
   "builder.SetOutputFileName({E436EB88-524F-11CE-9F53-0020AF0BA770} C:\\o) mux.put_Mode(2) "
   "sink.SetMode(1) graph.AddFilter(VideoCompressor) builder.RenderStream(videoOut "
   "videoCompressor mux) graph.AddFilter(AudioCompressor) builder.RenderStream(audioOut "
   "audioCompressor mux) graph.RemoveFilter(audioCompressor)", true},
  {"second track not rendered", 0, nullptr, SecondTrackLoose, S_OK, "", kAviBuilt},
  {"default renderers", 5, nullptr, nullptr, S_OK, "",
   "graph.AddFilter(VideoCompressor) builder.RenderStream(videoOut videoCompressor -) "
   "graph.AddFilter(AudioCompressor) builder.RenderStream(audioOut audioCompressor -)"},
};
// clang-format on

TEST(BuildConversionGraph, ReportsEachFailureInItsFormAndGivesBackEveryReference) {
  SetAppTitle(kTitle);
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    ScriptedPrompts prompts;
    FakeConversion c;
    c.settings.outputFormat = static_cast<OutputFormat>(row.format);
    if (row.failOn) c.calls.FailOn(row.failOn, kInjected);
    if (row.arrange) row.arrange(c);
    {
      GraphHandles handles;
      std::string errorText;
      EXPECT_EQ(c.Build(handles, errorText), row.result);
      EXPECT_EQ(handles.soundLeftOut, row.soundLeftOut);
      if (row.result == S_OK) {
        EXPECT_EQ(handles.mediaControl.Get(), &c.control);
        EXPECT_EQ(c.events.notifyWindow, reinterpret_cast<OAHWND>(kWindow));
        EXPECT_EQ(c.events.notifyMessage, 0x040D);
      }
      const bool frameworkText = row.shown.ends_with("A:*");
      EXPECT_EQ(errorText, frameworkText ? FrameworkErrorText(kInjected) : "");
    }
    EXPECT_EQ(FakeConversion::Shown(prompts), row.shown);
    if (*row.calls) {
      EXPECT_EQ(c.BuildCalls(), row.calls);
    }
    if (row.format == 1 && row.result == S_OK && c.settings.fileProfile == 0) {
      // The video stream is the codec's format itself. 23.976 frames per
      // second ask for 23 whole frames: 10,000,000 / 23.
      ASSERT_TRUE(c.wmv3.mediaType.has_value());
      auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(c.wmv3.mediaType->format.data());
      EXPECT_EQ(info->AvgTimePerFrame, 434782);
    }
    EXPECT_EQ(c.Counts(), std::vector<ULONG>(c.Counts().size(), 0));
  }
  SetAppTitle("");
}

TEST(PinSearch, CountsAndPicksPinsOfOneDirectionInEnumerationOrder) {
  FakeWmCallLog calls;
  FakeFilter filter{"filter", nullptr};
  FakePin out0{"out0", &calls, PINDIR_OUTPUT, &filter}, in0{"in0", &calls, PINDIR_INPUT, &filter},
      out1{"out1", &calls, PINDIR_OUTPUT, &filter};
  filter.pins = {&out0, &in0, &out1};
  int inputs = -1;
  int outputs = -1;
  EXPECT_EQ(CountPins(&filter, inputs, outputs), S_OK);
  EXPECT_EQ(inputs * 10 + outputs, 12);
  EXPECT_EQ(CountPins(nullptr, inputs, outputs), E_POINTER);
  const struct {
    PIN_DIRECTION direction;
    int n;
    HRESULT result;
    IPin* pin;
  } cases[] = {{PINDIR_OUTPUT, 0, S_OK, &out0},
               {PINDIR_OUTPUT, 1, S_OK, &out1},
               {PINDIR_INPUT, 0, S_OK, &in0},
               {PINDIR_INPUT, 1, E_FAIL, nullptr},
               {PINDIR_OUTPUT, 2, E_FAIL, nullptr}};
  for (const auto& c : cases) {
    ComPtr<IPin> pin;
    EXPECT_EQ(PinAt(&filter, c.direction, c.n, pin), c.result) << c.direction << " " << c.n;
    EXPECT_EQ(pin.Get(), c.pin) << c.direction << " " << c.n;
  }
  ComPtr<IPin> none;
  EXPECT_EQ(PinAt(nullptr, PINDIR_INPUT, 0, none), E_POINTER);
  EXPECT_EQ(filter.RefCount() + out0.RefCount() + in0.RefCount() + out1.RefCount(), 0u);
}

TEST(ReportDiagnostic, FormatsTheCodeIntoAtMost511Characters) {
  ScriptedPrompts prompts;
  const std::string longText(600, 'x');
  ReportDiagnostic(kWindow, "Failed to FindFilterByName!  hr=0x%x\n",
                   static_cast<unsigned>(E_FAIL));
  ReportDiagnostic(kWindow, "%s", "100%s %n sure");  // a text is an argument, never the format
  ReportDiagnostic(kWindow, "Failed %s", longText.c_str());
  EXPECT_EQ(FakeConversion::Shown(prompts),
            "D:Failed to FindFilterByName!  hr=0x80004005\n|D:100%s %n sure|D:Failed " +
                longText.substr(0, 504));
}

}  // namespace
