#include "standins/asf/AsfWriter.h"

#include <limits>
#include <utility>

#include "standins/mux/FileSink.h"
#include "standins/mux/SampleEnd.h"

namespace {

constexpr int64_t k100nsPerMs = 10000;
constexpr uint64_t kMaxDword = std::numeric_limits<uint32_t>::max();

bool Valid(const StreamInfo& info) {
  if (info.kind == StreamInfo::Kind::kAudio && info.bytesPerSecond == 0) return false;
  return AsfCanDescribe(info);
}

uint16_t Clamp16(uint64_t value) { return static_cast<uint16_t>(value > 0xFFFF ? 0xFFFF : value); }

}  // namespace

AsfWriter::AsfWriter(FileSink& sink, std::vector<StreamInfo> streams, Options options)
    : m_sink(sink),
      m_streams(std::move(streams)),
      m_options(options),
      m_packet(options.packetBytes) {
  m_state.resize(m_streams.size());
  m_indexedStream = m_streams.size();
  for (size_t i = 0; i < m_streams.size() && m_indexedStream == m_streams.size(); ++i)
    if (m_streams[i].kind == StreamInfo::Kind::kVideo) m_indexedStream = i;
}

int32_t AsfWriter::Start() {
  if (m_started) return kUnexpected;
  const uint32_t packet = m_options.packetBytes;
  if (m_streams.empty() || m_streams.size() > kAsfMaxStreams || packet > 0xFFFF ||
      packet <= AsfPacket::kHeadBytes + AsfPacket::kPayloadHeadBytes ||
      m_options.indexInterval == 0)
    return kInvalidArg;
  for (const StreamInfo& info : m_streams)
    if (!Valid(info)) return kInvalidArg;
  m_started = true;
  m_failure = WriteHeader(false);
  if (m_failure == 0) m_failure = WriteDataHead(0);
  if (m_failure == 0) m_end = m_headerBytes + kAsfDataHeadBytes;
  return m_failure;
}

int32_t AsfWriter::Write(size_t stream, const void* data, size_t size, bool keyFrame,
                         int64_t time) {
  if (m_failure != 0) return m_failure;
  if (!m_started || m_finished || stream >= m_streams.size()) return kUnexpected;
  if (size == 0) return 0;  // nothing to carry
  const StreamInfo& info = m_streams[stream];
  if (time < 0) time = 0;
  const uint64_t timeMs = static_cast<uint64_t>(time / k100nsPerMs);
  const uint64_t presentation = timeMs + m_options.prerollMs;
  if (size > kMaxDword || presentation > kMaxDword) return m_failure = kFileTooLarge;
  StreamState& state = m_state[stream];
  AsfPayload object;
  object.stream = static_cast<uint8_t>(stream + 1);
  object.keyFrame = keyFrame || info.kind == StreamInfo::Kind::kAudio;  // sound stands alone
  object.objectNumber = state.objectNumber;
  object.objectSize = static_cast<uint32_t>(size);
  object.presentationTime = static_cast<uint32_t>(presentation);
  uint64_t firstPacket = 0;
  const int32_t status = WriteObject(object, static_cast<const uint8_t*>(data),
                                     static_cast<uint32_t>(timeMs), firstPacket);
  if (status != 0) return m_failure = status;
  ++state.objectNumber;
  state.bytes += size;
  const int64_t end = SampleEnd(info, time, size);
  if (end > state.end) state.end = end;
  if (stream == m_indexedStream && object.keyFrame)
    IndexKeyFrame(presentation * static_cast<uint64_t>(k100nsPerMs), firstPacket);
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
void AsfWriter::IndexKeyFrame(uint64_t presentation, uint64_t firstPacket) {
  const AsfIndexEntry entry{static_cast<uint32_t>(firstPacket),
                            Clamp16(m_packets - firstPacket + 1)};
  const AsfIndexEntry before = m_hasKey ? m_lastKey : entry;
  while (m_index.size() * m_options.indexInterval < presentation) m_index.push_back(before);
  m_lastKey = entry;
  m_hasKey = true;
}

int32_t AsfWriter::Finish() {
  if (!m_started) return kUnexpected;
  if (m_finished) return m_failure;
  m_finished = true;
  const int32_t last = m_failure == 0 && !m_packet.Empty() ? FlushPacket() : 0;
  const uint64_t dataEnd = m_end;
  CompleteIndex(PlayDuration());
  const int32_t index = WriteIndex();
  const int32_t data = WriteDataHead(dataEnd);
  const int32_t header = WriteHeader(true);
  const int32_t cut = m_sink.Truncate(m_end);
  if (m_failure == 0) m_failure = FirstFailure({last, index, data, header, cut});
  return m_failure;
}

// Slots up to the end of the play get the last key frame; slots whose packets
// were never written go.
void AsfWriter::CompleteIndex(uint64_t playDuration) {
  if (!m_hasKey) return;
  while (m_index.size() * m_options.indexInterval <= playDuration) m_index.push_back(m_lastKey);
  while (!m_index.empty() && m_index.back().packet >= m_packets) m_index.pop_back();
  for (AsfIndexEntry& entry : m_index)
    if (entry.packet + uint64_t{entry.count} > m_packets)
      entry.count = Clamp16(m_packets - entry.packet);
}

int32_t AsfWriter::WriteIndex() {
  if (m_index.empty()) return 0;
  AsfBytes index;
  AppendAsfSimpleIndex(index, m_options.fileId, m_options.indexInterval, m_index);
  const int32_t status = m_sink.WriteAt(m_end, index.Data().data(), index.Size());
  if (status == 0) m_end += index.Size();
  return status;
}

// The header keeps its size from Start to Finish: only its values change.
int32_t AsfWriter::WriteHeader(bool finished) {
  AsfFileProperties file;
  file.fileId = m_options.fileId;
  file.creationTime = m_options.creationTime;
  file.prerollMs = m_options.prerollMs;
  file.packetBytes = m_options.packetBytes;
  file.broadcast = !finished;
  if (finished) {
    file.fileSize = m_end;
    file.packets = m_packets;
    file.playDuration = PlayDuration();
    file.sendDuration = uint64_t{m_sendTime} * k100nsPerMs;
    file.maxBitrate = MaxBitrate();
  }
  AsfBytes header;
  AppendAsfHeader(header, file, m_streams);
  if (m_headerBytes == 0) m_headerBytes = header.Size();
  if (header.Size() != m_headerBytes) return kUnexpected;
  return m_sink.WriteAt(0, header.Data().data(), header.Size());
}

// dataEnd 0: not known yet.
int32_t AsfWriter::WriteDataHead(uint64_t dataEnd) {
  AsfBytes head;
  AppendAsfDataHead(head, m_options.fileId, dataEnd == 0 ? 0 : dataEnd - m_headerBytes, m_packets);
  return m_sink.WriteAt(m_headerBytes, head.Data().data(), head.Size());
}

// 100 ns units, the preroll included.
uint64_t AsfWriter::PlayDuration() const {
  int64_t end = 0;
  for (const StreamState& state : m_state)
    if (state.end > end) end = state.end;
  return static_cast<uint64_t>(end) + uint64_t{m_options.prerollMs} * k100nsPerMs;
}

// The streams' average rates together, bits per second.
uint32_t AsfWriter::MaxBitrate() const {
  double bits = 0;
  for (const StreamState& state : m_state)
    if (state.end > 0) bits += state.bytes * 8.0 * 1e7 / static_cast<double>(state.end);
  return bits >= static_cast<double>(kMaxDword) ? static_cast<uint32_t>(kMaxDword)
                                                : static_cast<uint32_t>(bits);
}
