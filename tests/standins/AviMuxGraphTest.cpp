// The AVI multiplexer in Wine's real graph, reached as the program reaches it:
// RenderFile, the renderers taken out, the two pins that fed them connected
// through the capture graph builder stand-in. Outputs are judged by ffprobe
// and ffmpeg outside Wine.

#include <windows.h>
#include <dshow.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <memory>
#include <vector>

#include "platform/Str.h"
#include "standins/avi/AviMux.h"
#include "standins/avi/Win32FileSink.h"
#include "support/ClipFolder.h"
#include "support/MediaProbe.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr HRESULT kDiskFull = HRESULT_FROM_WIN32(ERROR_DISK_FULL);

// A file on disk that holds only so many bytes, as a full disk would.
class CappedFileSink : public Win32FileSink {
 public:
  explicit CappedFileSink(uint64_t capacity) : m_capacity(capacity) {}
  int32_t WriteAt(uint64_t offset, const void* data, size_t size) override {
    return offset + size > m_capacity ? kDiskFull : Win32FileSink::WriteAt(offset, data, size);
  }

 private:
  uint64_t m_capacity;
};

struct GraphEvent {
  long code;
  LONG_PTR param1;
};

class AviMuxGraphTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
  void TearDown() override {
    if (m_control) m_control->Stop();
    m_control.Reset();
    m_builder.Reset();
    m_video.Reset();
    m_audio.Reset();
    m_graph.Reset();
    CoUninitialize();
  }

  // RenderFile, then every renderer out: the pins that fed them stay.
  void RenderWithoutRenderers(const std::string& clip) {
    ASSERT_EQ(
        CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&m_graph)),
        S_OK);
    ASSERT_EQ(m_graph->RenderFile(str::ToWide(clip.c_str()).c_str(), nullptr), S_OK);
    ASSERT_EQ(m_graph.As(&m_control), S_OK);
    for (ComPtr<IBaseFilter> renderer; FindRenderer(renderer);) {
      ComPtr<IPin> input, upstream;
      ComPtr<IEnumPins> pins;
      ASSERT_EQ(renderer->EnumPins(&pins), S_OK);
      ASSERT_EQ(pins->Next(1, &input, nullptr), S_OK);
      ASSERT_EQ(input->ConnectedTo(&upstream), S_OK);
      AM_MEDIA_TYPE mt = {};
      ASSERT_EQ(input->ConnectionMediaType(&mt), S_OK);
      (mt.majortype == MEDIATYPE_Video ? m_video : m_audio) = upstream;
      CoTaskMemFree(mt.pbFormat);
      ASSERT_EQ(m_graph->RemoveFilter(renderer.Get()), S_OK);
    }
    ASSERT_TRUE(m_video);
  }

  // The capture graph builder stand-in, on this graph.
  void MakeBuilder() {
    ASSERT_EQ(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(&m_builder)),
              S_OK);
    ASSERT_EQ(m_builder->SetFiltergraph(m_graph.Get()), S_OK);
  }

  // Both streams into mux, as the program renders them.
  void RenderStreamsInto(IBaseFilter* mux) {
    ASSERT_EQ(m_builder->RenderStream(nullptr, nullptr, m_video.Get(), nullptr, mux), S_OK);
    if (!m_audio) return;
    ASSERT_EQ(m_builder->RenderStream(nullptr, nullptr, m_audio.Get(), nullptr, mux), S_OK);
  }

  // The output made as the program makes it: SetOutputFileName, the
  // interleaving and overwrite modes, both streams rendered into the mux.
  void BuildAviOutput(const std::string& path) {
    MakeBuilder();
    ComPtr<IBaseFilter> mux;
    ComPtr<IFileSinkFilter> sink;
    ASSERT_EQ(m_builder->SetOutputFileName(&MEDIASUBTYPE_Avi, str::ToWide(path.c_str()).c_str(),
                                           &mux, &sink),
              S_OK);
    ComPtr<IConfigInterleaving> interleaving;
    ComPtr<IFileSinkFilter2> sink2;
    ASSERT_EQ(mux.As(&interleaving), S_OK);
    EXPECT_EQ(interleaving->put_Mode(INTERLEAVE_FULL), S_OK);
    ASSERT_EQ(sink.As(&sink2), S_OK);
    EXPECT_EQ(sink2->SetMode(AM_FILE_OVERWRITE), S_OK);
    RenderStreamsInto(mux.Get());
    m_mux = mux;
  }

  // Runs until EC_COMPLETE or the timeout; the events on the way. Wine's
  // GetEvent may answer E_ABORT at once when the queue has just been emptied.
  std::vector<GraphEvent> RunToCompletion(DWORD timeoutMs = 60000) {
    std::vector<GraphEvent> seen;
    ComPtr<IMediaEventEx> events;
    if (FAILED(m_graph->QueryInterface(IID_IMediaEventEx,
                                       reinterpret_cast<void**>(events.GetAddressOf()))) ||
        FAILED(m_control->Run()))
      return seen;
    const DWORD start = GetTickCount();
    long code = 0;
    while (code != EC_COMPLETE && GetTickCount() - start < timeoutMs) {
      LONG_PTR param1 = 0, param2 = 0;
      if (FAILED(events->GetEvent(&code, &param1, &param2, 100))) {
        code = 0;
        continue;
      }
      seen.push_back({code, param1});
      events->FreeEventParams(code, param1, param2);
    }
    m_control->Stop();
    return seen;
  }

  ComPtr<IGraphBuilder> m_graph;
  ComPtr<IMediaControl> m_control;
  ComPtr<ICaptureGraphBuilder2> m_builder;
  ComPtr<IBaseFilter> m_mux;
  ComPtr<IPin> m_video;
  ComPtr<IPin> m_audio;
  ClipFolder m_clips;

 private:
  // A filter with one connected input and no output.
  bool FindRenderer(ComPtr<IBaseFilter>& renderer) {
    ComPtr<IEnumFilters> filters;
    if (FAILED(m_graph->EnumFilters(&filters))) return false;
    for (ComPtr<IBaseFilter> filter; filters->Next(1, &filter, nullptr) == S_OK; filter.Reset()) {
      ComPtr<IEnumPins> pins;
      filter->EnumPins(&pins);
      int inputs = 0, outputs = 0;
      for (ComPtr<IPin> pin; pins->Next(1, &pin, nullptr) == S_OK; pin.Reset()) {
        PIN_DIRECTION direction;
        pin->QueryDirection(&direction);
        (direction == PINDIR_INPUT ? inputs : outputs)++;
      }
      if (inputs == 1 && outputs == 0) {
        renderer = filter;
        return true;
      }
    }
    return false;
  }
};

