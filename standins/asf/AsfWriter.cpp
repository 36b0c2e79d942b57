#include "standins/asf/AsfWriter.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <optional>
#include <utility>

#include "standins/mux/FileSink.h"
#include "standins/mux/SampleEnd.h"
#include "standins/mux/SilentSound.h"

namespace {

constexpr int64_t k100nsPerMs = 10000;
constexpr int64_t k100nsPerSecond = 10000000;
constexpr uint64_t kMaxDword = std::numeric_limits<uint32_t>::max();

bool Valid(const StreamInfo& info) {
  if (info.kind == StreamInfo::Kind::kAudio && info.bytesPerSecond == 0) return false;
  return AsfCanDescribe(info);
}

bool IsVideo(const StreamInfo& info) { return info.kind == StreamInfo::Kind::kVideo; }

uint16_t Clamp16(uint64_t value) { return static_cast<uint16_t>(value > 0xFFFF ? 0xFFFF : value); }

}  // namespace

AsfWriter::AsfWriter(FileSink& sink, std::vector<StreamInfo> streams, Options options)
    : ContainerWriter(streams.size()),
      m_sink(sink),
      m_streams(std::move(streams)),
      m_options(options),
      m_packet(options.packetBytes),
      m_refresh(options.refresh) {
  m_state.resize(m_streams.size());
}

bool AsfWriter::Acceptable() const {
  const uint32_t packet = m_options.packetBytes;
  if (m_streams.empty() || m_streams.size() > kAsfMaxStreams || packet > 0xFFFF ||
      packet <= AsfPacket::kHeadBytes + AsfPacket::kPayloadHeadBytes ||
      m_options.indexInterval == 0)
    return false;
  for (const StreamInfo& info : m_streams)
    if (!Valid(info)) return false;
  return true;
}

int32_t AsfWriter::WriteHead() {
  int32_t status = WriteHeader(Properties(nullptr));
  if (status == 0) status = WriteDataHead({});
  if (status == 0) m_end = m_headerBytes + kAsfDataHeadBytes;
  m_refresh.Done(m_end);
  return status;
}

int32_t AsfWriter::WriteSample(size_t stream, const void* data, size_t size, bool keyFrame,
                               int64_t time) {
  if (size == 0) return 0;  // nothing to carry
  if (size > kMaxDword) return kFileTooLarge;
  if (time < 0) time = 0;
  StreamState& state = m_state[stream];
  if (!state.started) {
    state.started = true;
    const int32_t status = LeadFromZero(stream, data, size, keyFrame, time);
    if (status != 0) return status;
  }
  return WriteMediaObject(stream, static_cast<const uint8_t*>(data), size, keyFrame, time);
}

// A stream that starts after the file's 0 leads from it: video with its first
// key frame shown from 0, PCM and IMA ADPCM sound with silence. Readers that
// give every stream the file's play duration from its own first object then
// agree with the play duration.
int32_t AsfWriter::LeadFromZero(size_t stream, const void* data, size_t size, bool keyFrame,
                                int64_t time) {
  const StreamInfo& info = m_streams[stream];
  if (IsVideo(info)) {
    if (!keyFrame || time < FrameDuration(info)) return 0;
    return WriteMediaObject(stream, static_cast<const uint8_t*>(data), size, true, 0);
  }
  const std::optional<uint8_t> silent = SilentByte(info);
  if (!silent || time <= kSoundSlack || time > kMaxSilence) return 0;
  const uint64_t bytes = SoundBytesFor(info, time);
  const std::vector<uint8_t> silence(static_cast<size_t>(std::min(bytes, SilencePieceBytes(info))),
                                     *silent);
  for (uint64_t done = 0; done < bytes;) {
    const size_t part = static_cast<size_t>(std::min<uint64_t>(bytes - done, silence.size()));
    const int32_t status =
        WriteMediaObject(stream, silence.data(), part, true, SampleEnd(info, 0, done));
    if (status != 0) return status;
    done += part;
  }
  return 0;
}

