#pragma once
// Writes a file's samples through its ContainerWriter on a thread of its own,
// in the order they are posted, so that the streaming threads that post them
// do not wait for the disk: only while more than a backlog of bytes waits. A
// sample's bytes stay valid until written: its own copy, or upstream's media
// sample, held until then (upstream gets that buffer back once it is written).
// After a failed write nothing more is written, and Post and Drain answer the
// failure.
//
// Threads: Post and TakeSpareBuffers from one thread at a time (the
// multiplexer's lock), Drain once; the container writer is used only on the
// writing thread from construction until Drain has returned.

#include <dshow.h>
#include <wrl/client.h>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <thread>
#include <vector>

#include "standins/base/SlimLock.h"

class ContainerWriter;

class BackgroundWriter {
 public:
  struct Sample {
    size_t stream = 0;
    int64_t time = 0;  // in the file, 100 ns units
    bool keyFrame = true;
    std::vector<uint8_t> data;  // its own bytes; or else
    Microsoft::WRL::ComPtr<IMediaSample> held;
    const uint8_t* heldBytes = nullptr;  // in held
    size_t heldSize = 0;

    const uint8_t* Bytes() const { return held ? heldBytes : data.data(); }
    size_t Size() const { return held ? heldSize : data.size(); }
  };

  // writer: not owned, outlives Drain.
  explicit BackgroundWriter(ContainerWriter& writer);
  ~BackgroundWriter();
  BackgroundWriter(const BackgroundWriter&) = delete;
  BackgroundWriter& operator=(const BackgroundWriter&) = delete;

  // Queues the sample; waits while the backlog is full. The first failure of
  // a write so far, or 0.
  int32_t Post(Sample sample);
  // Waits until every sample posted is written and the thread has ended. The
  // first failure of a write, or 0.
  int32_t Drain();
  // The buffers of written copies, for later copies.
  std::vector<std::vector<uint8_t>> TakeSpareBuffers();

 private:
  void Run();
  // The written sample's bytes (size of them) are let go; its copy's buffer is kept.
  void WrittenLocked(Sample& sample, size_t size, int32_t status);

  ContainerWriter& m_writer;
  standin::SlimLock m_lock;
  CONDITION_VARIABLE m_posted = CONDITION_VARIABLE_INIT;   // a sample or Drain for the thread
  CONDITION_VARIABLE m_written = CONDITION_VARIABLE_INIT;  // the backlog shrank
  std::deque<Sample> m_queue;
  uint64_t m_backlog = 0;  // bytes posted and not yet written
  bool m_idle = false;     // the thread waits for m_posted
  bool m_posterWaits = false;
  bool m_draining = false;
  int32_t m_failure = 0;
  std::vector<std::vector<uint8_t>> m_spare;
  std::thread m_thread;
};