::testing::AssertionResult Completed(const std::vector<GraphEvent>& events, HRESULT status) {
  if (!events.empty() && events.back().code == EC_COMPLETE && events.back().param1 == status)
    return ::testing::AssertionSuccess();
  ::testing::AssertionResult failure = ::testing::AssertionFailure();
  failure << "events:";
  for (const GraphEvent& event : events)
    failure << " " << event.code << "(" << std::hex << event.param1 << std::dec << ")";
  return failure;
}

TEST_F(AviMuxGraphTest, WritesTheSameFramesAndSoundAsTheSource) {
  const std::string clip = m_clips.MakeAvi("clip.avi", ClipShape{320, 240, 25, 50, true});
  const std::string out = m_clips.PathOf("out.avi");
  RenderWithoutRenderers(clip);
  BuildAviOutput(out);
  ComPtr<IEnumPins> pins;
  ASSERT_EQ(m_mux->EnumPins(&pins), S_OK);
  ULONG count = 0;
  for (ComPtr<IPin> pin; pins->Next(1, &pin, nullptr) == S_OK; pin.Reset()) ++count;
  EXPECT_EQ(count, 3u) << "a free input stays after each connection";

  const std::vector<GraphEvent> events = RunToCompletion();
  ASSERT_TRUE(Completed(events, S_OK));
  for (const GraphEvent& event : events) EXPECT_NE(event.code, EC_ERRORABORT);

  const ProbedMedia media = ProbeMedia(out);
  EXPECT_TRUE(media.read) << media.errors;
  ASSERT_NE(media.Stream("video"), nullptr);
  ASSERT_NE(media.Stream("audio"), nullptr);
  EXPECT_EQ(media.Stream("video")->packets, 50);
  EXPECT_DOUBLE_EQ(media.Stream("video")->duration, 2.0);
  const std::vector<std::string> frames = VideoFrameChecksums(clip, "rgb24");
  const std::string sound = AudioChecksum(clip);
  ASSERT_EQ(frames.size(), 50u);
  ASSERT_FALSE(sound.empty());
  EXPECT_EQ(VideoFrameChecksums(out, "rgb24"), frames);
  EXPECT_EQ(AudioChecksum(out), sound);
}

