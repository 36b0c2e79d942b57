#pragma once
// A clip's playback graph made into a conversion graph as the program makes
// it: RenderFile, the renderers taken out (the pins that fed them kept), the
// capture graph builder stand-in on the graph, the AVI output through
// SetOutputFileName, each stream rendered into it, through a compressor or not.
// The helpers assert as they go; COM must be initialised around them.

#include <dshow.h>
#include <wrl/client.h>

#include <string>
#include <utility>
#include <vector>

class OutputGraph {
 public:
  void Prepare(const std::string& clip);
  // The AVI output for path, then every stream rendered into it.
  void BuildOutput(const std::string& path, IBaseFilter* videoCompressor = nullptr,
                   IBaseFilter* audioCompressor = nullptr);
  // Each kept pin rendered into mux, through the compressor of its major type
  // (added to the graph first under the program's names) where there is one.
  void RenderInto(IBaseFilter* mux, IBaseFilter* videoCompressor = nullptr,
                  IBaseFilter* audioCompressor = nullptr);
  // Runs to EC_COMPLETE (60 s at most); the codes and first parameters of the
  // events on the way. Wine's GetEvent may answer E_ABORT at once after its
  // queue emptied.
  std::vector<std::pair<long, LONG_PTR>> RunToCompletion();
  // Stops the graph and lets go of everything, before COM ends.
  void ReleaseGraph();

 protected:
  Microsoft::WRL::ComPtr<IGraphBuilder> m_graph;
  Microsoft::WRL::ComPtr<IMediaControl> m_control;
  Microsoft::WRL::ComPtr<ICaptureGraphBuilder2> m_builder;
  std::vector<Microsoft::WRL::ComPtr<IPin>> m_pins;  // that fed the renderers
  std::vector<GUID> m_majorTypes;                    // of m_pins' connections

 private:
  bool FindRenderer(Microsoft::WRL::ComPtr<IBaseFilter>& renderer);
};
