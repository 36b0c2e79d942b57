#include "engine/GraphBuilder.h"

#include <dshow.h>
#include <wrl/client.h>

#include <climits>
#include <vector>

#include "engine/GraphHandles.h"
#include "engine/GraphTeardown.h"
#include "engine/MediaFramework.h"
#include "engine/PinSearch.h"
#include "engine/PlatformDeclarations.h"
#include "engine/WmProfileBuilder.h"
#include "i18n/Localization.h"
#include "platform/Prompts.h"
#include "platform/Str.h"
#include "res/resource.h"
#include "settings/CompressorCatalogue.h"
#include "settings/ConversionSettings.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr size_t kErrorTextChars = 160;

// Separately installed multiplexers, known by their class identifiers.
constexpr GUID kMatroskaMuxClass = {
    0xa28f324b, 0xddc5, 0x4999, {0xaa, 0x25, 0xd3, 0xa7, 0xe2, 0x5e, 0xf7, 0xa8}};
constexpr GUID kAsfMuxClass = {
    0x6432c990, 0x68cd, 0x4913, {0x98, 0xfe, 0xc2, 0x03, 0x22, 0xe0, 0x42, 0xc0}};

constexpr char kOutputNotSet[] =
    "Error pBuilder->SetOutputFileName(&guid, Filename, &pMux, &pWriter )";

struct OutputTarget {
  const GUID* type;         // what SetOutputFileName is asked for
  const char* failureText;  // application box when it fails
  const char* installHint;  // page opened after that box, or nullptr
};

const OutputTarget kAviTarget = {&MEDIASUBTYPE_Avi, kOutputNotSet, nullptr};
const OutputTarget kWmvTarget = {&CLSID_WMAsfWriter, kOutputNotSet, nullptr};
const OutputTarget kMkvTarget = {&kMatroskaMuxClass, "Please install MKV codec)",
                                 "https://www.bing.com/search?q=Matroska+Muxer+DirectShow+filter"};
const OutputTarget kAsfTarget = {&kAsfMuxClass, "Please install ASF Multipexer)",
                                 "https://www.bing.com/search?q=ASF+Multiplexer"};

struct RendererTexts {
  const GUID* majorType;
  const char* noInputPin;
  const char* notConnected;
  const char* notRemoved;
  bool notRemovedFails;  // false: the build ends with S_FALSE instead
  bool optional;         // without this renderer the build goes on without its stream
};

const RendererTexts kVideoRenderer = {
    &MEDIATYPE_Video,
    "Cannot find video renderer input pin!",
    "Cannot find the output pin connected to video renderer's input pin!",
    "Cannot Remove video renderer",
    true,
    false};
// A source without sound converts to a file without sound.
const RendererTexts kAudioRenderer = {
    &MEDIATYPE_Audio,
    "Cannot find audio renderer input pin!",
    "Cannot find the output pin connected to audio renderer's input pin!",
    "Cannot Remove audio renderer",
    false,
    true};

// What one build holds; every reference goes when the build ends.
struct Build {
  HWND window;
  IGraphBuilder* graph;
  GraphHandles& handles;
  const ConversionSettings& settings;
  std::string& errorText;
  const GraphBuildFactories& factories;
  ComPtr<IPin> videoPin;    // fed the video renderer
  ComPtr<IPin> audioPin;    // fed the audio renderer, or rendering left it loose
  bool looseSound = false;  // no renderer took audioPin (no sound device)
  ComPtr<ICaptureGraphBuilder2> builder;
  ComPtr<IBaseFilter> mux;  // empty for the default renderers
  ComPtr<IFileSinkFilter> sink;
};

unsigned Code(HRESULT hr) { return static_cast<unsigned>(hr); }

ProfileManagerFactory ProfileManagers(const Build& b) {
  return b.factories.profileManager ? b.factories.profileManager
                                    : ProfileManagerFactory(CreateProfileManager);
}