// Times beyond the 32 bits of ms that payloads carry are taken as the last
// they can say: one wild time does not end the file.
int32_t AsfWriter::WriteMediaObject(size_t stream, const uint8_t* data, size_t size, bool keyFrame,
                                    int64_t time) {
  const StreamInfo& info = m_streams[stream];
  time = std::min(time, static_cast<int64_t>(kMaxDword - m_options.prerollMs) * k100nsPerMs);
  const uint64_t timeMs = static_cast<uint64_t>(time / k100nsPerMs);
  const uint64_t presentation = timeMs + m_options.prerollMs;
  StreamState& state = m_state[stream];
  AsfPayload object;
  object.stream = static_cast<uint8_t>(stream + 1);
  object.keyFrame = keyFrame || !IsVideo(info);  // sound stands alone
  object.objectNumber = state.objectNumber;
  object.objectSize = static_cast<uint32_t>(size);
  object.presentationTime = static_cast<uint32_t>(presentation);
  uint64_t firstPacket = 0;
  const int32_t status = WriteObject(object, data, static_cast<uint32_t>(timeMs), firstPacket);
  if (status != 0) return status;
  state.objectNumber = static_cast<uint8_t>((state.objectNumber + 1u) & 0xFFu);  // 255, then 0
  state.end = std::max(state.end, SampleEnd(info, time, size));
  CountBitrate(time, size);
  if (IsVideo(info) && object.keyFrame)
    IndexKeyFrame(state, presentation * static_cast<uint64_t>(k100nsPerMs), firstPacket);
  if (m_refresh.Due(time, m_end + m_packet.Used())) return Refresh();
  return 0;
}

// The object in payloads, packet after packet. Packets go out as they fill. A
// packet's send time is that of the object its first payload belongs to, and
// never earlier than the packet's before.
int32_t AsfWriter::WriteObject(const AsfPayload& object, const uint8_t* data, uint32_t sendTime,
                               uint64_t& firstPacket) {
  AsfPayload piece = object;
  while (piece.offset < object.objectSize) {
    const size_t room = m_packet.Room();
    if (room == 0) {
      const int32_t status = FlushPacket();
      if (status != 0) return status;
      continue;
    }
    const size_t left = object.objectSize - piece.offset;
    const size_t size = left < room ? left : room;
    if (piece.offset == 0) firstPacket = m_packets;
    if (m_packet.Empty() && sendTime > m_sendTime) m_sendTime = sendTime;
    m_packet.Add(piece, data + piece.offset, size, m_sendTime);
    piece.offset += static_cast<uint32_t>(size);
  }
  return 0;
}

int32_t AsfWriter::FlushPacket() {
  if (m_packets >= kMaxDword) return kFileTooLarge;  // the index numbers packets in 32 bits
  const std::vector<uint8_t> packet = m_packet.Take();
  const int32_t status = m_sink.WriteAt(m_end, packet.data(), packet.size());
  if (status != 0) return status;
  m_end += packet.size();
  ++m_packets;
  return 0;
}

// Every index slot before the key frame's time gets the key frame before it
// (or this one, where none came before).
void AsfWriter::IndexKeyFrame(StreamState& state, uint64_t presentation, uint64_t firstPacket) {
  const AsfIndexEntry entry{static_cast<uint32_t>(firstPacket),
                            Clamp16(m_packets - firstPacket + 1)};
  const AsfIndexEntry before = state.hasKey ? state.lastKey : entry;
  while (state.index.size() * m_options.indexInterval < presentation) state.index.push_back(before);
  state.lastKey = entry;
  state.hasKey = true;
}

// The most bytes of samples that start within the second up to the latest
// sample, kept in time order (the last one is the latest).
void AsfWriter::CountBitrate(int64_t time, size_t size) {
  auto at = m_window.end();
  while (at != m_window.begin() && std::prev(at)->first > time) --at;
  m_window.insert(at, {time, size});
  m_windowBytes += size;
  while (m_window.front().first <= m_window.back().first - k100nsPerSecond) {
    m_windowBytes -= m_window.front().second;
    m_window.pop_front();
  }
  m_peakBytes = std::max(m_peakBytes, m_windowBytes);
}

int32_t AsfWriter::WriteEnd() {
  const int32_t last = Failure() == 0 && !m_packet.Empty() ? FlushPacket() : 0;
  const Extent data = {m_end, m_packets};
  bool indexed = false;
  const int32_t index = WriteIndexes(indexed);
  const int32_t head = WriteDataHead(data);
  const Extent whole = {m_end, m_packets};
  AsfFileProperties file = Properties(&whole);
  file.seekable = indexed;
  const int32_t header = WriteHeader(file);
  const int32_t cut = m_sink.Truncate(m_end);
  return FirstFailure({last, index, head, header, cut});
}

