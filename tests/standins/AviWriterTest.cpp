#include "standins/avi/AviWriter.h"

#include <gtest/gtest.h>

#include "standins/AviTestStreams.h"
#include "standins/MemoryFileSink.h"
#include "standins/RiffReader.h"

namespace {

constexpr uint32_t kI420 = MakeFourCc('I', '4', '2', '0');
constexpr uint32_t kMjpg = MakeFourCc('M', 'J', 'P', 'G');

// One chunk as written, or as found in the file.
struct Chunk {
  uint32_t size;
  bool key;
  uint8_t firstByte;
  bool operator==(const Chunk&) const = default;
};
using Chunks = std::vector<std::vector<Chunk>>;  // per stream

struct Shape {
  const char* name;
  std::vector<AviStreamInfo> streams;
  std::vector<std::vector<uint32_t>> sizes;  // per stream, used in turn
  int keyEvery;                              // video
  int rounds;                                // one chunk of each stream per round
  // What the headers must say, per stream.
  std::vector<const char*> chunkIds;
  std::vector<uint32_t> scale, rate;
  uint32_t microSecPerFrame;
};

std::vector<Shape> Shapes() {
  return {
      {"Rgb24", {TestVideo(0, 64, 48, 24, 400000)}, {{9216}}, 1, 12, {"00db"}, {1}, {25}, 40000},
      {"I420AndStereoPcm",
       {TestVideo(kI420, 64, 48, 12, 333667), TestPcm(44100, 2, 16)},
       {{4608}, {1764, 1768}},
       1,
       10,
       {"00dc", "01wb"},
       {333667, 4},
       {10000000, 176400},
       33367},
      {"MjpegKeyEveryThirdAndOddAudio",
       {TestVideo(kMjpg, 320, 240, 24, 417083), TestPcm(11025, 1, 8)},
       {{3001, 1200, 777}, {441}},
       3,
       9,
       {"00dc", "01wb"},
       {417083, 1},
       {10000000, 11025},
       41708},
      {"AudioOnly", {TestPcm(48000, 1, 16)}, {{3840}}, 1, 5, {"00wb"}, {2}, {96000}, 0},
  };
}

uint8_t Fill(size_t stream, size_t index) { return static_cast<uint8_t>(stream * 64 + index); }

// Writes the shape's rounds; gives what was accepted.
Chunks WriteShape(AviWriter& writer, const Shape& shape) {
  Chunks written(shape.streams.size());
  for (int round = 0; round < shape.rounds; ++round) {
    for (size_t s = 0; s < shape.streams.size(); ++s) {
      const uint32_t size = shape.sizes[s][round % shape.sizes[s].size()];
      const bool video = shape.streams[s].kind == AviStreamInfo::Kind::kVideo;
      const bool key = !video || round % shape.keyEvery == 0;
      const std::vector<uint8_t> data(size, Fill(s, written[s].size()));
      if (writer.WriteChunk(s, data.data(), data.size(), key) != 0) return written;
      written[s].push_back({size, key, data[0]});
    }
  }
  return written;
}

struct Parsed {
  explicit Parsed(const std::vector<uint8_t>& bytes) : reader(bytes) {}
  RiffReader reader;
  const RiffChunk* hdrl = nullptr;
  std::vector<const RiffChunk*> strl;
};

Parsed Parse(const std::vector<uint8_t>& bytes) {
  Parsed parsed(bytes);
  if (parsed.reader.Riffs().empty()) return parsed;
  parsed.hdrl = parsed.reader.Riffs()[0].Find("hdrl");
  if (!parsed.hdrl) return parsed;
  for (const RiffChunk& child : parsed.hdrl->children)
    if (child.type == "strl") parsed.strl.push_back(&child);
  return parsed;
}

Chunk ChunkAt(const RiffReader& reader, uint64_t dataOffset, uint32_t size, bool key) {
  const uint8_t first = static_cast<uint8_t>(reader.U32(dataOffset) & 0xFF);
  return {size, key, size ? first : uint8_t{0}};
}

// Every stream's chunks as a decoder finds them through indx and the ixnn chunks.
Chunks ThroughSuperIndex(const Parsed& file, const std::vector<std::string>& ids,
                         std::vector<uint32_t>& ticks) {
  const RiffReader& r = file.reader;
  Chunks found(file.strl.size());
  ticks.assign(file.strl.size(), 0);
  for (size_t s = 0; s < file.strl.size(); ++s) {
    const uint64_t indx = file.strl[s]->Find("indx")->DataOffset();
    EXPECT_EQ(r.FourCc(indx + 8), ids[s]);
    for (uint32_t e = 0; e < r.U32(indx + 4); ++e) {
      const uint64_t ix = r.U64(indx + 24 + 16 * e);
      EXPECT_EQ(r.FourCc(ix), std::string("ix") + ids[s].substr(0, 2));
      EXPECT_EQ(r.U32(indx + 32 + 16 * e), r.U32(ix + 4) + 8u);
      EXPECT_EQ(r.FourCc(ix + 16), ids[s]);
      ticks[s] += r.U32(indx + 36 + 16 * e);
      const uint64_t base = r.U64(ix + 20);
      for (uint32_t i = 0; i < r.U32(ix + 12); ++i) {
        const uint64_t data = base + r.U32(ix + 32 + 8 * i);
        const uint32_t size = r.U32(ix + 36 + 8 * i);
        EXPECT_EQ(r.FourCc(data - 8), ids[s]);
        found[s].push_back(ChunkAt(r, data, size & 0x7FFFFFFF, !(size & 0x80000000u)));
      }
    }
  }
  return found;
}

// The first RIFF's chunks as an AVI 1.0 decoder finds them through idx1.
Chunks ThroughLegacyIndex(const Parsed& file, const std::vector<std::string>& ids) {
  const RiffReader& r = file.reader;
  Chunks found(ids.size());
  const RiffChunk& riff = r.Riffs()[0];
  const uint64_t movi = riff.Find("movi")->offset + 8;
  const RiffChunk* idx1 = riff.Find("idx1");
  for (uint32_t at = 0; idx1 && at < idx1->size; at += 16) {
    const std::string id = r.FourCc(idx1->DataOffset() + at);
    const uint64_t chunk = movi + r.U32(idx1->DataOffset() + at + 8);
    const size_t s = static_cast<size_t>(std::stoi(id.substr(0, 2)));
    EXPECT_EQ(r.FourCc(chunk), id);
    const bool key = r.U32(idx1->DataOffset() + at + 4) & 0x10;
    found[s].push_back(ChunkAt(r, chunk + 8, r.U32(idx1->DataOffset() + at + 12), key));
  }
  return found;
}

// The data chunks as a decoder without an index finds them, walking every movi list.
Chunks ThroughMovi(const Parsed& file, size_t streams) {
  Chunks found(streams);
  for (const RiffChunk& riff : file.reader.Riffs()) {
    const RiffChunk* movi = riff.Find("movi");
    EXPECT_NE(movi, nullptr);
    for (const RiffChunk& chunk : movi ? movi->children : std::vector<RiffChunk>{}) {
      if (chunk.id.substr(0, 2) == "ix") continue;
      const size_t s = static_cast<size_t>(std::stoi(chunk.id.substr(0, 2)));
      found[s].push_back(ChunkAt(file.reader, chunk.DataOffset(), chunk.size, true));
    }
  }
  return found;
}

// Key flags are not in the chunks themselves: compare sizes and contents.
void ExpectSameData(const Chunks& found, const Chunks& written) {
  ASSERT_EQ(found.size(), written.size());
  for (size_t s = 0; s < found.size(); ++s) {
    ASSERT_EQ(found[s].size(), written[s].size()) << "stream " << s;
    for (size_t i = 0; i < found[s].size(); ++i) {
      EXPECT_EQ(found[s][i].size, written[s][i].size);
      EXPECT_EQ(found[s][i].firstByte, written[s][i].firstByte);
    }
  }
}

TEST(AviWriter, HeadersAndIndexesDescribeWhatWasWritten) {
  for (const Shape& shape : Shapes()) {
    SCOPED_TRACE(shape.name);
    MemoryFileSink sink;
    AviWriter writer(sink, shape.streams);
    ASSERT_EQ(writer.Start(), 0);
    const Chunks written = WriteShape(writer, shape);
    ASSERT_EQ(writer.Finish(), 0);
    const Parsed file = Parse(sink.bytes);
    ASSERT_TRUE(file.reader.Whole());
    ASSERT_EQ(file.reader.Riffs().size(), 1u);
    EXPECT_EQ(file.reader.Riffs()[0].type, "AVI ");
    ASSERT_EQ(file.strl.size(), shape.streams.size());
    const RiffReader& r = file.reader;

    const uint64_t avih = file.hdrl->Find("avih")->DataOffset();
    const bool hasVideo = shape.streams[0].kind == AviStreamInfo::Kind::kVideo;
    uint32_t largest = 0;
    for (const auto& stream : written)
      for (const Chunk& c : stream) largest = std::max(largest, c.size);
    EXPECT_EQ(r.U32(avih), shape.microSecPerFrame);
    EXPECT_EQ(r.U32(avih + 12) & 0x10, 0x10u) << "AVIF_HASINDEX";
    EXPECT_EQ(r.U32(avih + 16), hasVideo ? written[0].size() : 0u);
    EXPECT_EQ(r.U32(avih + 24), shape.streams.size());
    EXPECT_EQ(r.U32(avih + 28), largest);
    EXPECT_EQ(r.U32(avih + 32), hasVideo ? shape.streams[0].width : 0);
    EXPECT_EQ(r.U32(avih + 36), hasVideo ? shape.streams[0].height : 0);
    const RiffChunk* odml = file.hdrl->Find("odml");
    ASSERT_NE(odml, nullptr);
    EXPECT_EQ(r.U32(odml->Find("dmlh")->DataOffset()), hasVideo ? written[0].size() : 0u);

    std::vector<std::string> ids;
    for (size_t s = 0; s < shape.streams.size(); ++s) {
      const AviStreamInfo& info = shape.streams[s];
      const bool video = info.kind == AviStreamInfo::Kind::kVideo;
      const uint64_t strh = file.strl[s]->Find("strh")->DataOffset();
      uint64_t bytes = 0;
      uint32_t streamLargest = 0;
      for (const Chunk& c : written[s]) {
        bytes += c.size;
        streamLargest = std::max(streamLargest, c.size);
      }
      EXPECT_EQ(r.FourCc(strh), video ? "vids" : "auds");
      EXPECT_EQ(r.U32(strh + 4), info.handler);
      EXPECT_EQ(r.U32(strh + 20), shape.scale[s]);
      EXPECT_EQ(r.U32(strh + 24), shape.rate[s]);
      EXPECT_EQ(r.U32(strh + 32), video ? written[s].size() : bytes / info.blockAlign);
      EXPECT_EQ(r.U32(strh + 36), streamLargest);
      EXPECT_EQ(r.U32(strh + 44), video ? 0u : info.blockAlign);
      EXPECT_EQ(r.U16(strh + 52), video ? info.width : 0);
      EXPECT_EQ(r.U16(strh + 54), video ? info.height : 0);
      const RiffChunk* strf = file.strl[s]->Find("strf");
      EXPECT_EQ(std::vector<uint8_t>(sink.bytes.begin() + strf->DataOffset(),
                                     sink.bytes.begin() + strf->DataOffset() + strf->size),
                info.format);
      ids.push_back(shape.chunkIds[s]);
    }
    std::vector<uint32_t> ticks;
    ExpectSameData(ThroughMovi(file, ids.size()), written);
    EXPECT_EQ(ThroughSuperIndex(file, ids, ticks), written);
    EXPECT_EQ(ThroughLegacyIndex(file, ids), written);
    for (size_t s = 0; s < shape.streams.size(); ++s)
      EXPECT_EQ(ticks[s], r.U32(file.strl[s]->Find("strh")->DataOffset() + 32));
  }
}

TEST(AviWriter, ContinuesInAvixRiffsThatTheIndexesCover) {
  const Shape shape = Shapes()[2];
  const AviWriter::Limits limits{64 * 1024, 16};
  MemoryFileSink sink;
  AviWriter writer(sink, shape.streams, limits);
  ASSERT_EQ(writer.Start(), 0);
  Shape longer = shape;
  longer.rounds = 150;
  const Chunks written = WriteShape(writer, longer);
  ASSERT_EQ(writer.Finish(), 0);
  const Parsed file = Parse(sink.bytes);
  ASSERT_TRUE(file.reader.Whole());
  const auto& riffs = file.reader.Riffs();
  ASSERT_GE(riffs.size(), 4u);
  for (size_t i = 0; i < riffs.size(); ++i) {
    EXPECT_EQ(riffs[i].type, i == 0 ? "AVI " : "AVIX");
    EXPECT_LE(riffs[i].size + 8u, limits.riffBytes);
    EXPECT_EQ(riffs[i].Find("idx1") != nullptr, i == 0);
  }
  const std::vector<std::string> ids = {"00dc", "01wb"};
  std::vector<uint32_t> ticks;
  ExpectSameData(ThroughMovi(file, 2), written);
  EXPECT_EQ(ThroughSuperIndex(file, ids, ticks), written);
  const RiffReader& r = file.reader;
  for (size_t s = 0; s < 2; ++s)
    EXPECT_EQ(r.U32(file.strl[s]->Find("indx")->DataOffset() + 4), riffs.size());
  EXPECT_EQ(ticks[0], written[0].size());
  EXPECT_EQ(ticks[1], written[1].size() * 441);

  // idx1 and the main header's frame count cover the first RIFF only; dmlh all.
  const Chunks legacy = ThroughLegacyIndex(file, ids);
  ASSERT_LT(legacy[0].size(), written[0].size());
  for (size_t s = 0; s < 2; ++s)
    EXPECT_EQ(legacy[s],
              Chunks::value_type(written[s].begin(), written[s].begin() + legacy[s].size()));
  EXPECT_EQ(r.U32(file.hdrl->Find("avih")->DataOffset() + 16), legacy[0].size());
  EXPECT_EQ(r.U32(file.hdrl->Find("odml")->Find("dmlh")->DataOffset()), written[0].size());
}

// A full disk at any point: the chunks accepted before it stay in a file that
// a decoder walks whole, and the failure is reported.
TEST(AviWriter, AFullDiskLeavesAWholeFileOfWhatWasAccepted) {
  const Shape shape = Shapes()[1];
  MemoryFileSink complete;
  {
    AviWriter writer(complete, shape.streams, {16 * 1024, 8});
    writer.Start();
    WriteShape(writer, shape);
    writer.Finish();
  }
  const uint64_t size = complete.bytes.size();
  for (uint64_t capacity : {size / 4, size / 2 + 3, size * 3 / 4, size - 300, size - 20}) {
    SCOPED_TRACE(capacity);
    MemoryFileSink sink;
    sink.capacity = capacity;
    AviWriter writer(sink, shape.streams, {16 * 1024, 8});
    ASSERT_EQ(writer.Start(), 0);
    const Chunks accepted = WriteShape(writer, shape);
    EXPECT_EQ(writer.Finish(), MemoryFileSink::kDiskFull);
    EXPECT_EQ(writer.WriteChunk(0, "x", 1, true), MemoryFileSink::kDiskFull);
    const Parsed file = Parse(sink.bytes);
    ASSERT_TRUE(file.reader.Whole());
    ExpectSameData(ThroughMovi(file, 2), accepted);
    const bool hasIdx1 = file.reader.Riffs()[0].Find("idx1") != nullptr;
    EXPECT_EQ((file.reader.U32(file.hdrl->Find("avih")->DataOffset() + 12) & 0x10) != 0, hasIdx1);
  }
}

TEST(AviWriter, RefusesWhatNoRiffCanHold) {
  const Shape shape = Shapes()[0];
  MemoryFileSink sink;
  AviWriter tooBig(sink, shape.streams, {8 * 1024, 4});
  ASSERT_EQ(tooBig.Start(), 0);
  const std::vector<uint8_t> frame(9216);
  EXPECT_EQ(tooBig.WriteChunk(0, frame.data(), frame.size(), true), AviWriter::kFileTooLarge);

  // Four RIFFs of two frames each fill four super index slots.
  MemoryFileSink full;
  AviWriter writer(full, shape.streams, {24 * 1024, 4});
  ASSERT_EQ(writer.Start(), 0);
  int accepted = 0;
  while (writer.WriteChunk(0, frame.data(), frame.size(), true) == 0) ++accepted;
  EXPECT_EQ(writer.Failure(), AviWriter::kFileTooLarge);
  EXPECT_EQ(writer.Finish(), AviWriter::kFileTooLarge);
  const Parsed file = Parse(full.bytes);
  ASSERT_TRUE(file.reader.Whole());
  EXPECT_EQ(file.reader.Riffs().size(), 4u);
  std::vector<uint32_t> ticks;
  EXPECT_EQ(ThroughSuperIndex(file, {"00db"}, ticks)[0].size(), static_cast<size_t>(accepted));
}

TEST(StandardIndex, RefusesWhatItsFieldsCannotHold) {
  const struct {
    uint64_t dataOffset;
    uint32_t size;
    bool stored;
  } cases[] = {
      {1000, 0x7FFFFFFF, true}, {1000 + 0xFFFFFFFFull, 4, true}, {1000 + 0x100000000ull, 4, false},
      {999, 4, false},          {2000, 0x80000000u, false},
  };
  for (const auto& c : cases) {
    StandardIndex index;
    index.Reset(1000);
    EXPECT_EQ(index.Add(c.dataOffset, c.size, true), c.stored) << c.dataOffset << " " << c.size;
    EXPECT_EQ(index.Count(), c.stored ? 1u : 0u);
  }
}

}  // namespace