TEST_F(AviMuxGraphTest, WritesADecodedH264Mp4) {
  const std::string clip = m_clips.MakeMp4("clip.mp4", ClipShape{320, 240, 25, 100, true});
  ASSERT_FALSE(clip.empty());
  const std::string out = m_clips.PathOf("out.avi");
  RenderWithoutRenderers(clip);
  BuildAviOutput(out);
  ASSERT_TRUE(Completed(RunToCompletion(), S_OK));

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
  const std::string clip = m_clips.MakeMp4("long.mp4", ClipShape{320, 240, 25, 25 * 60, true});
  ASSERT_FALSE(clip.empty());
  const std::string out = m_clips.PathOf("out.avi");
  RenderWithoutRenderers(clip);
  BuildAviOutput(out);
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

TEST_F(AviMuxGraphTest, AFailedWriteEndsTheRunWithTheCodeAndAReadableFile) {
  const std::string clip = m_clips.MakeAvi("clip.avi", ClipShape{320, 240, 25, 50, true});
  const std::string out = m_clips.PathOf("out.avi");
  RenderWithoutRenderers(clip);
  MakeBuilder();
  // 3 MB: about a dozen of the 50 frames of 230 kB.
  ComPtr<IBaseFilter> mux;
  mux.Attach(new AviMux([](const wchar_t* path, bool, std::unique_ptr<FileSink>& sink) {
    auto file = std::make_unique<CappedFileSink>(3u << 20);
    HRESULT hr = file->Open(path, true);
    if (SUCCEEDED(hr)) sink = std::move(file);
    return hr;
  }));
  ComPtr<IFileSinkFilter> sink;
  ASSERT_EQ(mux.As(&sink), S_OK);
  ASSERT_EQ(sink->SetFileName(str::ToWide(out.c_str()).c_str(), nullptr), S_OK);
  ASSERT_EQ(m_graph->AddFilter(mux.Get(), L"AVI Mux"), S_OK);
  RenderStreamsInto(mux.Get());

  // Wine passes EC_COMPLETE on with S_OK, whatever status the writer gave.
  const std::vector<GraphEvent> events = RunToCompletion();
  ASSERT_TRUE(Completed(events, S_OK));
  bool aborted = false;
  for (const GraphEvent& event : events)
    aborted = aborted || (event.code == EC_ERRORABORT && event.param1 == kDiskFull);
  EXPECT_TRUE(aborted);

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
  RenderWithoutRenderers(m_clips.MakeAvi("clip.avi", ClipShape{64, 48, 25, 5, false}));
  MakeBuilder();
  for (const auto& c : cases) {
    ComPtr<IBaseFilter> mux;
    ComPtr<IFileSinkFilter> sink;
    EXPECT_EQ(m_builder->SetOutputFileName(c.type, L"C:\\out.mkv", &mux, &sink), c.expected);
    EXPECT_FALSE(mux);
    EXPECT_FALSE(sink);
  }
  ComPtr<IBaseFilter> mux;
  EXPECT_EQ(m_builder->SetOutputFileName(nullptr, L"C:\\out.avi", &mux, nullptr), E_POINTER);
  EXPECT_EQ(m_builder->SetOutputFileName(&MEDIASUBTYPE_Avi, nullptr, &mux, nullptr), E_POINTER);
  ComPtr<IEnumFilters> filters;
  ASSERT_EQ(m_graph->EnumFilters(&filters), S_OK);
  int count = 0;
  for (ComPtr<IBaseFilter> filter; filters->Next(1, &filter, nullptr) == S_OK; filter.Reset())
    ++count;
  EXPECT_EQ(count, 2) << "the source and the splitter: nothing added on failure";
}

}  // namespace
