#include "standins/mkv/EbmlBytes.h"

#include <cstring>

namespace {

constexpr uint32_t kVoidId = 0xEC;

size_t IdBytes(uint32_t id) {
  if (id > 0xFFFFFF) return 4;
  if (id > 0xFFFF) return 3;
  if (id > 0xFF) return 2;
  return 1;
}

size_t UintBytes(uint64_t value) {
  size_t bytes = 1;
  while (bytes < 8 && value >> (8 * bytes)) ++bytes;
  return bytes;
}

}  // namespace

void PutEbmlSize8(uint8_t* field, uint64_t size) {
  if (size == kEbmlUnknownSize) {
    field[0] = 0x01;
    memset(field + 1, 0xFF, 7);
    return;
  }
  PutBigEndian(field, size > kEbmlMaxSize ? kEbmlMaxSize : size, 8);
  field[0] = 0x01;  // the 8-byte length marker; the value keeps 56 bits
}

void EbmlBytes::Id(uint32_t id) { BigEndian(id, IdBytes(id)); }

// A size of n bytes carries 7n bits, and all ones is reserved for "unknown".
void EbmlBytes::Size(uint64_t size) {
  size_t bytes = 1;
  while (bytes < 8 && size >= (1ull << (7 * bytes)) - 1) ++bytes;
  if (bytes == 8) return Size8(size);
  BigEndian(size | 1ull << (7 * bytes), bytes);
}

void EbmlBytes::Size8(uint64_t size) {
  const size_t at = Size();
  Zeros(8);
  PutEbmlSize8(At(at), size);
}

void EbmlBytes::Uint(uint32_t id, uint64_t value) {
  Id(id);
  const size_t bytes = UintBytes(value);
  Size(bytes);
  BigEndian(value, bytes);
}

void EbmlBytes::Uint8Bytes(uint32_t id, uint64_t value) {
  Id(id);
  Size(8);
  BigEndian(value, 8);
}

void EbmlBytes::Float(uint32_t id, double value) {
  uint64_t bits = 0;
  static_assert(sizeof bits == sizeof value);
  memcpy(&bits, &value, sizeof bits);
  Uint8Bytes(id, bits);
}

void EbmlBytes::String(uint32_t id, const std::string& text) {
  Binary(id, text.data(), text.size());
}

void EbmlBytes::Binary(uint32_t id, const void* data, size_t size) {
  Id(id);
  Size(size);
  Append(data, size);
}

void EbmlBytes::Void(uint64_t totalBytes) {
  if (totalBytes < 2) return;
  Id(kVoidId);
  if (totalBytes - 2 < 127) {
    Size(totalBytes - 2);
    Zeros(totalBytes - 2);
  } else {
    Size8(totalBytes - 9);
    Zeros(totalBytes - 9);
  }
}

size_t EbmlBytes::Begin(uint32_t id) {
  Id(id);
  const size_t sizeField = Size();
  Size8(0);
  return sizeField;
}

void EbmlBytes::End(size_t sizeField) {
  PutEbmlSize8(At(sizeField), Size() - sizeField - 8);
}
