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

size_t RiffBytes::Begin(uint32_t id) {
  U32(id);
  const size_t sizeField = Size();
  U32(0);
  return sizeField;
}

size_t RiffBytes::BeginList(uint32_t listId, uint32_t type) {
  const size_t sizeField = Begin(listId);
  U32(type);
  return sizeField;
}

void RiffBytes::End(size_t sizeField) {
  const size_t body = Size() - sizeField - 4;
  PutLittleEndian(At(sizeField), Clamp32(body), 4);
  if (body % 2) U8(0);
}
