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
  TearDownGraph(window, handles.graph.Get(), sourcePath, handles, settings);
}

HRESULT FrameworkConversionSteps::Open(HWND window, const char* sourcePath, GraphHandles& handles) {
  return OpenForConversion(window, sourcePath, handles);
}
