#include "standins/mkv/MatroskaWriter.h"

#include <limits>
#include <utility>

#include "standins/mkv/EbmlBytes.h"
#include "standins/mkv/MatroskaIds.h"
#include "standins/mux/FileSink.h"
#include "standins/mux/SampleEnd.h"

namespace {

constexpr size_t kMaxTracks = 126;          // track numbers in one byte in the blocks
constexpr uint64_t kClusterHeadBytes = 12;  // ID, 8-byte size
constexpr uint64_t kBlockHeadBytes = 4;     // track number, relative time, flags
constexpr int64_t k100nsPerMs = 10000;
constexpr size_t kBitmapHeaderBytes = 40;
constexpr size_t kWaveFormatBytes = 16;

bool Valid(const StreamInfo& info) {
  if (info.kind == StreamInfo::Kind::kAudio)
    return info.sampleRate > 0 && info.channels > 0 && info.bytesPerSecond > 0 &&
           (info.pcm ? info.bitsPerSample > 0 : info.format.size() >= kWaveFormatBytes);
  return info.width > 0 && info.height > 0 && info.format.size() >= kBitmapHeaderBytes;
}

}  // namespace

MatroskaWriter::MatroskaWriter(FileSink& sink, std::vector<StreamInfo> streams, Limits limits)
    : ContainerWriter(streams.size()),
      m_sink(sink),
      m_streams(std::move(streams)),
      m_limits(limits),
      m_refresh(limits.refresh) {
  m_ends.assign(m_streams.size(), 0);
  m_cueTrack = m_streams.size();
  for (size_t i = 0; i < m_streams.size() && m_cueTrack == m_streams.size(); ++i)
    if (m_streams[i].kind == StreamInfo::Kind::kVideo) m_cueTrack = i;
}

bool MatroskaWriter::Acceptable() const {
  if (m_streams.empty() || m_streams.size() > kMaxTracks) return false;
  for (const StreamInfo& info : m_streams)
    if (!Valid(info)) return false;
  return true;
}

// The EBML header, the Segment of unknown size, the SeekHead (without Cues
// until there are some), Info and Tracks.
int32_t MatroskaWriter::WriteHead() {
  EbmlBytes head;
  AppendEbmlHeader(head);
  head.Id(mkv::kSegment);
  head.Size8(kEbmlUnknownSize);
  m_segmentData = head.Size();
  EbmlBytes seekHead, info;
  AppendSeekHead(seekHead, 0, 0, 0);
  const size_t durationInInfo = AppendInfo(info);
  m_info = seekHead.Size();
  m_tracks = m_info + info.Size();
  AppendSeekHead(head, m_info, m_tracks, 0);
  m_duration = head.Size() + durationInInfo;
  head.Append(info.Data().data(), info.Size());
  AppendTracks(head, m_streams);
  const int32_t status = Append(head.Data());
  m_refresh.Done(m_end);
  return status;
}

int32_t MatroskaWriter::WriteSample(size_t stream, const void* data, size_t size, bool keyFrame,
                                    int64_t time) {
  if (m_streams[stream].kind == StreamInfo::Kind::kAudio)
    keyFrame = true;  // no frame depends on another
  if (time < 0) time = 0;
  const int64_t timeMs = time / k100nsPerMs;
  int32_t status = size > kEbmlMaxSize - kBlockHeadBytes ? kFileTooLarge : 0;
  if (status == 0 && NeedsCluster(stream, keyFrame, timeMs)) status = OpenCluster(timeMs);
  const uint64_t blockStart = m_end;
  if (status == 0) status = WriteBlock(stream, data, size, keyFrame, timeMs);
  if (status != 0) return status;
  RecordBlock(stream, size, keyFrame, time, timeMs, blockStart);
  if (!m_refresh.Due(time, m_end)) return 0;
  m_refresh.Done(m_end);
  return WriteDuration();
}

int32_t MatroskaWriter::WriteEnd() {
  // Readers find the Segment's end by its first Cluster: a file without a
  // sample gets an empty one.
  const int32_t empty = m_cluster == 0 && Failure() == 0 ? OpenCluster(0) : 0;
  const int32_t cluster = empty == 0 ? CloseCluster() : empty;
  const int32_t cues = cluster == 0 ? WriteCues() : 0;  // never after a cluster left open
  const int32_t closing = WriteClosingFields();
  const int32_t cut = m_sink.Truncate(m_end);
  return FirstFailure({cluster, cues, closing, cut});
}

bool MatroskaWriter::NeedsCluster(size_t stream, bool keyFrame, int64_t timeMs) const {
  if (!m_clusterOpen) return true;
  const int64_t relative = timeMs - m_clusterTime;
  if (relative > std::numeric_limits<int16_t>::max() ||
      relative < std::numeric_limits<int16_t>::min())
    return true;
  const bool boundary = m_cueTrack == m_streams.size() || (stream == m_cueTrack && keyFrame);
  return boundary && (relative * k100nsPerMs >= m_limits.clusterSpan ||
                      m_end - m_cluster >= m_limits.clusterBytes);
}

