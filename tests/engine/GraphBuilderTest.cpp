// The conversion graph builder on a graph of fakes: every failure it reports,
// the calls of each output format, and every reference given back.

#include "engine/GraphBuilder.h"

#include <gtest/gtest.h>

#include "engine/GraphHandles.h"
#include "fakes/FakeCaptureBuilder.h"
#include "fakes/FakeGraphBuilder.h"
#include "fakes/FakeMediaControl.h"
#include "fakes/FakeMediaEvent.h"
#include "fakes/FakeMuxConfig.h"
#include "fakes/FakePin.h"
#include "fakes/FakeWmProfileManager.h"
#include "fakes/ScriptedPrompts.h"
#include "settings/ConversionSettings.h"

namespace {

constexpr HRESULT kInjected = static_cast<HRESULT>(0x80041234);
const HWND kWindow = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x4242));
constexpr char kAvi[] =
    "builder.SetOutputFileName({E436EB88-524F-11CE-9F53-0020AF0BA770} C:\\out.avi)";
constexpr char kWmv[] =
    "builder.SetOutputFileName({7C23220E-55BB-11D3-8B16-00C04FB6BD3D} C:\\out.avi)";
constexpr char kMkv[] =
    "builder.SetOutputFileName({A28F324B-DDC5-4999-AA25-D3A7E25EF7A8} C:\\out.avi)";
constexpr char kAsf[] =
    "builder.SetOutputFileName({6432C990-68CD-4913-98FE-C20322E042C0} C:\\out.avi)";
constexpr char kRemoved[] = "graph.RemoveFilter(videoRenderer)";
constexpr char kAudioRemoved[] = "graph.RemoveFilter(audioRenderer)";
constexpr char kVideoRendered[] = "builder.RenderStream(videoOut videoCompressor mux)";

// A rendered graph: a decoder whose two outputs feed a video and an audio
// renderer; a capture builder, multiplexer and Windows Media runtime to match.
struct FakeConversion {
  FakeWmCallLog calls;
  FakeFilter decoder{"decoder", nullptr}, videoRenderer{"videoRenderer", nullptr},
      audioRenderer{"audioRenderer", nullptr}, mux{"mux", nullptr},
      videoCompressor{"videoCompressor", nullptr}, audioCompressor{"audioCompressor", nullptr};
  FakePin videoOut{"videoOut", &calls, PINDIR_OUTPUT, &decoder};
  FakePin audioOut{"audioOut", &calls, PINDIR_OUTPUT, &decoder};
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
    settings.outputPath = "C:\\out.avi";
  }

  HRESULT Build(GraphHandles& handles, std::string& errorText) {
    handles.videoCompressor = &videoCompressor;
    handles.audioCompressor = &audioCompressor;
    GraphBuildFactories factories;
    factories.captureBuilder = [this](ICaptureGraphBuilder2** out) {
      HRESULT hr = calls.Call("runtime", "CreateCaptureBuilder");
      return FAILED(hr) ? hr : builder.QueryInterface(IID_PPV_ARGS(out));
    };
    factories.profileManager = manager.Factory();
    return BuildConversionGraph(kWindow, &graph, handles, settings, errorText, factories);
  }

  // The calls that show what the build did to the graph and the output.
  std::vector<std::string> BuildCalls() const {
    const char* shown[] = {
        "graph.AddFilter", "graph.RemoveFilter",       "builder.", "mux.put_Mode", "sink.",
        "writer.",         "manager.LoadProfileByData"};
    std::vector<std::string> out;
    for (const std::string& entry : calls.Entries())
      for (const char* prefix : shown)
        if (entry.rfind(prefix, 0) == 0) out.push_back(entry);
    return out;
  }

  // The fakes that still hold a reference.
  std::vector<std::string> Held() const {
    std::vector<std::string> held;
    for (const FakeFilter* f :
         {&decoder, &videoRenderer, &audioRenderer, &mux, &videoCompressor, &audioCompressor})
      if (f->RefCount()) held.push_back(f->Name());
    for (const FakePin* p : {&videoOut, &audioOut, &videoIn, &audioIn})
      if (p->RefCount()) held.push_back(p->Name());
    if (builder.RefCount() || graph.RefCount() || control.RefCount() || events.RefCount())
      held.push_back("builder, graph or its control");
    if (config.RefCount() || profile.RefCount() || manager.RefCount() || wma.RefCount() ||
        wmv3.RefCount())
      held.push_back("mux configuration or Windows Media runtime");
    for (const auto& stream : profile.NewStreams())
      if (stream->RefCount()) held.push_back(stream->Name());
    return held;
  }
};

