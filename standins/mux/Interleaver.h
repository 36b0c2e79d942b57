#pragma once
// Puts the samples of several streams into one time order. A sample leaves
// once every stream that has not ended has one waiting, so the file follows the
// presentation times; a stream that runs ahead of the others waits in its
// queue. A queue holds at most so many bytes or so long a time, whichever comes
// first: beyond that its oldest samples leave out of time order, so that no
// producer ever waits for another stream (one thread may feed them all) and
// memory stays bounded.
//
// A sample may come borrowed: its bytes stay the producer's, so that one that
// leaves at once is written without a copy. Keep copies the borrowed samples
// still waiting before the producer reuses its buffer; the copies go into
// buffers handed back by Recycle, so that steady streaming allocates nothing.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

struct QueuedSample {
  size_t stream = 0;
  int64_t time = 0;  // 100 ns units
  std::vector<uint8_t> data;
  bool keyFrame = true;
  // Instead of data: the producer's bytes, valid until Interleaver::Keep.
  const uint8_t* borrowed = nullptr;
  size_t borrowedSize = 0;

  const uint8_t* Bytes() const { return borrowed ? borrowed : data.data(); }
  size_t Size() const { return borrowed ? borrowedSize : data.size(); }
};

class Interleaver {
 public:
  // boundSpan: 100 ns units, not negative, from the queue's first sample to its last.
  Interleaver(size_t streams, uint64_t boundBytes, int64_t boundSpan);

  void Push(QueuedSample sample);
  // The stream sends nothing more.
  void End(size_t stream);
  // The next sample in time order (the lower stream first on equal times),
  // once the order is decided; else the oldest of a full queue.
  bool Pop(QueuedSample& out);
  // Every borrowed sample still queued gets bytes of its own.
  void Keep();
  // A written sample's buffer, to hold a later copy.
  void Recycle(std::vector<uint8_t> buffer);
  // size bytes for a copy, in a recycled buffer where one is spare.
  std::vector<uint8_t> Buffer(size_t size);

  // The stream's queue holds its bound: Pop lets its oldest sample out.
  bool Full(size_t stream) const;
  bool AllEnded() const;

 private:
  struct Queue {
    std::deque<QueuedSample> samples;
    uint64_t bytes = 0;
    size_t borrowed = 0;  // samples with borrowed bytes, the last ones as a rule
    bool ended = false;
  };

  Queue* FullQueue();

  std::vector<Queue> m_queues;
  uint64_t m_boundBytes;
  int64_t m_boundSpan;
  std::vector<std::vector<uint8_t>> m_spare;
};
