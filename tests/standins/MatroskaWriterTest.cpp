// The Matroska writer, read back as a demuxer reads it: the EBML tree with
// every size, the SeekHead, Info and Tracks, each block through its Cluster,
// and the key frames through the Cues.

#include "standins/mkv/MatroskaWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "standins/mkv/MatroskaIds.h"
#include "support/MemorySink.h"
#include "support/TestStreams.h"

namespace {

using test_streams::InMs;
using test_streams::kI420AndPcm;
using test_streams::kMjpg;
using test_streams::Sample;
using test_streams::Samples;

struct Element {
  uint32_t id = 0;
  uint64_t at = 0;    // its ID
  uint64_t data = 0;  // its content
  uint64_t size = 0;
  std::vector<Element> kids;
  const Element* Find(uint32_t wanted) const {
    for (const Element& kid : kids)
      if (kid.id == wanted) return &kid;
    return nullptr;
  }
  const Element* At(uint64_t offset) const {
    for (const Element& kid : kids)
      if (kid.at == offset) return &kid;
    return nullptr;
  }
};

struct Ebml {
  const std::vector<uint8_t>& b;
  // A file cut off by a crash: a size unknown runs to the end of the parent.
  bool cut = false;
  uint64_t Uint(const Element* e) const {
    uint64_t value = 0;
    for (uint64_t i = 0; e && i < e->size; ++i) value = value << 8 | b[e->data + i];
    return value;
  }
  double Float(const Element* e) const {
    const uint64_t bits = Uint(e);
    double value;
    memcpy(&value, &bits, sizeof value);
    return value;
  }
  std::vector<uint8_t> Bytes(const Element* e) const {
    return e ? std::vector<uint8_t>(b.begin() + e->data, b.begin() + e->data + e->size)
             : std::vector<uint8_t>();
  }
  // A number whose length its first byte's leading zeros give; false for the
  // reserved "unknown" size (all ones), which a finished file never has.
  bool Vint(uint64_t& at, uint64_t& value, bool keepMarker) const {
    int length = 1;
    while (length <= 8 && !(b[at] & (0x80 >> (length - 1)))) ++length;
    value = keepMarker ? b[at] : b[at] & (0xFF >> length);
    bool allOnes = value == (0xFFu >> length);
    for (int i = 1; i < length; ++i) {
      allOnes = allOnes && b[at + i] == 0xFF;
      value = value << 8 | b[at + i];
    }
    at += length;
    return keepMarker || !allOnes;
  }
  bool Read(Element& parent, uint64_t begin, uint64_t end) const {
    static const uint32_t kMasters[] = {mkv::kEbml,
                                        mkv::kSegment,
                                        mkv::kSeekHead,
                                        mkv::kSeek,
                                        mkv::kInfo,
                                        mkv::kTracks,
                                        mkv::kTrackEntry,
                                        mkv::kVideo,
                                        mkv::kAudio,
                                        mkv::kCluster,
                                        mkv::kCues,
                                        mkv::kCuePoint,
                                        mkv::kCueTrackPositions};
    for (uint64_t at = begin; at < end;) {
      Element e;
      e.at = at;
      uint64_t id = 0;
      if (!Vint(at, id, true)) return false;
      if (!Vint(at, e.size, false)) {
        if (!cut) return false;
        e.size = end - at;
      }
      if (at + e.size > end) return false;
      e.id = uint32_t(id);
      e.data = at;
      at += e.size;
      if (std::find(std::begin(kMasters), std::end(kMasters), e.id) != std::end(kMasters) &&
          !Read(e, e.data, at))
        return false;
      parent.kids.push_back(std::move(e));
    }
    return true;
  }
};

struct Shape {
  const char* name;
  test_streams::Script script;
  MatroskaWriter::Limits limits;
};

// Every block through its cluster, and how each cluster begins.
Samples ReadBlocks(const Ebml& f, const Element& segment, size_t streams,
                   std::vector<const Element*>& clusters) {
  Samples found(streams);
  for (const Element& cluster : segment.kids) {
    if (cluster.id != mkv::kCluster) continue;
    clusters.push_back(&cluster);
    const int64_t start = int64_t(f.Uint(cluster.Find(mkv::kTimestamp)));
    for (const Element& block : cluster.kids) {
      if (block.id != mkv::kSimpleBlock) continue;
      const uint8_t* b = &f.b[block.data];
      const int16_t relative = int16_t(b[1] << 8 | b[2]);
      found.at((b[0] & 0x7F) - 1)
          .push_back({start + relative, (b[3] & 0x80) != 0, block.size - 4, b[4]});
    }
  }
  return found;
}

// Each cue names a key frame of the video track, by its cluster and its place in it.
void ExpectCuesAtKeyFrames(const Ebml& f, const Element& segment, const Element* cues) {
  ASSERT_TRUE(cues);
  for (const Element& point : cues->kids) {
    const Element* positions = point.Find(mkv::kCueTrackPositions);
    const Element* cluster =
        segment.At(segment.data + f.Uint(positions->Find(mkv::kCueClusterPosition)));
    ASSERT_TRUE(cluster && cluster->id == mkv::kCluster);
    const Element* block =
        cluster->At(cluster->data + f.Uint(positions->Find(mkv::kCueRelativePosition)));
    ASSERT_TRUE(block && block->id == mkv::kSimpleBlock);
    const uint8_t* b = &f.b[block->data];
    EXPECT_TRUE(b[0] == 0x81 && (b[3] & 0x80)) << "a key frame of track 1";
    EXPECT_EQ(f.Uint(point.Find(mkv::kCueTime)),
              f.Uint(cluster->Find(mkv::kTimestamp)) + int16_t(b[1] << 8 | b[2]));
    EXPECT_EQ(f.Uint(positions->Find(mkv::kCueTrack)), 1u);
  }
}

// Each stream's track entry: its number, type, codec and format.
void ExpectTracks(const Ebml& f, const Element& tracks, const std::vector<StreamInfo>& streams) {
  ASSERT_EQ(tracks.kids.size(), streams.size());
  for (size_t s = 0; s < streams.size(); ++s) {
    const StreamInfo& stream = streams[s];
    const Element& entry = tracks.kids[s];
    const bool isVideo = stream.kind == StreamInfo::Kind::kVideo;
    const std::string codec = isVideo      ? "V_MS/VFW/FOURCC"
                              : stream.pcm ? "A_PCM/INT/LIT"
                                           : "A_MS/ACM";
    EXPECT_EQ(f.Uint(entry.Find(mkv::kTrackNumber)), s + 1);
    EXPECT_EQ(f.Uint(entry.Find(mkv::kTrackType)), isVideo ? 1u : 2u);
    EXPECT_EQ(f.Bytes(entry.Find(mkv::kCodecId)), std::vector<uint8_t>(codec.begin(), codec.end()));
    EXPECT_EQ(f.Bytes(entry.Find(mkv::kCodecPrivate)),
              stream.pcm ? std::vector<uint8_t>() : stream.format);
    if (isVideo) {
      EXPECT_EQ(f.Uint(entry.Find(mkv::kDefaultDuration)), uint64_t(stream.frameDuration) * 100);
      EXPECT_EQ(f.Uint(entry.Find(mkv::kVideo)->Find(mkv::kPixelWidth)), uint64_t(stream.width));
      EXPECT_EQ(f.Uint(entry.Find(mkv::kVideo)->Find(mkv::kPixelHeight)), uint64_t(stream.height));
      // A display size of the picture's aspect ratio, where it has one.
      const Element* width = entry.Find(mkv::kVideo)->Find(mkv::kDisplayWidth);
      const Element* height = entry.Find(mkv::kVideo)->Find(mkv::kDisplayHeight);
      ASSERT_EQ(width && height, stream.aspectX != 0);
      if (width) {
        const double displayHeight = double(f.Uint(height));
        EXPECT_NEAR(f.Uint(width) / displayHeight, double(stream.aspectX) / stream.aspectY,
                    1 / displayHeight);
      }
    } else {
      const Element* audio = entry.Find(mkv::kAudio);
      EXPECT_EQ(f.Float(audio->Find(mkv::kSamplingFrequency)), stream.sampleRate);
      EXPECT_EQ(f.Uint(audio->Find(mkv::kChannels)), stream.channels);
      EXPECT_EQ(f.Uint(audio->Find(mkv::kBitDepth)), stream.bitsPerSample);
    }
  }
}

TEST(MatroskaWriter, ElementsDescribeWhatWasWritten) {
  const Shape shapes[] = {
      {"I420 and stereo PCM", kI420AndPcm, {}},
      {"MJPG and IMA ADPCM, small clusters", test_streams::kMjpgAndAdpcm, {2000000, 4096}},
      {"audio only", test_streams::kMonoPcm, {2000000, 1 << 20}},
      // Readers stop at the first Cluster: without one they refuse the file.
      {"nothing written", {kI420AndPcm.streams, {{1}, {1}}, 1, 0}, {}},
  };
  for (const Shape& shape : shapes) {
    SCOPED_TRACE(shape.name);
    MemorySink sink;
    MatroskaWriter::Limits limits = shape.limits;
    limits.refresh = test_streams::kRefreshEverySample;
    MatroskaWriter writer(sink, shape.script.streams, limits);
    // Cut off, as by a crash: every block so far in Clusters of unknown size,
    // and Duration (none before there is one, as 0 is not allowed).
    const auto cutOff = [&](const Samples& sofar, int64_t sofarEnd) {
      const Ebml f{sink.bytes, true};
      Element file;
      ASSERT_TRUE(f.Read(file, 0, sink.bytes.size()));
      const Element* duration = file.kids.at(1).Find(mkv::kInfo)->Find(mkv::kDuration);
      EXPECT_EQ(duration != nullptr, sofarEnd > 0);
      if (duration) {
        EXPECT_DOUBLE_EQ(f.Float(duration), sofarEnd / 10000.0);
      }
      std::vector<const Element*> clusters;
      EXPECT_EQ(ReadBlocks(f, file.kids[1], sofar.size(), clusters), InMs(sofar));
    };
    ASSERT_EQ(writer.Start(), 0);
    cutOff(Samples(shape.script.streams.size()), 0);
    int64_t end = 0;
    const Samples written = InMs(
        test_streams::Write(writer, shape.script, end, [&](const Samples& sofar, int64_t sofarEnd) {
          if (!::testing::Test::HasFailure()) cutOff(sofar, sofarEnd);
        }));
    ASSERT_EQ(writer.Finish(), 0);
    const Ebml f{sink.bytes};
    Element file;
    ASSERT_TRUE(f.Read(file, 0, sink.bytes.size()));
    ASSERT_EQ(file.kids.size(), 2u);
    EXPECT_EQ(f.Bytes(file.kids[0].Find(mkv::kDocType)),
              std::vector<uint8_t>({'m', 'a', 't', 'r', 'o', 's', 'k', 'a'}));
    EXPECT_EQ(f.Uint(file.kids[0].Find(mkv::kDocTypeReadVersion)), 2u);
    const Element& segment = file.kids[1];
    ASSERT_EQ(segment.id, mkv::kSegment);

    // The SeekHead leads to Info, Tracks and (with a video track) the Cues.
    const bool video = shape.script.streams[0].kind == StreamInfo::Kind::kVideo;
    std::vector<uint32_t> sought;
    for (const Element& seek : segment.kids[0].kids) {
      sought.push_back(uint32_t(f.Uint(seek.Find(mkv::kSeekId))));
      const uint64_t at = segment.data + f.Uint(seek.Find(mkv::kSeekPosition));
      EXPECT_EQ(f.Bytes(seek.Find(mkv::kSeekId)), std::vector<uint8_t>(&f.b[at], &f.b[at + 4]));
    }
    const std::vector<uint32_t> top = {mkv::kInfo, mkv::kTracks, mkv::kCues};
    const bool cued = video && end > 0;
    EXPECT_EQ(sought, std::vector<uint32_t>(top.begin(), top.end() - (cued ? 0 : 1)));
    const Element* info = segment.Find(mkv::kInfo);
    EXPECT_EQ(f.Uint(info->Find(mkv::kTimestampScale)), 1000000u);
    if (end > 0) EXPECT_DOUBLE_EQ(f.Float(info->Find(mkv::kDuration)), end / 10000.0);

    ExpectTracks(f, *segment.Find(mkv::kTracks), shape.script.streams);

    std::vector<const Element*> clusters;
    EXPECT_EQ(ReadBlocks(f, segment, shape.script.streams.size(), clusters), written);
    EXPECT_GT(clusters.size(), end > 0 ? 2u : 0u);
    for (size_t c = 1; c < clusters.size(); ++c) {
      const uint8_t* first = &f.b[clusters[c]->Find(mkv::kSimpleBlock)->data];
      EXPECT_TRUE(first[0] == 0x81 && (first[3] & 0x80))
          << "cluster " << c << " opens on a key frame";
    }
    if (cued) {
      ExpectCuesAtKeyFrames(f, segment, segment.Find(mkv::kCues));
      EXPECT_EQ(segment.Find(mkv::kCues)->kids.size(), clusters.size());
    }
  }
}

// A full disk at any point: what was accepted before it stays in a file whose
// every size is right, and the failure is reported.
TEST(MatroskaWriter, AFullDiskLeavesAWholeFileOfWhatWasAccepted) {
  const uint64_t size = test_streams::WholeFile<MatroskaWriter>(kI420AndPcm).size();
  for (uint64_t capacity : {size / 4, size / 2 + 3, size - 200, size - 20}) {
    SCOPED_TRACE(capacity);
    MemorySink sink;
    sink.capacity = capacity;
    MatroskaWriter writer(sink, kI420AndPcm.streams);
    const Samples accepted = InMs(test_streams::FillDisk(writer, kI420AndPcm));
    const Ebml f{sink.bytes};
    Element file;
    ASSERT_TRUE(f.Read(file, 0, sink.bytes.size()));
    std::vector<const Element*> clusters;
    EXPECT_EQ(ReadBlocks(f, file.kids[1], 2, clusters), accepted);
    if (const Element* cues = file.kids[1].Find(mkv::kCues))
      ExpectCuesAtKeyFrames(f, file.kids[1], cues);
  }
}

TEST(MatroskaWriter, BlocksMoreThanTheRelativeTimesReachApartGoToAnotherCluster) {
  MemorySink sink;
  MatroskaWriter writer(sink, {test_streams::Video(kMjpg, 64, 48, 24, 400000)}, {});
  ASSERT_EQ(writer.Start(), 0);
  const int64_t times[] = {0, 400000, 327670000, 327680000, 700000000};  // 100 ns units
  for (int64_t time : times) ASSERT_EQ(writer.Write(0, "abc", 3, time == 0, time), 0);
  ASSERT_EQ(writer.Finish(), 0);
  const Ebml f{sink.bytes};
  Element file;
  ASSERT_TRUE(f.Read(file, 0, sink.bytes.size()));
  std::vector<const Element*> clusters;
  const Samples blocks = ReadBlocks(f, file.kids[1], 1, clusters);
  ASSERT_EQ(blocks[0].size(), 5u);
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(blocks[0][i].time, times[i] / 10000);
  EXPECT_EQ(clusters.size(), 3u);
}

}  // namespace
