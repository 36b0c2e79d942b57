#pragma once
// Little-endian ASF building blocks: GUIDs and a byte buffer that lays out
// objects (a GUID and a 64-bit size, then the object's fields). No Windows
// headers: built natively too.

#include <cstddef>
#include <cstdint>

#include "standins/mux/ByteBuilder.h"

// A GUID as ASF stores it: the first three fields little-endian, then 8 bytes.
struct AsfGuid {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  uint8_t data4[8] = {};
};

class AsfBytes : public ByteBuilder {
 public:
  void Guid(const AsfGuid& guid);

  // Starts an object and gives the place of its size field for End, which
  // fills in the object's size with its GUID and size field.
  size_t Begin(const AsfGuid& guid);
  void End(size_t sizeField);
};