enum class Form { Error, App, Diagnostic };
struct Box {
  Form form;
  const char* text;  // nullptr: the framework's text for the injected code
};

struct Row {
  const char* name;
  OutputFormat format = OutputFormat::Avi;
  const char* failOn = nullptr;  // a call that fails with kInjected
  void (*arrange)(FakeConversion&) = nullptr;
  HRESULT result = kInjected;
  std::vector<Box> boxes;
  bool installHint = false;             // a page opened in the browser
  std::vector<std::string> calls = {};  // when given, FakeConversion::BuildCalls
};

void NoVideoRenderer(FakeConversion& c) { c.graph.filters = {&c.decoder, &c.audioRenderer}; }
void NoAudioRenderer(FakeConversion& c) { c.graph.filters = {&c.decoder, &c.videoRenderer}; }
void FileProfile(FakeConversion& c) { c.settings.fileProfile = 1; }
void NoCompressors(FakeConversion& c) {
  c.settings.useVideoCompressor = 0;
  c.settings.useAudioCompressor = 0;
}

const Row kRows[] = {
    {.name = "video renderer search fails", .failOn = "decoder.EnumPins", .boxes = {}},
    {.name = "no video renderer",
     .arrange = NoVideoRenderer,
     .result = S_FALSE,
     .boxes = {{Form::Error, "Cannot find video renderer input pin!"}}},
    {.name = "video renderer input not connected",
     .failOn = "videoIn.ConnectedTo",
     .boxes = {{Form::Error,
                "Cannot find the output pin connected to video renderer's input pin!"}}},
    {.name = "video renderer not removed",
     .failOn = kRemoved,
     .boxes = {{Form::Error, "Cannot Remove video renderer"}}},
    {.name = "audio renderer search fails", .failOn = "audioRenderer.EnumPins", .boxes = {}},
    {.name = "no audio renderer",
     .arrange = NoAudioRenderer,
     .result = S_FALSE,
     .boxes = {{Form::Error, "Cannot find audio renderer input pin!"}},
     .calls = {kRemoved}},
    {.name = "audio renderer input not connected",
     .failOn = "audioIn.ConnectedTo",
     .boxes = {{Form::Error,
                "Cannot find the output pin connected to audio renderer's input pin!"}}},
    {.name = "audio renderer not removed",
     .failOn = kAudioRemoved,
     .result = S_FALSE,
     .boxes = {{Form::Error, "Cannot Remove audio renderer"}}},
    {.name = "no capture builder",
     .failOn = "runtime.CreateCaptureBuilder",
     .boxes = {{Form::App, "Could not create ICaptureGraphBuilder2"}}},
    {.name = "graph refused",
     .failOn = "builder.SetFiltergraph",
     .boxes = {{Form::App, "Error pBuilder->SetFiltergraph( pGraph )"}}},
    {.name = "AVI not opened",
     .failOn = "builder.SetOutputFileName",
     .boxes = {{Form::App, "Error pBuilder->SetOutputFileName(&guid, Filename, &pMux, &pWriter )"}},
     .calls = {kRemoved, kAudioRemoved, "builder.SetFiltergraph()", kAvi}},
    {.name = "WMV not opened",
     .format = OutputFormat::Wmv,
     .failOn = "builder.SetOutputFileName",
     .boxes = {{Form::App,
                "Error pBuilder->SetOutputFileName(&guid, Filename, &pMux, &pWriter )"}}},
    {.name = "MKV not opened",
     .format = OutputFormat::Mkv,
     .failOn = "builder.SetOutputFileName",
     .boxes = {{Form::App, "Please install MKV codec)"}},
     .installHint = true,
     .calls = {kRemoved, kAudioRemoved, "builder.SetFiltergraph()", kMkv}},
    {.name = "ASF not opened",
     .format = OutputFormat::Asf,
     .failOn = "builder.SetOutputFileName",
     .boxes = {{Form::App, "Please install ASF Multipexer)"}},
     .installHint = true,
     .calls = {kRemoved, kAudioRemoved, "builder.SetFiltergraph()", kAsf}},
    {.name = "no profile",
     .format = OutputFormat::Wmv,
     .failOn = "manager.CreateEmptyProfile",
     .boxes = {{Form::Diagnostic,
                "Failed to GenerateProfile Audio video with script!  hr=0x80041234\n"}}},
    {.name = "no IConfigAsfWriter",
     .format = OutputFormat::Wmv,
     .failOn = "mux.QueryInterface(IConfigAsfWriter)",
     .boxes = {{Form::Diagnostic, "Failed to QI for IConfigAsfWriter!  hr=0x80041234\n"}}},
    {.name = "test2 not loaded",
     .format = OutputFormat::Wmv,
     .failOn = "manager.LoadProfileByData",
     .arrange = FileProfile,
     .boxes = {{Form::Diagnostic, "Failed to map profile ID!  hr=0x80041234\n"}}},
    {.name = "loaded profile refused",
     .format = OutputFormat::Wmv,
     .failOn = "writer.ConfigureFilterUsingProfile",
     .arrange = FileProfile,
     .boxes = {{Form::Diagnostic,
                "Failed to configure filter to use file profile!  hr=0x80041234\n"}}},
    {.name = "generated profile refused",
     .format = OutputFormat::Wmv,
     .failOn = "writer.ConfigureFilterUsingProfile",
     .boxes = {{Form::Diagnostic, "Failed to configure filter to use profile!  hr=0x80041234\n"}}},
    {.name = "compressor not added",
     .failOn = "graph.AddFilter(VideoCompressor)",
     .boxes = {{Form::App, nullptr}}},
    {.name = "video not rendered",
     .failOn = kVideoRendered,
     .boxes = {{Form::Error, "failed pBuilder->RenderStream( NULL, NULL, pPin, NULL, pMux)"},
               {Form::App, nullptr}}},
    {.name = "audio not rendered",
     .failOn = "builder.RenderStream(audioOut audioCompressor mux)",
     .boxes = {{Form::App, "failed pBuilder->RenderStream( NULL, NULL, pPin, NULL, pMux )"},
               {Form::App, nullptr}}},
    {.name = "no control",
     .failOn = "graph.QueryInterface(IMediaControl)",
     .boxes = {{Form::App, "Could not get pControl"}}},
    {.name = "no events",
     .failOn = "graph.QueryInterface(IMediaEventEx)",
     .boxes = {{Form::App, "Could not get pEvent"}}},
    {.name = "no notification",
     .arrange = [](FakeConversion& c) { c.events.notifyResult = kInjected; },
     .boxes = {{Form::App, "can not SetNotifyWindow!!!"}}},
    {.name = "AVI",
     .result = S_OK,
     .boxes = {},
     .calls = {kRemoved, kAudioRemoved, "builder.SetFiltergraph()", kAvi, "mux.put_Mode(2)",
               "sink.SetMode(1)", "graph.AddFilter(VideoCompressor)", kVideoRendered,
               "graph.AddFilter(AudioCompressor)",
               "builder.RenderStream(audioOut audioCompressor mux)"}},
    {.name = "AVI uncompressed",
     .arrange = NoCompressors,
     .result = S_OK,
     .boxes = {},
     .calls = {kRemoved, kAudioRemoved, "builder.SetFiltergraph()", kAvi, "mux.put_Mode(2)",
               "sink.SetMode(1)", "builder.RenderStream(videoOut - mux)",
               "builder.RenderStream(audioOut - mux)"}},
    {.name = "WMV",
     .format = OutputFormat::Wmv,
     .result = S_OK,
     .boxes = {},
     .calls = {kRemoved, kAudioRemoved, "builder.SetFiltergraph()", kWmv, "mux.put_Mode(2)",
               "sink.SetMode(1)", "writer.ConfigureFilterUsingProfile(profile)",
               "builder.RenderStream(videoOut - mux)", "builder.RenderStream(audioOut - mux)"}},
    {.name = "WMV from profile text",
     .format = OutputFormat::Wmv,
     .arrange = FileProfile,
     .result = S_OK,
     .boxes = {},
     .calls = {kRemoved, kAudioRemoved, "builder.SetFiltergraph()", kWmv, "mux.put_Mode(2)",
               "sink.SetMode(1)", "manager.LoadProfileByData(test2)",
               "writer.ConfigureFilterUsingProfile(profile)",
               "builder.RenderStream(videoOut - mux)", "builder.RenderStream(audioOut - mux)"}},
    {.name = "default renderers",
     .format = static_cast<OutputFormat>(5),
     .result = S_OK,
     .boxes = {},
     .calls = {kRemoved, kAudioRemoved, "builder.SetFiltergraph()",
               "graph.AddFilter(VideoCompressor)",
               "builder.RenderStream(videoOut videoCompressor -)",
               "graph.AddFilter(AudioCompressor)",
               "builder.RenderStream(audioOut audioCompressor -)"}},
};

