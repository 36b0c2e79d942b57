#include "standins/avi/AviHeaders.h"

#include <cmath>
#include <limits>
#include <numeric>

#include "standins/avi/RiffBytes.h"
#include "standins/mux/SampleEnd.h"

namespace {

constexpr uint32_t kHasIndex = 0x10;        // AVIF_HASINDEX
constexpr uint32_t kIsInterleaved = 0x100;  // AVIF_ISINTERLEAVED
constexpr int64_t kUnitsPerSecond = 10000000;
constexpr size_t kDmlhBytes = 248;

struct Rate {
  uint32_t scale;
  uint32_t rate;
};

Rate StreamRate(const StreamInfo& info) {
  if (info.kind == StreamInfo::Kind::kAudio) return {info.blockAlign, info.bytesPerSecond};
  const int64_t duration = FrameDuration(info);
  const int64_t divisor = std::gcd(duration, kUnitsPerSecond);
  return {Clamp32(static_cast<uint64_t>(duration / divisor)),
          static_cast<uint32_t>(kUnitsPerSecond / divisor)};
}

double StreamSeconds(const StreamInfo& info, const AviStreamTotals& totals) {
  const Rate rate = StreamRate(info);
  if (rate.rate == 0) return 0;
  return static_cast<double>(StreamTicks(info, totals.chunks, totals.bytes)) * rate.scale /
         rate.rate;
}

const StreamInfo* FirstVideo(const std::vector<StreamInfo>& streams) {
  for (const StreamInfo& info : streams)
    if (info.kind == StreamInfo::Kind::kVideo) return &info;
  return nullptr;
}

uint32_t MaxBytesPerSecond(const AviHeaderInput& input) {
  double seconds = 0;
  uint64_t bytes = 0;
  for (size_t i = 0; i < input.streams->size(); ++i) {
    const double streamSeconds = StreamSeconds((*input.streams)[i], (*input.totals)[i]);
    if (streamSeconds > seconds) seconds = streamSeconds;
    bytes += (*input.totals)[i].bytes;
  }
  if (seconds <= 0) return 0;
  const double perSecond = static_cast<double>(bytes) / seconds;
  return perSecond >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(perSecond);
}

void AppendMainHeader(RiffBytes& out, const AviHeaderInput& input) {
  const StreamInfo* video = FirstVideo(*input.streams);
  uint64_t firstRiffFrames = 0;
  uint32_t largest = 0;
  for (size_t i = 0; i < input.streams->size(); ++i) {
    const AviStreamTotals& totals = (*input.totals)[i];
    if (&(*input.streams)[i] == video) firstRiffFrames = totals.chunksInFirstRiff;
    if (totals.largestChunk > largest) largest = totals.largestChunk;
  }
  const size_t chunk = out.Begin(MakeFourCc('a', 'v', 'i', 'h'));
  out.U32(video ? Clamp32(static_cast<uint64_t>((FrameDuration(*video) + 5) / 10)) : 0);
  out.U32(MaxBytesPerSecond(input));
  out.U32(0);  // padding granularity
  out.U32(kIsInterleaved | (input.hasLegacyIndex ? kHasIndex : 0));
  out.U32(Clamp32(firstRiffFrames));
  out.U32(0);  // initial frames
  out.U32(Clamp32(input.streams->size()));
  out.U32(largest);
  out.U32(video ? static_cast<uint32_t>(video->width) : 0);
  out.U32(video ? static_cast<uint32_t>(video->height) : 0);
  out.Zeros(16);
  out.End(chunk);
}

void AppendStreamHeader(RiffBytes& out, const StreamInfo& info, const AviStreamTotals& totals) {
  const bool video = info.kind == StreamInfo::Kind::kVideo;
  const Rate rate = StreamRate(info);
  const size_t chunk = out.Begin(MakeFourCc('s', 't', 'r', 'h'));
  out.U32(video ? MakeFourCc('v', 'i', 'd', 's') : MakeFourCc('a', 'u', 'd', 's'));
  out.U32(info.handler);
  out.U32(0);  // flags
  out.U16(0);  // priority
  out.U16(0);  // language
  out.U32(0);  // initial frames
  out.U32(rate.scale);
  out.U32(rate.rate);
  out.U32(Clamp32(totals.startTicks));
  out.U32(Clamp32(StreamTicks(info, totals.chunks, totals.bytes)));
  out.U32(totals.largestChunk);
  out.U32(0xFFFFFFFFu);  // quality: the default
  out.U32(video ? 0 : info.blockAlign);
  out.U16(0);
  out.U16(0);
  out.U16(video ? static_cast<uint16_t>(info.width) : 0);
  out.U16(video ? static_cast<uint16_t>(info.height) : 0);
  out.End(chunk);
}

// OpenDML's video properties, written for the display aspect ratio: one
// progressive field, all of the picture valid.
void AppendVideoProperties(RiffBytes& out, const StreamInfo& info) {
  const Rate rate = StreamRate(info);
  const auto width = static_cast<uint32_t>(info.width), height = static_cast<uint32_t>(info.height);
  const size_t chunk = out.Begin(MakeFourCc('v', 'p', 'r', 'p'));
  out.U32(0);  // video format token: unknown
  out.U32(0);  // video standard: unknown
  out.U32(rate.scale ? (rate.rate + rate.scale / 2) / rate.scale : 0);  // refresh, per second
  out.U32(width);
  out.U32(height);
  out.U32(info.aspectX << 16 | info.aspectY);
  out.U32(width);
  out.U32(height);
  out.U32(1);  // fields per frame
  for (uint32_t value : {height, width, height, width}) out.U32(value);
  out.Zeros(16);  // the valid part's offsets
  out.End(chunk);
}

}  // namespace

