#include "engine/PinSearch.h"

#include <algorithm>

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

bool IsConnected(IPin* pin) {
  ComPtr<IPin> peer;
  return pin->ConnectedTo(&peer) == S_OK && peer;
}

ComPtr<IBaseFilter> OwnerOf(IPin* pin) {
  PIN_INFO info = {};
  if (!pin || FAILED(pin->QueryPinInfo(&info))) return nullptr;
  return media::Adopt(info.pFilter);
}

// The pins of one direction, in enumeration order; pins whose direction
// cannot be read are left out.
HRESULT PinsIn(IBaseFilter* filter, PIN_DIRECTION direction, std::vector<ComPtr<IPin>>& found) {
  found.clear();
  std::vector<ComPtr<IPin>> pins;
  HRESULT hr = PinsOf(filter, pins);
  for (const ComPtr<IPin>& pin : pins) {
    PIN_DIRECTION pinDirection;
    if (SUCCEEDED(pin->QueryDirection(&pinDirection)) && pinDirection == direction)
      found.push_back(pin);
  }
  return hr;
}

// The output that feeds filter's first connected input.
ComPtr<IPin> UpstreamOf(IBaseFilter* filter) {
  std::vector<ComPtr<IPin>> inputs;
  PinsIn(filter, PINDIR_INPUT, inputs);
  ComPtr<IPin> peer;
  for (const ComPtr<IPin>& input : inputs)
    if (input->ConnectedTo(peer.ReleaseAndGetAddressOf()) == S_OK && peer) return peer;
  return nullptr;
}

// The pin connected to renderer's input.
ComPtr<IPin> FeedOf(IBaseFilter* renderer) {
  ComPtr<IPin> input;
  ComPtr<IPin> feed;
  if (SUCCEEDED(PinAt(renderer, PINDIR_INPUT, 0, input))) input->ConnectedTo(&feed);
  return feed;
}

// Keeps candidate in first when the stream that leaves by its pin comes
// before first's.
template <class Item>
void KeepEarlier(ComPtr<Item>& first, std::vector<int>& firstPath, const ComPtr<Item>& candidate,
                 IPin* pin) {
  std::vector<int> path = StreamPath(pin);
  if (first && !(path < firstPath)) return;
  first = candidate;
  firstPath = std::move(path);
}

// Another output of filter than pin is connected, or is one of kept.
bool FeedsAnother(IBaseFilter* filter, IPin* pin, const std::vector<IPin*>& kept) {
  std::vector<ComPtr<IPin>> outputs;
  PinsIn(filter, PINDIR_OUTPUT, outputs);
  for (const ComPtr<IPin>& output : outputs) {
    if (media::SameObject(output.Get(), pin)) continue;
    if (IsConnected(output.Get())) return true;
    for (IPin* keep : kept)
      if (media::SameObject(output.Get(), keep)) return true;
  }
  return false;
}

// Steps from a stream's pin up to its source: a graph with a loop must not
// hang the climb.
constexpr int kDeepestGraph = 64;

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
  HRESULT hr = PinsIn(filter, direction, pins);
  if (FAILED(hr)) return hr;
  if (n < 0 || static_cast<size_t>(n) >= pins.size()) return E_FAIL;
  pin = pins[n];
  return S_OK;
}

HRESULT RenderersOf(IGraphBuilder* graph, const GUID* majorType,
                    std::vector<ComPtr<IBaseFilter>>& renderers) {
  renderers.clear();
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
    if (!majorType) {
      if (SUCCEEDED(hr)) renderers.push_back(filter);
      continue;
    }
    if (FAILED(hr)) return hr;
    if (connected == *majorType) renderers.push_back(filter);
  }
  return S_OK;
}

HRESULT LocateRenderer(IGraphBuilder* graph, REFGUID majorType, ComPtr<IBaseFilter>& renderer) {
  renderer.Reset();
  std::vector<ComPtr<IBaseFilter>> renderers;
  HRESULT hr = RenderersOf(graph, &majorType, renderers);
  if (FAILED(hr)) return hr;
  std::vector<int> firstPath;
  for (const ComPtr<IBaseFilter>& candidate : renderers)
    KeepEarlier(renderer, firstPath, candidate, FeedOf(candidate.Get()).Get());
  return S_OK;
}

std::vector<int> StreamPath(IPin* output) {
  std::vector<int> path;
  ComPtr<IPin> pin = output;
  for (int depth = 0; pin && depth < kDeepestGraph; ++depth) {
    const ComPtr<IBaseFilter> filter = OwnerOf(pin.Get());
    std::vector<ComPtr<IPin>> outputs;
    PinsIn(filter.Get(), PINDIR_OUTPUT, outputs);
    const auto at = std::find_if(outputs.begin(), outputs.end(), [&](const ComPtr<IPin>& o) {
      return media::SameObject(o.Get(), pin.Get());
    });
    if (at == outputs.end()) break;
    path.insert(path.begin(), static_cast<int>(at - outputs.begin()));
    pin = UpstreamOf(filter.Get());
  }
  return path;
}

ComPtr<IPin> FirstLooseOutput(IGraphBuilder* graph, REFGUID majorType) {
  ComPtr<IPin> first;
  std::vector<int> firstPath;
  std::vector<ComPtr<IBaseFilter>> filters;
  FiltersOf(graph, filters);  // none when they cannot be listed
  for (const ComPtr<IBaseFilter>& filter : filters) {
    std::vector<ComPtr<IPin>> outputs;
    PinsIn(filter.Get(), PINDIR_OUTPUT, outputs);
    for (const ComPtr<IPin>& pin : outputs)
      if (!IsConnected(pin.Get()) && Offers(pin.Get(), majorType))
        KeepEarlier(first, firstPath, pin, pin.Get());
  }
  return first;
}

ComPtr<IPin> BranchStart(IBaseFilter* renderer, const std::vector<IPin*>& kept) {
  ComPtr<IPin> pin = FeedOf(renderer);
  for (int depth = 0; pin && depth < kDeepestGraph; ++depth) {
    const ComPtr<IBaseFilter> filter = OwnerOf(pin.Get());
    const ComPtr<IPin> upstream = UpstreamOf(filter.Get());
    if (!upstream || FeedsAnother(filter.Get(), pin.Get(), kept)) return pin;
    pin = upstream;
  }
  return pin;
}
