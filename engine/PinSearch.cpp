#include "engine/PinSearch.h"

#include "engine/MediaFramework.h"

using Microsoft::WRL::ComPtr;

namespace {

// The major type of the connection on filter's first input pin.
HRESULT ConnectionMajorType(IBaseFilter* filter, GUID& majorType) {
  ComPtr<IPin> input;
  HRESULT hr = PinAt(filter, PINDIR_INPUT, 0, input);
  if (FAILED(hr)) return hr;
  AM_MEDIA_TYPE type = {};
  hr = input->ConnectionMediaType(&type);
  majorType = type.majortype;
  media::FreeMediaType(type);
  return hr;
}

}  // namespace

HRESULT CountPins(IBaseFilter* filter, int& inputs, int& outputs) {
  inputs = 0;
  outputs = 0;
  if (!filter) return E_POINTER;
  ComPtr<IEnumPins> pins;
  HRESULT hr = filter->EnumPins(&pins);
  if (FAILED(hr)) return hr;
  pins->Reset();
  ComPtr<IPin> pin;
  while (pins->Next(1, pin.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
    PIN_DIRECTION direction;
    hr = pin->QueryDirection(&direction);
    if (FAILED(hr)) return hr;
    ++(direction == PINDIR_INPUT ? inputs : outputs);
  }
  return S_OK;
}

HRESULT PinAt(IBaseFilter* filter, PIN_DIRECTION direction, int n, ComPtr<IPin>& pin) {
  pin.Reset();
  if (!filter) return E_POINTER;
  ComPtr<IEnumPins> pins;
  HRESULT hr = filter->EnumPins(&pins);
  if (FAILED(hr)) return hr;
  pins->Reset();
  ComPtr<IPin> candidate;
  while (pins->Next(1, candidate.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
    PIN_DIRECTION candidateDirection;
    if (FAILED(candidate->QueryDirection(&candidateDirection))) continue;
    if (candidateDirection != direction || n-- > 0) continue;
    pin = candidate;
    return S_OK;
  }
  return E_FAIL;
}

HRESULT LocateRenderer(IGraphBuilder* graph, REFGUID majorType, ComPtr<IBaseFilter>& renderer) {
  renderer.Reset();
  if (!graph) return E_POINTER;
  ComPtr<IEnumFilters> filters;
  HRESULT hr = graph->EnumFilters(&filters);
  if (FAILED(hr)) return hr;
  filters->Reset();
  ComPtr<IBaseFilter> filter;
  while (filters->Next(1, filter.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
    int inputs = 0;
    int outputs = 0;
    hr = CountPins(filter.Get(), inputs, outputs);
    if (FAILED(hr)) return hr;
    if (inputs != 1 || outputs != 0) continue;
    GUID connected = GUID_NULL;
    hr = ConnectionMajorType(filter.Get(), connected);
    if (FAILED(hr)) return hr;
    if (connected != majorType) continue;
    renderer = filter;
    return S_OK;
  }
  return S_OK;
}
