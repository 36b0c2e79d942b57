#include "standins/avi/AviWriter.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "standins/avi/RiffBytes.h"
#include "standins/mux/FileSink.h"
#include "standins/mux/SampleEnd.h"
#include "standins/mux/SilentSound.h"

namespace {

constexpr size_t kMaxStreams = 100;             // two decimal digits in chunk ids
constexpr uint64_t kRiffHeadBytes = 12;         // "RIFF", size, type
constexpr uint64_t kListHeadBytes = 12;         // "LIST", size, type
constexpr uint64_t kChunkHeadBytes = 8;         // id, size
constexpr uint64_t kMaxChunkData = 0x7FFFFFFF;  // the standard index keeps 31 bits
constexpr size_t kBitmapHeaderBytes = 40;
constexpr size_t kWaveFormatBytes = 16;

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
  for (StreamState& state : m_state) state.pending.Reset(m_riffStart);
  return Refresh();  // walkable before the first chunk
}

int32_t AviWriter::WriteSample(size_t stream, const void* data, size_t size, bool keyFrame,
                               int64_t time) {
  int32_t status = m_streams[stream].kind == StreamInfo::Kind::kVideo
                       ? WriteFrame(stream, data, size, keyFrame, time)
                       : WriteSound(stream, data, size, time);
  if (status == 0 && m_refresh.Due(time, m_end)) status = Refresh();
  return status;
}

int32_t AviWriter::WriteFrame(size_t stream, const void* data, size_t size, bool keyFrame,
                              int64_t time) {
  StreamState& state = m_state[stream];
  if (state.slots) return PlaceFrame(stream, data, size, keyFrame, time);
  const auto* bytes = static_cast<const uint8_t*>(data);
  state.held.push_back({std::vector<uint8_t>(bytes, bytes + size), time, keyFrame});
  return state.held.size() < AviFrameSlots::kRateFrames ? 0 : WriteHeldFrames(stream);
}

int32_t AviWriter::WriteHeldFrames(size_t stream) {
  StreamState& state = m_state[stream];
  StreamInfo& info = m_streams[stream];
  std::vector<int64_t> times;
  for (const HeldFrame& frame : state.held) times.push_back(frame.time);
  info.frameDuration = AviFrameSlots::ChooseDuration(times, info.frameDuration);
  state.slots.emplace(FrameDuration(info));
  const std::vector<HeldFrame> held = std::move(state.held);
  state.held.clear();
  for (const HeldFrame& frame : held) {
    const int32_t status =
        PlaceFrame(stream, frame.data.data(), frame.data.size(), frame.keyFrame, frame.time);
    if (status != 0) return status;
  }
  return 0;
}

// Dropped-frame chunks up to the frame's slot, then the frame, unless it is
// left out; only a frame that no later one depends on may be.
int32_t AviWriter::PlaceFrame(size_t stream, const void* data, size_t size, bool keyFrame,
                              int64_t time) {
  StreamState& state = m_state[stream];
  state.allKeys = state.allKeys && keyFrame;
  const bool droppable = !m_streams[stream].compressed || state.allKeys;
  const AviFrameSlots::Placement place =
      state.slots->Place(time, m_totals[stream].chunks, droppable);
  if (place.drop) return 0;
  for (uint64_t i = 0; i < place.empty; ++i) {
    const int32_t status = AddChunk(stream, nullptr, 0, false);
    if (status != 0) return status;
  }
  return AddChunk(stream, data, size, keyFrame);
}

// Every block of sound stands alone, whatever upstream says.
int32_t AviWriter::WriteSound(size_t stream, const void* data, size_t size, int64_t time) {
  StreamState& state = m_state[stream];
  const StreamInfo& info = m_streams[stream];
  const std::optional<uint8_t> silent = SilentByte(info);
  if (!state.started && !silent) {
    m_totals[stream].startTicks = StreamTicksAt(info, time);
    state.soundStart = time;
  }
  state.started = true;
  if (!silent) return AddChunk(stream, data, size, true);
  const int64_t gap = time - SampleEnd(info, state.soundStart, m_totals[stream].bytes);
  if (gap > kMaxSilence || gap < -kMaxSilence) {
    state.soundStart += gap;
  } else if (gap > kSoundSlack) {
    const int32_t status = AddSilence(stream, SoundBytesFor(info, gap), *silent);
    if (status != 0) return status;
  } else if (gap < -kSoundSlack) {
    const uint64_t overlap = SoundBytesFor(info, -gap);
    if (overlap >= size) return 0;
    data = static_cast<const uint8_t*>(data) + overlap;
    size -= static_cast<size_t>(overlap);
  }
  return AddChunk(stream, data, size, true);
}

// The picture lasts as long as the sound, to within a frame, in dropped-frame
// chunks after its last frame: players take the file's length from the main
// header, which counts the first video stream's frames.
int32_t AviWriter::LengthenPicture() {
  int64_t soundEnd = 0;
  for (size_t i = 0; i < m_streams.size(); ++i)
    if (m_streams[i].kind == StreamInfo::Kind::kAudio && m_state[i].started)
      soundEnd =
          std::max(soundEnd, SampleEnd(m_streams[i], m_state[i].soundStart, m_totals[i].bytes));
  for (size_t i = 0; i < m_streams.size(); ++i) {
    if (m_streams[i].kind != StreamInfo::Kind::kVideo) continue;
    if (!m_state[i].slots) return 0;
    const double slots = std::floor(static_cast<double>(soundEnd) / FrameDuration(m_streams[i]));
    const uint64_t chunks = m_totals[i].chunks;
    if (slots <= static_cast<double>(chunks) ||
        slots - static_cast<double>(chunks) > AviFrameSlots::kMaxDroppedFrames)
      return 0;
    for (uint64_t n = static_cast<uint64_t>(slots) - chunks; n > 0; --n) {
      const int32_t status = AddChunk(i, nullptr, 0, false);
      if (status != 0) return status;
    }
    return 0;
  }
  return 0;
}

int32_t AviWriter::AddSilence(size_t stream, uint64_t bytes, uint8_t silent) {
  const uint64_t most = SilencePieceBytes(m_streams[stream]);
  const std::vector<uint8_t> silence(static_cast<size_t>(std::min(bytes, most)), silent);
  for (uint64_t left = bytes; left > 0;) {
    const size_t part = static_cast<size_t>(std::min<uint64_t>(left, silence.size()));
    const int32_t status = AddChunk(stream, silence.data(), part, true);
    if (status != 0) return status;
    left -= part;
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
  int32_t held = 0;
  for (size_t i = 0; i < m_state.size() && held == 0 && Failure() == 0; ++i)
    if (!m_state[i].held.empty()) held = WriteHeldFrames(i);
  if (held == 0 && Failure() == 0) held = LengthenPicture();
  // A RIFF closed before a failed start of the next is not closed again: its
  // movi list would take in the indexes after it.
  const int32_t close = m_riffOpen ? CloseRiff() : 0;
  const int32_t head = WriteHeaderList();
  const int32_t cut = m_sink.Truncate(m_end);
  return FirstFailure({held, close, head, cut});
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

int32_t AviWriter::WriteHeaderList() {
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
