#include "engine/GraphTeardown.h"

#include <dshow.h>
#include <wrl/client.h>

#include <string>
#include <vector>

#include "engine/GraphHandles.h"
#include "engine/MediaFramework.h"
#include "engine/PinSearch.h"
#include "platform/Prompts.h"
#include "platform/Str.h"
#include "settings/CompressorCatalogue.h"
#include "settings/ConversionSettings.h"

using Microsoft::WRL::ComPtr;

namespace {

bool ReadsFile(IBaseFilter* filter, const wchar_t* path) {
  ComPtr<IFileSourceFilter> source;
  if (FAILED(filter->QueryInterface(IID_PPV_ARGS(&source)))) return false;
  LPOLESTR name = nullptr;
  AM_MEDIA_TYPE type = {};
  if (FAILED(source->GetCurFile(&name, &type))) return false;
  bool same = name && CompareStringOrdinal(name, -1, path, -1, TRUE) == CSTR_EQUAL;
  CoTaskMemFree(name);
  media::FreeMediaType(type);
  return same;
}

HRESULT FindFileReader(IGraphBuilder* graph, const wchar_t* path, ComPtr<IBaseFilter>& found) {
  std::vector<ComPtr<IBaseFilter>> filters;
  HRESULT hr = FiltersOf(graph, filters);
  if (FAILED(hr)) return hr;
  for (const ComPtr<IBaseFilter>& filter : filters) {
    if (!ReadsFile(filter.Get(), path)) continue;
    found = filter;
    return S_OK;
  }
  return VFW_E_NOT_FOUND;
}

void ReplaceIfCompressor(HWND owner, IBaseFilter* removed, GraphHandles& handles,
                         const ConversionSettings& settings) {
  if (media::SameObject(removed, handles.videoCompressor.Get()))
    GetCompressor(owner, settings.videoCompressorIndex, &handles.videoCompressor);
  if (media::SameObject(removed, handles.audioCompressor.Get()))
    GetAudioCompressor(owner, settings.audioCompressorIndex, &handles.audioCompressor);
}

void RemoveDownstreamKeeping(HWND owner, IGraphBuilder* graph, IBaseFilter* filter,
                             GraphHandles& handles, const ConversionSettings& settings,
                             IBaseFilter* keep) {
  if (!graph || !filter) return;
  std::vector<ComPtr<IPin>> pins;
  PinsOf(filter, pins);  // none when they cannot be listed
  for (const ComPtr<IPin>& pin : pins)
    RemoveBelow(owner, graph, pin.Get(), handles, settings, keep);
}

}  // namespace

void TearDownGraph(HWND owner, IGraphBuilder* graph, const char* sourcePath, GraphHandles& handles,
                   const ConversionSettings& settings) {
  if (!graph) return;
  ComPtr<IBaseFilter> source;
  HRESULT hr = FindSourceFilter(graph, sourcePath, source);
  if (FAILED(hr)) {
    ReportDiagnostic(owner, "Failed to FindFilterByName!  hr=0x%x\n", static_cast<unsigned>(hr));
    return;
  }
  RemoveDownstream(owner, graph, source.Get(), handles, settings);
  graph->RemoveFilter(source.Get());
}

HRESULT FindSourceFilter(IGraphBuilder* graph, const char* sourcePath,
                         ComPtr<IBaseFilter>& source) {
  source.Reset();
  if (!graph) return E_POINTER;
  const std::wstring path = str::ToWide(sourcePath ? sourcePath : "");
  HRESULT byName = graph->FindFilterByName(path.c_str(), &source);
  if (SUCCEEDED(byName) && source) return S_OK;
  source.Reset();
  if (SUCCEEDED(FindFileReader(graph, path.c_str(), source))) return S_OK;
  return FAILED(byName) ? byName : VFW_E_NOT_FOUND;
}

void RemoveDownstream(HWND owner, IGraphBuilder* graph, IBaseFilter* filter, GraphHandles& handles,
                      const ConversionSettings& settings) {
  RemoveDownstreamKeeping(owner, graph, filter, handles, settings, nullptr);
}

void RemoveBelow(HWND owner, IGraphBuilder* graph, IPin* output, GraphHandles& handles,
                 const ConversionSettings& settings, IBaseFilter* keep) {
  ComPtr<IPin> connected;
  if (!graph || !output || output->ConnectedTo(&connected) != S_OK || !connected) return;
  PIN_INFO info = {};
  if (FAILED(connected->QueryPinInfo(&info))) return;
  const ComPtr<IBaseFilter> downstream = media::Adopt(info.pFilter);
  if (info.dir != PINDIR_INPUT || !downstream) return;
  const bool kept = media::SameObject(downstream.Get(), keep);
  if (!kept) RemoveDownstreamKeeping(owner, graph, downstream.Get(), handles, settings, keep);
  graph->Disconnect(connected.Get());
  graph->Disconnect(output);
  if (kept) return;
  graph->RemoveFilter(downstream.Get());
  ReplaceIfCompressor(owner, downstream.Get(), handles, settings);
}
