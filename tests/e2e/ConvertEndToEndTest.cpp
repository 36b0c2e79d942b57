// Converting with the real program, driven from outside as a user would, and
// the output judged by Debian's ffprobe and ffmpeg outside Wine: the frames of
// a subtitled clip carry the cues in their lower part and are otherwise the
// source's, bit for bit.

#include <windows.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "e2e/ConversionSession.h"
#include "platform/AppProfile.h"
#include "res/resource.h"
#include "support/ClipFolder.h"
#include "support/LinuxCommand.h"
#include "support/MediaProbe.h"

namespace {

constexpr int kFramesPerSecond = 25;
constexpr int kSeconds = 4;
constexpr int kFrames = kFramesPerSecond * kSeconds;
const ClipShape kClip = {320, 240, kFramesPerSecond, kFrames, true};

constexpr char kSubtitles[] =
    "1\r\n00:00:01,000 --> 00:00:02,000\r\nSubtitles burned in\r\n\r\n"
    "2\r\n00:00:02,800 --> 00:00:03,400\r\nA second cue\r\non two lines\r\n\r\n";
struct CueFrames {
  int first;
  int last;
};
const CueFrames kCues[] = {{25, 49}, {70, 84}};
// Frames this near a cue's edge may carry it or not: a decoder's first time
// stamp need not be 0.
constexpr int kEdgeFrames = 3;
// One block of the source's compressed sound, in seconds.
constexpr double kAudioBlockSeconds = 1024.0 / 44100;

enum class Expect { Source, Subtitled, Either };

Expect ExpectedFrame(int frame, bool withSubtitles) {
  if (!withSubtitles) return Expect::Source;
  for (const CueFrames& cue : kCues) {
    if (frame >= cue.first + kEdgeFrames && frame <= cue.last - kEdgeFrames)
      return Expect::Subtitled;
    if (frame > cue.first - kEdgeFrames && frame < cue.last + kEdgeFrames) return Expect::Either;
  }
  return Expect::Source;
}

bool SameRows(const unsigned char* a, const unsigned char* b, size_t bytes) {
  return memcmp(a, b, bytes) == 0;
}

// Empty when output's frames are the source's, with the cues drawn into the
// lower half of the frames in a cue (and nowhere else); otherwise what differs.
std::string CompareFrames(const DecodedVideo& source, const DecodedVideo& output,
                          bool withSubtitles) {
  if (source.frames.empty() || output.width != source.width || output.height != source.height)
    return "the pictures could not be decoded, or their sizes differ";
  const size_t lumaBytes = static_cast<size_t>(source.width) * source.height;
  const size_t chromaBytes = lumaBytes / 4;
  const size_t frames = std::min(source.frames.size(), output.frames.size());
  for (size_t i = 0; i < frames; ++i) {
    const unsigned char* in = source.frames[i].data();
    const unsigned char* out = output.frames[i].data();
    const std::string at = "frame " + std::to_string(i) + ": ";
    switch (ExpectedFrame(static_cast<int>(i), withSubtitles)) {
      case Expect::Source:
        if (!SameRows(in, out, source.frames[i].size())) return at + "differs from the source";
        break;
      case Expect::Subtitled:
        if (SameRows(in, out, source.frames[i].size())) return at + "carries no subtitle";
        [[fallthrough]];
      case Expect::Either:
        // The upper half of each plane stays the source's.
        if (!SameRows(in, out, lumaBytes / 2) ||
            !SameRows(in + lumaBytes, out + lumaBytes, chromaBytes / 2) ||
            !SameRows(in + lumaBytes + chromaBytes, out + lumaBytes + chromaBytes, chromaBytes / 2))
          return at + "changed above the lower half";
        break;
    }
  }
  return "";
}

class ConvertEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_program.DeleteApplicationKey());
    ASSERT_TRUE(m_session.Start());
  }
  void TearDown() override {
    EXPECT_TRUE(m_session.Close());
    m_program.DeleteApplicationKey();
  }

  // Chooses AVI without compressors into output, opens source (unless empty:
  // the one open stays), converts; the finish line.
  std::string ConvertToAvi(const std::string& source, const std::string& output) {
    if (!m_session.ChooseOutput({0, output})) return "no Output options";
    if (!source.empty()) m_session.OpenVideo(source);
    if (!m_session.Convert()) return "Convert did not start";
    return m_session.WaitForFinish();
  }
  std::string Screenshot(const std::string& name) const {
    return ProgramDriver::ScreenshotFolder() + "\\" + name;
  }

  AppProfile m_program{"BrimvaleStudio", "RoroVozaririd"};
  ClipFolder m_clips;
  ConversionSession m_session;
};

