#include "standins/avi/RiffBytes.h"

#include <limits>

uint32_t StreamChunkId(size_t stream, char type0, char type1) {
  const char tens = static_cast<char>('0' + stream / 10 % 10);
  const char ones = static_cast<char>('0' + stream % 10);
  return MakeFourCc(tens, ones, type0, type1);
}

uint32_t StandardIndexId(size_t stream) {
  const char tens = static_cast<char>('0' + stream / 10 % 10);
  const char ones = static_cast<char>('0' + stream % 10);
  return MakeFourCc('i', 'x', tens, ones);
}

uint32_t Clamp32(uint64_t value) {
  constexpr uint64_t kMax = std::numeric_limits<uint32_t>::max();
  return static_cast<uint32_t>(value > kMax ? kMax : value);
}

void PutU32(uint8_t* data, uint32_t value) {
  for (int i = 0; i < 4; ++i) data[i] = static_cast<uint8_t>(value >> (8 * i));
}

void RiffBytes::U16(uint16_t value) {
  m_data.push_back(static_cast<uint8_t>(value));
  m_data.push_back(static_cast<uint8_t>(value >> 8));
}

void RiffBytes::U32(uint32_t value) {
  const size_t at = m_data.size();
  m_data.resize(at + 4);
  PutU32(&m_data[at], value);
}

void RiffBytes::U64(uint64_t value) {
  U32(static_cast<uint32_t>(value));
  U32(static_cast<uint32_t>(value >> 32));
}

void RiffBytes::Append(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  m_data.insert(m_data.end(), bytes, bytes + size);
}

void RiffBytes::Zeros(size_t count) { m_data.resize(m_data.size() + count, 0); }

size_t RiffBytes::Begin(uint32_t id) {
  U32(id);
  const size_t sizeField = m_data.size();
  U32(0);
  return sizeField;
}

size_t RiffBytes::BeginList(uint32_t listId, uint32_t type) {
  const size_t sizeField = Begin(listId);
  U32(type);
  return sizeField;
}

void RiffBytes::End(size_t sizeField) {
  const size_t body = m_data.size() - sizeField - 4;
  PutU32(&m_data[sizeField], Clamp32(body));
  if (body % 2) m_data.push_back(0);
}
