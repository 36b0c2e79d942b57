// Where a conversion's time goes, step by step, with the program's own engine
// in this process: rendering the source as Open Video does, building the
// conversion graph (AVI, no compressors), Run, streaming until EC_COMPLETE,
// Stop and teardown, and the reopening that ends every conversion. Writes
// "name value" lines (milliseconds) to a results file for scripts/bench.
//
//   graph_steps_bench <source> <output> <runs> <results> [subtitles|plain|bare]
//
// subtitles holds the subtitle filter's "LoadLevel" at 1, as the program does;
// plain leaves it as it is, so that a source without a .srt beside it
// streams without the filter, to tell its cost. bare is the platform's own
// graph with nothing of ours, the floor under any conversion: the rendered
// source with both renderers replaced by the Null Renderer on the same pins,
// run to EC_COMPLETE (no output is written). A first rendering, not timed,
// loads what every later one finds loaded, as the program's reopening does.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "engine/GraphBuilder.h"
#include "engine/GraphHandles.h"
#include "engine/GraphTeardown.h"
#include "engine/PinSearch.h"
#include "engine/PlatformDeclarations.h"
#include "engine/RegistryAdjustments.h"
#include "engine/SourceProbing.h"
#include "platform/Str.h"
#include "settings/ConversionSettings.h"

namespace {

constexpr DWORD kCompletionTimeoutMs = 600000;

double Milliseconds() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / frequency;
}

// The graph posts its notification here; the events are read from the graph.
HWND MakeEventWindow() {
  return CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

// Pumps messages until the graph reports EC_COMPLETE (true) or a failure.
bool WaitForComplete(IMediaEventEx* events) {
  HANDLE ready = nullptr;
  if (FAILED(events->GetEventHandle(reinterpret_cast<OAEVENT*>(&ready)))) return false;
  const double end = Milliseconds() + kCompletionTimeoutMs;
  while (Milliseconds() < end) {
    MsgWaitForMultipleObjects(1, &ready, FALSE, 100, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    long code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    while (events->GetEvent(&code, &p1, &p2, 0) == S_OK) {
      events->FreeEventParams(code, p1, p2);
      if (code == EC_COMPLETE) return true;
      if (code == EC_ERRORABORT || code == EC_USERABORT) return false;
    }
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
      : m_file(resultsPath, std::ios::app), m_prefix(prefix) {}
  void Mark(const char* step) {
    const double now = Milliseconds();
    const double cpu = CpuMilliseconds();
    Put(std::string(step) + "_ms", now - m_last);
    Put(std::string(step) + "_cpu_ms", cpu - m_lastCpu);
    m_last = now;
    m_lastCpu = cpu;
  }
  void Restart() {
    m_last = Milliseconds();
    m_lastCpu = CpuMilliseconds();
  }

 private:
  void Put(const std::string& name, double value) {
    m_file << m_prefix << name << ' ' << value << '\n';
    std::printf("%s%s %.1f\n", m_prefix.c_str(), name.c_str(), value);
  }

  std::ofstream m_file;
  std::string m_prefix;
  double m_last = 0;
  double m_lastCpu = 0;
};

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
  if (FAILED(handles.mediaControl->Run())) return false;
  steps.Mark("run");
  if (!WaitForComplete(handles.mediaEvent.Get())) return false;
  steps.Mark("stream");
  handles.mediaControl->Stop();
  handles.mediaEvent->SetNotifyWindow(0, 0, 0);
  steps.Mark("stop");
  TearDownGraph(window, handles.graph.Get(), source.c_str(), handles, settings);
  handles = GraphHandles{};
  steps.Mark("teardown");
  return true;
}

// Puts a Null Renderer where the renderer of majorType was, on the same pin.
HRESULT SwapForNullRenderer(IGraphBuilder* graph, REFGUID majorType) {
  Microsoft::WRL::ComPtr<IBaseFilter> renderer, nullRenderer;
  HRESULT hr = LocateRenderer(graph, majorType, renderer);
  if (FAILED(hr) || !renderer) return hr;
  Microsoft::WRL::ComPtr<IPin> input, upstream, nullInput;
  if (FAILED(hr = PinAt(renderer.Get(), PINDIR_INPUT, 0, input))) return hr;
  if (FAILED(hr = input->ConnectedTo(&upstream))) return hr;
  if (FAILED(hr = graph->RemoveFilter(renderer.Get()))) return hr;
  hr = CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER,
                        IID_PPV_ARGS(&nullRenderer));
  if (FAILED(hr)) return hr;
  if (FAILED(hr = graph->AddFilter(nullRenderer.Get(), L"Null Renderer"))) return hr;
  if (FAILED(hr = PinAt(nullRenderer.Get(), PINDIR_INPUT, 0, nullInput))) return hr;
  return graph->ConnectDirect(upstream.Get(), nullInput.Get(), nullptr);
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
  if (FAILED(SwapForNullRenderer(graph.Get(), MEDIATYPE_Video)) ||
      FAILED(SwapForNullRenderer(graph.Get(), MEDIATYPE_Audio)))
    return false;
  steps.Mark("build");
  Microsoft::WRL::ComPtr<IMediaControl> control;
  Microsoft::WRL::ComPtr<IMediaEventEx> events;
  if (FAILED(graph.As(&control)) || FAILED(graph.As(&events)) || FAILED(control->Run()))
    return false;
  steps.Mark("run");
  if (!WaitForComplete(events.Get())) return false;
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
                 "[subtitles|plain|bare]\n");
    return 2;
  }
  const std::string mode = argc > 5 ? argv[5] : "subtitles";
  const bool plain = mode != "subtitles";
  if (FAILED(CoInitialize(nullptr))) return 1;
  SavedLoadLevel savedLoadLevel;
  if (!plain) ForceSubtitleLoadLevel(savedLoadLevel);

  ConversionSettings settings;
  settings.outputFormat = OutputFormat::Avi;
  settings.outputPath = argv[2];
  settings.useVideoCompressor = settings.useAudioCompressor = 0;
  settings.videoCompressorIndex = settings.audioCompressorIndex = -1;
  HWND window = MakeEventWindow();
  Steps steps(argv[4], plain ? mode + "_" : "steps_");
  int status = WarmUp(argv[1], window) ? 0 : 1;
  for (int run = 0, runs = std::atoi(argv[3]); run < runs && status == 0; ++run) {
    const bool done = mode == "bare" ? OneBareRun(argv[1], steps)
                                     : OneConversion(argv[1], settings, window, steps);
    if (!done) status = 1;
  }
  DestroyWindow(window);
  if (!plain) RestoreSubtitleLoadLevel(savedLoadLevel);
  CoUninitialize();
  return status;
}
