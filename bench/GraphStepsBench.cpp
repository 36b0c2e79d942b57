// Where a conversion's time goes, step by step, with the program's own engine
// in this process: rendering the source as Open Video does, building the
// conversion graph (AVI, no compressors), Run, streaming until EC_COMPLETE,
// Stop and teardown, and the reopening that ends every conversion. Writes
// "name value" lines (milliseconds) to a results file for scripts/bench.
//
//   graph_steps_bench <source> <output> <runs> <results> [subtitles|plain|bare|pair]
//
// subtitles and plain hold the subtitle filter's "LoadLevel" at 1, as the
// program does: the filter joins where a .srt lies beside the source, so that
// a source without one (plain) streams without it, to tell its cost. bare is
// the platform's own graph with nothing of ours, the floor under any
// conversion: "LoadLevel" 2 keeps the subtitle filter out, and the rendered
// source's renderers are replaced by the Null Renderer on the same pins, run
// to EC_COMPLETE (no output is written); a graph whose two renderers are not
// fed by the same filter (the splitter) is refused. pair streams two
// conversions of the source at once (into <output> and a second file beside
// it), as a batch on two cores might. A first rendering, not timed, loads what
// every later one finds loaded, as the program's reopening does.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "engine/GraphBuilder.h"
#include "engine/GraphHandles.h"
#include "engine/GraphTeardown.h"
#include "engine/PinSearch.h"
#include "engine/PlatformDeclarations.h"
#include "engine/SourceProbing.h"
#include "platform/Str.h"
#include "settings/ConversionSettings.h"
#include "support/LoadLevelGuard.h"

