#pragma once
// Streams as the multiplexers describe them from their media types, for the
// container writers' tests.

#include <cstdint>
#include <algorithm>
#include <functional>
#include <initializer_list>
#include <vector>

#include <gtest/gtest.h>

#include "standins/mux/ContainerWriter.h"
#include "standins/mux/HeaderRefresh.h"
#include "standins/mux/StreamInfo.h"
#include "support/MemorySink.h"

namespace test_streams {

// bytes may exceed 8: the bytes above the value's are zero.
inline void PutLe(std::vector<uint8_t>& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(i < 8 ? static_cast<uint8_t>(value >> (8 * i)) : 0);
}

// A BITMAPINFOHEADER with extra bytes of codec data after it.
inline StreamInfo Video(uint32_t compression, int width, int height, int bits, int64_t frameTime,
                        int extra = 0) {
  std::vector<uint8_t> header;
  PutLe(header, 40u + extra, 4);
  PutLe(header, uint32_t(width), 4);
  PutLe(header, uint32_t(height), 4);
  PutLe(header, 1u | uint32_t(bits) << 16, 4);
  PutLe(header, compression, 4);
  PutLe(header, uint32_t(width * height * bits / 8), 4);
  PutLe(header, 0, 16);
  for (int i = 0; i < extra; ++i) header.push_back(uint8_t(0xA0 + i));
  StreamInfo info{StreamInfo::Kind::kVideo, compression, header, compression != 0};
  info.frameDuration = frameTime;
  info.width = width;
  info.height = height;
  return info;
}

// A picture shown at a display aspect ratio of x:y.
inline StreamInfo WithAspect(StreamInfo info, uint32_t x, uint32_t y) {
  info.aspectX = x;
  info.aspectY = y;
  return info;
}

// A WAVEFORMATEX with cbSize extra bytes.
inline StreamInfo Audio(uint16_t tag, uint32_t rate, int channels, int bits, uint32_t block,
                        uint32_t bytesPerSecond, std::initializer_list<uint8_t> extra = {}) {
  std::vector<uint8_t> format;
  for (uint64_t field : {uint64_t(tag) | uint64_t(channels) << 16, uint64_t(rate),
                         uint64_t(bytesPerSecond), uint64_t(block) | uint64_t(bits) << 16})
    PutLe(format, field, 4);
  PutLe(format, extra.size(), 2);
  format.insert(format.end(), extra);
  StreamInfo info{StreamInfo::Kind::kAudio, 0, format};
  info.blockAlign = block;
  info.bytesPerSecond = bytesPerSecond;
  info.pcm = tag == 1;
  info.sampleRate = rate;
  info.channels = uint16_t(channels);
  info.bitsPerSample = uint16_t(bits);
  return info;
}

inline StreamInfo Pcm(uint32_t rate, int channels, int bits) {
  const uint32_t block = uint32_t(channels * bits / 8);
  return Audio(1, rate, channels, bits, block, rate * block);
}

// IMA ADPCM: 4-bit samples in blocks of 1,017 samples per channel.
inline StreamInfo ImaAdpcm(uint32_t rate, int channels) {
  const uint32_t block = 512u * channels;
  return Audio(0x11, rate, channels, 4, block, rate * block / 1017, {0xF9, 0x03});
}

struct Sample {
  int64_t time;  // 100 ns units
  bool key;
  uint64_t size;
  uint8_t first;  // the data's first byte
  bool operator==(const Sample&) const = default;
};
using Samples = std::vector<std::vector<Sample>>;  // per stream

struct Script {
  std::vector<StreamInfo> streams;
  std::vector<std::vector<uint32_t>> sizes;  // per stream, used in turn
  int keyEvery;                              // video
  int rounds;                                // one sample of each stream per round
};

// What was written so far and where it ends (100 ns units).
using AfterEach = std::function<void(const Samples& written, int64_t end)>;

// Writes one sample of each stream per round, each stream's samples following
// each other without gaps, until the first failure. end: the last sample's end.
// Sound comes with upstream's key flags every keyEvery samples too, and is
// written as key blocks. after: called after each sample taken.
inline Samples Write(ContainerWriter& writer, const Script& script, int64_t& end,
                     const AfterEach& after = nullptr) {
  Samples written(script.streams.size());
  std::vector<int64_t> times(script.streams.size(), 0);
  for (int round = 0; round < script.rounds; ++round) {
    for (size_t s = 0; s < script.streams.size(); ++s) {
      const StreamInfo& info = script.streams[s];
      const bool video = info.kind == StreamInfo::Kind::kVideo;
      const uint32_t size = script.sizes[s][round % script.sizes[s].size()];
      const bool key = round % script.keyEvery == 0;
      const std::vector<uint8_t> data(size, uint8_t(s * 64 + written[s].size()));
      if (writer.Write(s, data.data(), size, key, times[s]) != 0) return written;
      written[s].push_back({times[s], key || !video, size, data[0]});
      times[s] += video ? info.frameDuration : int64_t(size) * 10000000 / info.bytesPerSecond;
      end = std::max(end, times[s]);
      if (after) after(written, end);
    }
  }
  return written;
}

// The whole file a writer makes of script: the full-disk cases stop short of it.
template <class Writer, class... Options>
std::vector<uint8_t> WholeFile(const Script& script, const Options&... options) {
  MemorySink sink;
  Writer writer(sink, script.streams, options...);
  int64_t end = 0;
  writer.Start();
  Write(writer, script, end);
  writer.Finish();
  return sink.bytes;
}

// script written by a writer whose disk fills up before its end: the disk's
// failure answers Finish and every call after it. Gives what was accepted.
inline Samples FillDisk(ContainerWriter& writer, const Script& script) {
  int64_t end = 0;
  EXPECT_EQ(writer.Start(), 0);
  const Samples accepted = Write(writer, script, end);
  EXPECT_EQ(writer.Finish(), MemorySink::kDiskFull);
  EXPECT_EQ(writer.Finish(), MemorySink::kDiskFull);
  EXPECT_EQ(writer.Write(0, "x", 1, true, end), MemorySink::kDiskFull);
  return accepted;
}

// Headers brought up to date after every sample, so that a file cut off
// between two samples holds and counts every one before.
constexpr HeaderRefresh::Limits kRefreshEverySample = {0, ~0ull, 0};

// Times in ms, as Matroska and ASF keep them.
inline Samples InMs(Samples samples) {
  for (auto& stream : samples)
    for (Sample& sample : stream) sample.time /= 10000;
  return samples;
}

constexpr uint32_t kI420 = 0x30323449;  // "I420"
constexpr uint32_t kYv12 = 0x32315659;  // "YV12"
constexpr uint32_t kMjpg = 0x47504A4D;  // "MJPG"

// 2.4 s of 25 frames per second and 44.1 kHz stereo.
inline const Script kI420AndPcm = {
    {Video(kI420, 64, 48, 12, 400000), Pcm(44100, 2, 16)}, {{4608}, {7056}}, 1, 60};
// Compressed and wide: a key frame in three of varied sizes, sound in blocks.
inline const Script kMjpgAndAdpcm = {
    {WithAspect(Video(kMjpg, 320, 240, 24, 417083, 6), 16, 9), ImaAdpcm(22050, 1)},
    {{3001, 1200, 777}, {512}},
    3,
    40};
inline const Script kMonoPcm = {{Pcm(48000, 1, 16)}, {{3840}}, 1, 30};

}  // namespace test_streams
