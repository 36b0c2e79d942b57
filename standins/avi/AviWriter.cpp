#include "standins/avi/AviWriter.h"

#include <utility>

#include "standins/mux/FileSink.h"
#include "standins/avi/RiffBytes.h"

namespace {

constexpr size_t kMaxStreams = 100;             // two decimal digits in chunk ids
constexpr uint64_t kRiffHeadBytes = 12;         // "RIFF", size, type
constexpr uint64_t kListHeadBytes = 12;         // "LIST", size, type
constexpr uint64_t kChunkHeadBytes = 8;         // id, size
constexpr uint64_t kMaxChunkData = 0x7FFFFFFF;  // the standard index keeps 31 bits
constexpr size_t kBitmapHeaderBytes = 40;
constexpr size_t kWaveFormatBytes = 16;
// Empty chunks written for one gap at most: an hour at 25 frames per second.
// A larger jump in time is taken as a fault of the times, not as a gap.
constexpr uint64_t kMaxDroppedFrames = 90000;

bool Valid(const StreamInfo& info) {
  if (info.kind == StreamInfo::Kind::kAudio)
    return info.blockAlign > 0 && info.bytesPerSecond > 0 && info.format.size() >= kWaveFormatBytes;
  return info.width > 0 && info.height > 0 && info.width <= 0xFFFF && info.height <= 0xFFFF &&
         info.format.size() >= kBitmapHeaderBytes;
}

}  // namespace

AviWriter::AviWriter(FileSink& sink, std::vector<StreamInfo> streams, Limits limits)
    : ContainerWriter(streams.size()),
      m_sink(sink),
      m_streams(std::move(streams)),
      m_limits(limits),
      m_refresh(limits.refresh) {
  // RIFF sizes and standard index offsets are 32-bit.
  if (m_limits.riffBytes > 0xFFFFFFFFu) m_limits.riffBytes = 0xFFFFFFFFu;
  m_state.resize(m_streams.size());
  m_totals.resize(m_streams.size());
  for (size_t i = 0; i < m_streams.size(); ++i)
    m_state[i].chunkId = AviDataChunkId(i, m_streams[i]);
}

bool AviWriter::Acceptable() const {
  if (m_streams.empty() || m_streams.size() > kMaxStreams || m_limits.superIndexSlots == 0)
    return false;
  for (const StreamInfo& info : m_streams)
    if (!Valid(info)) return false;
  return true;
}

int32_t AviWriter::WriteHead() {
  RiffBytes head;
  head.BeginList(MakeFourCc('R', 'I', 'F', 'F'), MakeFourCc('A', 'V', 'I', ' '));
  AppendHeaderList(head, {&m_streams, &m_totals, m_limits.superIndexSlots, false});
  m_headerListBytes = head.Size() - kRiffHeadBytes;
  head.BeginList(MakeFourCc('L', 'I', 'S', 'T'), MakeFourCc('m', 'o', 'v', 'i'));
  const int32_t status = Append(head.Data());
  if (status != 0) return status;
  m_riffStart = 0;
  m_moviStart = m_end - kListHeadBytes;
  m_riffCount = 1;
  m_riffOpen = true;
  m_refresh.Done(m_end);
  for (StreamState& state : m_state) state.pending.Reset(m_riffStart);
  return 0;
}

int32_t AviWriter::WriteSample(size_t stream, const void* data, size_t size, bool keyFrame,
                               int64_t time) {
  StreamState& state = m_state[stream];
  const StreamInfo& info = m_streams[stream];
  const bool video = info.kind == StreamInfo::Kind::kVideo;
  if (!state.started) {
    if (video) m_totals[stream].startTicks = StreamTicksAt(info, time, true);
    state.firstTime = time;
    state.started = true;
  } else if (video) {
    const int32_t status = FillSlotsBefore(stream, time);
    if (status != 0) return status;
  }
  // Every block of sound stands alone, whatever upstream says.
  int32_t status = AddChunk(stream, data, size, keyFrame || !video);
  if (status == 0 && m_refresh.Due(time, m_end)) status = Refresh();
  return status;
}

