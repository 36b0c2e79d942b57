// The AVI multiplexer in Wine's real graph, reached as the program reaches it.
// Outputs are judged by ffprobe and ffmpeg outside Wine.

#include <windows.h>
#include <dshow.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/Str.h"
#include "standins/avi/AviMux.h"
#include "support/ClipFolder.h"
#include "support/MediaProbe.h"
#include "support/MuxGraphTest.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr HRESULT kDiskFull = HRESULT_FROM_WIN32(ERROR_DISK_FULL);

using AviMuxGraphTest = MuxGraphTest;

TEST_F(AviMuxGraphTest, WritesTheDecodedFramesAndSoundOfAnH264Mp4) {
  const std::string clip = m_clips.MakeMp4("clip.mp4", ClipShape{320, 240, 25, 100, true});
  const std::string out = m_clips.PathOf("out.avi");
  ASSERT_NO_FATAL_FAILURE(Prepare(clip));
  ASSERT_NO_FATAL_FAILURE(BuildOutput(MEDIASUBTYPE_Avi, out));
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
  ASSERT_NO_FATAL_FAILURE(
      Prepare(m_clips.MakeMp4("long.mp4", ClipShape{320, 240, 25, 25 * 60, true})));
  ASSERT_NO_FATAL_FAILURE(BuildOutput(MEDIASUBTYPE_Avi, out));
  ASSERT_NO_FATAL_FAILURE(StopOnceWritten(out, 4u << 20));

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
  ASSERT_NO_FATAL_FAILURE(Prepare(m_clips.MakeAvi("clip.avi", ClipShape{320, 240, 25, 50, true})));
  // 3 MB: about a dozen of the 50 frames of 230 kB.
  ComPtr<IBaseFilter> mux;
  // Adopts the creation reference (mingw-w64's Attach would add one).
  *mux.ReleaseAndGetAddressOf() = new AviMux(CappedFiles(3u << 20));
  ComPtr<IFileSinkFilter> sink;
  ASSERT_EQ(mux.As(&sink), S_OK);
  ASSERT_EQ(sink->SetFileName(str::ToWide(out.c_str()).c_str(), nullptr), S_OK);
  ASSERT_EQ(m_graph->AddFilter(mux.Get(), L"AVI Mux"), S_OK);
  ASSERT_NO_FATAL_FAILURE(RenderInto(mux.Get()));

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

// An output that cannot be opened ends the run at once with the code, and the
// graph stops and goes as after any run (a failed Pause would leave Wine's
// graph unable to let go of its filters).
TEST_F(AviMuxGraphTest, AnOutputThatCannotBeOpenedEndsTheRunWithItsCode) {
  ASSERT_NO_FATAL_FAILURE(Prepare(m_clips.MakeAvi("clip.avi", ClipShape{64, 48, 25, 5, true})));
  ASSERT_NO_FATAL_FAILURE(BuildOutput(MEDIASUBTYPE_Avi, m_clips.PathOf("missing\\out.avi")));
  const auto events = RunToCompletion();
  EXPECT_NE(std::find(events.begin(), events.end(),
                      std::make_pair(long{EC_ERRORABORT},
                                     LONG_PTR{HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND)})),
            events.end());
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back().first, EC_COMPLETE);
  ReleaseGraph();
}

TEST_F(AviMuxGraphTest, OtherOutputTypesCreateTheirClassOrPassItsFailureOn) {
  const CLSID kUnregistered = {
      0x5E0C7A41, 0x93B2, 0x4F6D, {0x8A, 0x1E, 0x27, 0xC4, 0x90, 0x3B, 0x6D, 0x15}};
  const struct {
    const GUID* type;
    HRESULT expected;
  } cases[] = {
      {&kUnregistered, REGDB_E_CLASSNOTREG},
      {&CLSID_WMAsfWriter, REGDB_E_CLASSNOTREG},
      {&MEDIASUBTYPE_Asf, REGDB_E_CLASSNOTREG},
      {&CLSID_FilterGraph, E_NOINTERFACE},  // a class that is no filter
  };
  ASSERT_NO_FATAL_FAILURE(Prepare(m_clips.MakeAvi("clip.avi", ClipShape{64, 48, 25, 5, true})));
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
