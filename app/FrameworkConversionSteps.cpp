#include "app/FrameworkConversionSteps.h"

#include "engine/GraphBuilder.h"
#include "engine/GraphHandles.h"
#include "engine/GraphTeardown.h"
#include "engine/SourceProbing.h"

FrameworkConversionSteps& FrameworkConversionSteps::Shared() {
  static FrameworkConversionSteps steps;
  return steps;
}

HRESULT FrameworkConversionSteps::Build(HWND window, GraphHandles& handles,
                                        const ConversionSettings& settings,
                                        std::string& errorText) {
  return EnsureCompressorsAndBuild(window, handles, settings, errorText);
}

HRESULT FrameworkConversionSteps::BuildFilters(HWND window, GraphHandles& handles,
                                               const ConversionSettings& settings,
                                               std::string& errorText) {
  return BuildConversionGraph(window, handles.graph.Get(), handles, settings, errorText);
}

void FrameworkConversionSteps::TearDown(HWND window, GraphHandles& handles, const char* sourcePath,
                                        const ConversionSettings& settings) {
  // Held for the teardown's length: a box it shows nests a message loop, in
  // which the slot may be emptied.
  const Microsoft::WRL::ComPtr<IGraphBuilder> graph = handles.graph;
  TearDownGraph(window, graph.Get(), sourcePath, handles, settings);
}

HRESULT FrameworkConversionSteps::Open(HWND window, const char* sourcePath, GraphHandles& handles) {
  return OpenForConversion(window, sourcePath, handles);
}
