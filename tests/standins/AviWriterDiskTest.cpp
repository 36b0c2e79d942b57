// The AVI and Matroska writers on disk, their files read back by ffprobe and
// ffmpeg.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Str.h"
#include "standins/avi/AviWriter.h"
#include "standins/mkv/MatroskaWriter.h"
#include "standins/mux/Win32FileSink.h"
#include "support/ClipFolder.h"
#include "support/FileContents.h"
#include "support/MediaProbe.h"
#include "support/TempFolder.h"
#include "support/TestStreams.h"

namespace {

using test_streams::Video;

// Leaves a hole where a frame of zero bytes would go, so that a file of
// several gigabytes takes little room and time; the rest reaches the disk.
class SparseFrames : public FileSink {
 public:
  SparseFrames(FileSink& disk, size_t frameBytes) : m_disk(disk), m_frameBytes(frameBytes) {}
  int32_t WriteAt(uint64_t offset, const void* data, size_t size) override {
    if (size == m_frameBytes && static_cast<const uint8_t*>(data)[0] == 0) return 0;
    return m_disk.WriteAt(offset, data, size);
  }
  int32_t Truncate(uint64_t size) override { return m_disk.Truncate(size); }

 private:
  FileSink& m_disk;
  size_t m_frameBytes;
};

// Above 4 GB, where 32-bit offsets would wrap: read whole, and a seek to the
// last frame's time (the only frame written whole) finds that frame.
TEST(WritersOnDisk, FilesAboveFourGigabytesAreReadWholeAndSeek) {
  constexpr int kWidth = 1920, kHeight = 1080, kFrames = 700;  // 4.35 GB, 28 s
  constexpr size_t kFrameBytes = size_t(kWidth) * kHeight * 3;
  using Make = std::function<std::unique_ptr<ContainerWriter>(FileSink&)>;
  const std::vector<StreamInfo> streams = {Video(0, kWidth, kHeight, 24, 400000)};
  const struct {
    const char* name;
    Make make;
  } cases[] = {
      {"large.avi", [&](FileSink& s) { return std::make_unique<AviWriter>(s, streams); }},
      {"large.mkv", [&](FileSink& s) { return std::make_unique<MatroskaWriter>(s, streams); }},
  };
  TempFolder folder;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = folder.Path() + "\\" + c.name;
    {
      Win32FileSink disk;
      ASSERT_EQ(disk.Open(str::ToWide(path.c_str()).c_str(), true), S_OK);
      SparseFrames sink(disk, kFrameBytes);
      const std::unique_ptr<ContainerWriter> writer = c.make(sink);
      ASSERT_EQ(writer->Start(), 0);
      std::vector<uint8_t> frame(kFrameBytes);
      for (int i = 0; i < kFrames; ++i) {
        std::fill_n(frame.begin(), kWidth * 3, uint8_t(i == kFrames - 1 ? 0xC8 : 0));
        ASSERT_EQ(writer->Write(0, frame.data(), frame.size(), true, i * 400000ll), 0) << i;
      }
      ASSERT_EQ(writer->Finish(), 0);
    }
    WIN32_FILE_ATTRIBUTE_DATA attributes = {};
    ASSERT_TRUE(GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &attributes));
    EXPECT_GT(attributes.nFileSizeHigh, 0u) << "not above 4 GB";
    const ProbedMedia media = ProbeMedia(path);
    EXPECT_TRUE(media.read) << media.errors;
    ASSERT_NE(media.Stream("video"), nullptr);
    EXPECT_EQ(media.Stream("video")->packets, kFrames);
    const std::string last = VideoFrameChecksumAfterSeek(path, (kFrames - 1) * 0.04, "bgr24");
    EXPECT_NE(last, "");
    EXPECT_NE(last, VideoFrameChecksumAfterSeek(path, (kFrames - 2) * 0.04, "bgr24"));
    DeleteFileA(path.c_str());
  }
}

// A file kept rather than overwritten holds only what is written: cut off by a
// crash after Start, it ends where its RIFF says, not in the old file's bytes.
TEST(WritersOnDisk, AKeptFileHoldsOnlyWhatIsWritten) {
  ClipFolder clips;
  const std::string path = clips.MakeFile("kept.avi", std::string(1 << 20, '\xEE'));
  ASSERT_FALSE(path.empty());
  Win32FileSink disk;
  ASSERT_EQ(disk.Open(str::ToWide(path.c_str()).c_str(), false), S_OK);
  AviWriter writer(disk, {Video(0, 64, 48, 24, 400000)});
  ASSERT_EQ(writer.Start(), 0);
  const std::string bytes = ReadFile(path);
  ASSERT_GE(bytes.size(), 8u);
  uint32_t riff = 0;
  memcpy(&riff, bytes.data() + 4, 4);
  EXPECT_EQ(bytes.size(), riff + 8u);
}

}  // namespace
