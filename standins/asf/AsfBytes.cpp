#include "standins/asf/AsfBytes.h"

namespace {

constexpr size_t kGuidBytes = 16;

}  // namespace

void PutLittleEndian(uint8_t* data, uint64_t value, size_t bytes) {
  for (size_t i = 0; i < bytes; ++i) data[i] = static_cast<uint8_t>(value >> (8 * i));
}

void AsfBytes::U16(uint16_t value) {
  const size_t at = m_data.size();
  m_data.resize(at + 2);
  PutLittleEndian(&m_data[at], value, 2);
}

void AsfBytes::U32(uint32_t value) {
  const size_t at = m_data.size();
  m_data.resize(at + 4);
  PutLittleEndian(&m_data[at], value, 4);
}

void AsfBytes::U64(uint64_t value) {
  const size_t at = m_data.size();
  m_data.resize(at + 8);
  PutLittleEndian(&m_data[at], value, 8);
}

void AsfBytes::Guid(const AsfGuid& guid) {
  U32(guid.data1);
  U16(guid.data2);
  U16(guid.data3);
  Append(guid.data4, sizeof guid.data4);
}

void AsfBytes::Append(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  m_data.insert(m_data.end(), bytes, bytes + size);
}

void AsfBytes::Zeros(size_t count) { m_data.resize(m_data.size() + count, 0); }

size_t AsfBytes::Begin(const AsfGuid& guid) {
  Guid(guid);
  const size_t sizeField = m_data.size();
  U64(0);
  return sizeField;
}

void AsfBytes::End(size_t sizeField) {
  PutLittleEndian(&m_data[sizeField], m_data.size() - (sizeField - kGuidBytes), 8);
}
