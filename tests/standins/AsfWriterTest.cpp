// The ASF writer, read back as a demuxer reads it: the header objects, every
// packet's payloads put together into media objects, and the Simple Index.

#include "standins/asf/AsfWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "standins/asf/AsfGuids.h"
#include "support/MemorySink.h"
#include "support/TestStreams.h"

namespace {

using test_streams::InMs;
using test_streams::kI420;
using test_streams::kI420AndPcm;
using test_streams::kMjpg;
using test_streams::Pcm;
using test_streams::Sample;
using test_streams::Samples;
using test_streams::Video;
const AsfGuid kFileId = {0x01234567, 0x89AB, 0xCDEF, {1, 2, 3, 4, 5, 6, 7, 8}};

struct File {
  const std::vector<uint8_t>& b;
  uint64_t U(uint64_t at, int bytes) const {
    uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | b[at + i];
    return value;
  }
  bool IsGuid(uint64_t at, const AsfGuid& guid) const {
    AsfBytes bytes;
    bytes.Guid(guid);
    return std::equal(bytes.Data().begin(), bytes.Data().end(), b.begin() + at);
  }
};

struct MediaObject {
  Sample sample;  // time: the presentation time in ms
  uint64_t firstPacket = 0, lastPacket = 0;
  uint64_t received = 0;
};

// Every packet's payloads, put together into media objects per stream; each
// piece must continue its object where the one before ended. A packet is sent
// no earlier than the one before, and before any object begun in it plays.
std::vector<std::vector<MediaObject>> ReadPackets(const File& f, uint64_t first, uint64_t count,
                                                  const AsfWriter::Options& options,
                                                  size_t streams) {
  const uint32_t packetBytes = options.packetBytes;
  std::vector<std::vector<MediaObject>> objects(streams);
  uint32_t lastSend = 0;
  uint64_t latestStart = 0;
  for (uint64_t p = 0; p < count; ++p) {
    const uint64_t start = first + p * packetBytes;
    EXPECT_EQ(f.U(start, 3), 0x82u);
    EXPECT_EQ(f.U(start + 3, 2), 0x5D11u) << "flags: payloads, padding, property lengths";
    const uint32_t send = uint32_t(f.U(start + 7, 4));
    EXPECT_GE(send, lastSend);
    lastSend = send;
    uint64_t at = start + 14;
    for (uint64_t n = f.b[start + 13] & 0x3F; n > 0; --n) {
      auto& stream = objects.at((f.b[at] & 0x7F) - 1);
      const uint64_t offset = f.U(at + 2, 4), size = f.U(at + 7, 4), length = f.U(at + 15, 2);
      if (offset == 0) {
        EXPECT_EQ(f.b[at + 1], uint8_t(stream.size())) << "objects numbered in turn, 255 then 0";
        stream.push_back(
            {{int64_t(f.U(at + 11, 4)), (f.b[at] & 0x80) != 0, size, f.b[at + 17]}, p});
        latestStart = std::max(latestStart, f.U(at + 11, 4) - options.prerollMs);
        EXPECT_LE(send, latestStart);
      }
      EXPECT_EQ(offset, stream.back().received);
      stream.back().received += length;
      stream.back().lastPacket = p;
      at += 17 + length;
    }
    EXPECT_EQ(at + f.U(start + 5, 2), start + packetBytes) << "payloads and padding fill it";
  }
  return objects;
}

// The objects whose every piece came, with the preroll taken off their times.
Samples Complete(const std::vector<std::vector<MediaObject>>& objects, uint32_t prerollMs) {
  Samples samples(objects.size());
  for (size_t s = 0; s < objects.size(); ++s)
    for (const MediaObject& object : objects[s])
      if (object.received == object.sample.size) {
        samples[s].push_back(object.sample);
        samples[s].back().time -= prerollMs;
      }
  return samples;
}

struct Read {
  std::vector<uint64_t> top;  // offsets of the top-level objects
  std::vector<std::vector<MediaObject>> objects;
};

// Top-level objects end to end; the File Properties agree with the Data Object.
// A finished file is seekable with an index for every video stream; one cut
// off by a crash counts what its last refresh saw, neither broadcast nor seekable.
Read ReadFile(const File& f, const AsfWriter::Options& options,
              const std::vector<StreamInfo>& streams, bool finished) {
  Read read;
  for (uint64_t at = 0; at < f.b.size(); at += f.U(at + 16, 8)) {
    read.top.push_back(at);
    if (f.U(at + 16, 8) == 0) break;
  }
  const size_t videos =
      size_t(std::count_if(streams.begin(), streams.end(), [](const StreamInfo& info) {
        return info.kind == StreamInfo::Kind::kVideo;
      }));
  EXPECT_TRUE(f.IsGuid(read.top.at(0), asf::kHeaderObject));
  EXPECT_TRUE(f.IsGuid(read.top.at(1), asf::kDataObject));
  const uint64_t properties = 30, data = read.top[1];
  EXPECT_TRUE(f.IsGuid(properties, asf::kFilePropertiesObject));
  EXPECT_EQ(f.U(properties + 40, 8), f.b.size());
  EXPECT_EQ(f.U(properties + 56, 8), f.U(data + 40, 8));
  EXPECT_EQ(f.U(properties + 88, 4), finished && read.top.size() == 2u + videos ? 2u : 0u)
      << "seekable only with every index; not broadcast";
  EXPECT_EQ(f.U(properties + 92, 4), options.packetBytes);
  EXPECT_EQ(f.U(properties + 96, 4), options.packetBytes);
  const uint64_t packets = f.U(data + 40, 8);
  EXPECT_EQ(f.U(data + 16, 8), 50 + packets * options.packetBytes);
  read.objects = ReadPackets(f, data + 50, packets, options, streams.size());
  return read;
}

// Slot i names the packets of the last key frame of the video stream that
// plays at i intervals (presentation times, the preroll included), or of the
// first key frame before that.
void ExpectIndex(const File& f, uint64_t at, uint64_t interval,
                 const std::vector<MediaObject>& video, uint64_t playDuration) {
  EXPECT_TRUE(f.IsGuid(at, asf::kSimpleIndexObject));
  EXPECT_EQ(f.U(at + 40, 8), interval);
  const uint64_t entries = f.U(at + 52, 4);
  EXPECT_EQ(entries, playDuration / interval + 1);
  uint64_t most = 0;
  for (uint64_t i = 0; i < entries; ++i) {
    const MediaObject* key = nullptr;
    for (const MediaObject& object : video)
      if (object.sample.key && (!key || uint64_t(object.sample.time) * 10000 <= i * interval))
        key = &object;
    ASSERT_TRUE(key);
    EXPECT_EQ(f.U(at + 56 + 6 * i, 4), key->firstPacket) << i;
    EXPECT_EQ(f.U(at + 60 + 6 * i, 2), key->lastPacket - key->firstPacket + 1) << i;
    most = std::max(most, f.U(at + 60 + 6 * i, 2));
  }
  EXPECT_EQ(f.U(at + 48, 4), most);
}

// What the Stream Properties carry: the picture's size and BITMAPINFOHEADER,
// or the WAVEFORMATEX.
std::vector<uint8_t> TypeSpecificData(const StreamInfo& info) {
  if (info.kind == StreamInfo::Kind::kAudio) return info.format;
  AsfBytes data;
  data.U32(info.width);
  data.U32(info.height);
  data.U8(2);
  data.U16(uint16_t(info.format.size()));
  data.Append(info.format.data(), info.format.size());
  return data.Data();
}

// The DWORD of the Metadata Object's record for stream named name, found in
// the header extension at extension; 0 when there is none.
uint64_t MetadataValue(const File& f, uint64_t extension, uint64_t stream,
                       const std::string& name) {
  std::vector<uint8_t> utf16;  // with its terminator
  for (char c : name + '\0') utf16.insert(utf16.end(), {uint8_t(c), 0});
  const auto begin = f.b.begin() + extension, end = begin + f.U(extension + 16, 8);
  for (auto at = std::search(begin, end, utf16.begin(), utf16.end()); at != end;
       at = std::search(at + 1, end, utf16.begin(), utf16.end())) {
    const uint64_t record = at - f.b.begin() - 12;
    if (f.U(record + 2, 2) == stream && f.U(record + 4, 2) == utf16.size())
      return f.U(record + 12 + utf16.size(), 4);
  }
  return 0;
}

// After the File Properties: one Stream Properties per stream with its format,
// then the Header Extension, the last before the Data Object at dataObject,
// with each picture's pixel aspect ratio where it has a display aspect ratio.
void ExpectHeaderObjects(const File& f, const std::vector<StreamInfo>& streams,
                         uint64_t dataObject) {
  uint64_t at = 30 + f.U(30 + 16, 8);
  for (size_t s = 0; s < streams.size(); ++s, at += f.U(at + 16, 8)) {
    const bool video = streams[s].kind == StreamInfo::Kind::kVideo;
    EXPECT_TRUE(f.IsGuid(at, asf::kStreamPropertiesObject));
    EXPECT_TRUE(f.IsGuid(at + 24, video ? asf::kVideoMedia : asf::kAudioMedia));
    EXPECT_EQ(f.U(at + 72, 2), s + 1) << "stream number";
    const uint64_t size = f.U(at + 64, 4);
    EXPECT_EQ(std::vector<uint8_t>(f.b.begin() + at + 78, f.b.begin() + at + 78 + size),
              TypeSpecificData(streams[s]));
  }
  EXPECT_TRUE(f.IsGuid(at, asf::kHeaderExtensionObject));
  EXPECT_EQ(at + f.U(at + 16, 8), dataObject) << "the last header object";
  for (size_t s = 0; s < streams.size(); ++s) {
    const StreamInfo& info = streams[s];
    const uint64_t x = MetadataValue(f, at, s + 1, "AspectRatioX");
    const uint64_t y = MetadataValue(f, at, s + 1, "AspectRatioY");
    EXPECT_EQ(x > 0 && y > 0, info.aspectX > 0) << "stream " << s;
    EXPECT_EQ(x * info.width * info.aspectY, y * info.height * info.aspectX) << "stream " << s;
  }
}

AsfWriter::Options Options(uint32_t packetBytes, uint32_t prerollMs, uint64_t interval,
                           HeaderRefresh::Limits refresh = {}) {
  return {kFileId, 0x01D0000000000000, packetBytes, prerollMs, interval, refresh};
}

// The most bits of samples that start within the second up to the latest,
// after each sample as test_streams::Write gives them (one of each stream in turn).
uint64_t PeakBits(const Samples& written) {
  std::vector<Sample> sofar;
  int64_t latest = 0;
  uint64_t most = 0;
  for (size_t i = 0; i < written[0].size(); ++i)
    for (const auto& stream : written) {
      sofar.push_back(stream[i]);
      latest = std::max(latest, stream[i].time);
      uint64_t bytes = 0;
      for (const Sample& sample : sofar)
        if (sample.time > latest - 10000000) bytes += sample.size;
      most = std::max(most, bytes * 8);
    }
  return most;
}

TEST(AsfWriter, ObjectsAndPacketsDescribeWhatWasWritten) {
  constexpr HeaderRefresh::Limits kEverySample = test_streams::kRefreshEverySample;
  std::vector<uint32_t> burst(50, 100);  // a second of large frames in two
  std::fill_n(burst.begin(), 25, 1000);
  const struct {
    const char* name;
    test_streams::Script script;
    AsfWriter::Options options;
  } shapes[] = {
      {"I420 and stereo PCM", kI420AndPcm, Options(8192, 3000, 10000000, kEverySample)},
      {"MJPG and IMA ADPCM, small packets", test_streams::kMjpgAndAdpcm,
       Options(512, 0, 2000000, kEverySample)},
      {"audio only", test_streams::kMonoPcm, Options(8192, 3000, 10000000, kEverySample)},
      {"two video streams of 300 objects, a burst",
       {{Video(kMjpg, 64, 48, 24, 400000), Video(kI420, 16, 16, 12, 400000), Pcm(8000, 1, 8)},
        {burst, {384}, {320}},
        5,
        300},
       Options(2048, 500, 5000000, kEverySample)},
  };
  for (const auto& shape : shapes) {
    SCOPED_TRACE(shape.name);
    const std::vector<StreamInfo>& streams = shape.script.streams;
    const uint32_t preroll = shape.options.prerollMs;
    MemorySink sink;
    AsfWriter writer(sink, streams, shape.options);
    ASSERT_EQ(writer.Start(), 0);
    int64_t end = 0;
    // Cut off after any sample, as by a crash: every object so far is in the
    // packets counted, and the length is theirs.
    const Samples exact =
        test_streams::Write(writer, shape.script, end, [&](const Samples& sofar, int64_t sofarEnd) {
          if (::testing::Test::HasFailure()) return;
          const File cut{sink.bytes};
          EXPECT_EQ(Complete(ReadFile(cut, shape.options, streams, false).objects, preroll),
                    InMs(sofar));
          EXPECT_EQ(cut.U(30 + 64, 8), sofarEnd + preroll * 10000ull);
        });
    const Samples written = InMs(exact);
    ASSERT_EQ(writer.Finish(), 0);
    const File f{sink.bytes};
    const Read read = ReadFile(f, shape.options, streams, true);
    EXPECT_EQ(Complete(read.objects, preroll), written);
    EXPECT_EQ(f.U(30 + 100, 4), PeakBits(exact)) << "the maximum bitrate";

    EXPECT_EQ(f.U(24, 4), streams.size() + 2) << "header objects";
    EXPECT_EQ(f.U(28, 2), 0x0201u);
    const uint64_t playDuration = end + shape.options.prerollMs * 10000ull;
    EXPECT_EQ(f.U(30 + 64, 8), playDuration);
    EXPECT_EQ(f.U(30 + 80, 8), shape.options.prerollMs);
    ExpectHeaderObjects(f, streams, read.top[1]);

    // One index per video stream, in stream order.
    size_t next = 2;
    for (size_t s = 0; s < streams.size(); ++s)
      if (streams[s].kind == StreamInfo::Kind::kVideo)
        ExpectIndex(f, read.top.at(next++), shape.options.indexInterval, read.objects[s],
                    playDuration);
    EXPECT_EQ(read.top.size(), next);
  }
}

// A full disk at any point: the objects whose packets were written stay in a
// file whose header and index count only them (seekable only with the index
// whole), and the failure is reported. Key frames smaller than a packet may
// end in the one the disk refused: the index must not name it.
TEST(AsfWriter, AFullDiskLeavesAWholeFileOfWhatWasAccepted) {
  const AsfWriter::Options options = Options(1024, 3000, 2000000);
  const test_streams::Script smallFrames = {
      {Video(kMjpg, 64, 48, 24, 400000), Pcm(8000, 1, 8)}, {{300}, {320}}, 1, 60};
  for (const test_streams::Script& script : {kI420AndPcm, smallFrames}) {
    const uint64_t size = test_streams::WholeFile<AsfWriter>(script, options).size();
    for (uint64_t capacity : {size / 4, size / 2 + 3, size * 2 / 3, size - 100, size - 10}) {
      SCOPED_TRACE(capacity);
      MemorySink sink;
      sink.capacity = capacity;
      AsfWriter writer(sink, script.streams, options);
      const Samples accepted = InMs(test_streams::FillDisk(writer, script));
      const File f{sink.bytes};
      const Read read = ReadFile(f, options, script.streams, true);
      const Samples found = Complete(read.objects, options.prerollMs);
      for (size_t s = 0; s < 2; ++s) {
        ASSERT_LE(found[s].size(), accepted[s].size());
        EXPECT_EQ(found[s],
                  Samples::value_type(accepted[s].begin(), accepted[s].begin() + found[s].size()));
      }
      const uint64_t packets = f.U(read.top[1] + 40, 8);
      if (read.top.size() < 3) continue;
      for (uint64_t i = 0; i < f.U(read.top[2] + 52, 4); ++i) {
        const uint64_t packet = f.U(read.top[2] + 56 + 6 * i, 4);
        const uint64_t count = f.U(read.top[2] + 60 + 6 * i, 2);
        EXPECT_TRUE(packet < packets && count > 0 && packet + count <= packets)
            << i << ": " << count << " from " << packet << " of " << packets;
      }
    }
  }
}

TEST(AsfWriter, RefusesWhatItsFieldsCannotHold) {
  MemorySink sink;
  const std::vector<StreamInfo> sound = {Pcm(8000, 1, 8)};
  for (const uint32_t packetBytes : {31u, 70000u}) {  // no room for a payload; beyond 16 bits
    AsfWriter writer(sink, sound, Options(packetBytes, 0, 10000000));
    EXPECT_EQ(writer.Start(), AsfWriter::kInvalidArg) << packetBytes;
  }
  AsfWriter bigFormat(sink, {Video(kMjpg, 64, 48, 24, 400000, 0x10000)},
                      Options(8192, 0, 10000000));
  EXPECT_EQ(bigFormat.Start(), AsfWriter::kInvalidArg) << "a codec private beyond 64 kB";
}

// Every stream plays from the file's 0 where it can, so that readers that
// give each stream the play duration from its own start agree with it: video
// from its first key frame, PCM and IMA ADPCM sound from silence. A time
// beyond the payloads' 32 bits of ms is taken as the last they can say.
TEST(AsfWriter, StreamsLeadFromTheFilesZeroAndTimesStayInThePayloadsRange) {
  constexpr int64_t kMs = 10000;  // 100 ns units
  const StreamInfo mjpg = Video(kMjpg, 64, 48, 24, 400000), bytes8 = Pcm(8000, 1, 8);
  constexpr int64_t kLast = 0xFFFFFFFFll - 3000;  // ms: the payloads' last time, the preroll off
  // clang-format off
  const struct {
    const char* name;
    StreamInfo stream;
    std::vector<std::pair<int64_t, bool>> samples;  // time, key; of 9 bytes of 7
    std::vector<Sample> objects;                    // times in ms
  } cases[] = {
      {"a picture a second late", mjpg, {{1000 * kMs, true}}, {{0, true, 9, 7}, {1000, true, 9, 7}}},
      {"less than a frame late", mjpg, {{20 * kMs, true}}, {{20, true, 9, 7}}},
      {"no key frame to lead with", mjpg, {{1000 * kMs, false}, {1040 * kMs, true}},
       {{1000, false, 9, 7}, {1040, true, 9, 7}}},
      {"8-bit sound", bytes8, {{500 * kMs, true}}, {{0, true, 4000, 0x80}, {500, true, 9, 7}}},
      {"IMA ADPCM sound", test_streams::ImaAdpcm(22050, 1), {{500 * kMs, true}},
       {{0, true, 5632, 0}, {500, true, 9, 7}}},
      {"MP3 sound", test_streams::Audio(0x55, 44100, 2, 0, 1, 16000), {{500 * kMs, true}},
       {{500, true, 9, 7}}},
      {"wild times", bytes8, {{0, true}, {(kLast + 1) * kMs, true}, {INT64_MAX, true}},
       {{0, true, 9, 7}, {kLast, true, 9, 7}, {kLast, true, 9, 7}}},
  };
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const AsfWriter::Options options = Options(8192, 3000, 10000000);
    MemorySink sink;
    AsfWriter writer(sink, {c.stream}, options);
    ASSERT_EQ(writer.Start(), 0);
    const std::vector<uint8_t> data(9, 7);
    for (const auto& [time, key] : c.samples)
      ASSERT_EQ(writer.Write(0, data.data(), data.size(), key, time), 0);
    ASSERT_EQ(writer.Finish(), 0);
    const File f{sink.bytes};
    EXPECT_EQ(Complete(ReadFile(f, options, {c.stream}, true).objects, options.prerollMs),
              Samples{c.objects});
  }
}

}  // namespace
