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

// The renderers of graph in enumeration order: the filters with exactly one
// input pin and no output pin whose input is connected with majorType, or
// connected at all when majorType is missing. The failure code of the first
// pin count or connection type that could not be read.
HRESULT RenderersOf(IGraphBuilder* graph, const GUID* majorType,
                    std::vector<Microsoft::WRL::ComPtr<IBaseFilter>>& renderers);

// The renderer of majorType whose stream comes first (StreamPath order; the
// first in enumeration order among equals): the source's first stream of that
// type, whichever renderer the graph lists first. A success code with renderer
// empty when there is none; RenderersOf's failure code.
HRESULT LocateRenderer(IGraphBuilder* graph, REFGUID majorType,
                       Microsoft::WRL::ComPtr<IBaseFilter>& renderer);

// Where the stream that leaves by output comes from: for each filter from the
// top of the graph down to output's own, the position of the output pin it
// leaves that filter by among the filter's output pins. Streams come in the
// order of their paths: the splitter's first output before its second.
std::vector<int> StreamPath(IPin* output);

// The output pin that is connected to nothing and offers majorType whose
// stream comes first (StreamPath order): a stream that rendering left out (no
// device, no decoder). Empty when there is none; pins and types that cannot be
// read count as not offering it.
Microsoft::WRL::ComPtr<IPin> FirstLooseOutput(IGraphBuilder* graph, REFGUID majorType);

// The output pin where renderer's stream parts from every other: climbing
// from renderer, the first output whose filter has another output that is
// connected or among kept, or has no input connected. Empty when renderer's
// input is not connected.
Microsoft::WRL::ComPtr<IPin> BranchStart(IBaseFilter* renderer, const std::vector<IPin*>& kept);