int32_t MatroskaWriter::OpenCluster(int64_t timeMs) {
  int32_t status = CloseCluster();
  if (status != 0) return status;
  EbmlBytes head;
  head.Id(mkv::kCluster);
  head.Size8(kEbmlUnknownSize);
  head.Uint(mkv::kTimestamp, static_cast<uint64_t>(timeMs));
  const uint64_t at = m_end;
  status = Append(head.Data());
  if (status != 0) return status;
  m_cluster = at;
  m_clusterTime = timeMs;
  m_clusterOpen = true;
  m_clusterHasCue = false;
  return 0;
}

int32_t MatroskaWriter::CloseCluster() {
  if (!m_clusterOpen) return 0;
  const int32_t status = PatchSize8(m_cluster + 4, m_end - (m_cluster + kClusterHeadBytes));
  if (status == 0) m_clusterOpen = false;
  return status;
}

int32_t MatroskaWriter::WriteBlock(size_t stream, const void* data, size_t size, bool keyFrame,
                                   int64_t timeMs) {
  const int64_t relative = timeMs - m_clusterTime;
  EbmlBytes head;
  head.Id(mkv::kSimpleBlock);
  head.Size(size + kBlockHeadBytes);
  const uint16_t relativeBits = static_cast<uint16_t>(static_cast<int16_t>(relative));
  const uint8_t block[kBlockHeadBytes] = {
      static_cast<uint8_t>(0x80 | (stream + 1)),  // the track number as a 1-byte size
      static_cast<uint8_t>(relativeBits >> 8), static_cast<uint8_t>(relativeBits),
      keyFrame ? mkv::kKeyFrameFlag : uint8_t{0}};
  head.Append(block, sizeof block);
  int32_t status = m_sink.WriteAt(m_end, head.Data().data(), head.Size());
  if (status == 0 && size > 0) status = m_sink.WriteAt(m_end + head.Size(), data, size);
  if (status == 0) m_end += head.Size() + size;
  return status;
}

// at: where the block starts in the file.
void MatroskaWriter::RecordBlock(size_t stream, size_t size, bool keyFrame, int64_t time,
                                 int64_t timeMs, uint64_t at) {
  const int64_t end = SampleEnd(m_streams[stream], time, size);
  if (end > m_ends[stream]) m_ends[stream] = end;
  if (stream != m_cueTrack || !keyFrame || m_clusterHasCue) return;
  m_cues.push_back({static_cast<uint64_t>(timeMs), stream + 1, m_cluster - m_segmentData,
                    at - (m_cluster + kClusterHeadBytes)});
  m_clusterHasCue = true;
}

int32_t MatroskaWriter::WriteCues() {
  if (m_cues.empty()) return 0;
  EbmlBytes cues;
  AppendCues(cues, m_cues);
  const uint64_t at = m_end;
  const int32_t status = Append(cues.Data());
  if (status == 0) m_cuesPosition = at - m_segmentData;
  return status;
}

// The SeekHead (to the Cues when they were written), the duration and the
// Segment's size. Each is written even when one before failed.
int32_t MatroskaWriter::WriteClosingFields() {
  EbmlBytes seekHead;
  AppendSeekHead(seekHead, m_info, m_tracks, m_cuesPosition);
  const int32_t seek = m_sink.WriteAt(m_segmentData, seekHead.Data().data(), seekHead.Size());
  const int32_t length = WriteDuration();
  const int32_t segment = PatchSize8(m_segmentData - 8, m_end - m_segmentData);
  return FirstFailure({seek, length, segment});
}

// In place of the Void or the Duration before; nothing while it is 0.
int32_t MatroskaWriter::WriteDuration() {
  const double durationMs = DurationMs();
  if (durationMs <= 0) return 0;
  EbmlBytes duration;
  AppendDuration(duration, durationMs);
  return m_sink.WriteAt(m_duration, duration.Data().data(), duration.Size());
}

int32_t MatroskaWriter::PatchSize8(uint64_t field, uint64_t size) {
  uint8_t bytes[8];
  PutEbmlSize8(bytes, size);
  return m_sink.WriteAt(field, bytes, sizeof bytes);
}

int32_t MatroskaWriter::Append(const std::vector<uint8_t>& bytes) {
  const int32_t status = m_sink.WriteAt(m_end, bytes.data(), bytes.size());
  if (status == 0) m_end += bytes.size();
  return status;
}

double MatroskaWriter::DurationMs() const {
  int64_t end = 0;
  for (int64_t streamEnd : m_ends)
    if (streamEnd > end) end = streamEnd;
  return static_cast<double>(end) / k100nsPerMs;
}
