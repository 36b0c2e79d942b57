#include "standins/mux/BackgroundWriter.h"

#include "standins/mux/ContainerWriter.h"

namespace {

// Posted bytes beyond which Post waits for the thread.
constexpr uint64_t kBacklogBytes = 4u << 20;
// Small copies (sound) gather this many bytes before they wake the thread: a
// held sample wakes it at once, as upstream waits for its buffer.
constexpr uint64_t kWakeBytes = 64u << 10;
constexpr size_t kSpareBuffers = 4;

}  // namespace

BackgroundWriter::BackgroundWriter(ContainerWriter& writer)
    : m_writer(writer), m_thread([this] { Run(); }) {}

BackgroundWriter::~BackgroundWriter() { Drain(); }

int32_t BackgroundWriter::Post(Sample sample) {
  standin::SlimAutoLock lock(m_lock);
  const bool held = sample.held != nullptr;
  m_backlog += sample.Size();
  m_queue.push_back(std::move(sample));
  if (m_idle && (held || m_backlog >= kWakeBytes)) WakeConditionVariable(&m_posted);
  while (m_backlog > kBacklogBytes && m_failure == 0) {
    m_posterWaits = true;
    m_lock.Wait(m_written);
  }
  return m_failure;
}

int32_t BackgroundWriter::Drain() {
  {
    standin::SlimAutoLock lock(m_lock);
    m_draining = true;
    WakeConditionVariable(&m_posted);
  }
  if (m_thread.joinable()) m_thread.join();
  return m_failure;
}

std::vector<std::vector<uint8_t>> BackgroundWriter::TakeSpareBuffers() {
  std::vector<std::vector<uint8_t>> spare;
  standin::SlimAutoLock lock(m_lock);
  spare.swap(m_spare);
  return spare;
}

void BackgroundWriter::Run() {
  standin::SlimAutoLock lock(m_lock);
  for (;;) {
    while (m_queue.empty() && !m_draining) {
      m_idle = true;
      m_lock.Wait(m_posted);
      m_idle = false;
    }
    if (m_queue.empty()) return;
    Sample sample = std::move(m_queue.front());
    m_queue.pop_front();
    const size_t size = sample.Size();
    int32_t status = m_failure;
    m_lock.Leave();
    if (status == 0)
      status = m_writer.Write(sample.stream, sample.Bytes(), size, sample.keyFrame, sample.time);
    sample.held.Reset();
    m_lock.Enter();
    WrittenLocked(sample, size, status);
  }
}

void BackgroundWriter::WrittenLocked(Sample& sample, size_t size, int32_t status) {
  if (m_failure == 0) m_failure = status;
  m_backlog -= size;
  if (sample.data.capacity() > 0 && m_spare.size() < kSpareBuffers)
    m_spare.push_back(std::move(sample.data));
  if (m_posterWaits && (m_backlog <= kBacklogBytes || m_failure != 0)) {
    m_posterWaits = false;
    WakeAllConditionVariable(&m_written);
  }
}