// Removes the renderer of one major type and keeps the pin that fed it. S_OK
// to go on (upstream stays empty when an optional renderer is absent);
// S_FALSE or a failure code end the build.
HRESULT DetachRenderer(Build& b, const RendererTexts& texts, ComPtr<IPin>& upstream) {
  ComPtr<IBaseFilter> renderer;
  HRESULT hr = LocateRenderer(b.graph, *texts.majorType, renderer);
  if (FAILED(hr)) return hr;
  if (!renderer && texts.optional) return S_OK;
  ComPtr<IPin> input;
  if (!renderer || FAILED(PinAt(renderer.Get(), PINDIR_INPUT, 0, input))) {
    ErrorBox(b.window, texts.noInputPin);
    return S_FALSE;
  }
  hr = input->ConnectedTo(&upstream);
  if (FAILED(hr)) {
    ErrorBox(b.window, texts.notConnected);
    return hr;
  }
  hr = b.graph->RemoveFilter(renderer.Get());
  if (FAILED(hr)) {
    ErrorBox(b.window, texts.notRemoved);
    return texts.notRemovedFails ? hr : S_FALSE;
  }
  b.handles.removedRenderers.push_back(renderer);
  return S_OK;
}

// The renderers of every other stream leave the graph with the filters that
// only they were fed by: a second sound track would play aloud, or pace the
// conversion, while the file is written.
void RemoveOtherRenderers(Build& b) {
  std::vector<ComPtr<IBaseFilter>> others;
  RenderersOf(b.graph, nullptr, others);  // none when they cannot be listed
  const std::vector<IPin*> kept = {b.videoPin.Get(), b.audioPin.Get()};
  for (const ComPtr<IBaseFilter>& renderer : others) {
    const ComPtr<IPin> branch = BranchStart(renderer.Get(), kept);
    if (branch) RemoveBelow(b.window, b.graph, branch.Get(), b.handles, b.settings);
    b.graph->RemoveFilter(renderer.Get());  // still there when its input was not connected
    b.handles.removedRenderers.push_back(renderer);
  }
}

// Without a sound renderer, the source's first sound stream that rendering
// left unconnected (there was no sound device to play it).
void FindLooseSound(Build& b) {
  if (b.audioPin) return;
  b.audioPin = FirstLooseOutput(b.graph, MEDIATYPE_Audio);
  b.looseSound = b.audioPin != nullptr;
}

HRESULT CreateBuilder(Build& b) {
  HRESULT hr = b.factories.captureBuilder
                   ? b.factories.captureBuilder(b.builder.ReleaseAndGetAddressOf())
                   : CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                      IID_PPV_ARGS(&b.builder));
  if (FAILED(hr) || !b.builder) {
    AppMessageBox(b.window, "Could not create ICaptureGraphBuilder2");
    return FAILED(hr) ? hr : E_POINTER;
  }
  hr = b.builder->SetFiltergraph(b.graph);
  if (FAILED(hr)) AppMessageBox(b.window, "Error pBuilder->SetFiltergraph( pGraph )");
  return hr;
}

// Interleaving and overwriting, where the multiplexer and sink offer them.
void SetWritingModes(const Build& b) {
  ComPtr<IConfigInterleaving> interleaving;
  if (b.mux && SUCCEEDED(b.mux.As(&interleaving))) interleaving->put_Mode(INTERLEAVE_FULL);
  ComPtr<IFileSinkFilter2> sink;
  if (b.sink && SUCCEEDED(b.sink.As(&sink))) sink->SetMode(AM_FILE_OVERWRITE);
}

HRESULT OpenMultiplexer(Build& b, const OutputTarget& target) {
  const std::wstring path = str::ToWide(b.settings.outputPath.c_str());
  HRESULT hr = b.builder->SetOutputFileName(target.type, path.c_str(), &b.mux, &b.sink);
  if (FAILED(hr)) {
    AppMessageBox(b.window, target.failureText);
    if (target.installHint) {
      Prompts::Current().OpenWithShell(nullptr, "open", target.installHint, nullptr, nullptr,
                                       SW_SHOWNORMAL);
    }
    return hr;
  }
  SetWritingModes(b);
  return hr;
}

