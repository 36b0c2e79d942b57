// The writer on disk past 1 GB: the OpenDML continuation must be read whole by
// a decoder outside Wine.

#include <gtest/gtest.h>

#include "standins/AviTestStreams.h"
#include "standins/avi/AviWriter.h"
#include "standins/avi/Win32FileSink.h"
#include "platform/Str.h"
#include "support/MediaProbe.h"
#include "support/TempFolder.h"

namespace {

TEST(AviWriterOnDisk, AFileAboveOneGigabyteIsReadWhole) {
  constexpr int kFrames = 1250;  // 640x480 RGB24 at 25 per second: 1.15 GB, 50 s
  constexpr size_t kFrameBytes = 640 * 480 * 3;
  constexpr size_t kAudioBytes = 44100 * 4 / 25;  // 16-bit stereo, one frame's worth
  TempFolder folder;
  const std::string path = folder.Path() + "\\large.avi";
  {
    Win32FileSink sink;
    ASSERT_EQ(sink.Open(str::ToWide(path.c_str()).c_str(), true), S_OK);
    AviWriter writer(sink, {TestVideo(0, 640, 480, 24, 400000), TestPcm(44100, 2, 16)});
    ASSERT_EQ(writer.Start(), 0);
    std::vector<uint8_t> frame(kFrameBytes);
    const std::vector<uint8_t> sound(kAudioBytes, 0);
    for (int i = 0; i < kFrames; ++i) {
      frame[i] = static_cast<uint8_t>(i);
      ASSERT_EQ(writer.WriteChunk(0, frame.data(), frame.size(), true), 0) << i;
      ASSERT_EQ(writer.WriteChunk(1, sound.data(), sound.size(), true), 0) << i;
    }
    ASSERT_EQ(writer.Finish(), 0);
    ASSERT_GT(writer.Totals(0).superIndex.size(), 1u) << "the file did not continue in AVIX";
  }
  const ProbedMedia media = ProbeMedia(path);
  EXPECT_TRUE(media.read) << media.errors;
  const ProbedStream* video = media.Stream("video");
  const ProbedStream* audio = media.Stream("audio");
  ASSERT_NE(video, nullptr);
  ASSERT_NE(audio, nullptr);
  EXPECT_EQ(video->packets, kFrames);
  EXPECT_DOUBLE_EQ(video->duration, 50.0);
  EXPECT_GE(audio->packets, kFrames) << "a decoder may split a chunk, never drop one";
  EXPECT_NEAR(DecodedAudioSeconds(path), 50.0, 0.001);
}

}  // namespace