namespace {

constexpr DWORD kCompletionTimeoutMs = 600000;
// The subtitle filter's "LoadLevel": join only where the source has subtitles, never.
constexpr DWORD kSubtitleFilterWithSubtitles = 1;
constexpr DWORD kSubtitleFilterNever = 2;

// The graph posts its notification here; the events are read from the graph.
HWND MakeEventWindow() {
  return CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

// Pumps messages until every graph has reported EC_COMPLETE (true) or one failed.
bool WaitForComplete(const std::vector<IMediaEventEx*>& graphs) {
  std::vector<HANDLE> ready;
  for (IMediaEventEx* events : graphs) {
    HANDLE handle = nullptr;
    if (FAILED(events->GetEventHandle(reinterpret_cast<OAEVENT*>(&handle)))) return false;
    ready.push_back(handle);
  }
  std::vector<bool> complete(graphs.size(), false);
  const double end = Milliseconds() + kCompletionTimeoutMs;
  while (Milliseconds() < end) {
    MsgWaitForMultipleObjects(static_cast<DWORD>(ready.size()), ready.data(), FALSE, 100,
                              QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    for (size_t i = 0; i < graphs.size(); ++i) {
      long code = 0;
      LONG_PTR p1 = 0, p2 = 0;
      while (graphs[i]->GetEvent(&code, &p1, &p2, 0) == S_OK) {
        graphs[i]->FreeEventParams(code, p1, p2);
        if (code == EC_COMPLETE) complete[i] = true;
        if (code == EC_ERRORABORT || code == EC_USERABORT) return false;
      }
    }
    if (std::find(complete.begin(), complete.end(), false) == complete.end()) return true;
  }
  return false;
}

// User and kernel time of every thread of this process, the graph's included.
double CpuMilliseconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  auto ms = [](const FILETIME& t) {
    return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 10000.0;
  };
  return ms(kernel) + ms(user);
}

// Each step's wall time, and the processor time of the whole process in it.
class Steps {
 public:
  Steps(const char* resultsPath, const std::string& prefix)
      : m_results(resultsPath), m_prefix(prefix) {}
  void Mark(const char* step) {
    const double now = Milliseconds();
    const double cpu = CpuMilliseconds();
    m_results.Put(m_prefix + step + "_ms", now - m_last);
    m_results.Put(m_prefix + step + "_cpu_ms", cpu - m_lastCpu);
    m_last = now;
    m_lastCpu = cpu;
  }
  void Restart() {
    m_last = Milliseconds();
    m_lastCpu = CpuMilliseconds();
  }

 private:
  Results m_results;
  std::string m_prefix;
  double m_last = 0;
  double m_lastCpu = 0;
};

// The source rendered as Open Video does and built as Convert does.
bool Prepare(const std::string& source, const ConversionSettings& settings, HWND window,
             GraphHandles& handles) {
  std::string errorText;
  DeleteFileA(settings.outputPath.c_str());
  return SUCCEEDED(OpenForConversion(window, source.c_str(), handles)) &&
         SUCCEEDED(EnsureCompressorsAndBuild(window, handles, settings, errorText));
}

bool RunAll(std::vector<GraphHandles*> conversions, Steps& steps) {
  std::vector<IMediaEventEx*> events;
  for (GraphHandles* handles : conversions) {
    if (FAILED(handles->mediaControl->Run())) return false;
    events.push_back(handles->mediaEvent.Get());
  }
  steps.Mark("run");
  if (!WaitForComplete(events)) return false;
  steps.Mark("stream");
  return true;
}

void StopAndTearDown(const std::string& source, const ConversionSettings& settings, HWND window,
                     GraphHandles& handles) {
  handles.mediaControl->Stop();
  handles.mediaEvent->SetNotifyWindow(0, 0, 0);
  TearDownGraph(window, handles.graph.Get(), source.c_str(), handles, settings);
  handles = GraphHandles{};
}

bool OneConversion(const std::string& source, ConversionSettings& settings, HWND window,
                   Steps& steps) {
  GraphHandles handles;
  std::string errorText;
  DeleteFileA(settings.outputPath.c_str());
  steps.Restart();
  if (FAILED(OpenForConversion(window, source.c_str(), handles))) return false;
  steps.Mark("render");
  if (FAILED(EnsureCompressorsAndBuild(window, handles, settings, errorText))) return false;
  steps.Mark("build");
  if (!RunAll({&handles}, steps)) return false;
  handles.mediaControl->Stop();
  handles.mediaEvent->SetNotifyWindow(0, 0, 0);
  steps.Mark("stop");
  TearDownGraph(window, handles.graph.Get(), source.c_str(), handles, settings);
  handles = GraphHandles{};
  steps.Mark("teardown");
  return true;
}

// Two conversions of the source built, then run at once until both complete.
bool OnePairRun(const std::string& source, const ConversionSettings& settings, HWND window,
                Steps& steps) {
  ConversionSettings second = settings;
  second.outputPath = settings.outputPath + ".second.avi";
  GraphHandles first, other;
  steps.Restart();
  if (!Prepare(source, settings, window, first) || !Prepare(source, second, window, other))
    return false;
  steps.Mark("build");
  const bool done = RunAll({&first, &other}, steps);
  StopAndTearDown(source, settings, window, first);
  StopAndTearDown(source, second, window, other);
  DeleteFileA(second.outputPath.c_str());
  return done;
}

// Puts a Null Renderer where the renderer of majorType was, on the same pin;
// feeder gets the filter of that pin.
HRESULT SwapForNullRenderer(IGraphBuilder* graph, REFGUID majorType,
                            Microsoft::WRL::ComPtr<IBaseFilter>& feeder) {
  Microsoft::WRL::ComPtr<IBaseFilter> renderer, nullRenderer;
  HRESULT hr = LocateRenderer(graph, majorType, renderer);
  if (FAILED(hr)) return hr;
  if (!renderer) return E_FAIL;
  Microsoft::WRL::ComPtr<IPin> input, upstream, nullInput;
  if (FAILED(hr = PinAt(renderer.Get(), PINDIR_INPUT, 0, input))) return hr;
  if (FAILED(hr = input->ConnectedTo(&upstream))) return hr;
  PIN_INFO info = {};
  if (FAILED(hr = upstream->QueryPinInfo(&info))) return hr;
  feeder.Attach(info.pFilter);
  if (FAILED(hr = graph->RemoveFilter(renderer.Get()))) return hr;
  hr = CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER,
                        IID_PPV_ARGS(&nullRenderer));
  if (FAILED(hr)) return hr;
  if (FAILED(hr = graph->AddFilter(nullRenderer.Get(), L"Null Renderer"))) return hr;
  if (FAILED(hr = PinAt(nullRenderer.Get(), PINDIR_INPUT, 0, nullInput))) return hr;
  return graph->ConnectDirect(upstream.Get(), nullInput.Get(), nullptr);
}

// Both renderers swapped; false when a filter sits between the splitter and
// either (the subtitle filter, say): that graph is not the bare one.
bool SwapRenderers(IGraphBuilder* graph) {
  Microsoft::WRL::ComPtr<IBaseFilter> videoFeeder, audioFeeder;
  if (FAILED(SwapForNullRenderer(graph, MEDIATYPE_Video, videoFeeder)) ||
      FAILED(SwapForNullRenderer(graph, MEDIATYPE_Audio, audioFeeder)))
    return false;
  if (videoFeeder == audioFeeder) return true;
  std::fprintf(stderr, "bare: the renderers are not fed by the same filter\n");
  return false;
}

bool OneBareRun(const std::string& source, Steps& steps) {
  Microsoft::WRL::ComPtr<IGraphBuilder> graph;
  if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&graph))))
    return false;
  const std::wstring path = str::ToWide(source.c_str());
  steps.Restart();
  if (FAILED(graph->RenderFile(path.c_str(), nullptr))) return false;
  steps.Mark("render");
  if (!SwapRenderers(graph.Get())) return false;
  steps.Mark("build");
  Microsoft::WRL::ComPtr<IMediaFilter> timing;
  Microsoft::WRL::ComPtr<IMediaControl> control;
  Microsoft::WRL::ComPtr<IMediaEventEx> events;
  // No clock: the Null Renderer would otherwise wait for each sample's time.
  if (FAILED(graph.As(&timing)) || FAILED(timing->SetSyncSource(nullptr)) ||
      FAILED(graph.As(&control)) || FAILED(graph.As(&events)) || FAILED(control->Run()))
    return false;
  steps.Mark("run");
  if (!WaitForComplete({events.Get()})) return false;
  steps.Mark("stream");
  control->Stop();
  steps.Mark("stop");
  return true;
}

