#include "support/GraphRun.h"

#include <gtest/gtest.h>
#include <wrl/client.h>

#include <algorithm>

using Microsoft::WRL::ComPtr;

GraphEvents RunToCompletion(IGraphBuilder* graph, DWORD timeoutMs) {
  GraphEvents seen;
  ComPtr<IMediaControl> control;
  ComPtr<IMediaEventEx> events;
  if (SUCCEEDED(graph->QueryInterface(IID_PPV_ARGS(&control))) &&
      SUCCEEDED(graph->QueryInterface(IID_IMediaEventEx,
                                      reinterpret_cast<void**>(events.GetAddressOf()))) &&
      SUCCEEDED(control->Run())) {
    // Wine's GetEvent may answer E_ABORT at once after its queue emptied.
    for (const DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs;) {
      long code = 0;
      LONG_PTR param1 = 0, param2 = 0;
      if (FAILED(events->GetEvent(&code, &param1, &param2, 100))) continue;
      seen.push_back({code, param1});
      events->FreeEventParams(code, param1, param2);
      if (code == EC_COMPLETE) break;
    }
    control->Stop();
  }
  EXPECT_TRUE(!seen.empty() && seen.back().first == EC_COMPLETE)
      << "no EC_COMPLETE in " << timeoutMs << " ms";
  return seen;
}

bool HasEvent(const GraphEvents& events, long code, LONG_PTR param) {
  return std::find(events.begin(), events.end(), std::make_pair(code, param)) != events.end();
}
