#pragma once
// Emptying a conversion graph after a conversion: everything from the source
// filter downstream is disconnected and removed, and a compressor instance
// that was in the graph is replaced by a fresh one for the next graph.

#include <windows.h>
#include <wrl/client.h>

struct ConversionSettings;
struct GraphHandles;
struct IBaseFilter;
struct IGraphBuilder;
struct IPin;

// Finds the source filter of sourcePath (ANSI), removes everything downstream
// of it and then the source itself. When no source is found, says so in the
// diagnostic box (owned by owner) and leaves the graph as it is. The slots of
// handles stay held, except the compressors that were replaced.
void TearDownGraph(HWND owner, IGraphBuilder* graph, const char* sourcePath, GraphHandles& handles,
                   const ConversionSettings& settings);

// The source filter of sourcePath: the filter named after the path, else the
// one whose IFileSourceFilter reads that file (names compared without regard
// to case). The failure code of the search by name when neither is there.
HRESULT FindSourceFilter(IGraphBuilder* graph, const char* sourcePath,
                         Microsoft::WRL::ComPtr<IBaseFilter>& source);

// Depth first: every filter downstream of filter is disconnected and removed
// from graph. A removed filter that is the video or audio compressor of
// handles is replaced by a fresh instance of the stored index of settings
// (its boxes owned by owner).
void RemoveDownstream(HWND owner, IGraphBuilder* graph, IBaseFilter* filter, GraphHandles& handles,
                      const ConversionSettings& settings);

// RemoveDownstream's step for one output pin: output is disconnected and
// every filter downstream of it removed, except keep (not owned; may be
// missing), which is only disconnected from what leads to it.
void RemoveBelow(HWND owner, IGraphBuilder* graph, IPin* output, GraphHandles& handles,
                 const ConversionSettings& settings, IBaseFilter* keep = nullptr);
