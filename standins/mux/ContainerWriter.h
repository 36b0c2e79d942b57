#pragma once
// A file format behind the multiplexer: it lays the streams' samples out in a
// file through a FileSink. Every call answers 0 or a failure code (an HRESULT
// value, as the filter reports it).
//
// Start comes once, then samples, then Finish. After a failed write a writer
// refuses further samples; Finish still closes the file around what was
// written before, so that it stays readable. This class keeps that order and
// the first failure; each format writes behind it.

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

  // Writes the headers; kInvalidArg, with nothing written, for streams or
  // limits that the format cannot hold.
  int32_t Start();
  // One sample of a stream, in the order given (the caller interleaves). time:
  // its start in 100 ns units from the stream's first sample.
  int32_t Write(size_t stream, const void* data, size_t size, bool keyFrame, int64_t time);
  // Completes the headers and indexes. A second call answers as the first.
  int32_t Finish();

 protected:
  explicit ContainerWriter(size_t streamCount) : m_streamCount(streamCount) {}

  // 0 when a sample of stream may be written now; else the first failure, or
  // kUnexpected before Start, after Finish or for a stream that is not there.
  int32_t Refusal(size_t stream) const;
  // status, kept as the first failure when it is one and none came before.
  int32_t Keep(int32_t status);
  int32_t Failure() const { return m_failure; }

  // The first of the codes that is not 0, or 0.
  static int32_t FirstFailure(std::initializer_list<int32_t> codes) {
    for (int32_t code : codes)
      if (code != 0) return code;
    return 0;
  }

 private:
  // What each format does behind the guard.
  virtual bool Acceptable() const = 0;
  virtual int32_t WriteHead() = 0;
  virtual int32_t WriteSample(size_t stream, const void* data, size_t size, bool keyFrame,
                              int64_t time) = 0;
  // Every closing step is tried; the first failure among them, or 0.
  virtual int32_t WriteEnd() = 0;

  size_t m_streamCount;
  bool m_started = false;
  bool m_finished = false;
  int32_t m_failure = 0;
};
