#include "engine/SourceProbing.h"

#include <string>

#include "engine/MediaFramework.h"
#include "engine/PlatformDeclarations.h"
#include "i18n/Localization.h"
#include "platform/Prompts.h"
#include "res/resource.h"

using Microsoft::WRL::ComPtr;

namespace {

bool Fail(HWND owner, const char* text) {
  ErrorBox(owner, text);
  return false;
}

bool ReadDuration(HWND owner, const ComPtr<IGraphBuilder>& graph, int64_t& duration) {
  ComPtr<IMediaSeeking> seeking;
  if (FAILED(graph.As(&seeking))) return Fail(owner, "Failed to get IID_IMediaSeeking");
  LONGLONG stop = 0;  // 100 ns units
  if (FAILED(seeking->GetStopPosition(&stop))) return Fail(owner, "Failed to GetStopPosition");
  duration = stop;
  return true;
}

bool ReadPicture(HWND owner, const ComPtr<IGraphBuilder>& graph, SourceInfo& source,
                 ConversionSettings& settings) {
  ComPtr<IBasicVideo> video;
  if (FAILED(graph.As(&video))) return Fail(owner, "Failed to IID_IBasicVideo");
  long width = 0;
  long height = 0;
  if (FAILED(video->GetVideoSize(&width, &height))) {
    return Fail(owner, "Failed to GetVideoSize, please install appropriate video decoder");
  }
  source.width = width;
  source.height = height;
  settings.outputWidth = width;
  settings.outputHeight = height;

  REFTIME frameTime = 0;  // seconds
  if (FAILED(video->get_AvgTimePerFrame(&frameTime))) {
    return Fail(owner, "Failed to get_AvgTimePerFrame");
  }
  source.frameRate = FrameRateOf(frameTime, source.frameRate);
  return true;
}

}  // namespace

int ProbeSource(HWND owner, const char* path, int64_t& duration, SourceInfo& source,
                ConversionSettings& settings) {
  ComPtr<IGraphBuilder> graph;
  if (FAILED(media::CreateFilterGraph(graph))) {
    ErrorBox(owner, "Failed to CoCreateInstance");
    return 0;
  }
  if (FAILED(media::RenderPath(graph.Get(), path))) {
    ShowNotOpenedBox(owner);
    return 0;
  }
  return MeasureSource(owner, graph, duration, source, settings);
}

int MeasureSource(HWND owner, const ComPtr<IGraphBuilder>& graph, int64_t& duration,
                  SourceInfo& source, ConversionSettings& settings) {
  if (!ReadDuration(owner, graph, duration)) return 0;
  if (!ReadPicture(owner, graph, source, settings)) return 0;
  return 1;
}

double FrameRateOf(double frameTimeSeconds, double previousRate) {
  // Also false for NaN.
  if (!(frameTimeSeconds > 0)) return previousRate;
  return 1.0 / frameTimeSeconds;
}

HRESULT OpenForConversion(HWND owner, const char* path, GraphHandles& handles) {
  ComPtr<IGraphBuilder> graph;
  HRESULT hr = media::CreateFilterGraph(graph);
  if (FAILED(hr)) return hr;
  const HRESULT rendered = media::RenderPath(graph.Get(), path);
  if (FAILED(rendered)) {
    ShowNotOpenedBox(owner);
    return rendered;
  }
  hr = AdoptConversionGraph(owner, graph, handles);
  return FAILED(hr) ? hr : rendered;
}

HRESULT AdoptConversionGraph(HWND owner, const ComPtr<IGraphBuilder>& graph,
                             GraphHandles& handles) {
  HRESULT hr = graph.As(&handles.mediaControl);
  if (FAILED(hr)) {
    AppMessageBox(owner, "Could not get pControl");
    return hr;
  }
  handles.graph = graph;
  handles.soundLeftOut = false;
  return 1;
}

void ShowNotOpenedBox(HWND owner) {
  std::string caption = GetLocalizedString(IDS_MESSAGE_ERROR) + " IDS_MESSAGE_NOT_OPEN_FILE";
  Prompts::Current().ShowMessage(owner, GetLocalizedString(IDS_MESSAGE_NOT_OPEN_FILE).c_str(),
                                 caption.c_str(), MB_OK);
}
