#include "standins/asf/AsfPacket.h"

namespace {

constexpr uint8_t kErrorCorrectionFlags = 0x82;  // present, 2 bytes of data
// Multiple payloads; padding length a WORD; no packet length or sequence:
// every packet has the file's packet size.
constexpr uint8_t kLengthTypeFlags = 0x01 | 0x10;
// Replicated data length a BYTE, offset into the media object a DWORD, media
// object number a BYTE, stream number a BYTE.
constexpr uint8_t kPropertyFlags = 0x01 | 0x0C | 0x10 | 0x40;
constexpr uint8_t kPayloadLengthWord = 0x80;
constexpr uint8_t kKeyFrameBit = 0x80;
constexpr uint8_t kReplicatedBytes = 8;  // media object size, presentation time
constexpr size_t kMaxPayloadBytes = 0xFFFF;

}  // namespace

size_t AsfPacket::Room() const {
  const size_t used = kHeadBytes + m_body.Size() + kPayloadHeadBytes;
  if (m_payloads == kMaxPayloads || used >= m_bytes) return 0;
  const size_t room = m_bytes - used;
  return room < kMaxPayloadBytes ? room : kMaxPayloadBytes;
}

void AsfPacket::Add(const AsfPayload& payload, const void* data, size_t size, uint32_t sendTimeMs) {
  if (m_payloads == 0) m_sendTime = sendTimeMs;
  ++m_payloads;
  m_body.U8(static_cast<uint8_t>(payload.stream | (payload.keyFrame ? kKeyFrameBit : 0)));
  m_body.U8(payload.objectNumber);
  m_body.U32(payload.offset);
  m_body.U8(kReplicatedBytes);
  m_body.U32(payload.objectSize);
  m_body.U32(payload.presentationTime);
  m_body.U16(static_cast<uint16_t>(size));
  m_body.Append(data, size);
}

std::vector<uint8_t> AsfPacket::Take() {
  std::vector<uint8_t> packet = Padded();
  m_body = AsfBytes();
  m_payloads = 0;
  return packet;
}

std::vector<uint8_t> AsfPacket::Padded() const {
  AsfBytes packet;
  const size_t padding = m_bytes - kHeadBytes - m_body.Size();
  packet.U8(kErrorCorrectionFlags);
  packet.U16(0);
  packet.U8(kLengthTypeFlags);
  packet.U8(kPropertyFlags);
  packet.U16(static_cast<uint16_t>(padding));
  packet.U32(m_sendTime);
  packet.U16(0);  // duration
  packet.U8(static_cast<uint8_t>(kPayloadLengthWord | m_payloads));
  packet.Append(m_body.Data().data(), m_body.Size());
  packet.Zeros(padding);
  return packet.Data();
}
