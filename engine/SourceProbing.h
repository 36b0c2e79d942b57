#pragma once
// Learning an opened video's length, picture size and frame rate, and
// rendering it into the graph that a conversion starts from.

#include <windows.h>
#include <wrl/client.h>

#include <cstdint>

#include "engine/GraphHandles.h"
#include "engine/SourceInfo.h"
#include "settings/ConversionSettings.h"

// Renders path in a private graph and measures it: duration (100 ns units),
// source width, height and frame rate, and the output size, which follows the
// source. 1 on success; 0 on failure, after telling the user ("Error" boxes
// are owned by owner). What was measured before a failure stays written.
int ProbeSource(HWND owner, const char* path, int64_t& duration, SourceInfo& source,
                ConversionSettings& settings);

// The measuring steps of ProbeSource on a graph that has rendered the file.
int MeasureSource(HWND owner, const Microsoft::WRL::ComPtr<IGraphBuilder>& graph, int64_t& duration,
                  SourceInfo& source, ConversionSettings& settings);

// Frames per second for a frame time in seconds. A frame time that is not
// positive says nothing about the rate: the previous rate stays.
double FrameRateOf(double frameTimeSeconds, double previousRate);

// Renders path into a new graph and keeps it and its IMediaControl in handles.
// On success
// the rendering's own code: S_OK, or a success code such as
// VFW_S_PARTIAL_RENDER when a stream was left out. Otherwise the failure code,
// after telling the user (boxes owned by owner) when the file could not be
// rendered or controlled.
HRESULT OpenForConversion(HWND owner, const char* path, GraphHandles& handles);

// The last steps of OpenForConversion: handles take graph and its
// IMediaControl, with no sound known to be left out. 1 on success; the failure
// code after the application box (owned by owner) when the graph gives no
// IMediaControl (the slots are then left as they were).
HRESULT AdoptConversionGraph(HWND owner, const Microsoft::WRL::ComPtr<IGraphBuilder>& graph,
                             GraphHandles& handles);

// The box that says a file cannot be opened: owned by owner, the localised
// texts, an OK button.
void ShowNotOpenedBox(HWND owner);