TEST_F(ConvertEndToEnd, BurnsTheSubtitlesIntoTheFramesAndConvertsTheSameSourceAgain) {
  const std::string source = m_clips.MakeMp4("film.mp4", kClip);
  ASSERT_FALSE(source.empty());
  ASSERT_FALSE(m_clips.MakeFile("film.srt", kSubtitles).empty());
  const std::string output = m_clips.PathOf("film.avi");

  EXPECT_EQ(ConvertToAvi(source, output),
            "Done. Output file: " + output + "     Resolution: 320*240");
  EXPECT_EQ(ProgramDriver::Text(m_session.Main(), IDC_STATIC_SOURCE_LINE), "film.mp4: 00:00:04");
  ProgramDriver::SaveScreenshot(m_session.Main(), Screenshot("convert-done.bmp"));

  const ProbedMedia probed = ProbeMedia(output);
  ASSERT_TRUE(probed.read) << probed.errors;
  ASSERT_NE(probed.Stream("video"), nullptr);
  EXPECT_NEAR(probed.Stream("video")->packets, kFrames, 1);
  ASSERT_NE(probed.Stream("audio"), nullptr);
  EXPECT_NEAR(DecodedAudioSeconds(output), DecodedAudioSeconds(source), kAudioBlockSeconds);

  const DecodedVideo in = DecodeVideo(source, m_clips.PathOf("source.yuv"));
  const DecodedVideo out = DecodeVideo(output, m_clips.PathOf("output.yuv"));
  EXPECT_NEAR(static_cast<double>(out.frames.size()), in.frames.size(), 1);
  EXPECT_EQ(CompareFrames(in, out, true), "");

  // One frame inside the first cue, as a picture for people to look at.
  RunLinuxCommand("ffmpeg -v error -y -i " + ShellQuote(UnixPath(output)) + " -vf " +
                  ShellQuote("select=eq(n\\,37)") + " -frames:v 1 " +
                  ShellQuote(UnixPath(Screenshot("converted-frame.png"))));

  // The finish reopened the source: the same clip converts again.
  const std::string again = m_clips.PathOf("again.avi");
  EXPECT_EQ(ConvertToAvi("", again), "Done. Output file: " + again + "     Resolution: 320*240");
  const ProbedMedia second = ProbeMedia(again);
  ASSERT_TRUE(second.read) << second.errors;
  ASSERT_NE(second.Stream("video"), nullptr);
  EXPECT_NEAR(second.Stream("video")->packets, kFrames, 1);
}

TEST_F(ConvertEndToEnd, WithoutASubtitleFileEveryFrameIsTheSources) {
  const std::string source = m_clips.MakeMp4("plain.mp4", kClip);
  ASSERT_FALSE(source.empty());
  const std::string output = m_clips.PathOf("plain.avi");

  EXPECT_EQ(ConvertToAvi(source, output),
            "Done. Output file: " + output + "     Resolution: 320*240");
  const DecodedVideo in = DecodeVideo(source, m_clips.PathOf("source.yuv"));
  const DecodedVideo out = DecodeVideo(output, m_clips.PathOf("output.yuv"));
  EXPECT_EQ(out.frames.size(), in.frames.size());
  EXPECT_EQ(CompareFrames(in, out, false), "");
}

TEST_F(ConvertEndToEnd, StopHalfWayLeavesAPartialFileThatDecodersRead) {
  constexpr int kLongFrames = 60 * kFramesPerSecond;
  const std::string source =
      m_clips.MakeMp4("long.mp4", ClipShape{640, 360, kFramesPerSecond, kLongFrames, true});
  ASSERT_FALSE(source.empty());
  ASSERT_FALSE(m_clips.MakeFile("long.srt", kSubtitles).empty());
  const std::string output = m_clips.PathOf("long.avi");
  ASSERT_TRUE(m_session.ChooseOutput({0, output}));
  m_session.OpenVideo(source);

  ASSERT_TRUE(m_session.Convert());
  ASSERT_EQ(ProgramDriver::Text(m_session.Main(), IDC_BUTTON_CONVERT), "Stop")
      << "the conversion ended before it could be stopped";
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(m_session.Main(), IDC_BUTTON_ADD_VIDEO)));
  ProgramDriver::SaveScreenshot(m_session.Main(), Screenshot("converting.bmp"));
  m_session.Stop();

  EXPECT_EQ(m_session.WaitForFinish(), "Done. Output file: " + output + "     Resolution: 640*360");
  const ProbedMedia probed = ProbeMedia(output);
  ASSERT_TRUE(probed.read) << probed.errors;
  ASSERT_NE(probed.Stream("video"), nullptr);
  EXPECT_GT(probed.Stream("video")->packets, 0);
  EXPECT_LT(probed.Stream("video")->packets, kLongFrames);
}

}  // namespace