// Whole frames per second for the profile: truncated, 0 below 1 (the profile
// builder refuses that).
LONG WholeFramesPerSecond(double rate) {
  if (!(rate >= 1)) return 0;  // also NaN
  if (rate >= LONG_MAX) return LONG_MAX;
  return static_cast<LONG>(rate);
}

HRESULT GenerateWmvProfile(const Build& b, ComPtr<IWMProfile>& profile) {
  const ConversionSettings& s = b.settings;
  const AudioStreamSpec audio = {.bitrate = static_cast<DWORD>(s.audioBitrate),
                                 .formatTag = 0x0161,  // Windows Media Audio
                                 .sampleRate = 44100,
                                 .channels = 2};
  const VideoStreamSpec video = {.fourcc = MAKEFOURCC('W', 'M', 'V', '3'),
                                 .bitrate = static_cast<DWORD>(s.videoBitrate),
                                 .height = s.outputHeight,
                                 .width = s.outputWidth,
                                 .framesPerSecond = WholeFramesPerSecond(s.outputFrameRate),
                                 .quality = 0,
                                 .secondsPerKeyFrame = 8};
  HRESULT hr = GenerateProfile(&audio, nullptr, 1, &video, profile.ReleaseAndGetAddressOf(),
                               WMT_VER_9_0, ProfileManagers(b));
  if (FAILED(hr)) {
    ReportDiagnostic(b.window, "Failed to GenerateProfile Audio video with script!  hr=0x%x\n",
                     Code(hr));
  }
  return hr;
}

HRESULT ApplyWmvProfile(const Build& b, IConfigAsfWriter* writer, IWMProfile* generated) {
  if (b.settings.fileProfile != 1) {
    HRESULT hr = writer->ConfigureFilterUsingProfile(generated);
    if (FAILED(hr))
      ReportDiagnostic(b.window, "Failed to configure filter to use profile!  hr=0x%x\n", Code(hr));
    return hr;
  }
  ComPtr<IWMProfile> loaded;
  HRESULT hr = MapProfile("test2", &loaded, ProfileManagers(b));
  if (FAILED(hr)) {
    ReportDiagnostic(b.window, "Failed to map profile ID!  hr=0x%x\n", Code(hr));
    return hr;
  }
  hr = writer->ConfigureFilterUsingProfile(loaded.Get());
  if (FAILED(hr)) {
    ReportDiagnostic(b.window, "Failed to configure filter to use file profile!  hr=0x%x\n",
                     Code(hr));
  }
  return hr;
}

HRESULT ConfigureWmvWriter(Build& b) {
  ComPtr<IWMProfile> generated;
  HRESULT hr = GenerateWmvProfile(b, generated);
  if (FAILED(hr)) return hr;
  hr = OpenMultiplexer(b, kWmvTarget);
  if (FAILED(hr)) return hr;
  ComPtr<IConfigAsfWriter> writer;
  hr = b.mux ? b.mux.As(&writer) : E_NOINTERFACE;
  if (FAILED(hr)) {
    ReportDiagnostic(b.window, "Failed to QI for IConfigAsfWriter!  hr=0x%x\n", Code(hr));
    return hr;
  }
  return ApplyWmvProfile(b, writer.Get(), generated.Get());
}

HRESULT OpenOutput(Build& b) {
  switch (b.settings.outputFormat) {
    case OutputFormat::Avi:
      return OpenMultiplexer(b, kAviTarget);
    case OutputFormat::Wmv:
      return ConfigureWmvWriter(b);
    case OutputFormat::Mkv:
      return OpenMultiplexer(b, kMkvTarget);
    case OutputFormat::Asf:
      return OpenMultiplexer(b, kAsfTarget);
  }
  return S_OK;  // no multiplexer: the streams go to the default renderers
}

HRESULT ShowFrameworkError(Build& b, HRESULT hr) {
  b.errorText = FrameworkErrorText(hr);
  AppMessageBox(b.window, b.errorText.c_str());
  return hr;
}

