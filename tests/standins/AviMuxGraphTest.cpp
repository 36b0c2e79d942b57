// The AVI multiplexer in Wine's real graph, reached as the program reaches it:
// RenderFile, the renderers taken out, the two pins that fed them connected
// through the capture graph builder stand-in. Outputs are judged by ffprobe
// and ffmpeg outside Wine.

#include <windows.h>
#include <dshow.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/Str.h"
#include "standins/avi/AviMux.h"
#include "standins/mux/Win32FileSink.h"
#include "support/ClipFolder.h"
#include "support/MediaProbe.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr HRESULT kDiskFull = HRESULT_FROM_WIN32(ERROR_DISK_FULL);

// A file on disk that takes only so many bytes, as on a full disk.
class CappedFileSink : public Win32FileSink {
 public:
  explicit CappedFileSink(uint64_t capacity) : m_capacity(capacity) {}
  int32_t WriteAt(uint64_t offset, const void* data, size_t size) override {
    return offset + size > m_capacity ? kDiskFull : Win32FileSink::WriteAt(offset, data, size);
  }

 private:
  uint64_t m_capacity;
};

class AviMuxGraphTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
  void TearDown() override {
    if (m_control) m_control->Stop();
    m_control.Reset();
    m_builder.Reset();
    m_pins.clear();
    m_graph.Reset();
    CoUninitialize();
  }

  // RenderFile, the renderers out (the pins that fed them kept), and the
  // capture graph builder stand-in on the graph.
  void Prepare(const std::string& clip) {
    ASSERT_EQ(
        CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&m_graph)),
        S_OK);
    ASSERT_EQ(m_graph->RenderFile(str::ToWide(clip.c_str()).c_str(), nullptr), S_OK);
    ASSERT_EQ(m_graph.As(&m_control), S_OK);
    for (ComPtr<IBaseFilter> renderer; FindRenderer(renderer); renderer.Reset()) {
      ComPtr<IEnumPins> pins;
      ComPtr<IPin> input, upstream;
      ASSERT_EQ(renderer->EnumPins(&pins), S_OK);
      ASSERT_EQ(pins->Next(1, &input, nullptr), S_OK);
      ASSERT_EQ(input->ConnectedTo(&upstream), S_OK);
      m_pins.push_back(upstream);
      ASSERT_EQ(m_graph->RemoveFilter(renderer.Get()), S_OK);
    }
    ASSERT_EQ(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(&m_builder)),
              S_OK);
    ASSERT_EQ(m_builder->SetFiltergraph(m_graph.Get()), S_OK);
  }

  // As the program builds its AVI output.
  void BuildOutput(const std::string& path) {
    ComPtr<IBaseFilter> mux;
    ComPtr<IFileSinkFilter> sink;
    ComPtr<IConfigInterleaving> interleaving;
    ComPtr<IFileSinkFilter2> sink2;
    ASSERT_EQ(m_builder->SetOutputFileName(&MEDIASUBTYPE_Avi, str::ToWide(path.c_str()).c_str(),
                                           &mux, &sink),
              S_OK);
    ASSERT_EQ(mux.As(&interleaving), S_OK);
    EXPECT_EQ(interleaving->put_Mode(INTERLEAVE_FULL), S_OK);
    ASSERT_EQ(sink.As(&sink2), S_OK);
    EXPECT_EQ(sink2->SetMode(AM_FILE_OVERWRITE), S_OK);
    RenderInto(mux.Get());
  }

  void RenderInto(IBaseFilter* mux) {
    ASSERT_EQ(m_pins.size(), 2u);
    for (const ComPtr<IPin>& pin : m_pins)
      ASSERT_EQ(m_builder->RenderStream(nullptr, nullptr, pin.Get(), nullptr, mux), S_OK);
  }

  // Runs to EC_COMPLETE; the codes and first parameters of the events on the
  // way. Wine's GetEvent may answer E_ABORT at once after its queue emptied.
  std::vector<std::pair<long, LONG_PTR>> RunToCompletion() {
    std::vector<std::pair<long, LONG_PTR>> seen;
    ComPtr<IMediaEventEx> events;
    if (FAILED(m_graph->QueryInterface(IID_IMediaEventEx,
                                       reinterpret_cast<void**>(events.GetAddressOf()))) ||
        FAILED(m_control->Run()))
      return seen;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < 60000;) {
      long code = 0;
      LONG_PTR param1 = 0, param2 = 0;
      if (FAILED(events->GetEvent(&code, &param1, &param2, 100))) continue;
      seen.push_back({code, param1});
      events->FreeEventParams(code, param1, param2);
      if (code == EC_COMPLETE) break;
    }
    m_control->Stop();
    return seen;
  }

  ComPtr<IGraphBuilder> m_graph;
  ComPtr<IMediaControl> m_control;
  ComPtr<ICaptureGraphBuilder2> m_builder;
  std::vector<ComPtr<IPin>> m_pins;  // that fed the renderers
  ClipFolder m_clips;

 private:
  // A filter with one input and no output.
  bool FindRenderer(ComPtr<IBaseFilter>& renderer) {
    ComPtr<IEnumFilters> filters;
    m_graph->EnumFilters(&filters);
    for (ComPtr<IBaseFilter> filter; filters->Next(1, &filter, nullptr) == S_OK; filter.Reset()) {
      ComPtr<IEnumPins> pins;
      filter->EnumPins(&pins);
      int counts[2] = {0, 0};
      PIN_DIRECTION direction;
      for (ComPtr<IPin> pin; pins->Next(1, &pin, nullptr) == S_OK; pin.Reset())
        if (SUCCEEDED(pin->QueryDirection(&direction))) ++counts[direction];
      if (counts[PINDIR_INPUT] == 1 && counts[PINDIR_OUTPUT] == 0) {
        renderer = filter;
        return true;
      }
    }
    return false;
  }
};

