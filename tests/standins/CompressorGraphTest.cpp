// Both compressors in Wine's real graph, put there as the program puts them:
// a clip converted to AVI through the capture graph builder stand-in, the
// output judged by ffprobe and ffmpeg outside Wine.

#include <windows.h>
#include <dshow.h>
#include <gtest/gtest.h>
#include <wrl/client.h>

#include <string>

#include "standins/KeptMjpegSettings.h"
#include "standins/codecs/CodecClsids.h"
#include "support/ClipFolder.h"
#include "support/LinuxCommand.h"
#include "support/MediaProbe.h"
#include "support/MuxGraphTest.h"

using Microsoft::WRL::ComPtr;

namespace {

// ffmpeg's mean PSNR of the output's pictures against the source's, in dB; -1 on failure.
double VideoPsnr(const std::string& output, const std::string& source) {
  const LinuxCommandResult run =
      RunLinuxCommand("ffmpeg -hide_banner -nostats -i " + ShellQuote(UnixPath(output)) + " -i " +
                      ShellQuote(UnixPath(source)) +
                      " -lavfi '[0:v][1:v]psnr' -f null - 2>&1 | grep -o 'average:[0-9.]*'");
  if (!run.finished || run.output.size() < 9) return -1;
  return std::stod(run.output.substr(8));
}

class CompressorGraphTest : public MuxGraphTest {
 protected:
  KeptMjpegSettings m_kept;  // the codec at its defaults
};

TEST_F(CompressorGraphTest, ConvertsClipsToMjpegAndImaAdpcm) {
  const ClipShape shape{320, 240, 25, 100, true};
  // Wine stamps an MP4's first frame 80 ms, its sound 23 ms: the picture is
  // led to the file's start by a dropped frame.
  const struct {
    std::string clip;
    double audioSlack;  // s: what the source's sound may lose or gain besides
    double lead;        // s of dropped frames before the picture
  } cases[] = {
      {m_clips.MakeMp4("clip.mp4", shape), 1024.0 / 44100, 0.04},  // I420 pictures, an AAC frame
      {m_clips.MakeAvi("clip.avi", shape), 0, 0},                  // RGB24 pictures
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.clip);
    ASSERT_FALSE(c.clip.empty());
    const std::string out = m_clips.PathOf("out.avi");
    ComPtr<IBaseFilter> video, audio;
    ASSERT_EQ(CoCreateInstance(kMjpegCompressorClsid, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(&video)),
              S_OK);
    ASSERT_EQ(CoCreateInstance(kImaAdpcmCompressorClsid, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(&audio)),
              S_OK);
    Prepare(c.clip);
    BuildOutput(MEDIASUBTYPE_Avi, out, video.Get(), audio.Get());
    RunToCompletion(m_graph.Get());
    ReleaseGraph();

    const ProbedMedia media = ProbeMedia(out);
    EXPECT_TRUE(media.read) << media.errors;
    ASSERT_TRUE(media.Stream("video") && media.Stream("audio"));
    EXPECT_EQ(media.Stream("video")->codec, "mjpeg");
    EXPECT_EQ(media.Stream("video")->packets, shape.frames);
    EXPECT_NEAR(media.Stream("video")->duration, 4.0 + c.lead, 0.001);  // ffprobe's microseconds
    EXPECT_EQ(media.Stream("audio")->codec, "adpcm_ima_wav");
    // The last block is completed with silence: up to one block more.
    const double source = DecodedAudioSeconds(c.clip);
    const double converted = DecodedAudioSeconds(out);
    EXPECT_GE(converted, source - c.audioSlack);
    EXPECT_LE(converted, source + c.audioSlack + 2041.0 / 44100);
    EXPECT_GT(VideoPsnr(out, c.clip), 38.0) << "dB at the default quality";
  }
}

}  // namespace