int32_t AviWriter::FillSlotsBefore(size_t stream, int64_t time) {
  const AviStreamTotals& totals = m_totals[stream];
  const int64_t sinceFirst = time > m_state[stream].firstTime ? time - m_state[stream].firstTime : 0;
  const uint64_t slot = totals.startTicks + StreamTicksAt(m_streams[stream], sinceFirst);
  const uint64_t next = totals.startTicks + totals.chunks;
  if (slot <= next || slot - next > kMaxDroppedFrames) return 0;
  for (uint64_t i = next; i < slot; ++i) {
    const int32_t status = AddChunk(stream, nullptr, 0, false);
    if (status != 0) return status;
  }
  return 0;
}

int32_t AviWriter::WriteChunk(size_t stream, const void* data, size_t size, bool keyFrame) {
  const int32_t refusal = Refusal(stream);
  if (refusal != 0) return refusal;
  return Keep(AddChunk(stream, data, size, keyFrame));
}

int32_t AviWriter::AddChunk(size_t stream, const void* data, size_t size, bool keyFrame) {
  int32_t status = size > kMaxChunkData ? kFileTooLarge : 0;
  if (status == 0) status = MakeRoomFor(stream, size + (size & 1));
  if (status == 0) status = WriteData(stream, data, size);
  if (status != 0) return status;
  RecordChunk(stream, static_cast<uint32_t>(size), keyFrame);
  return 0;
}

int32_t AviWriter::WriteEnd() {
  // A RIFF closed before a failed start of the next is not closed again: its
  // movi list would take in the indexes after it.
  const int32_t close = m_riffOpen ? CloseRiff() : 0;
  const int32_t head = WriteHeaderList();
  const int32_t cut = m_sink.Truncate(m_end);
  return FirstFailure({close, head, cut});
}

// The current RIFF's size once this chunk and every index it needs are in.
uint64_t AviWriter::RiffBytesWith(size_t stream, uint64_t paddedSize) const {
  uint64_t bytes = m_end - m_riffStart + kChunkHeadBytes + paddedSize;
  for (size_t i = 0; i < m_state.size(); ++i) {
    const uint64_t entries = m_state[i].pending.Count() + (i == stream ? 1 : 0);
    if (entries > 0) bytes += StandardIndex::ChunkBytes(entries);
  }
  if (InFirstRiff()) bytes += LegacyIndex::ChunkBytes(m_legacy.Count() + 1);
  return bytes;
}

bool AviWriter::RiffHasChunks() const {
  for (const StreamState& state : m_state)
    if (state.pending.Count() > 0) return true;
  return false;
}

int32_t AviWriter::MakeRoomFor(size_t stream, uint64_t paddedSize) {
  if (RiffBytesWith(stream, paddedSize) <= m_limits.riffBytes) return 0;
  const uint64_t inEmptyRiff =
      kRiffHeadBytes + kListHeadBytes + kChunkHeadBytes + paddedSize + StandardIndex::ChunkBytes(1);
  if (!RiffHasChunks() || inEmptyRiff > m_limits.riffBytes ||
      m_riffCount >= m_limits.superIndexSlots)
    return kFileTooLarge;
  const int32_t status = CloseRiff();
  return status != 0 ? status : OpenRiff(MakeFourCc('A', 'V', 'I', 'X'));
}

int32_t AviWriter::WriteData(size_t stream, const void* data, size_t size) {
  uint8_t head[kChunkHeadBytes];
  PutLittleEndian(head, m_state[stream].chunkId, 4);
  PutLittleEndian(head + 4, static_cast<uint32_t>(size), 4);
  int32_t status = m_sink.WriteAt(m_end, head, sizeof head);
  if (status == 0 && size > 0) status = m_sink.WriteAt(m_end + kChunkHeadBytes, data, size);
  const uint8_t pad = 0;
  if (status == 0 && size % 2) status = m_sink.WriteAt(m_end + kChunkHeadBytes + size, &pad, 1);
  return status;
}

void AviWriter::RecordChunk(size_t stream, uint32_t size, bool keyFrame) {
  AviStreamTotals& totals = m_totals[stream];
  m_state[stream].pending.Add(m_end + kChunkHeadBytes, size, keyFrame);
  if (InFirstRiff()) {
    m_legacy.Add(m_state[stream].chunkId, keyFrame, m_end - (m_moviStart + 8), size);
    ++totals.chunksInFirstRiff;
  }
  ++totals.chunks;
  totals.bytes += size;
  if (size > totals.largestChunk) totals.largestChunk = size;
  m_end += kChunkHeadBytes + size + (size & 1);
}