// Slots up to the end of the play get the last key frame; slots whose packets
// were never written go.
void AsfWriter::CompleteIndex(StreamState& state, uint64_t playDuration) {
  if (!state.hasKey) return;
  std::vector<AsfIndexEntry>& index = state.index;
  while (index.size() * m_options.indexInterval <= playDuration) index.push_back(state.lastKey);
  while (!index.empty() && index.back().packet >= m_packets) index.pop_back();
  for (AsfIndexEntry& entry : index)
    if (entry.packet + uint64_t{entry.count} > m_packets)
      entry.count = Clamp16(m_packets - entry.packet);
}

// One Simple Index per video stream, in stream order, which is how readers
// pair them; complete when each is written and names a key frame.
int32_t AsfWriter::WriteIndexes(bool& complete) {
  complete = true;
  const uint64_t playDuration = PlayDuration();
  for (size_t i = 0; i < m_streams.size(); ++i) {
    if (!IsVideo(m_streams[i])) continue;
    CompleteIndex(m_state[i], playDuration);
    AsfBytes index;
    AppendAsfSimpleIndex(index, m_options.fileId, m_options.indexInterval, m_state[i].index);
    const int32_t status = m_sink.WriteAt(m_end, index.Data().data(), index.Size());
    if (status != 0) {
      complete = false;
      return status;
    }
    m_end += index.Size();
    if (m_state[i].index.empty()) complete = false;
  }
  return 0;
}

// Every packet so far and the one being filled, which is written as it stands
// (and again once full).
AsfWriter::Extent AsfWriter::Written() const {
  if (m_packet.Empty()) return {m_end, m_packets};
  return {m_end + m_options.packetBytes, m_packets + 1};
}

// The packets written so far counted in the Data Object and the File
// Properties: neither broadcast nor seekable, as the indexes wait for Finish.
int32_t AsfWriter::Refresh() {
  const Extent written = Written();
  int32_t status = 0;
  if (!m_packet.Empty()) {
    const std::vector<uint8_t> packet = m_packet.Padded();
    status = m_sink.WriteAt(m_end, packet.data(), packet.size());
  }
  if (status == 0) status = WriteDataHead(written);
  if (status == 0) status = WriteHeader(Properties(&written));
  m_refresh.Done(m_end + m_packet.Used());
  return status;
}

// Sizes, counts and durations where known (else the broadcast flag).
AsfFileProperties AsfWriter::Properties(const Extent* known) const {
  AsfFileProperties file;
  file.fileId = m_options.fileId;
  file.creationTime = m_options.creationTime;
  file.prerollMs = m_options.prerollMs;
  file.packetBytes = m_options.packetBytes;
  file.broadcast = !known;
  if (!known) return file;
  file.fileSize = known->end;
  file.packets = known->packets;
  file.playDuration = PlayDuration();
  file.sendDuration = uint64_t{m_sendTime} * k100nsPerMs;
  file.maxBitrate = MaxBitrate();
  return file;
}

// The header keeps its size from Start to Finish: only its values change.
int32_t AsfWriter::WriteHeader(const AsfFileProperties& file) {
  AsfBytes header;
  AppendAsfHeader(header, file, m_streams);
  if (m_headerBytes == 0) m_headerBytes = header.Size();
  if (header.Size() != m_headerBytes) return kUnexpected;
  return m_sink.WriteAt(0, header.Data().data(), header.Size());
}

int32_t AsfWriter::WriteDataHead(const Extent& data) {
  AsfBytes head;
  AppendAsfDataHead(head, m_options.fileId, data.end == 0 ? 0 : data.end - m_headerBytes,
                    data.packets);
  return m_sink.WriteAt(m_headerBytes, head.Data().data(), head.Size());
}

// 100 ns units, the preroll included.
uint64_t AsfWriter::PlayDuration() const {
  int64_t end = 0;
  for (const StreamState& state : m_state)
    if (state.end > end) end = state.end;
  return static_cast<uint64_t>(end) + uint64_t{m_options.prerollMs} * k100nsPerMs;
}

// The most bits of samples that start within one second.
uint32_t AsfWriter::MaxBitrate() const {
  return m_peakBytes >= kMaxDword / 8 ? static_cast<uint32_t>(kMaxDword)
                                      : static_cast<uint32_t>(m_peakBytes * 8);
}
