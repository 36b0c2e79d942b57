// The AVI writer, read back as decoders read it: through the super and
// standard indexes, through idx1, and chunk by chunk through the movi lists.

#include "standins/avi/AviWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <string>

#include "standins/avi/AviFrameSlots.h"
#include "standins/avi/RiffBytes.h"
#include "support/MemorySink.h"
#include "support/TestStreams.h"

namespace {

constexpr int32_t kDiskFull = MemorySink::kDiskFull;

using test_streams::kI420;
using test_streams::kMjpg;
using test_streams::Pcm;
using test_streams::Sample;
using test_streams::Samples;
using test_streams::Video;

// A chunk of the file as read back; a tree for RIFF and LIST.
struct Chunk {
  std::string id, type;
  uint64_t at = 0;  // header
  uint32_t size = 0;
  std::vector<Chunk> kids;
  uint64_t Data() const { return at + (type.empty() ? 8 : 12); }
  const Chunk* Find(const std::string& name) const {
    for (const Chunk& kid : kids)
      if (kid.id == name || kid.type == name) return &kid;
    return nullptr;
  }
};

struct File {
  const std::vector<uint8_t>& b;
  uint32_t U32(uint64_t at) const {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24;
  }
  uint64_t U64(uint64_t at) const { return U32(at) | uint64_t(U32(at + 4)) << 32; }
  std::string Id(uint64_t at) const { return std::string(b.begin() + at, b.begin() + at + 4); }
  // False when a chunk runs past its parent's end.
  bool Read(Chunk& parent, uint64_t begin, uint64_t end) const {
    for (uint64_t at = begin; at < end;) {
      Chunk chunk{Id(at), "", at, U32(at + 4)};
      if (at + 8 + chunk.size > end) return false;
      if (chunk.id == "RIFF" || chunk.id == "LIST") {
        chunk.type = Id(at + 8);
        if (!Read(chunk, at + 12, at + 8 + chunk.size)) return false;
      }
      at += 8 + chunk.size + (chunk.size & 1);
      parent.kids.push_back(std::move(chunk));
    }
    return true;
  }
};

struct Shape {
  const char* name;
  test_streams::Script script;
  AviWriter::Limits limits;
  // What strh must say, per stream.
  std::vector<uint32_t> scale, rate;
  uint32_t microSecPerFrame;
};

// AVI keeps no times.
Samples NoTimes(Samples samples) {
  for (auto& stream : samples)
    for (Sample& sample : stream) sample.time = 0;
  return samples;
}

// Through indx and the ixnn chunks; ticks gets each stream's indexed duration.
Samples ThroughSuperIndex(const File& f, const std::vector<const Chunk*>& strl,
                          std::vector<uint32_t>& ticks) {
  Samples found(strl.size());
  ticks.assign(strl.size(), 0);
  for (size_t s = 0; s < strl.size(); ++s) {
    const uint64_t indx = strl[s]->Find("indx")->Data();
    for (uint32_t e = 0; e < f.U32(indx + 4); ++e) {
      const uint64_t ix = f.U64(indx + 24 + 16 * e);
      EXPECT_EQ(f.Id(ix), "ix" + f.Id(indx + 8).substr(0, 2));
      EXPECT_EQ(f.U32(indx + 32 + 16 * e), f.U32(ix + 4) + 8);
      ticks[s] += f.U32(indx + 36 + 16 * e);
      for (uint32_t i = 0; i < f.U32(ix + 12); ++i) {
        const uint64_t data = f.U64(ix + 20) + f.U32(ix + 32 + 8 * i);
        const uint32_t size = f.U32(ix + 36 + 8 * i);
        EXPECT_EQ(f.Id(data - 8), f.Id(indx + 8));
        found[s].push_back({0, !(size >> 31), size & 0x7FFFFFFF, f.b[data]});
      }
    }
  }
  return found;
}

// Through idx1 of the first RIFF.
Samples ThroughLegacyIndex(const File& f, const Chunk& riff, size_t streams) {
  Samples found(streams);
  const uint64_t movi = riff.Find("movi")->at + 8;
  const Chunk* idx1 = riff.Find("idx1");
  for (uint64_t at = idx1->Data(); at < idx1->Data() + idx1->size; at += 16) {
    const uint64_t chunk = movi + f.U32(at + 8);
    EXPECT_EQ(f.Id(chunk), f.Id(at));
    found[std::stoi(f.Id(at).substr(0, 2))].push_back(
        {0, (f.U32(at + 4) & 0x10) != 0, f.U32(at + 12), f.b[chunk + 8]});
  }
  return found;
}

// Chunk by chunk, as a decoder without an index; key flags are not in the chunks.
Samples InMovi(const File& f, const Chunk& file, size_t streams) {
  Samples found(streams);
  for (const Chunk& riff : file.kids)
    for (const Chunk& chunk : riff.Find("movi")->kids)
      if (chunk.id.substr(0, 2) != "ix")
        found[std::stoi(chunk.id.substr(0, 2))].push_back({0, true, chunk.size, f.b[chunk.Data()]});
  return found;
}

// What a reader without an index finds: every chunk written, in the movi
// lists; each stream's length in strh; AVIF_HASINDEX only with idx1. A video
// stream's first frames wait until they are enough to choose its rate: of
// fewer, the file holds none, or those written before a full disk.
void ExpectWalkedWhole(const std::vector<uint8_t>& bytes, const std::vector<StreamInfo>& streams,
                       Samples written) {
  const File f{bytes};
  Chunk file;
  ASSERT_TRUE(f.Read(file, 0, bytes.size()));
  const Samples found = InMovi(f, file, written.size());
  const Chunk* hdrl = file.kids[0].Find("hdrl");
  EXPECT_EQ((f.U32(hdrl->Find("avih")->Data() + 12) & 0x10) != 0,
            file.kids[0].Find("idx1") != nullptr);
  size_t s = 0;
  for (const Chunk& strl : hdrl->kids) {
    if (strl.type != "strl") continue;
    const bool video = streams[s].kind == StreamInfo::Kind::kVideo;
    if (video && written[s].size() < AviFrameSlots::kRateFrames)
      written[s].resize(std::min(written[s].size(), found[s].size()));
    ASSERT_EQ(found[s].size(), written[s].size()) << s;
    uint64_t bytes = 0;
    for (size_t i = 0; i < found[s].size(); ++i) {
      EXPECT_TRUE(found[s][i].size == written[s][i].size &&
                  found[s][i].first == written[s][i].first);
      bytes += written[s][i].size;
    }
    EXPECT_EQ(f.U32(strl.Find("strh")->Data() + 32),
              video ? written[s].size() : bytes / streams[s].blockAlign)
        << "the length of stream " << s;
    ++s;
  }
}

TEST(AviWriter, HeadersAndIndexesDescribeWhatWasWritten) {
  constexpr HeaderRefresh::Limits kEverySample = test_streams::kRefreshEverySample;
  const AviWriter::Limits one{1u << 30, 256, kEverySample}, small{64 * 1024, 16, kEverySample};
  const Shape shapes[] = {
      {"RGB24", {{Video(0, 64, 48, 24, 400000)}, {{9216}}, 1, 12}, one, {1}, {25}, 40000},
      {"I420 and stereo PCM",
       {{Video(kI420, 64, 48, 12, 333667), Pcm(44100, 2, 16)}, {{4608}, {1764, 1768}}, 1, 10},
       one,
       {333667, 4},
       {10000000, 176400},
       33367},
      {"audio only", {{Pcm(48000, 1, 16)}, {{3840}}, 1, 5}, one, {2}, {96000}, 0},
      {"MJPG of 16:9, odd-sized audio chunks, AVIX continuations",
       {{test_streams::WithAspect(Video(kMjpg, 320, 240, 24, 417083), 16, 9), Pcm(11025, 1, 8)},
        {{3001, 1200, 777}, {441}},
        3,
        150},
       small,
       {417083, 1},
       {10000000, 11025},
       41708},
  };
  for (const Shape& shape : shapes) {
    SCOPED_TRACE(shape.name);
    MemorySink sink;
    AviWriter writer(sink, shape.script.streams, shape.limits);
    ASSERT_EQ(writer.Start(), 0);
    // Cut off after any sample, as by a crash, the file is walked whole.
    int64_t end = 0;
    const Samples written =
        NoTimes(test_streams::Write(writer, shape.script, end, [&](const Samples& sofar, int64_t) {
          if (!::testing::Test::HasFailure())
            ExpectWalkedWhole(sink.bytes, shape.script.streams, sofar);
        }));
    ASSERT_EQ(writer.Finish(), 0);
    const File f{sink.bytes};
    Chunk file;
    ASSERT_TRUE(f.Read(file, 0, sink.bytes.size()));
    const Chunk& first = file.kids[0];
    const Chunk* hdrl = first.Find("hdrl");
    std::vector<const Chunk*> strl;
    for (const Chunk& kid : hdrl->kids)
      if (kid.type == "strl") strl.push_back(&kid);
    ASSERT_EQ(strl.size(), shape.script.streams.size());
    for (size_t i = 0; i < file.kids.size(); ++i) {
      EXPECT_EQ(file.kids[i].type, i == 0 ? "AVI " : "AVIX");
      EXPECT_LE(file.kids[i].size + 8u, shape.limits.riffBytes);
    }
    EXPECT_EQ(file.kids.size() > 1, shape.limits.riffBytes == small.riffBytes);

    // idx1 and the main header's frame count cover the first RIFF; dmlh every frame.
    const Samples legacy = ThroughLegacyIndex(f, first, shape.script.streams.size());
    const bool video = shape.script.streams[0].kind == StreamInfo::Kind::kVideo;
    uint64_t largest = 0;
    for (size_t s = 0; s < written.size(); ++s) {
      for (const Sample& sample : written[s]) largest = std::max(largest, sample.size);
      EXPECT_EQ(legacy[s],
                Samples::value_type(written[s].begin(), written[s].begin() + legacy[s].size()));
    }
    const uint64_t avih = hdrl->Find("avih")->Data();
    EXPECT_EQ(f.U32(avih), shape.microSecPerFrame);
    EXPECT_EQ(f.U32(avih + 12) & 0x10, 0x10u) << "AVIF_HASINDEX";
    EXPECT_EQ(f.U32(avih + 16), video ? legacy[0].size() : 0);
    EXPECT_EQ(f.U32(avih + 24), shape.script.streams.size());
    EXPECT_EQ(f.U32(avih + 28), largest);
    EXPECT_EQ(f.U32(avih + 32), uint32_t(video ? shape.script.streams[0].width : 0));
    EXPECT_EQ(f.U32(avih + 36), uint32_t(video ? shape.script.streams[0].height : 0));
    EXPECT_EQ(f.U32(hdrl->Find("odml")->Find("dmlh")->Data()), video ? written[0].size() : 0);

    std::vector<uint32_t> ticks;
    EXPECT_EQ(ThroughSuperIndex(f, strl, ticks), written);
    ExpectWalkedWhole(sink.bytes, shape.script.streams, written);
    for (size_t s = 0; s < strl.size(); ++s) {
      const StreamInfo& info = shape.script.streams[s];
      const bool isVideo = info.kind == StreamInfo::Kind::kVideo;
      const uint64_t strh = strl[s]->Find("strh")->Data();
      const Chunk* strf = strl[s]->Find("strf");
      uint64_t streamLargest = 0;
      for (const Sample& sample : written[s]) streamLargest = std::max(streamLargest, sample.size);
      EXPECT_EQ(f.Id(strh), isVideo ? "vids" : "auds");
      EXPECT_EQ(f.U32(strh + 4), info.handler);
      EXPECT_EQ(f.U32(strh + 20), shape.scale[s]);
      EXPECT_EQ(f.U32(strh + 24), shape.rate[s]);
      EXPECT_EQ(ticks[s], f.U32(strh + 32)) << "the super index covers the whole stream";
      EXPECT_EQ(f.U32(strh + 36), streamLargest);
      EXPECT_EQ(f.U32(strh + 44), isVideo ? 0 : info.blockAlign);
      EXPECT_EQ(f.U32(strh + 52), isVideo ? uint32_t(info.width | info.height << 16) : 0);
      EXPECT_EQ(
          std::vector<uint8_t>(f.b.begin() + strf->Data(), f.b.begin() + strf->Data() + strf->size),
          info.format);
      // OpenDML's video properties carry a display aspect ratio: X in the high word.
      const Chunk* vprp = strl[s]->Find("vprp");
      ASSERT_EQ(vprp != nullptr, info.aspectX != 0);
      if (vprp) {
        EXPECT_EQ(f.U32(vprp->Data() + 20), info.aspectX << 16 | info.aspectY);
        EXPECT_EQ(f.U32(vprp->Data() + 24), uint32_t(info.width));
        EXPECT_EQ(f.U32(vprp->Data() + 28), uint32_t(info.height));
      }
    }
  }
}

// A full disk at any point: what was accepted before it stays in a file that a
// decoder walks whole, and the failure is reported.
TEST(AviWriter, AFullDiskLeavesAWholeFileOfWhatWasAccepted) {
  const Shape shape = {
      "",
      {{Video(kI420, 64, 48, 12, 333667), Pcm(44100, 2, 16)}, {{4608}, {1764, 1768}}, 1, 40},
      {64 * 1024, 8}};
  const std::vector<uint8_t> whole = test_streams::WholeFile<AviWriter>(shape.script, shape.limits);
  const uint64_t size = whole.size();
  Chunk riffs;
  ASSERT_TRUE(File{whole}.Read(riffs, 0, size));
  // Full where the second RIFF's header goes, once the first is closed.
  const uint64_t inAvix = riffs.kids.at(1).at + 12;
  for (uint64_t capacity : {size / 4, size / 2 + 3, size * 3 / 4, size - 300, size - 20, inAvix}) {
    SCOPED_TRACE(capacity);
    MemorySink sink;
    sink.capacity = capacity;
    AviWriter writer(sink, shape.script.streams, shape.limits);
    const Samples accepted = test_streams::FillDisk(writer, shape.script);
    EXPECT_EQ(writer.WriteChunk(0, "x", 1, true), kDiskFull);
    ExpectWalkedWhole(sink.bytes, shape.script.streams, accepted);
  }
}

TEST(AviWriter, RefusesWhatNoRiffCanHold) {
  const std::vector<uint8_t> frame(9216);
  MemorySink sink;
  AviWriter tooBig(sink, {Video(0, 64, 48, 24, 400000)}, {8 * 1024, 4});
  ASSERT_EQ(tooBig.Start(), 0);
  EXPECT_EQ(tooBig.WriteChunk(0, frame.data(), frame.size(), true), AviWriter::kFileTooLarge);

  // Two frames per RIFF fill four super index slots.
  AviWriter writer(sink, {Video(0, 64, 48, 24, 400000)}, {24 * 1024, 4});
  ASSERT_EQ(writer.Start(), 0);
  int accepted = 0;
  while (writer.WriteChunk(0, frame.data(), frame.size(), true) == 0) ++accepted;
  EXPECT_EQ(writer.Finish(), AviWriter::kFileTooLarge);
  const File f{sink.bytes};
  Chunk file;
  ASSERT_TRUE(f.Read(file, 0, sink.bytes.size()));
  EXPECT_EQ(file.kids.size(), 4u);
  EXPECT_EQ(writer.Totals(0).chunks, uint64_t(accepted));
}

// A stream as "start/sizes": strh's dwStart, then its chunks' sizes in order,
// a run of one size as "count x size" ("0/3x9 2x0 9").
std::string StreamChunks(uint32_t start, const std::vector<uint32_t>& sizes) {
  std::string out = std::to_string(start) + "/";
  for (size_t i = 0, n = 1; i < sizes.size(); i += n, n = 1) {
    while (i + n < sizes.size() && sizes[i + n] == sizes[i]) ++n;
    out += (i ? " " : "") + (n > 1 ? std::to_string(n) + "x" : "") + std::to_string(sizes[i]);
  }
  return out;
}

// AVI keeps no times: every stream plays from the file's 0. A frame goes into
// the slot of its time at the rate its first frames show, a slot without a
// frame gets an empty chunk, a frame that would play more than a frame late is
// dropped; PCM and IMA ADPCM sound gets silence for its gaps and loses what
// overlaps; other sound starts (strh's dwStart) where its first sample lies.
TEST(AviWriter, KeepsTimesInFrameSlotsSilenceAndStreamStarts) {
  constexpr int64_t kMs = 10000, kDay = 86400000 * kMs;  // 100 ns units
  // count frames at perSecond frames a second from firstMs.
  const auto frames = [](int count, double perSecond, int64_t firstMs = 0) {
    std::vector<int64_t> times;
    for (int64_t i = 0; i < count; ++i)
      times.push_back(firstMs * kMs + int64_t(double(i) * 10000000 / perSecond));
    return times;
  };
  const auto join = [](std::vector<int64_t> a, const std::vector<int64_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  // clang-format off
  const struct {
    const char* name;
    std::vector<int64_t> video, audio;  // sample times; frames of 9 bytes
    const char* expectedVideo;          // StreamChunks(); 0: a dropped frame
    const char* expectedAudio;
    int64_t declared = 400000;  // frame duration, 100 ns units
    int64_t chosen = 400000;    // as strh's rate says
    StreamInfo sound = Pcm(44100, 2, 16);
    uint32_t soundBytes = 4;
    uint8_t silence = 0;
  } kCases[] = {
      {"a frame a slot", frames(3, 25), {}, "0/3x9", "0/"},
      {"frames after a gap", {0, 40 * kMs, 80 * kMs, 200 * kMs, 240 * kMs}, {}, "0/3x9 2x0 2x9", "0/"},
      {"24 frames a second at a declared 25", frames(48, 24), {}, "0/48x9", "0/", 400000, 416667},
      {"30 frames a second at a declared 25", frames(60, 30), {}, "0/60x9", "0/", 400000, 333333},
      {"29.97 frames a second declared", frames(30, 30000 / 1001.0), {}, "0/30x9", "0/", 333667, 333667},
      {"no rate declared", frames(10, 30), {}, "0/10x9", "0/", 0, 333333},
      {"30 then 15 frames a second, declared 22.5", join(frames(30, 30), frames(4, 15, 1000)), {},
       "0/31x9 0 9 0 9 0 9", "0/", 444444, 333333},
      // Frames that come faster than the rate: one in two is left out, and
      // none plays more than a frame late.
      {"15 then 30 frames a second", join(frames(30, 15), frames(10, 30, 2000)), {}, "0/36x9", "0/",
       666667, 666667},
      // The picture lasts as long as the sound, to within a frame.
      {"sound 0.5 s after the picture", frames(2, 25), {500 * kMs, 501 * kMs}, "0/2x9 10x0",
       "0/88200 2x4"},
      {"picture 0.48 s after the sound", frames(2, 25, 480), {0}, "0/12x0 2x9", "0/4"},
      {"picture 21 ms after the sound", frames(3, 25, 21), {0}, "0/0 3x9", "0/4"},
      {"a jump of days is no gap", {0, kDay}, {}, "0/2x9", "0/"},
      {"a drop after a jump of days", {0, 40 * kMs, kDay, kDay + 40 * kMs, kDay + 480 * kMs}, {},
       "0/4x9 10x0 9", "0/"},
      {"a 1 s hole in the sound", {}, {0, 1000 * kMs}, "0/", "0/4 176396 4"},
      {"sound over itself", {}, {0, 0, 2 * kMs}, "0/", "0/1764 352", 400000, 400000,
       Pcm(44100, 2, 16), 1764},
      {"8-bit sound", {}, {500 * kMs}, "0/", "0/4000 4", 400000, 400000, Pcm(8000, 1, 8), 4, 0x80},
      {"IMA ADPCM sound", {}, {500 * kMs}, "0/", "0/5632 512", 400000, 400000,
       test_streams::ImaAdpcm(22050, 1), 512},
      {"MP3 sound", {}, {500 * kMs}, "0/", "8000/4", 400000, 400000,
       test_streams::Audio(0x55, 44100, 2, 0, 1, 16000)},
  };
  // clang-format on
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    MemorySink sink;
    AviWriter writer(sink, {Video(0, 2, 1, 24, c.declared), c.sound});
    ASSERT_EQ(writer.Start(), 0);
    const std::vector<uint8_t> frame(9, 1), block(c.soundBytes, 2);
    for (int64_t time : c.video) ASSERT_EQ(writer.Write(0, frame.data(), 9, true, time), 0);
    for (int64_t time : c.audio)
      ASSERT_EQ(writer.Write(1, block.data(), block.size(), true, time), 0);
    ASSERT_EQ(writer.Finish(), 0);
    const File f{sink.bytes};
    Chunk file;
    ASSERT_TRUE(f.Read(file, 0, sink.bytes.size()));
    std::vector<std::vector<uint32_t>> chunks(2);
    for (const Chunk& chunk : file.kids[0].Find("movi")->kids) {
      if (chunk.id.substr(0, 2) == "ix") continue;
      const size_t s = std::stoi(chunk.id.substr(0, 2));
      chunks[s].push_back(chunk.size);
      if (s == 1 && f.b[chunk.Data()] != 2) EXPECT_EQ(f.b[chunk.Data()], c.silence);
    }
    std::vector<std::string> found;
    for (const Chunk& strl : file.kids[0].Find("hdrl")->kids) {
      if (strl.type != "strl") continue;
      const uint64_t strh = strl.Find("strh")->Data();
      const size_t s = found.size();
      const uint64_t bytes = std::accumulate(chunks[s].begin(), chunks[s].end(), 0ull);
      EXPECT_EQ(f.U32(strh + 32), s == 0 ? chunks[0].size() : bytes / c.sound.blockAlign) << s;
      if (s == 0) EXPECT_EQ(f.U32(strh + 20) * 10000000ull / f.U32(strh + 24), c.chosen);
      found.push_back(StreamChunks(f.U32(strh + 28), chunks[s]));
    }
    EXPECT_EQ(found, (std::vector<std::string>{c.expectedVideo, c.expectedAudio}));
  }
}

// The order that every writer keeps through ContainerWriter, shown on AVI:
// Start once, then samples of its own streams, then Finish.
TEST(ContainerWriter, TakesSamplesOnlyBetweenStartAndFinish) {
  constexpr int32_t kUnexpected = ContainerWriter::kUnexpected;
  MemorySink sink;
  AviWriter writer(sink, {Video(0, 2, 1, 24, 400000)});
  EXPECT_EQ(writer.Write(0, "frame", 6, true, 0), kUnexpected);
  EXPECT_EQ(writer.Finish(), kUnexpected);
  ASSERT_EQ(writer.Start(), 0);
  EXPECT_EQ(writer.Start(), kUnexpected);
  EXPECT_EQ(writer.Write(1, "frame", 6, true, 0), kUnexpected) << "no stream 1";
  ASSERT_EQ(writer.Write(0, "frame", 6, true, 0), 0);
  ASSERT_EQ(writer.Finish(), 0);
  const std::vector<uint8_t> finished = sink.bytes;
  EXPECT_EQ(writer.Write(0, "frame", 6, true, 400000), kUnexpected);
  EXPECT_EQ(writer.Finish(), 0);
  EXPECT_EQ(sink.bytes, finished);
}

TEST(StandardIndex, RefusesWhatItsFieldsCannotHold) {
  const struct {
    uint64_t dataOffset;
    uint32_t size;
    bool stored;
  } cases[] = {{1000, 0x7FFFFFFF, true},
               {1000 + 0xFFFFFFFFull, 4, true},
               {1000 + 0x100000000ull, 4, false},
               {999, 4, false},
               {2000, 0x80000000u, false}};
  for (const auto& c : cases) {
    StandardIndex index;
    index.Reset(1000);
    EXPECT_EQ(index.Add(c.dataOffset, c.size, true), c.stored) << c.dataOffset << " " << c.size;
  }
}

}  // namespace