int32_t AviWriter::OpenRiff(uint32_t type) {
  RiffBytes head;
  head.BeginList(MakeFourCc('R', 'I', 'F', 'F'), type);
  head.BeginList(MakeFourCc('L', 'I', 'S', 'T'), MakeFourCc('m', 'o', 'v', 'i'));
  const uint64_t start = m_end;
  const int32_t status = Append(head.Data());
  if (status != 0) return status;
  m_riffStart = start;
  m_moviStart = start + kRiffHeadBytes;
  ++m_riffCount;
  m_riffOpen = true;
  for (StreamState& state : m_state) state.pending.Reset(m_riffStart);
  return 0;
}

int32_t AviWriter::WriteStandardIndexes() {
  for (size_t i = 0; i < m_state.size(); ++i) {
    const StandardIndex& pending = m_state[i].pending;
    if (pending.Count() == 0) continue;
    RiffBytes index;
    pending.Append(index, StandardIndexId(i), m_state[i].chunkId);
    const uint64_t at = m_end;
    const int32_t status = Append(index.Data());
    if (status != 0) return status;
    const uint64_t ticks = StreamTicks(m_streams[i], pending.Count(), pending.DataBytes());
    m_totals[i].superIndex.push_back({at, Clamp32(index.Size()), Clamp32(ticks)});
    m_state[i].pending.Reset(m_riffStart);  // written: a second close skips it
  }
  return 0;
}

int32_t AviWriter::WriteLegacyIndex() {
  RiffBytes index;
  m_legacy.Append(index);
  const int32_t status = Append(index.Data());
  if (status == 0) m_hasLegacyIndex = true;
  return status;
}

// Ends the movi list after the standard indexes and the RIFF after idx1. The
// sizes are written even when an index is not, so the data stays reachable.
int32_t AviWriter::CloseRiff() {
  int32_t status = WriteStandardIndexes();
  const int32_t movi = WriteSizeAt(m_moviStart + 4, m_end);
  if (status == 0) status = movi;
  if (status == 0 && InFirstRiff() && !m_hasLegacyIndex) status = WriteLegacyIndex();
  const int32_t riff = WriteSizeAt(m_riffStart + 4, m_end);
  if (status == 0) status = riff;
  if (status == 0) m_riffOpen = false;
  return status;
}

// The open RIFF and its movi list end at the last chunk, and the headers
// count every chunk so far; the indexes wait for the RIFF's close.
int32_t AviWriter::Refresh() {
  const int32_t movi = WriteSizeAt(m_moviStart + 4, m_end);
  const int32_t riff = WriteSizeAt(m_riffStart + 4, m_end);
  const int32_t head = WriteHeaderList();
  m_refresh.Done(m_end);
  return FirstFailure({movi, riff, head});
}

void AviWriter::PlaceSoundStarts() {
  int64_t shift = 0;  // how far the first video frame moved to its slot
  for (size_t i = 0; i < m_streams.size(); ++i) {
    if (m_streams[i].kind != StreamInfo::Kind::kVideo || !m_state[i].started) continue;
    const double slot = static_cast<double>(m_totals[i].startTicks) *
                        static_cast<double>(FrameSlotDuration(m_streams[i]));
    shift = slot < 9.2e18 ? static_cast<int64_t>(slot) - m_state[i].firstTime : 0;
    break;
  }
  for (size_t i = 0; i < m_streams.size(); ++i)
    if (m_streams[i].kind == StreamInfo::Kind::kAudio && m_state[i].started)
      m_totals[i].startTicks = StreamTicksAt(m_streams[i], m_state[i].firstTime + shift);
}

int32_t AviWriter::WriteHeaderList() {
  PlaceSoundStarts();
  RiffBytes list;
  AppendHeaderList(list, {&m_streams, &m_totals, m_limits.superIndexSlots, m_hasLegacyIndex});
  if (list.Size() != m_headerListBytes) return kUnexpected;
  return m_sink.WriteAt(kRiffHeadBytes, list.Data().data(), list.Size());
}

int32_t AviWriter::WriteSizeAt(uint64_t field, uint64_t end) {
  uint8_t size[4];
  PutLittleEndian(size, Clamp32(end - field - 4), 4);
  return m_sink.WriteAt(field, size, sizeof size);
}

int32_t AviWriter::Append(const std::vector<uint8_t>& bytes) {
  const int32_t status = m_sink.WriteAt(m_end, bytes.data(), bytes.size());
  if (status == 0) m_end += bytes.size();
  return status;
}
