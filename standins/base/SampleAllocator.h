#pragma once
// A memory allocator for the stand-ins' pins: a fixed set of buffers handed
// out as media samples and taken back when their last reference goes. Waiting
// for a free buffer and handing one back go through a slim reader/writer lock
// and a condition variable, which take no trip through the system when nobody
// waits (the platform's allocator signals a kernel object per sample).
//
// Threads: any. Decommit wakes a GetBuffer that waits and makes it fail; the
// buffers are freed once every sample is back. An outstanding sample keeps the
// allocator alive.

#include <dshow.h>

#include <memory>
#include <vector>

#include "standins/base/ComObject.h"
#include "standins/base/SlimLock.h"

namespace standin {

class AllocatedSample;

class SampleAllocator final : public IMemAllocator {
 public:
  // Creates one, with its creation reference.
  static SampleAllocator* Create();

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STANDIN_REFCOUNTED_OBJECT

  // IMemAllocator
  STDMETHODIMP SetProperties(ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual) override;
  STDMETHODIMP GetProperties(ALLOCATOR_PROPERTIES* props) override;
  STDMETHODIMP Commit() override;
  STDMETHODIMP Decommit() override;
  STDMETHODIMP GetBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* stop,
                         DWORD flags) override;
  STDMETHODIMP ReleaseBuffer(IMediaSample* sample) override;

  // From a sample whose last reference went.
  void TakeBack(AllocatedSample* sample);
  // How many GetBuffer calls wait for a buffer now.
  size_t Waiting();

 private:
  SampleAllocator();
  ~SampleAllocator();
  void FreeBuffersLocked();

  RefCount m_refs;
  SlimLock m_lock;
  CONDITION_VARIABLE m_returned = CONDITION_VARIABLE_INIT;
  ALLOCATOR_PROPERTIES m_props = {};
  bool m_committed = false;
  size_t m_outstanding = 0;  // samples handed out and not yet back
  size_t m_waiting = 0;      // GetBuffer calls asleep on m_returned
  std::vector<std::unique_ptr<AllocatedSample>> m_samples;
  std::vector<AllocatedSample*> m_free;
};

}  // namespace standin