TEST_F(AviMuxGraphTest, WritesTheDecodedFramesAndSoundOfAnH264Mp4) {
  const std::string clip = m_clips.MakeMp4("clip.mp4", ClipShape{320, 240, 25, 100, true});
  const std::string out = m_clips.PathOf("out.avi");
  Prepare(clip);
  BuildOutput(out);
  const auto events = RunToCompletion();
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().first, EC_COMPLETE);

  const ProbedMedia media = ProbeMedia(out);
  EXPECT_TRUE(media.read) << media.errors;
  ASSERT_NE(media.Stream("video"), nullptr);
  EXPECT_EQ(media.Stream("video")->packets, 100);
  EXPECT_DOUBLE_EQ(media.Stream("video")->duration, 4.0);
  const std::vector<std::string> frames = VideoFrameChecksums(clip, "yuv420p");
  ASSERT_EQ(frames.size(), 100u);
  EXPECT_EQ(VideoFrameChecksums(out, "yuv420p"), frames);
  const double seconds = DecodedAudioSeconds(clip);
  ASSERT_GT(seconds, 3.9);
  EXPECT_NEAR(DecodedAudioSeconds(out), seconds, 1024.0 / 44100) << "one AAC frame";
}

TEST_F(AviMuxGraphTest, StopHalfWayLeavesAFileOfWhatWasWritten) {
  const std::string out = m_clips.PathOf("out.avi");
  Prepare(m_clips.MakeMp4("long.mp4", ClipShape{320, 240, 25, 25 * 60, true}));
  BuildOutput(out);
  ASSERT_EQ(m_control->Run(), S_OK);
  WIN32_FILE_ATTRIBUTE_DATA file = {};
  for (int waited = 0; waited < 30000 && file.nFileSizeLow < (4u << 20); waited += 5) {
    Sleep(5);
    GetFileAttributesExA(out.c_str(), GetFileExInfoStandard, &file);
  }
  ASSERT_EQ(m_control->Stop(), S_OK);

  const ProbedMedia media = ProbeMedia(out);
  EXPECT_TRUE(media.read) << media.errors;
  ASSERT_NE(media.Stream("video"), nullptr);
  const long frames = media.Stream("video")->packets;
  EXPECT_GT(frames, 0);
  EXPECT_LT(frames, 25 * 60) << "stopped too late to show a partial file";
  EXPECT_DOUBLE_EQ(media.Stream("video")->duration, frames / 25.0);
  EXPECT_GT(DecodedAudioSeconds(out), 0);
}

