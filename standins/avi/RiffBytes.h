#pragma once
// Little-endian RIFF building blocks: four-character codes and a byte buffer
// that lays out chunks and lists. No Windows headers: built natively too.

#include <cstddef>
#include <cstdint>
#include <vector>

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

class RiffBytes {
 public:
  void U16(uint16_t value);
  void U32(uint32_t value);
  void U64(uint64_t value);
  void Append(const void* data, size_t size);
  void Zeros(size_t count);

  // Starts a chunk (or a LIST / RIFF with its type) and gives the place of its
  // size field for End, which fills the size in and pads to an even length.
  size_t Begin(uint32_t id);
  size_t BeginList(uint32_t listId, uint32_t type);
  void End(size_t sizeField);

  const std::vector<uint8_t>& Data() const { return m_data; }
  size_t Size() const { return m_data.size(); }

 private:
  std::vector<uint8_t> m_data;
};

// Writes value at data[offset..offset+3], little-endian.
void PutU32(uint8_t* data, uint32_t value);
