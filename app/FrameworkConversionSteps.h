#pragma once
// The conversion steps of the media framework: the engine's graph builder,
// teardown and source rendering.

#include "app/ConversionSteps.h"

class FrameworkConversionSteps final : public ConversionSteps {
 public:
  // One instance serves the whole process: the steps keep no state.
  static FrameworkConversionSteps& Shared();

  HRESULT Build(HWND window, GraphHandles& handles, const ConversionSettings& settings,
                std::string& errorText) override;
  HRESULT BuildFilters(HWND window, GraphHandles& handles, const ConversionSettings& settings,
                       std::string& errorText) override;
  void TearDown(HWND window, GraphHandles& handles, const char* sourcePath,
                const ConversionSettings& settings) override;
  HRESULT Open(HWND window, const char* sourcePath, GraphHandles& handles) override;
};