struct StreamLeg {
  IPin* pin;
  IBaseFilter* compressor;
  bool useCompressor;
  const wchar_t* compressorName;
  bool errorBox;  // the RenderStream failure: "Error" box, else application box
  const char* notRendered;
};

// leg's compressor in the graph, when it goes through one.
HRESULT AddCompressor(Build& b, const StreamLeg& leg) {
  // A stored choice that the catalogue no longer holds (the codec was
  // removed) made no instance.
  if (leg.useCompressor && !leg.compressor) {
    ErrorBox(b.window, GetLocalizedString(IDS_MESSAGE_NO_COMPRESSOR).c_str());
    return VFW_E_NOT_FOUND;
  }
  if (!leg.useCompressor) return S_OK;
  HRESULT hr = b.graph->AddFilter(leg.compressor, leg.compressorName);
  return FAILED(hr) ? ShowFrameworkError(b, hr) : hr;
}

HRESULT RenderLeg(Build& b, const StreamLeg& leg) {
  return b.builder->RenderStream(nullptr, nullptr, leg.pin,
                                 leg.useCompressor ? leg.compressor : nullptr, b.mux.Get());
}

HRESULT ConnectStream(Build& b, const StreamLeg& leg) {
  if (!leg.pin) return S_OK;  // the source has no such stream
  HRESULT hr = AddCompressor(b, leg);
  if (FAILED(hr)) return hr;
  hr = RenderLeg(b, leg);
  if (FAILED(hr)) {
    if (leg.errorBox) {
      ErrorBox(b.window, leg.notRendered);
    } else {
      AppMessageBox(b.window, leg.notRendered);
    }
    return ShowFrameworkError(b, hr);
  }
  return hr;
}

// Sound that leaves by pin reaches the multiplexer decoded: as PCM or
// floating point when it goes there directly, else through what the
// framework put in between (a decoder).
bool ArrivesDecoded(const Build& b, IPin* pin) {
  ComPtr<IPin> peer;
  if (pin->ConnectedTo(&peer) != S_OK || !peer) return false;
  PIN_INFO info = {};
  if (FAILED(peer->QueryPinInfo(&info))) return false;
  if (!media::SameObject(media::Adopt(info.pFilter).Get(), b.mux.Get())) return true;
  AM_MEDIA_TYPE type = {};
  if (FAILED(pin->ConnectionMediaType(&type))) return false;
  const bool decoded = type.subtype == MEDIASUBTYPE_PCM || type.subtype == MEDIASUBTYPE_IEEE_FLOAT;
  media::FreeMediaType(type);
  return decoded;
}

// Sound that no renderer took goes, as the picture does, into the compressor
// or the multiplexer, the framework inserting its decoder. When it cannot, or
// would reach the file still coded, the picture goes alone and
// handles.soundLeftOut says so.
HRESULT ConnectLooseSound(Build& b, const StreamLeg& leg) {
  HRESULT hr = AddCompressor(b, leg);
  if (FAILED(hr)) return hr;
  hr = RenderLeg(b, leg);
  if (SUCCEEDED(hr) && (leg.useCompressor || ArrivesDecoded(b, leg.pin))) return S_OK;
  RemoveBelow(b.window, b.graph, leg.pin, b.handles, b.settings, b.mux.Get());
  if (leg.useCompressor) b.graph->RemoveFilter(leg.compressor);
  b.handles.soundLeftOut = true;
  return S_OK;
}

// The WM ASF Writer encodes both streams itself: the compressors stay out of
// its graph, whatever the user chose for the other formats.
bool UsesCompressors(const Build& b) { return b.settings.outputFormat != OutputFormat::Wmv; }

