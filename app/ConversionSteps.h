#pragma once
// What the main window asks of the engine to convert: build the conversion
// graph, tear it down, and render the source again. The program uses
// FrameworkConversionSteps; tests hand in their own.

#include <windows.h>

#include <string>

struct ConversionSettings;
struct GraphHandles;

class ConversionSteps {
 public:
  virtual ~ConversionSteps() = default;

  // Every step tells the user in boxes owned by window.

  // The missing compressor instances, then the conversion graph in
  // handles.graph. Negative after telling the user; S_FALSE when it stopped
  // half-way after telling the user, so that nothing can run.
  virtual HRESULT Build(HWND window, GraphHandles& handles, const ConversionSettings& settings,
                        std::string& errorText) = 0;
  // The conversion graph in handles.graph, with the compressors as they are.
  virtual HRESULT BuildFilters(HWND window, GraphHandles& handles,
                               const ConversionSettings& settings, std::string& errorText) = 0;
  // Empties handles.graph; the slots stay held.
  virtual void TearDown(HWND window, GraphHandles& handles, const char* sourcePath,
                        const ConversionSettings& settings) = 0;
  // Renders sourcePath into a new graph held in handles, which note whether it
  // leaves the sound out; negative on failure, after telling the user.
  virtual HRESULT Open(HWND window, const char* sourcePath, GraphHandles& handles) = 0;
};
