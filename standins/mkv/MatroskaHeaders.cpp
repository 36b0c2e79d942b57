#include "standins/mkv/MatroskaHeaders.h"

#include "standins/mkv/EbmlBytes.h"
#include "standins/mkv/MatroskaIds.h"

namespace {

constexpr uint64_t kNanosecondsPer100ns = 100;
constexpr uint64_t kDurationBytes = 11;  // 2-byte ID, 1-byte size, an 8-byte float

void AppendSeek(EbmlBytes& out, uint32_t id, uint64_t position) {
  const size_t seek = out.Begin(mkv::kSeek);
  uint8_t idBytes[4];
  PutBigEndian(idBytes, id, 4);  // every top-level ID is 4 bytes long
  out.Binary(mkv::kSeekId, idBytes, sizeof idBytes);
  out.Uint8Bytes(mkv::kSeekPosition, position);
  out.End(seek);
}

void AppendVideo(EbmlBytes& out, const StreamInfo& info) {
  if (info.frameDuration > 0)
    out.Uint(mkv::kDefaultDuration,
             static_cast<uint64_t>(info.frameDuration) * kNanosecondsPer100ns);
  out.Binary(mkv::kCodecPrivate, info.format.data(), info.format.size());
  const size_t video = out.Begin(mkv::kVideo);
  out.Uint(mkv::kPixelWidth, static_cast<uint64_t>(info.width));
  out.Uint(mkv::kPixelHeight, static_cast<uint64_t>(info.height));
  if (info.aspectX != 0) {
    // In pixels (the default unit): as tall as the picture, as wide as the ratio makes it.
    const uint64_t height = static_cast<uint64_t>(info.height);
    const uint64_t width = (height * info.aspectX + info.aspectY / 2) / info.aspectY;
    out.Uint(mkv::kDisplayWidth, width > 0 ? width : 1);
    out.Uint(mkv::kDisplayHeight, height);
  }
  out.End(video);
}

void AppendAudio(EbmlBytes& out, const StreamInfo& info) {
  if (!info.pcm) out.Binary(mkv::kCodecPrivate, info.format.data(), info.format.size());
  const size_t audio = out.Begin(mkv::kAudio);
  out.Float(mkv::kSamplingFrequency, static_cast<double>(info.sampleRate));
  out.Uint(mkv::kChannels, info.channels);
  if (info.bitsPerSample > 0) out.Uint(mkv::kBitDepth, info.bitsPerSample);
  out.End(audio);
}

}  // namespace

const char* MatroskaCodecId(const StreamInfo& info) {
  if (info.kind == StreamInfo::Kind::kVideo) return "V_MS/VFW/FOURCC";
  return info.pcm ? "A_PCM/INT/LIT" : "A_MS/ACM";
}

void AppendEbmlHeader(EbmlBytes& out) {
  const size_t header = out.Begin(mkv::kEbml);
  out.Uint(mkv::kEbmlVersion, 1);
  out.Uint(mkv::kEbmlReadVersion, 1);
  out.Uint(mkv::kEbmlMaxIdLength, 4);
  out.Uint(mkv::kEbmlMaxSizeLength, 8);
  out.String(mkv::kDocType, "matroska");
  out.Uint(mkv::kDocTypeVersion, 4);      // CueRelativePosition
  out.Uint(mkv::kDocTypeReadVersion, 2);  // SimpleBlock
  out.End(header);
}

void AppendSeekHead(EbmlBytes& out, uint64_t info, uint64_t tracks, uint64_t cues) {
  const size_t start = out.Size();
  const size_t seekHead = out.Begin(mkv::kSeekHead);
  AppendSeek(out, mkv::kInfo, info);
  AppendSeek(out, mkv::kTracks, tracks);
  if (cues != 0) AppendSeek(out, mkv::kCues, cues);
  out.End(seekHead);
  if (cues != 0) return;
  EbmlBytes full;
  AppendSeekHead(full, info, tracks, 1);
  out.Void(full.Size() - (out.Size() - start));
}

size_t AppendInfo(EbmlBytes& out) {
  const size_t info = out.Begin(mkv::kInfo);
  out.Uint(mkv::kTimestampScale, kMatroskaTimestampScale);
  out.String(mkv::kMuxingApp, "standin multiplexer");
  out.String(mkv::kWritingApp, "standin multiplexer");
  const size_t duration = out.Size();
  out.Void(kDurationBytes);
  out.End(info);
  return duration;
}

void AppendDuration(EbmlBytes& out, double durationMs) { out.Float(mkv::kDuration, durationMs); }

void AppendTracks(EbmlBytes& out, const std::vector<StreamInfo>& streams) {
  const size_t tracks = out.Begin(mkv::kTracks);
  for (size_t i = 0; i < streams.size(); ++i) {
    const StreamInfo& info = streams[i];
    const bool video = info.kind == StreamInfo::Kind::kVideo;
    const size_t entry = out.Begin(mkv::kTrackEntry);
    out.Uint(mkv::kTrackNumber, i + 1);
    out.Uint(mkv::kTrackUid, i + 1);
    out.Uint(mkv::kTrackType, video ? mkv::kTrackTypeVideo : mkv::kTrackTypeAudio);
    out.Uint(mkv::kFlagLacing, 0);
    out.String(mkv::kLanguage, "und");
    out.String(mkv::kCodecId, MatroskaCodecId(info));
    if (video)
      AppendVideo(out, info);
    else
      AppendAudio(out, info);
    out.End(entry);
  }
  out.End(tracks);
}

void AppendCues(EbmlBytes& out, const std::vector<MatroskaCue>& cues) {
  const size_t all = out.Begin(mkv::kCues);
  for (const MatroskaCue& cue : cues) {
    const size_t point = out.Begin(mkv::kCuePoint);
    out.Uint(mkv::kCueTime, cue.time);
    const size_t positions = out.Begin(mkv::kCueTrackPositions);
    out.Uint(mkv::kCueTrack, cue.track);
    out.Uint(mkv::kCueClusterPosition, cue.clusterPosition);
    out.Uint(mkv::kCueRelativePosition, cue.relativePosition);
    out.End(positions);
    out.End(point);
  }
  out.End(all);
}
