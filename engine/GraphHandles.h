#pragma once
// The live media objects of the process. Each slot holds one counted
// reference or is empty.

#include <dshow.h>
#include <wrl/client.h>

#include <vector>

#include "settings/CompressorCatalogue.h"

struct GraphHandles {
  Microsoft::WRL::ComPtr<IGraphBuilder> graph;
  Microsoft::WRL::ComPtr<IMediaControl> mediaControl;
  Microsoft::WRL::ComPtr<IMediaEventEx> mediaEvent;
  Microsoft::WRL::ComPtr<IBaseFilter> videoCompressor;
  Microsoft::WRL::ComPtr<IBaseFilter> audioCompressor;
  // How far a built conversion has come: the multiplexer's seeking, whose
  // position is what it has written, or the graph's when the streams go to
  // renderers. Empty without a conversion graph, or when the multiplexer has none.
  Microsoft::WRL::ComPtr<IMediaSeeking> progress;
  // The built conversion graph leaves the source's sound out (no decoder for
  // it): the conversion writes the picture alone.
  bool soundLeftOut = false;
  // The renderers that a conversion graph took out. The last reference to a
  // video renderer tears down its window and display device, which takes
  // longer than the rest of the build: the window lets them go once the
  // conversion runs, not while the user waits for it to start.
  std::vector<Microsoft::WRL::ComPtr<IBaseFilter>> removedRenderers;

  CompressorSlots Compressors() { return {videoCompressor, audioCompressor}; }
};