HRESULT ConnectStreams(Build& b) {
  const StreamLeg video = {b.videoPin.Get(),
                           b.handles.videoCompressor.Get(),
                           UsesCompressors(b) && b.settings.useVideoCompressor == 1,
                           L"VideoCompressor",
                           true,
                           "failed pBuilder->RenderStream( NULL, NULL, pPin, NULL, pMux)"};
  const StreamLeg audio = {b.audioPin.Get(),
                           b.handles.audioCompressor.Get(),
                           UsesCompressors(b) && b.settings.useAudioCompressor == 1,
                           L"AudioCompressor",
                           false,
                           "failed pBuilder->RenderStream( NULL, NULL, pPin, NULL, pMux )"};
  HRESULT hr = ConnectStream(b, video);
  if (FAILED(hr)) return hr;
  return b.looseSound ? ConnectLooseSound(b, audio) : ConnectStream(b, audio);
}

// The graph's control, and its events as kGraphNotifyMessage to the window.
HRESULT RouteEvents(Build& b) {
  ComPtr<IMediaControl> control;
  HRESULT hr = b.graph->QueryInterface(IID_PPV_ARGS(&control));
  if (FAILED(hr)) {
    AppMessageBox(b.window, "Could not get pControl");
    return hr;
  }
  b.handles.mediaControl = control;
  hr = b.graph->QueryInterface(IID_PPV_ARGS(b.handles.mediaEvent.ReleaseAndGetAddressOf()));
  if (FAILED(hr)) {
    AppMessageBox(b.window, "Could not get pEvent");
    return hr;
  }
  hr = b.handles.mediaEvent->SetNotifyWindow(reinterpret_cast<OAHWND>(b.window),
                                             kGraphNotifyMessage, 0);
  if (FAILED(hr)) AppMessageBox(b.window, "can not SetNotifyWindow!!!");
  return hr;
}

// The graph's own position follows the clock, which a file writer does not
// keep to: ask the multiplexer where there is one.
void KeepProgressSource(Build& b) {
  if (b.mux) {
    b.mux.As(&b.handles.progress);
    return;
  }
  b.graph->QueryInterface(IID_PPV_ARGS(b.handles.progress.ReleaseAndGetAddressOf()));
}

}  // namespace

std::string FrameworkErrorText(HRESULT hr) {
  char text[kErrorTextChars] = "";
  if (AMGetErrorTextA(hr, text, kErrorTextChars) == 0)
    str::Format(text, sizeof text, "0x%08X", Code(hr));
  return text;
}

HRESULT BuildConversionGraph(HWND window, IGraphBuilder* graph, GraphHandles& handles,
                             const ConversionSettings& settings, std::string& errorText) {
  return BuildConversionGraph(window, graph, handles, settings, errorText, GraphBuildFactories{});
}

HRESULT BuildConversionGraph(HWND window, IGraphBuilder* graph, GraphHandles& handles,
                             const ConversionSettings& settings, std::string& errorText,
                             const GraphBuildFactories& factories) {
  if (!graph) return E_POINTER;
  Build b = {window, graph, handles, settings, errorText, factories};
  handles.soundLeftOut = false;
  HRESULT hr = DetachRenderer(b, kVideoRenderer, b.videoPin);
  if (hr != S_OK) return hr;
  hr = DetachRenderer(b, kAudioRenderer, b.audioPin);
  if (hr != S_OK) return hr;
  RemoveOtherRenderers(b);
  FindLooseSound(b);
  hr = CreateBuilder(b);
  if (FAILED(hr)) return hr;
  hr = OpenOutput(b);
  if (FAILED(hr)) return hr;
  hr = ConnectStreams(b);
  if (FAILED(hr)) return hr;
  hr = RouteEvents(b);
  if (SUCCEEDED(hr)) KeepProgressSource(b);
  return hr;
}

HRESULT EnsureCompressorsAndBuild(HWND window, GraphHandles& handles,
                                  const ConversionSettings& settings, std::string& errorText) {
  if (!handles.videoCompressor)
    GetCompressor(window, settings.videoCompressorIndex, &handles.videoCompressor);
  if (!handles.audioCompressor)
    GetAudioCompressor(window, settings.audioCompressorIndex, &handles.audioCompressor);
  return BuildConversionGraph(window, handles.graph.Get(), handles, settings, errorText);
}