// Renders the source once and lets the graph go.
bool WarmUp(const std::string& source, HWND window) {
  GraphHandles handles;
  return SUCCEEDED(OpenForConversion(window, source.c_str(), handles));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    std::fprintf(stderr,
                 "usage: graph_steps_bench <source> <output> <runs> <results> "
                 "[subtitles|plain|bare|pair]\n");
    return 2;
  }
  const std::string mode = argc > 5 ? argv[5] : "subtitles";
  if (FAILED(CoInitialize(nullptr))) return 1;
  LoadLevelGuard keptLoadLevel;
  LoadLevelGuard::Set(mode == "bare" ? kSubtitleFilterNever : kSubtitleFilterWithSubtitles);

  ConversionSettings settings;
  settings.outputFormat = OutputFormat::Avi;
  settings.outputPath = argv[2];
  settings.useVideoCompressor = settings.useAudioCompressor = 0;
  settings.videoCompressorIndex = settings.audioCompressorIndex = -1;
  HWND window = MakeEventWindow();
  Steps steps(argv[4], mode == "subtitles" ? "steps_" : mode + "_");
  int status = WarmUp(argv[1], window) ? 0 : 1;
  for (int run = 0, runs = std::atoi(argv[3]); run < runs && status == 0; ++run) {
    bool done = false;
    if (mode == "bare") done = OneBareRun(argv[1], steps);
    else if (mode == "pair") done = OnePairRun(argv[1], settings, window, steps);
    else done = OneConversion(argv[1], settings, window, steps);
    if (!done) status = 1;
  }
  DestroyWindow(window);
  CoUninitialize();
  return status;
}
