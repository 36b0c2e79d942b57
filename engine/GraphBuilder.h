#pragma once
// Turns the playback graph of the opened source into a conversion graph: the
// renderers go, and the pins that fed them are connected through the chosen
// compressors to the multiplexer of the output format.

#include <windows.h>

#include <functional>
#include <string>

struct ConversionSettings;
struct GraphHandles;
struct ICaptureGraphBuilder2;
struct IGraphBuilder;
struct IWMProfileManager;

constexpr UINT kGraphNotifyMessage = WM_USER + 13;  // posted by the running graph

// The framework's text for a code (AMGetErrorTextA, 160 characters).
std::string FrameworkErrorText(HRESULT hr);

// Where the builder's helper objects come from: an empty factory stands for
// the platform's (the capture graph builder class, the Windows Media runtime);
// tests hand in fakes.
struct GraphBuildFactories {
  std::function<HRESULT(ICaptureGraphBuilder2**)> captureBuilder;
  std::function<HRESULT(IWMProfileManager**)> profileManager;
};

// Builds the conversion graph in graph, which holds the rendered source and is
// stopped, from the source's first picture and first sound stream; every other
// renderer leaves the graph. S_OK when built (without a sound stream when the
// source has none, or when its sound could not be connected: then
// handles.soundLeftOut is set);
// S_FALSE when it stopped after a renderer it needs was reported missing or
// stayed in the graph; a failure code after telling the user (every box is owned
// by window, which also receives kGraphNotifyMessage). Handles receive the
// graph's IMediaControl and IMediaEventEx; a WMV graph leaves the compressors
// out whatever the flags of settings say. errorText receives the framework's
// text of a failed AddFilter or RenderStream. What the graph reached stays for
// the teardown.
HRESULT BuildConversionGraph(HWND window, IGraphBuilder* graph, GraphHandles& handles,
                             const ConversionSettings& settings, std::string& errorText);
HRESULT BuildConversionGraph(HWND window, IGraphBuilder* graph, GraphHandles& handles,
                             const ConversionSettings& settings, std::string& errorText,
                             const GraphBuildFactories& factories);

// Creates a missing compressor instance from its stored index, then builds the
// conversion graph in handles.graph.
HRESULT EnsureCompressorsAndBuild(HWND window, GraphHandles& handles,
                                  const ConversionSettings& settings, std::string& errorText);
