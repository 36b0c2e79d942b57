// The AVI writer on disk, its file read back by ffprobe and ffmpeg.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Str.h"
#include "standins/avi/AviWriter.h"
#include "standins/mux/Win32FileSink.h"
#include "support/MediaProbe.h"
#include "support/TempFolder.h"
#include "support/TestStreams.h"

namespace {

using test_streams::Pcm;
using test_streams::Video;

TEST(AviWriterOnDisk, AFileAboveOneGigabyteIsReadWhole) {
  constexpr int kFrames = 1250;  // 640x480 RGB24 at 25 per second: 1.15 GB, 50 s
  TempFolder folder;
  const std::string path = folder.Path() + "\\large.avi";
  {
    Win32FileSink sink;
    ASSERT_EQ(sink.Open(str::ToWide(path.c_str()).c_str(), true), S_OK);
    AviWriter writer(sink, {Video(0, 640, 480, 24, 400000), Pcm(44100, 2, 16)});
    ASSERT_EQ(writer.Start(), 0);
    std::vector<uint8_t> frame(640 * 480 * 3);
    const std::vector<uint8_t> sound(44100 * 4 / 25);
    for (int i = 0; i < kFrames; ++i) {
      frame[i] = uint8_t(i);
      ASSERT_EQ(writer.WriteChunk(0, frame.data(), frame.size(), true), 0) << i;
      ASSERT_EQ(writer.WriteChunk(1, sound.data(), sound.size(), true), 0) << i;
    }
    ASSERT_EQ(writer.Finish(), 0);
    ASSERT_GT(writer.Totals(0).superIndex.size(), 1u) << "the file did not continue in AVIX";
  }
  const ProbedMedia media = ProbeMedia(path);
  EXPECT_TRUE(media.read) << media.errors;
  ASSERT_NE(media.Stream("video"), nullptr);
  EXPECT_EQ(media.Stream("video")->packets, kFrames);
  EXPECT_DOUBLE_EQ(media.Stream("video")->duration, 50.0);
  EXPECT_NEAR(DecodedAudioSeconds(path), 50.0, 0.001);
}

}  // namespace
