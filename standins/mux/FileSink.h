#pragma once
// Where the writer's bytes go: a file on disk, or a test's memory. Every call
// answers 0 or a failure code (an HRESULT value, as the filter reports it).

#include <cstddef>
#include <cstdint>

class FileSink {
 public:
  virtual ~FileSink() = default;
  // Writes size bytes at offset (bytes from the start), growing the file.
  virtual int32_t WriteAt(uint64_t offset, const void* data, size_t size) = 0;
  // Cuts the file to size bytes.
  virtual int32_t Truncate(uint64_t size) = 0;
};
