#pragma once
// The times at which samples go into a file. A sample without a time takes
// the next one of its stream (where the one before it ended), and the file's
// 0 is the first time written: the earliest stream's first sample, so that
// the streams keep their offsets against each other. No Windows headers:
// built natively too.

#include <cstddef>
#include <cstdint>
#include <vector>

struct StreamInfo;

class StreamTimes {
 public:
  // streams: described once for the run; they outlive this.
  explicit StreamTimes(const std::vector<StreamInfo>& streams);

  // When a sample of bytes bytes that came with start (or none) and stop (or
  // none) plays, in upstream's times (100 ns units).
  int64_t Arrived(size_t stream, const int64_t* start, const int64_t* stop, size_t bytes);
  // Where a sample of that time lies in the file, for the samples in the order
  // they are written (by time): never before 0.
  int64_t InFile(int64_t time);
  // When the latest sample that arrived stops playing, in upstream's times; 0
  // before any.
  int64_t LatestEnd() const { return m_latestEnd; }

 private:
  const std::vector<StreamInfo>& m_streams;
  std::vector<int64_t> m_next;  // per stream
  int64_t m_origin = 0;
  bool m_hasOrigin = false;
  int64_t m_latestEnd = 0;
};
