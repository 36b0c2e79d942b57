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

bool Offers(IPin* pin, REFGUID majorType) {
  ComPtr<IEnumMediaTypes> types;
  if (FAILED(pin->EnumMediaTypes(&types)) || !types) return false;
  AM_MEDIA_TYPE* type = nullptr;
  bool offered = false;
  while (!offered && types->Next(1, &type, nullptr) == S_OK && type) {
    offered = type->majortype == majorType;
    media::FreeMediaType(*type);
    CoTaskMemFree(type);
  }
  return offered;
}

// An output pin of filter that is connected to nothing and offers majorType.
bool HasLooseOutput(IBaseFilter* filter, REFGUID majorType) {
  std::vector<ComPtr<IPin>> pins;
  if (FAILED(PinsOf(filter, pins))) return false;
  for (const ComPtr<IPin>& pin : pins) {
    PIN_DIRECTION direction;
    ComPtr<IPin> connected;
    if (FAILED(pin->QueryDirection(&direction)) || direction != PINDIR_OUTPUT) continue;
    if (pin->ConnectedTo(&connected) == S_OK && connected) continue;
    if (Offers(pin.Get(), majorType)) return true;
  }
  return false;
}

// Every item that owner's enumeration (EnumFilters, EnumPins) gives, from the start.
template <class Owner, class Enumerator, class Item>
HRESULT Collect(Owner* owner, HRESULT (STDMETHODCALLTYPE Owner::*enumerate)(Enumerator**),
                std::vector<ComPtr<Item>>& items) {
  items.clear();
  if (!owner) return E_POINTER;
  ComPtr<Enumerator> enumerator;
  HRESULT hr = (owner->*enumerate)(&enumerator);
  if (FAILED(hr)) return hr;
  enumerator->Reset();
  ComPtr<Item> item;
  while (enumerator->Next(1, item.ReleaseAndGetAddressOf(), nullptr) == S_OK) items.push_back(item);
  return S_OK;
}

}  // namespace

HRESULT FiltersOf(IFilterGraph* graph, std::vector<ComPtr<IBaseFilter>>& filters) {
  return Collect(graph, &IFilterGraph::EnumFilters, filters);
}

HRESULT PinsOf(IBaseFilter* filter, std::vector<ComPtr<IPin>>& pins) {
  return Collect(filter, &IBaseFilter::EnumPins, pins);
}

HRESULT CountPins(IBaseFilter* filter, int& inputs, int& outputs) {
  inputs = 0;
  outputs = 0;
  std::vector<ComPtr<IPin>> pins;
  HRESULT hr = PinsOf(filter, pins);
  if (FAILED(hr)) return hr;
  for (const ComPtr<IPin>& pin : pins) {
    PIN_DIRECTION direction;
    hr = pin->QueryDirection(&direction);
    if (FAILED(hr)) return hr;
    ++(direction == PINDIR_INPUT ? inputs : outputs);
  }
  return S_OK;
}

HRESULT PinAt(IBaseFilter* filter, PIN_DIRECTION direction, int n, ComPtr<IPin>& pin) {
  pin.Reset();
  std::vector<ComPtr<IPin>> pins;
  HRESULT hr = PinsOf(filter, pins);
  if (FAILED(hr)) return hr;
  for (const ComPtr<IPin>& candidate : pins) {
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
  std::vector<ComPtr<IBaseFilter>> filters;
  HRESULT hr = FiltersOf(graph, filters);
  if (FAILED(hr)) return hr;
  for (const ComPtr<IBaseFilter>& filter : filters) {
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

bool LeavesStreamUnrendered(IGraphBuilder* graph, REFGUID majorType) {
  std::vector<ComPtr<IBaseFilter>> filters;
  if (FAILED(FiltersOf(graph, filters))) return false;
  for (const ComPtr<IBaseFilter>& filter : filters)
    if (HasLooseOutput(filter.Get(), majorType)) return true;
  return false;
}
