#pragma once
// Finding pins and renderers in a filter graph. Nothing here shows a message.

#include <dshow.h>
#include <wrl/client.h>

#include <vector>

// The filters of graph, or the pins of filter, in enumeration order, all taken
// before the caller changes any: a filter may change its pins on
// disconnection, which would upset a running enumeration. E_POINTER when graph
// or filter is missing; the failure code when the enumeration cannot be made.
HRESULT FiltersOf(IFilterGraph* graph, std::vector<Microsoft::WRL::ComPtr<IBaseFilter>>& filters);
HRESULT PinsOf(IBaseFilter* filter, std::vector<Microsoft::WRL::ComPtr<IPin>>& pins);

// The numbers of input and output pins of filter, asking each pin its
// direction in enumeration order. E_POINTER when filter is missing.
HRESULT CountPins(IBaseFilter* filter, int& inputs, int& outputs);

// The n-th pin (from 0) of direction in filter's enumeration order.
// E_POINTER when filter is missing, E_FAIL when it has n or fewer such pins.
HRESULT PinAt(IBaseFilter* filter, PIN_DIRECTION direction, int n,
              Microsoft::WRL::ComPtr<IPin>& pin);

// The first filter of the graph, in enumeration order, with exactly one input
// pin and no output pin whose input is connected with majorType. A success
// code with renderer empty when there is none; the failure code of the first
// pin count or connection type that could not be read.
HRESULT LocateRenderer(IGraphBuilder* graph, REFGUID majorType,
                       Microsoft::WRL::ComPtr<IBaseFilter>& renderer);

// True when an output pin of the graph that is connected to nothing offers
// majorType: a stream of that type that rendering left out (no decoder, no
// device). Pins and types that cannot be read count as not offering it.
bool LeavesStreamUnrendered(IGraphBuilder* graph, REFGUID majorType);
