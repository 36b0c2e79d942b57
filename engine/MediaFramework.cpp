#include "engine/MediaFramework.h"

#include "platform/Path.h"
#include "platform/Str.h"

namespace media {

HRESULT CreateFilterGraph(Microsoft::WRL::ComPtr<IGraphBuilder>& graph) {
  graph.Reset();
  return CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&graph));
}

HRESULT RenderPath(IGraphBuilder* graph, const char* path) {
  if (!graph || str::IsEmpty(path)) return E_INVALIDARG;
  wchar_t widePath[path::kMaxPath] = {};
  // A cut name would open some other file.
  if (!str::ToWide(path, widePath, path::kMaxPath)) {
    return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
  }
  return graph->RenderFile(widePath, nullptr);
}

bool SameObject(IUnknown* a, IUnknown* b) {
  if (!a || !b) return false;
  // mingw-w64's ComPtr has no operator==: two set ComPtrs compare equal, so
  // the raw pointers are compared.
  Microsoft::WRL::ComPtr<IUnknown> identityA;
  Microsoft::WRL::ComPtr<IUnknown> identityB;
  return SUCCEEDED(a->QueryInterface(IID_PPV_ARGS(&identityA))) &&
         SUCCEEDED(b->QueryInterface(IID_PPV_ARGS(&identityB))) &&
         identityA.Get() == identityB.Get();
}

void FreeMediaType(AM_MEDIA_TYPE& type) {
  CoTaskMemFree(type.pbFormat);
  type.pbFormat = nullptr;
  type.cbFormat = 0;
  Adopt(type.pUnk);  // the media type's reference, dropped at once
  type.pUnk = nullptr;
}

}  // namespace media
