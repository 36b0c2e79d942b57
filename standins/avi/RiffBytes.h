#pragma once
// Little-endian RIFF building blocks: four-character codes and a byte buffer
// that lays out chunks and lists. No Windows headers: built natively too.

#include <cstddef>
#include <cstdint>

#include "standins/mux/ByteBuilder.h"

constexpr uint32_t MakeFourCc(char a, char b, char c, char d) {
  return static_cast<uint32_t>(static_cast<uint8_t>(a)) |
         static_cast<uint32_t>(static_cast<uint8_t>(b)) << 8 |
         static_cast<uint32_t>(static_cast<uint8_t>(c)) << 16 |
         static_cast<uint32_t>(static_cast<uint8_t>(d)) << 24;
}

// "nnxx": the stream number in two decimal digits, then the two-letter type
// ("dc", "db", "wb"); "ixnn" for a stream's standard index.
uint32_t StreamChunkId(size_t stream, char type0, char type1);
uint32_t StandardIndexId(size_t stream);

// Saturates instead of wrapping: header fields are 32-bit, counts are not.
uint32_t Clamp32(uint64_t value);

class RiffBytes : public ByteBuilder {
 public:
  // Starts a chunk (or a LIST / RIFF with its type) and gives the place of its
  // size field for End, which fills the size in and pads to an even length.
  size_t Begin(uint32_t id);
  size_t BeginList(uint32_t listId, uint32_t type);
  void End(size_t sizeField);
};
