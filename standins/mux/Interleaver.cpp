#include "standins/mux/Interleaver.h"

#include <algorithm>
#include <utility>

namespace {

constexpr size_t kSpareBuffers = 4;  // kept for copies; enough for pictures that wait a little

}  // namespace

Interleaver::Interleaver(size_t streams, uint64_t boundBytes, int64_t boundSpan)
    : m_queues(streams), m_boundBytes(boundBytes), m_boundSpan(boundSpan) {}

void Interleaver::Push(QueuedSample sample) {
  Queue& queue = m_queues[sample.stream];
  queue.bytes += sample.Size();
  if (sample.borrowed) ++queue.borrowed;
  queue.samples.push_back(std::move(sample));
}

void Interleaver::End(size_t stream) { m_queues[stream].ended = true; }

bool Interleaver::Pop(QueuedSample& out) {
  Queue* earliest = nullptr;
  bool decided = true;  // no open stream may still send an earlier sample
  for (Queue& queue : m_queues) {
    if (queue.samples.empty()) {
      decided = decided && queue.ended;
      continue;
    }
    if (!earliest || queue.samples.front().time < earliest->samples.front().time) earliest = &queue;
  }
  if (!decided) earliest = FullQueue();
  if (!earliest) return false;
  out = std::move(earliest->samples.front());
  earliest->samples.pop_front();
  earliest->bytes -= out.Size();
  if (out.borrowed) --earliest->borrowed;
  return true;
}

Interleaver::Queue* Interleaver::FullQueue() {
  for (size_t i = 0; i < m_queues.size(); ++i)
    if (Full(i)) return &m_queues[i];
  return nullptr;
}

void Interleaver::Keep() {
  for (Queue& queue : m_queues) {
    for (auto sample = queue.samples.rbegin(); queue.borrowed > 0; ++sample) {
      if (!sample->borrowed) continue;
      sample->data = Buffer(sample->borrowedSize);
      std::copy_n(sample->borrowed, sample->borrowedSize, sample->data.begin());
      sample->borrowed = nullptr;
      --queue.borrowed;
    }
  }
}

void Interleaver::Recycle(std::vector<uint8_t> buffer) {
  if (buffer.capacity() > 0 && m_spare.size() < kSpareBuffers) m_spare.push_back(std::move(buffer));
}

// A spare that holds size bytes without growing, else any spare.
std::vector<uint8_t> Interleaver::Buffer(size_t size) {
  std::vector<uint8_t> buffer;
  if (!m_spare.empty()) {
    size_t pick = m_spare.size() - 1;
    for (size_t i = 0; i < m_spare.size(); ++i)
      if (m_spare[i].capacity() >= size) pick = i;
    buffer = std::move(m_spare[pick]);
    m_spare.erase(m_spare.begin() + static_cast<std::ptrdiff_t>(pick));
  }
  buffer.resize(size);
  return buffer;
}

bool Interleaver::Full(size_t stream) const {
  const Queue& queue = m_queues[stream];
  if (queue.samples.empty()) return false;
  if (queue.bytes >= m_boundBytes) return true;
  // Upstream's times may lie anywhere: neither difference below overflows.
  const int64_t first = queue.samples.front().time;
  const int64_t last = queue.samples.back().time;
  if (last <= first) return false;
  if (last < 0) return last - first >= m_boundSpan;
  return first <= last - m_boundSpan;
}

bool Interleaver::AllEnded() const {
  for (const Queue& queue : m_queues)
    if (!queue.ended) return false;
  return true;
}