uint64_t StreamTicks(const StreamInfo& info, uint64_t chunks, uint64_t bytes) {
  if (info.kind == StreamInfo::Kind::kVideo) return chunks;
  return info.blockAlign ? bytes / info.blockAlign : 0;
}

uint64_t StreamTicksAt(const StreamInfo& info, int64_t time) {
  const Rate rate = StreamRate(info);
  if (time <= 0 || rate.scale == 0) return 0;
  const double exact = static_cast<double>(time) * rate.rate /
                       (static_cast<double>(rate.scale) * kUnitsPerSecond);
  const double ticks = std::round(exact);
  constexpr uint64_t kMax = std::numeric_limits<uint64_t>::max();
  return ticks >= static_cast<double>(kMax) ? kMax : static_cast<uint64_t>(ticks);
}

uint32_t AviDataChunkId(size_t stream, const StreamInfo& info) {
  if (info.kind == StreamInfo::Kind::kAudio) return StreamChunkId(stream, 'w', 'b');
  return StreamChunkId(stream, 'd', info.compressed ? 'c' : 'b');
}

void AppendHeaderList(RiffBytes& out, const AviHeaderInput& input) {
  const size_t hdrl = out.BeginList(MakeFourCc('L', 'I', 'S', 'T'), MakeFourCc('h', 'd', 'r', 'l'));
  AppendMainHeader(out, input);
  uint64_t totalFrames = 0;
  for (size_t i = 0; i < input.streams->size(); ++i) {
    const StreamInfo& info = (*input.streams)[i];
    const AviStreamTotals& totals = (*input.totals)[i];
    if (&info == FirstVideo(*input.streams)) totalFrames = totals.chunks;
    const size_t strl =
        out.BeginList(MakeFourCc('L', 'I', 'S', 'T'), MakeFourCc('s', 't', 'r', 'l'));
    AppendStreamHeader(out, info, totals);
    const size_t strf = out.Begin(MakeFourCc('s', 't', 'r', 'f'));
    out.Append(info.format.data(), info.format.size());
    out.End(strf);
    if (info.aspectX != 0) AppendVideoProperties(out, info);
    AppendSuperIndex(out, AviDataChunkId(i, info), totals.superIndex, input.superIndexSlots);
    out.End(strl);
  }
  const size_t odml = out.BeginList(MakeFourCc('L', 'I', 'S', 'T'), MakeFourCc('o', 'd', 'm', 'l'));
  const size_t dmlh = out.Begin(MakeFourCc('d', 'm', 'l', 'h'));
  out.U32(Clamp32(totalFrames));
  out.Zeros(kDmlhBytes - 4);
  out.End(dmlh);
  out.End(odml);
  out.End(hdrl);
}
