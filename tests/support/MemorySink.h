#pragma once
// A FileSink in memory; writes that reach beyond the capacity fail as on a full disk.

#include <cstdint>
#include <cstring>
#include <vector>

#include "standins/mux/FileSink.h"

struct MemorySink : FileSink {
  static constexpr int32_t kDiskFull = static_cast<int32_t>(0x80070070u);

  int32_t WriteAt(uint64_t offset, const void* data, size_t size) override {
    if (offset + size > capacity) return kDiskFull;
    if (offset + size > bytes.size()) bytes.resize(offset + size);
    memcpy(&bytes[offset], data, size);
    return 0;
  }
  int32_t Truncate(uint64_t size) override {
    bytes.resize(size);
    return 0;
  }
  std::vector<uint8_t> bytes;
  uint64_t capacity = ~0ull;
};
