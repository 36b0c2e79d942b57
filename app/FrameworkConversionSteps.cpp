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
                                        ConversionSettings& settings, std::string& errorText) {
  return EnsureCompressorsAndBuild(window, handles, settings, errorText);
}

HRESULT FrameworkConversionSteps::BuildFilters(HWND window, GraphHandles& handles,
                                               ConversionSettings& settings,
                                               std::string& errorText) {
  return BuildConversionGraph(window, handles.graph.Get(), handles, settings, errorText);
}

void FrameworkConversionSteps::TearDown(GraphHandles& handles, const char* sourcePath,
                                        const ConversionSettings& settings) {
  TearDownGraph(handles.graph.Get(), sourcePath, handles, settings);
}

HRESULT FrameworkConversionSteps::Open(const char* sourcePath, GraphHandles& handles) {
  return OpenForConversion(sourcePath, handles);
}
