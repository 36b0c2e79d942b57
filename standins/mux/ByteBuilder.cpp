#include "standins/mux/ByteBuilder.h"

void PutLittleEndian(uint8_t* data, uint64_t value, size_t bytes) {
  for (size_t i = 0; i < bytes; ++i) data[i] = static_cast<uint8_t>(value >> (8 * i));
}

void PutBigEndian(uint8_t* data, uint64_t value, size_t bytes) {
  for (size_t i = 0; i < bytes; ++i) data[i] = static_cast<uint8_t>(value >> (8 * (bytes - 1 - i)));
}

void ByteBuilder::LittleEndian(uint64_t value, size_t bytes) {
  const size_t at = m_data.size();
  m_data.resize(at + bytes);
  PutLittleEndian(&m_data[at], value, bytes);
}

void ByteBuilder::BigEndian(uint64_t value, size_t bytes) {
  const size_t at = m_data.size();
  m_data.resize(at + bytes);
  PutBigEndian(&m_data[at], value, bytes);
}

void ByteBuilder::Append(const void* data, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  m_data.insert(m_data.end(), bytes, bytes + size);
}

void ByteBuilder::Zeros(size_t count) { m_data.resize(m_data.size() + count, 0); }