void ExpectBox(const PromptRecord& record, const Box& box) {
  EXPECT_EQ(record.text, box.text ? box.text : FrameworkErrorText(kInjected));
  const std::string caption = box.form == Form::Error ? "Error"
                              : box.form == Form::App ? "builder_title"
                                                      : "Message";
  EXPECT_EQ(record.caption, caption);
  if (box.form != Form::App) {
    EXPECT_EQ(record.owner, box.form == Form::Error ? kWindow : nullptr);
  }
  EXPECT_EQ(record.type & ~MB_ICONEXCLAMATION, static_cast<UINT>(MB_OK));
}

TEST(BuildConversionGraph, ReportsEachFailureInItsFormAndGivesBackEveryReference) {
  SetAppTitle("builder_title");
  for (const Row& row : kRows) {
    SCOPED_TRACE(row.name);
    ScriptedPrompts prompts;
    FakeConversion c;
    c.settings.outputFormat = row.format;
    if (row.failOn) c.calls.FailOn(row.failOn, kInjected);
    if (row.arrange) row.arrange(c);
    const bool wmvBuilt = row.format == OutputFormat::Wmv && row.result == S_OK;
    {
      GraphHandles handles;
      std::string errorText;
      EXPECT_EQ(c.Build(handles, errorText), row.result);
      if (row.result == S_OK) {
        EXPECT_EQ(handles.mediaControl.Get(), &c.control);
        EXPECT_EQ(handles.mediaEvent.Get(), &c.events);
        EXPECT_EQ(c.events.notifyWindow, reinterpret_cast<OAHWND>(kWindow));
        EXPECT_EQ(c.events.notifyMessage, 0x040D);
      }
      bool frameworkText = false;
      for (const Box& box : row.boxes) frameworkText = frameworkText || !box.text;
      EXPECT_EQ(errorText, frameworkText ? FrameworkErrorText(kInjected) : "");
    }
    const std::vector<PromptRecord> boxes = prompts.Messages();
    ASSERT_EQ(boxes.size(), row.boxes.size());
    for (size_t i = 0; i < boxes.size(); ++i) ExpectBox(boxes[i], row.boxes[i]);
    const size_t launches = prompts.Records().size() - boxes.size();
    ASSERT_EQ(launches, row.installHint ? 1u : 0u);
    if (row.installHint) {
      EXPECT_EQ(prompts.Records().back().caption, "open");
      EXPECT_EQ(prompts.Records().back().text.rfind("https://", 0), 0u);
      EXPECT_EQ(prompts.Records().back().type, static_cast<UINT>(SW_SHOWNORMAL));
    }
    if (!row.calls.empty()) {
      EXPECT_EQ(c.BuildCalls(), row.calls);
    }
    EXPECT_EQ(c.settings.useVideoCompressor, wmvBuilt || row.arrange == NoCompressors ? 0 : 1);
    EXPECT_EQ(c.settings.useAudioCompressor, c.settings.useVideoCompressor);
    if (wmvBuilt) {
      // 23.976 frames per second ask for 23 whole frames: 10,000,000 / 23.
      for (const auto& stream : c.profile.NewStreams()) {
        if (stream->Name() != "newVideo") continue;
        const auto* info =
            reinterpret_cast<const VIDEOINFOHEADER*>(stream->mediaType->format.data());
        EXPECT_EQ(info->AvgTimePerFrame, 434782);
      }
    }
    EXPECT_EQ(c.Held(), std::vector<std::string>{});
  }
  SetAppTitle("");
}

TEST(ReportDiagnostic, FormatsTheCodeIntoAtMost511CharactersWithoutOwner) {
  ScriptedPrompts prompts;
  const std::string longPath(600, 'x');
  ReportDiagnostic("Failed to FindFilterByName!  hr=0x%x\n", static_cast<unsigned>(E_FAIL));
  ReportDiagnostic("%s", "100%s %n sure");  // a text goes in as an argument, never as the format
  ReportDiagnostic("Failed %s  hr=0x%x\n", longPath.c_str(), 1u);
  const std::vector<PromptRecord> boxes = prompts.Messages();
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text, "Failed to FindFilterByName!  hr=0x80004005\n");
  EXPECT_EQ(boxes[1].text, "100%s %n sure");
  EXPECT_EQ(boxes[2].text, "Failed " + longPath.substr(0, 504));
  for (const PromptRecord& box : boxes) {
    EXPECT_EQ(box.caption, "Message");
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
  }
}

}  // namespace
