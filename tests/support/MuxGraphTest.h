#pragma once
// A multiplexer in Wine's real graph, reached as the program reaches it:
// RenderFile, the renderers taken out, the two pins that fed them connected
// through the capture graph builder stand-in. The subtitle filter is kept out
// of the graph (its "LoadLevel" 2 while a test runs), so that the multiplexer
// gets the splitter's own types.

#include <windows.h>
#include <dshow.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <memory>
#include <string>
#include <vector>

#include "standins/mux/Multiplexer.h"
#include "support/ClipFolder.h"
#include "support/GraphRun.h"
#include "support/ComApartment.h"
#include "support/LoadLevelGuard.h"

class MuxGraphTest : public ::testing::Test {
 protected:
  static constexpr HRESULT kDiskFull = HRESULT_FROM_WIN32(ERROR_DISK_FULL);

  void SetUp() override;
  void TearDown() override;

  // RenderFile, the renderers out (the pins that fed them kept), and the
  // capture graph builder stand-in on the graph.
  void Prepare(const std::string& clip);
  // The same with a source of the test's own, whose output pin is kept.
  void PrepareSource(IBaseFilter* source);
  // As the program builds its AVI, MKV or ASF output, through the compressors
  // where given.
  void BuildOutput(const GUID& type, const std::string& path,
                   IBaseFilter* videoCompressor = nullptr, IBaseFilter* audioCompressor = nullptr);
  // Each kept pin rendered into mux, through the compressor of its major type
  // (added to the graph first under the program's names) where there is one.
  void RenderInto(IBaseFilter* mux, IBaseFilter* videoCompressor = nullptr,
                  IBaseFilter* audioCompressor = nullptr);
  // A multiplexer of ours (its creation reference adopted) writing to path,
  // each kept pin rendered into it.
  void BuildOwnOutput(Multiplexer* created, const std::string& path);
  // Runs until the file holds at least bytes, then stops the graph.
  void StopOnceWritten(const std::string& path, DWORD bytes);
  // Stops the graph and lets go of it, for the next Prepare.
  void ReleaseGraph();

  // Opens files that take only capacity bytes, as on a full disk.
  static Multiplexer::SinkOpener CappedFiles(uint64_t capacity);

  ComApartment m_com;
  LoadLevelGuard m_loadLevel;
  Microsoft::WRL::ComPtr<IGraphBuilder> m_graph;
  Microsoft::WRL::ComPtr<IMediaControl> m_control;
  Microsoft::WRL::ComPtr<ICaptureGraphBuilder2> m_builder;
  std::vector<Microsoft::WRL::ComPtr<IPin>> m_pins;  // that fed the renderers
  std::vector<GUID> m_majorTypes;                    // of m_pins' connections
  ClipFolder m_clips;

 private:
  void NewGraph();
  void UseBuilder();
};
