#pragma once
// A file format behind the multiplexer: it lays the streams' samples out in a
// file through a FileSink. Every call answers 0 or a failure code (an HRESULT
// value, as the filter reports it).
//
// After a failed write a writer refuses further samples; Finish still closes
// the file around what was written before, so that it stays readable.

#include <cstddef>
#include <cstdint>
#include <initializer_list>

class ContainerWriter {
 public:
  // HRESULT values.
  static constexpr int32_t kUnexpected = static_cast<int32_t>(0x8000FFFFu);  // E_UNEXPECTED
  static constexpr int32_t kInvalidArg = static_cast<int32_t>(0x80070057u);  // E_INVALIDARG
  static constexpr int32_t kFileTooLarge =
      static_cast<int32_t>(0x800700DFu);  // ERROR_FILE_TOO_LARGE

  virtual ~ContainerWriter() = default;

  // Writes the headers.
  virtual int32_t Start() = 0;
  // One sample of a stream, in the order given (the caller interleaves). time:
  // its start in 100 ns units from the stream's first sample.
  virtual int32_t Write(size_t stream, const void* data, size_t size, bool keyFrame,
                        int64_t time) = 0;
  // Completes the headers and indexes. A second call answers as the first.
  virtual int32_t Finish() = 0;

 protected:
  // The first of the codes that is not 0, or 0.
  static int32_t FirstFailure(std::initializer_list<int32_t> codes) {
    for (int32_t code : codes)
      if (code != 0) return code;
    return 0;
  }
};
