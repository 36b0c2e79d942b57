// The AVI, Matroska and ASF multiplexers in Wine's real graph, reached as the
// program reaches them. Outputs are judged by ffprobe and ffmpeg outside Wine.

#include <windows.h>
#include <dshow.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/PinSearch.h"
#include "standins/asf/AsfMux.h"
#include "standins/avi/AviMux.h"
#include "standins/codecs/CodecClsids.h"
#include "standins/mkv/MatroskaMux.h"
#include "standins/subtitles/SubtitleFilter.h"
#include "support/MediaProbe.h"
#include "support/MuxGraphTest.h"
#include "support/PictureSource.h"

using Microsoft::WRL::ComPtr;

namespace {

// Wine stamps the first AAC block 23 ms late; the files keep the offset.
constexpr double kAacOffset = 1024.0 / 44100;  // seconds

struct Container {
  const char* name;
  const GUID* type;  // what the program gives SetOutputFileName
  const char* extension;
  Multiplexer* (*create)(Multiplexer::SinkOpener opener);
};

const Container kContainers[] = {
    {"Avi", &MEDIASUBTYPE_Avi, ".avi",
     [](Multiplexer::SinkOpener opener) -> Multiplexer* { return new AviMux(opener); }},
    {"Matroska", &kMatroskaMuxClsid, ".mkv",
     [](Multiplexer::SinkOpener opener) -> Multiplexer* { return new MatroskaMux(opener); }},
    {"Asf", &kAsfMuxClsid, ".asf",
     [](Multiplexer::SinkOpener opener) -> Multiplexer* { return new AsfMux(opener); }},
};

class ContainerMuxGraphTest : public MuxGraphTest, public ::testing::WithParamInterface<Container> {
 protected:
  std::string Output() const { return m_clips.PathOf(std::string("out") + GetParam().extension); }
};

TEST_P(ContainerMuxGraphTest, HoldsTheFramesSoundAndLengthOfAnH264Mp4AndSeeks) {
  const std::string clip = m_clips.MakeMp4("clip.mp4", ClipShape{320, 240, 25, 100, true});
  const std::string out = Output();
  ASSERT_NO_FATAL_FAILURE(Prepare(clip));
  ASSERT_NO_FATAL_FAILURE(BuildOutput(*GetParam().type, out));
  RunToCompletion(m_graph.Get());

  const ProbedMedia media = ProbeMedia(out);
  EXPECT_TRUE(media.read) << media.errors;
  const ProbedStream* video = media.Stream("video");
  const ProbedStream* audio = media.Stream("audio");
  ASSERT_TRUE(video && audio);
  EXPECT_EQ(video->codec, "rawvideo");
  EXPECT_EQ(audio->codec, "pcm_s16le");
  EXPECT_EQ(video->packets, 100);
  EXPECT_NEAR(media.duration, 4.0, 0.04 + kAacOffset) << "one frame and the offset";
  const std::vector<std::string> frames = VideoFrameChecksums(clip, "yuv420p");
  ASSERT_EQ(frames.size(), 100u);
  EXPECT_EQ(VideoFrameChecksums(out, "yuv420p"), frames);
  EXPECT_NEAR(DecodedAudioSeconds(out), DecodedAudioSeconds(clip), 1024.0 / 44100);
  EXPECT_EQ(VideoFrameChecksumAfterSeek(out, 2.0, "yuv420p"), frames[50]);
}

// The picture runs seconds ahead of a sound that has ended: its queue holds
// what it sent ahead, and must empty once the sound's end is known.
// Matroska, whose parser reads in file order (Wine's MP4 parser leaves such a
// sound out).
TEST_P(ContainerMuxGraphTest, SoundEndingSecondsBeforeThePictureKeepsEveryFrame) {
  ClipShape shape{320, 240, 25, 200, true};
  shape.soundLength = 1;
  const std::string clip = m_clips.MakeClip(
      "short sound.mkv", shape, "-c:v libx264 -preset ultrafast -pix_fmt yuv420p -c:a aac");
  ASSERT_NO_FATAL_FAILURE(Prepare(clip));
  ASSERT_NO_FATAL_FAILURE(BuildOutput(*GetParam().type, Output()));
  RunToCompletion(m_graph.Get());

  const ProbedMedia media = ProbeMedia(Output());
  EXPECT_TRUE(media.read) << media.errors;
  ASSERT_NE(media.Stream("video"), nullptr);
  EXPECT_EQ(media.Stream("video")->packets, 200);
  EXPECT_NEAR(DecodedAudioSeconds(Output()), DecodedAudioSeconds(clip), 1024.0 / 44100);
}

TEST_P(ContainerMuxGraphTest, StopHalfWayLeavesAFileOfWhatWasWritten) {
  const std::string out = Output();
  ASSERT_NO_FATAL_FAILURE(
      Prepare(m_clips.MakeMp4("long.mp4", ClipShape{320, 240, 25, 25 * 60, true})));
  ASSERT_NO_FATAL_FAILURE(BuildOutput(*GetParam().type, out));
  ASSERT_NO_FATAL_FAILURE(StopOnceWritten(out, 4u << 20));

  const ProbedMedia media = ProbeMedia(out);
  EXPECT_TRUE(media.read) << media.errors;
  ASSERT_NE(media.Stream("video"), nullptr);
  const long frames = media.Stream("video")->packets;
  EXPECT_GT(frames, 0);
  EXPECT_LT(frames, 25 * 60) << "stopped too late to show a partial file";
  const double sound = DecodedAudioSeconds(out);
  EXPECT_GT(sound, 0);
  // Stopped at once, the sound may run ahead of the picture: the file is as
  // long as the longer.
  const double length = std::max(frames / 25.0, sound);
  EXPECT_NEAR(media.duration, length, 0.04 + kAacOffset);
}

TEST_P(ContainerMuxGraphTest, AFailedWriteEndsTheRunWithItsCodeAndAReadableFile) {
  const std::string out = Output();
  const std::string clip = m_clips.MakeAvi("clip.avi", ClipShape{320, 240, 25, 50, true});
  ASSERT_NO_FATAL_FAILURE(Prepare(clip));
  // 3 MB: about a dozen of the 50 frames, RGB24 of 230 kB in AVI, else AYUV of
  // 300 kB (the splitter's next type after RGB24, which the others do not take).
  ASSERT_NO_FATAL_FAILURE(BuildOwnOutput(GetParam().create(CappedFiles(3u << 20)), out));

  // Wine passes EC_COMPLETE on with S_OK, whatever status the writer gave.
  const auto events = RunToCompletion(m_graph.Get());
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back(), std::make_pair(long{EC_COMPLETE}, LONG_PTR{S_OK}));
  EXPECT_TRUE(HasEvent(events, EC_ERRORABORT, kDiskFull));
  const ProbedMedia media = ProbeMedia(out);
  EXPECT_TRUE(media.read) << media.errors;
  ASSERT_NE(media.Stream("video"), nullptr);
  const long frames = media.Stream("video")->packets;
  EXPECT_GT(frames, 0);
  EXPECT_LT(frames, 14);
}

