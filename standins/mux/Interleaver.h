#pragma once
// Puts the samples of several streams into one time order. A sample leaves
// once every stream that has not ended has one waiting, so the file follows the
// presentation times; a stream that runs ahead of the others waits in its queue
// (its producer holds back while Full says so).

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

struct QueuedSample {
  size_t stream = 0;
  int64_t time = 0;  // 100 ns units
  std::vector<uint8_t> data;
  bool keyFrame = true;
};

class Interleaver {
 public:
  Interleaver(size_t streams, uint64_t boundBytes);

  void Push(QueuedSample sample);
  // The stream sends nothing more.
  void End(size_t stream);
  // The next sample in time order (the lower stream first on equal times),
  // once the order is decided.
  bool Pop(QueuedSample& out);

  // The stream's queue holds its bound: its producer should wait.
  bool Full(size_t stream) const;
  bool AllEnded() const;

 private:
  struct Queue {
    std::deque<QueuedSample> samples;
    uint64_t bytes = 0;
    bool ended = false;
  };
  std::vector<Queue> m_queues;
  uint64_t m_boundBytes;
};
