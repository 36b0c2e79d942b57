#pragma once
// Little-endian ASF building blocks: GUIDs and a byte buffer that lays out
// objects (a GUID and a 64-bit size, then the object's fields). No Windows
// headers: built natively too.

#include <cstddef>
#include <cstdint>
#include <vector>

// A GUID as ASF stores it: the first three fields little-endian, then 8 bytes.
struct AsfGuid {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  uint8_t data4[8] = {};
};

class AsfBytes {
 public:
  void U8(uint8_t value) { m_data.push_back(value); }
  void U16(uint16_t value);
  void U32(uint32_t value);
  void U64(uint64_t value);
  void Guid(const AsfGuid& guid);
  void Append(const void* data, size_t size);
  void Zeros(size_t count);

  // Starts an object and gives the place of its size field for End, which
  // fills in the object's size with its GUID and size field.
  size_t Begin(const AsfGuid& guid);
  void End(size_t sizeField);

  const std::vector<uint8_t>& Data() const { return m_data; }
  size_t Size() const { return m_data.size(); }

 private:
  std::vector<uint8_t> m_data;
};

// Little-endian value into data[0..bytes-1].
void PutLittleEndian(uint8_t* data, uint64_t value, size_t bytes);