// Wine's decoders give no aspect ratio: a 720x576 picture of 16:9 from a
// source of the test's own, through the subtitle filter (as it joins the
// program's graphs) and the MJPEG compressor.
TEST_P(ContainerMuxGraphTest, KeepsThePicturesAspectRatio) {
  ComPtr<IBaseFilter> source, subtitles, mjpeg;
  ComPtr<IPin> input, output;
  *source.GetAddressOf() = new PictureSource(720, 576, 16, 9, 25);  // adopts the reference
  ASSERT_NO_FATAL_FAILURE(PrepareSource(source.Get()));
  LoadLevelGuard::Set(0);  // joins
  ASSERT_EQ(CoCreateInstance(kSubtitleFilterClass, nullptr, CLSCTX_INPROC_SERVER,
                             IID_PPV_ARGS(&subtitles)),
            S_OK);
  ASSERT_EQ(m_graph->AddFilter(subtitles.Get(), L"Subtitles"), S_OK);
  output = m_pins[0];
  ASSERT_EQ(PinAt(subtitles.Get(), PINDIR_INPUT, 0, input), S_OK);
  ASSERT_EQ(PinAt(subtitles.Get(), PINDIR_OUTPUT, 0, m_pins[0]), S_OK);
  ASSERT_EQ(m_graph->ConnectDirect(output.Get(), input.Get(), nullptr), S_OK);
  ASSERT_EQ(
      CoCreateInstance(kMjpegCompressorClsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&mjpeg)),
      S_OK);
  ASSERT_NO_FATAL_FAILURE(BuildOutput(*GetParam().type, Output(), mjpeg.Get()));
  RunToCompletion(m_graph.Get());
  ReleaseGraph();

  const ProbedMedia media = ProbeMedia(Output());
  EXPECT_TRUE(media.read) << media.errors;
  ASSERT_NE(media.Stream("video"), nullptr);
  EXPECT_EQ(media.Stream("video")->codec, "mjpeg");
  EXPECT_EQ(media.Stream("video")->packets, 25);
  EXPECT_EQ(media.Stream("video")->aspect, "16:9");
}

INSTANTIATE_TEST_SUITE_P(Containers, ContainerMuxGraphTest, ::testing::ValuesIn(kContainers),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
