#pragma once
// A file in memory. Writes that reach beyond the capacity fail as on a full
// disk: the part that fits is written, the rest is not.

#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "standins/avi/FileSink.h"

class MemoryFileSink : public FileSink {
 public:
  static constexpr int32_t kDiskFull = static_cast<int32_t>(0x80070070u);

  int32_t WriteAt(uint64_t offset, const void* data, size_t size) override {
    const uint64_t end = offset + size;
    const uint64_t fits = end > capacity ? (offset < capacity ? capacity - offset : 0) : size;
    if (offset + fits > bytes.size()) bytes.resize(offset + fits);
    if (fits > 0) std::memcpy(&bytes[offset], data, fits);
    return fits == size ? 0 : kDiskFull;
  }
  int32_t Truncate(uint64_t size) override {
    bytes.resize(size);
    return 0;
  }

  std::vector<uint8_t> bytes;
  uint64_t capacity = std::numeric_limits<uint64_t>::max();
};