TEST_F(AviMuxGraphTest, AFailedWriteEndsTheRunWithItsCodeAndAReadableFile) {
  const std::string out = m_clips.PathOf("out.avi");
  Prepare(m_clips.MakeAvi("clip.avi", ClipShape{320, 240, 25, 50, true}));
  // 3 MB: about a dozen of the 50 frames of 230 kB.
  ComPtr<IBaseFilter> mux;
  // Adopts the creation reference (mingw-w64's Attach would add one).
  *mux.ReleaseAndGetAddressOf() =
      new AviMux([](const wchar_t* path, bool, std::unique_ptr<FileSink>& sink) {
        auto file = std::make_unique<CappedFileSink>(3u << 20);
        HRESULT hr = file->Open(path, true);
        if (SUCCEEDED(hr)) sink = std::move(file);
        return hr;
      });
  ComPtr<IFileSinkFilter> sink;
  ASSERT_EQ(mux.As(&sink), S_OK);
  ASSERT_EQ(sink->SetFileName(str::ToWide(out.c_str()).c_str(), nullptr), S_OK);
  ASSERT_EQ(m_graph->AddFilter(mux.Get(), L"AVI Mux"), S_OK);
  RenderInto(mux.Get());

  // Wine passes EC_COMPLETE on with S_OK, whatever status the writer gave.
  const auto events = RunToCompletion();
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back(), std::make_pair(long{EC_COMPLETE}, LONG_PTR{S_OK}));
  EXPECT_NE(std::find(events.begin(), events.end(),
                      std::make_pair(long{EC_ERRORABORT}, LONG_PTR{kDiskFull})),
            events.end());
  const ProbedMedia media = ProbeMedia(out);
  EXPECT_TRUE(media.read) << media.errors;
  ASSERT_NE(media.Stream("video"), nullptr);
  EXPECT_GT(media.Stream("video")->packets, 0);
  EXPECT_LT(media.Stream("video")->packets, 14);
}

TEST_F(AviMuxGraphTest, OtherOutputTypesCreateTheirClassOrPassItsFailureOn) {
  const CLSID kMatroska = {
      0xA28F324B, 0xDDC5, 0x4999, {0xAA, 0x25, 0xD3, 0xA7, 0xE2, 0x5E, 0xF7, 0xA8}};
  const struct {
    const GUID* type;
    HRESULT expected;
  } cases[] = {
      {&kMatroska, REGDB_E_CLASSNOTREG},
      {&CLSID_WMAsfWriter, REGDB_E_CLASSNOTREG},
      {&MEDIASUBTYPE_Asf, REGDB_E_CLASSNOTREG},
      {&CLSID_FilterGraph, E_NOINTERFACE},  // a class that is no filter
  };
  Prepare(m_clips.MakeAvi("clip.avi", ClipShape{64, 48, 25, 5, true}));
  for (const auto& c : cases) {
    ComPtr<IBaseFilter> mux;
    ComPtr<IFileSinkFilter> sink;
    EXPECT_EQ(m_builder->SetOutputFileName(c.type, L"C:\\out.mkv", &mux, &sink), c.expected);
    EXPECT_FALSE(mux || sink);
  }
  ComPtr<IBaseFilter> mux;
  EXPECT_EQ(m_builder->SetOutputFileName(nullptr, L"C:\\out.avi", &mux, nullptr), E_POINTER);
  ComPtr<IEnumFilters> filters;
  ASSERT_EQ(m_graph->EnumFilters(&filters), S_OK);
  ULONG count = 0;
  for (ComPtr<IBaseFilter> filter; filters->Next(1, &filter, nullptr) == S_OK; filter.Reset())
    ++count;
  EXPECT_EQ(count, 2u) << "the source and the splitter: nothing added on failure";
}

}  // namespace
