#pragma once
// A file format behind the multiplexer: it lays the streams' samples out in a
// file through a FileSink. Every call answers 0 or a failure code (an HRESULT
// value, as the filter reports it).
//
// After a failed write a writer refuses further samples; Finish still closes
// the file around what was written before, so that it stays readable.

#include <cstddef>
#include <cstdint>

class ContainerWriter {
 public:
  virtual ~ContainerWriter() = default;

  // Writes the headers.
  virtual int32_t Start() = 0;
  // One sample of a stream, in the order given (the caller interleaves). time:
  // its start in 100 ns units from the stream's first sample.
  virtual int32_t Write(size_t stream, const void* data, size_t size, bool keyFrame,
                        int64_t time) = 0;
  // Completes the headers and indexes. A second call answers as the first.
  virtual int32_t Finish() = 0;
};
