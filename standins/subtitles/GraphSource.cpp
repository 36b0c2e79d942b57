#include "standins/subtitles/GraphSource.h"

#include <dshow.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

std::wstring SourceFileOf(IFilterGraph* graph) {
  ComPtr<IEnumFilters> filters;
  if (!graph || FAILED(graph->EnumFilters(&filters))) return {};
  ComPtr<IBaseFilter> filter;
  while (filters->Next(1, &filter, nullptr) == S_OK) {
    ComPtr<IFileSourceFilter> source;
    LPOLESTR name = nullptr;
    if (SUCCEEDED(filter.As(&source)) && SUCCEEDED(source->GetCurFile(&name, nullptr)) && name) {
      std::wstring path = name;
      CoTaskMemFree(name);
      if (!path.empty()) return path;
    }
    filter.Reset();
  }
  return {};
}
