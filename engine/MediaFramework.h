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

// Takes over a reference that a call handed out (QueryPinInfo's filter, a
// media type's pUnk). mingw-w64's ComPtr::Attach adds a reference of its own,
// unlike the Windows SDK's, so it cannot serve both.
template <class T>
Microsoft::WRL::ComPtr<T> Adopt(T* handedOut) {
  Microsoft::WRL::ComPtr<T> owner;
  *owner.GetAddressOf() = handedOut;
  return owner;
}

// COM identity: two interface pointers of one object may differ; their
// IUnknown pointers may not. False when either is missing.
bool SameObject(IUnknown* a, IUnknown* b);

// Frees what a media type that the framework filled in owns (its format block
// and its pUnk) and empties those fields; the structure itself stays.
void FreeMediaType(AM_MEDIA_TYPE& type);

}  // namespace media
