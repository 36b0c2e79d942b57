#pragma once
// The times at which samples go into a file. A sample without a time takes
// the next one of its stream (where the one before it ended), and the file's
// 0 is the earliest stream's first sample, so that the streams keep their
// offsets against each other. Where samples must be written before every
// stream has sent one, a stream yet to come is taken to start no earlier than
// its segment. A stream whose times jump by more than an hour goes on where it
// was. No Windows headers: built natively too.

#include <cstddef>
#include <cstdint>
#include <vector>

struct StreamInfo;

class StreamTimes {
 public:
  // streams: described once for the run; they outlive this.
  explicit StreamTimes(const std::vector<StreamInfo>& streams);

  // The stream's times follow a segment that starts at start (100 ns units).
  void Segment(size_t stream, int64_t start);
  // When a sample of bytes bytes that came with start (or none) and stop (or
  // none) plays, in upstream's times (100 ns units).
  int64_t Arrived(size_t stream, const int64_t* start, const int64_t* stop, size_t bytes);
  // The stream sends nothing more.
  void Ended(size_t stream);
  bool HasEnded(size_t stream) const { return m_state[stream].ended; }
  // Where a sample of that time lies in the file, for the samples in the order
  // they are written: never before 0.
  int64_t InFile(int64_t time);
  // When the latest sample that arrived stops playing, in upstream's times; 0
  // before any.
  int64_t LatestEnd() const { return m_latestEnd; }

 private:
  struct Stream {
    int64_t next = 0;   // where its next untimed sample goes
    int64_t first = 0;  // its first sample's time, once started
    int64_t segment = 0;
    int64_t shift = 0;  // added to its times since a jump
    bool started = false;
    bool ended = false;
  };

  int64_t EarliestStart(int64_t time) const;

  const std::vector<StreamInfo>& m_streams;
  std::vector<Stream> m_state;
  int64_t m_origin = 0;
  bool m_hasOrigin = false;
  int64_t m_latestEnd = 0;
};
