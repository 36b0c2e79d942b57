#include "support/GraphRun.h"

#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

long RunToCompletion(IGraphBuilder* graph, long timeoutMs) {
  ComPtr<IMediaControl> control;
  ComPtr<IMediaEventEx> events;
  if (FAILED(graph->QueryInterface(IID_PPV_ARGS(&control))) ||
      FAILED(graph->QueryInterface(IID_IMediaEventEx,
                                   reinterpret_cast<void**>(events.GetAddressOf()))) ||
      FAILED(control->Run()))
    return -1;
  long code = 0;
  const HRESULT waited = events->WaitForCompletion(timeoutMs, &code);
  control->Stop();
  return SUCCEEDED(waited) ? code : -2;
}
