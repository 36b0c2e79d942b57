#include "standins/mux/Interleaver.h"

#include <utility>

Interleaver::Interleaver(size_t streams, uint64_t boundBytes)
    : m_queues(streams), m_boundBytes(boundBytes) {}

void Interleaver::Push(QueuedSample sample) {
  Queue& queue = m_queues[sample.stream];
  queue.bytes += sample.data.size();
  queue.samples.push_back(std::move(sample));
}

void Interleaver::End(size_t stream) { m_queues[stream].ended = true; }

bool Interleaver::Pop(QueuedSample& out) {
  Queue* earliest = nullptr;
  for (Queue& queue : m_queues) {
    if (queue.samples.empty()) {
      if (!queue.ended) return false;  // its next sample may come first
      continue;
    }
    if (!earliest || queue.samples.front().time < earliest->samples.front().time) earliest = &queue;
  }
  if (!earliest) return false;
  out = std::move(earliest->samples.front());
  earliest->samples.pop_front();
  earliest->bytes -= out.data.size();
  return true;
}

bool Interleaver::Full(size_t stream) const { return m_queues[stream].bytes >= m_boundBytes; }

bool Interleaver::AllEnded() const {
  for (const Queue& queue : m_queues)
    if (!queue.ended) return false;
  return true;
}
