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

// COM identity: two interface pointers of one object may differ; their
// IUnknown pointers may not. (mingw-w64's ComPtr has no operator==: two set
// ComPtrs compare equal, so the raw pointers are compared.)
bool SameObject(IUnknown* a, IUnknown* b) {
  if (!a || !b) return false;
  ComPtr<IUnknown> identityA;
  ComPtr<IUnknown> identityB;
  return SUCCEEDED(a->QueryInterface(IID_PPV_ARGS(&identityA))) &&
         SUCCEEDED(b->QueryInterface(IID_PPV_ARGS(&identityB))) &&
         identityA.Get() == identityB.Get();
}

void ReplaceIfCompressor(IBaseFilter* removed, GraphHandles& handles,
                         const ConversionSettings& settings) {
  if (SameObject(removed, handles.videoCompressor.Get()))
    GetCompressor(settings.videoCompressorIndex, &handles.videoCompressor);
  if (SameObject(removed, handles.audioCompressor.Get()))
    GetAudioCompressor(settings.audioCompressorIndex, &handles.audioCompressor);
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
  RemoveDownstream(graph, source.Get(), handles, settings);
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

void RemoveDownstream(IGraphBuilder* graph, IBaseFilter* filter, GraphHandles& handles,
                      const ConversionSettings& settings) {
  if (!graph || !filter) return;
  std::vector<ComPtr<IPin>> pins;
  PinsOf(filter, pins);  // none when they cannot be listed
  for (const ComPtr<IPin>& pin : pins) {
    ComPtr<IPin> connected;
    if (pin->ConnectedTo(&connected) != S_OK || !connected) continue;
    PIN_INFO info = {};
    if (FAILED(connected->QueryPinInfo(&info))) continue;
    const ComPtr<IBaseFilter> downstream = media::Adopt(info.pFilter);
    if (info.dir != PINDIR_INPUT || !downstream) continue;
    RemoveDownstream(graph, downstream.Get(), handles, settings);
    graph->Disconnect(connected.Get());
    graph->Disconnect(pin.Get());
    graph->RemoveFilter(downstream.Get());
    ReplaceIfCompressor(downstream.Get(), handles, settings);
  }
}
