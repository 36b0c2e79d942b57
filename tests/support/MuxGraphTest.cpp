#include "support/MuxGraphTest.h"

#include "engine/PinSearch.h"
#include "platform/Str.h"
#include "standins/mux/Win32FileSink.h"
#include "support/FileContents.h"

using Microsoft::WRL::ComPtr;

namespace {

class CappedFileSink : public Win32FileSink {
 public:
  explicit CappedFileSink(uint64_t capacity) : m_capacity(capacity) {}
  int32_t WriteAt(uint64_t offset, const void* data, size_t size) override {
    return offset + size > m_capacity ? HRESULT_FROM_WIN32(ERROR_DISK_FULL)
                                      : Win32FileSink::WriteAt(offset, data, size);
  }

 private:
  uint64_t m_capacity;
};

}  // namespace

void MuxGraphTest::SetUp() {
  LoadLevelGuard::Set(2);  // never
  ASSERT_TRUE(m_com.Entered());
}

void MuxGraphTest::TearDown() { ReleaseGraph(); }

void MuxGraphTest::ReleaseGraph() {
  if (m_control) m_control->Stop();
  m_control.Reset();
  m_builder.Reset();
  m_pins.clear();
  m_majorTypes.clear();
  m_graph.Reset();
}

void MuxGraphTest::NewGraph() {
  ASSERT_EQ(
      CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&m_graph)),
      S_OK);
  ASSERT_EQ(m_graph.As(&m_control), S_OK);
}

void MuxGraphTest::UseBuilder() {
  ASSERT_EQ(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                             IID_PPV_ARGS(&m_builder)),
            S_OK);
  ASSERT_EQ(m_builder->SetFiltergraph(m_graph.Get()), S_OK);
}

void MuxGraphTest::PrepareSource(IBaseFilter* source) {
  ASSERT_NO_FATAL_FAILURE(NewGraph());
  ASSERT_EQ(m_graph->AddFilter(source, L"Source"), S_OK);
  ComPtr<IPin> output;
  ASSERT_EQ(PinAt(source, PINDIR_OUTPUT, 0, output), S_OK);
  m_pins.push_back(output);
  m_majorTypes.push_back(MEDIATYPE_Video);
  UseBuilder();
}

void MuxGraphTest::Prepare(const std::string& clip) {
  ASSERT_NO_FATAL_FAILURE(NewGraph());
  ASSERT_EQ(m_graph->RenderFile(str::ToWide(clip.c_str()).c_str(), nullptr), S_OK);
  for (const GUID& major : {MEDIATYPE_Video, MEDIATYPE_Audio}) {
    ComPtr<IBaseFilter> renderer;
    ComPtr<IPin> input, upstream;
    ASSERT_TRUE(SUCCEEDED(LocateRenderer(m_graph.Get(), major, renderer)));
    if (!renderer) continue;
    ASSERT_EQ(PinAt(renderer.Get(), PINDIR_INPUT, 0, input), S_OK);
    ASSERT_EQ(input->ConnectedTo(&upstream), S_OK);
    m_majorTypes.push_back(major);
    m_pins.push_back(upstream);
    ASSERT_EQ(m_graph->RemoveFilter(renderer.Get()), S_OK);
  }
  UseBuilder();
}

void MuxGraphTest::BuildOutput(const GUID& type, const std::string& path,
                               IBaseFilter* videoCompressor, IBaseFilter* audioCompressor) {
  ComPtr<IBaseFilter> mux;
  ComPtr<IFileSinkFilter> sink;
  ComPtr<IConfigInterleaving> interleaving;
  ComPtr<IFileSinkFilter2> sink2;
  ASSERT_EQ(m_builder->SetOutputFileName(&type, str::ToWide(path.c_str()).c_str(), &mux, &sink),
            S_OK);
  ASSERT_EQ(mux.As(&interleaving), S_OK);
  EXPECT_EQ(interleaving->put_Mode(INTERLEAVE_FULL), S_OK);
  ASSERT_EQ(sink.As(&sink2), S_OK);
  EXPECT_EQ(sink2->SetMode(AM_FILE_OVERWRITE), S_OK);
  RenderInto(mux.Get(), videoCompressor, audioCompressor);
}

void MuxGraphTest::RenderInto(IBaseFilter* mux, IBaseFilter* videoCompressor,
                              IBaseFilter* audioCompressor) {
  ASSERT_FALSE(m_pins.empty());
  if (videoCompressor) {
    ASSERT_EQ(m_graph->AddFilter(videoCompressor, L"VideoCompressor"), S_OK);
  }
  if (audioCompressor) {
    ASSERT_EQ(m_graph->AddFilter(audioCompressor, L"AudioCompressor"), S_OK);
  }
  for (size_t i = 0; i < m_pins.size(); ++i) {
    IBaseFilter* compressor =
        m_majorTypes[i] == MEDIATYPE_Video ? videoCompressor : audioCompressor;
    ASSERT_EQ(m_builder->RenderStream(nullptr, nullptr, m_pins[i].Get(), compressor, mux), S_OK);
  }
}

void MuxGraphTest::BuildOwnOutput(Multiplexer* created, const std::string& path) {
  ComPtr<IBaseFilter> mux;
  *mux.ReleaseAndGetAddressOf() = created;  // mingw-w64's Attach would add a reference
  ComPtr<IFileSinkFilter> sink;
  ASSERT_EQ(mux.As(&sink), S_OK);
  ASSERT_EQ(sink->SetFileName(str::ToWide(path.c_str()).c_str(), nullptr), S_OK);
  ASSERT_EQ(m_graph->AddFilter(mux.Get(), L"Multiplexer"), S_OK);
  RenderInto(mux.Get());
}

void MuxGraphTest::StopOnceWritten(const std::string& path, DWORD bytes) {
  ASSERT_EQ(m_control->Run(), S_OK);
  for (int waited = 0; waited < 30000 && FileBytes(path) < bytes; waited += 5) Sleep(5);
  const uint64_t written = FileBytes(path);
  ASSERT_EQ(m_control->Stop(), S_OK);
  ASSERT_GE(written, bytes) << "not written before Stop";
}

Multiplexer::SinkOpener MuxGraphTest::CappedFiles(uint64_t capacity) {
  return [capacity](const wchar_t* path, bool, std::unique_ptr<FileSink>& sink) {
    auto file = std::make_unique<CappedFileSink>(capacity);
    HRESULT hr = file->Open(path, true);
    if (SUCCEEDED(hr)) sink = std::move(file);
    return hr;
  };
}
