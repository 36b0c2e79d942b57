#pragma once
// A byte buffer that the file formats lay their structures out in: integers
// of a set width, bytes and zeros, appended, and fields patched in place once
// their value is known. No Windows headers: built natively too.

#include <cstddef>
#include <cstdint>
#include <vector>

class ByteBuilder {
 public:
  // Little-endian, as RIFF and ASF store integers.
  void U8(uint8_t value) { m_data.push_back(value); }
  void U16(uint16_t value) { LittleEndian(value, 2); }
  void U32(uint32_t value) { LittleEndian(value, 4); }
  void U64(uint64_t value) { LittleEndian(value, 8); }
  void LittleEndian(uint64_t value, size_t bytes);
  // Most significant byte first, as EBML stores integers.
  void BigEndian(uint64_t value, size_t bytes);
  void Append(const void* data, size_t size);
  void Zeros(size_t count);

  const std::vector<uint8_t>& Data() const { return m_data; }
  size_t Size() const { return m_data.size(); }

 protected:
  // The byte at offset, for a field written before its value was known.
  uint8_t* At(size_t offset) { return &m_data[offset]; }

 private:
  std::vector<uint8_t> m_data;
};

// value into data[0..bytes-1], least or most significant byte first.
void PutLittleEndian(uint8_t* data, uint64_t value, size_t bytes);
void PutBigEndian(uint8_t* data, uint64_t value, size_t bytes);
