#pragma once
// Thin helpers over the media framework's filter graph. They return the
// framework's HRESULTs and show nothing: the callers decide what the user sees.

#include <dshow.h>
#include <wrl/client.h>

namespace media {

// A new, empty filter graph manager, created in-process.
HRESULT CreateFilterGraph(Microsoft::WRL::ComPtr<IGraphBuilder>& graph);

// Renders the file at path (ANSI code page, at most 259 characters) with the
// decoders and renderers the framework chooses; no play list.
HRESULT RenderPath(IGraphBuilder* graph, const char* path);

}  // namespace media
