#pragma once
// One data packet of a fixed size being filled: error correction data, the
// payload parsing information, up to 63 payloads (each a piece of a media
// object with the object's size and presentation time), then padding.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "standins/asf/AsfBytes.h"

struct AsfPayload {
  uint8_t stream = 0;  // 1 to 127
  bool keyFrame = false;
  uint8_t objectNumber = 0;       // per stream, wrapping
  uint32_t offset = 0;            // of this piece in the media object
  uint32_t objectSize = 0;        // bytes
  uint32_t presentationTime = 0;  // ms, the preroll included
};

class AsfPacket {
 public:
  static constexpr size_t kHeadBytes = 14;
  static constexpr size_t kPayloadHeadBytes = 17;
  static constexpr size_t kMaxPayloads = 63;

  explicit AsfPacket(uint32_t bytes) : m_bytes(bytes) {}

  bool Empty() const { return m_payloads == 0; }
  // Bytes filled so far, 0 when empty.
  size_t Used() const { return Empty() ? 0 : kHeadBytes + m_body.Size(); }
  // The media bytes one more payload can carry; 0 when the packet is full.
  size_t Room() const;
  // size <= Room(). sendTimeMs counts for the packet's first payload.
  void Add(const AsfPayload& payload, const void* data, size_t size, uint32_t sendTimeMs);
  // The packet as it stands, padded to its size.
  std::vector<uint8_t> Padded() const;
  // The packet, padded to its size; it is empty afterwards.
  std::vector<uint8_t> Take();

 private:
  uint32_t m_bytes;
  size_t m_payloads = 0;
  uint32_t m_sendTime = 0;  // ms
  AsfBytes m_body;
};
