#include "standins/base/SampleAllocator.h"

#include <climits>
#include <optional>

#include "standins/base/MediaType.h"

namespace standin {

// One buffer with the properties of the sample it is handed out as. Its last
// Release gives it back to the allocator that owns it.
class AllocatedSample final : public IMediaSample {
 public:
  AllocatedSample(SampleAllocator& owner, const ALLOCATOR_PROPERTIES& props)
      : m_owner(owner),
        m_memory(static_cast<size_t>(props.cbPrefix) + static_cast<size_t>(props.cbBuffer) +
                 static_cast<size_t>(props.cbAlign)) {
    // The data after the prefix starts on an alignment boundary.
    const auto base = reinterpret_cast<uintptr_t>(m_memory.data()) + static_cast<uintptr_t>(props.cbPrefix);
    const auto align = static_cast<uintptr_t>(props.cbAlign);
    m_data = reinterpret_cast<BYTE*>((base + align - 1) / align * align);
    m_size = props.cbBuffer;
  }

  // As GetBuffer hands it out: one reference, no times, no flags.
  void Reset() {
    m_refs = 1;
    m_actual = m_size;
    m_start = m_stop = m_mediaStart = m_mediaStop = 0;
    m_timed = m_stopTimed = m_mediaTimed = false;
    m_syncPoint = m_preroll = m_discontinuity = false;
    m_type.reset();
  }

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (riid != IID_IUnknown && riid != IID_IMediaSample) return E_NOINTERFACE;
    return GetInterface(static_cast<IMediaSample*>(this), object);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG left = InterlockedDecrement(&m_refs);
    if (left == 0) m_owner.TakeBack(this);  // this may be gone afterwards
    return static_cast<ULONG>(left);
  }

  STDMETHODIMP GetPointer(BYTE** buffer) override {
    if (!buffer) return E_POINTER;
    *buffer = m_data;
    return S_OK;
  }
  STDMETHODIMP_(long) GetSize() override { return m_size; }
  STDMETHODIMP GetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) override {
    if (!start || !stop) return E_POINTER;
    if (!m_timed) return VFW_E_SAMPLE_TIME_NOT_SET;
    *start = m_start;
    *stop = m_stopTimed ? m_stop : m_start + 1;
    return m_stopTimed ? S_OK : VFW_S_NO_STOP_TIME;
  }
  STDMETHODIMP SetTime(REFERENCE_TIME* start, REFERENCE_TIME* stop) override {
    m_timed = start != nullptr;
    m_stopTimed = m_timed && stop != nullptr;
    if (m_timed) m_start = *start;
    if (m_stopTimed) m_stop = *stop;
    return S_OK;
  }
  STDMETHODIMP IsSyncPoint() override { return m_syncPoint ? S_OK : S_FALSE; }
  STDMETHODIMP SetSyncPoint(BOOL value) override {
    m_syncPoint = value != FALSE;
    return S_OK;
  }
  STDMETHODIMP IsPreroll() override { return m_preroll ? S_OK : S_FALSE; }
  STDMETHODIMP SetPreroll(BOOL value) override {
    m_preroll = value != FALSE;
    return S_OK;
  }
  STDMETHODIMP_(long) GetActualDataLength() override { return m_actual; }
  STDMETHODIMP SetActualDataLength(long length) override {
    if (length < 0 || length > m_size) return VFW_E_BUFFER_OVERFLOW;
    m_actual = length;
    return S_OK;
  }
  STDMETHODIMP GetMediaType(AM_MEDIA_TYPE** type) override {
    if (!type) return E_POINTER;
    *type = nullptr;
    if (!m_type) return S_FALSE;
    *type = NewTaskMediaType(m_type->Get());
    return *type ? S_OK : E_OUTOFMEMORY;
  }
  STDMETHODIMP SetMediaType(AM_MEDIA_TYPE* type) override {
    if (!type) {
      m_type.reset();
      return S_OK;
    }
    m_type.emplace();
    return m_type->Set(*type);
  }
  STDMETHODIMP IsDiscontinuity() override { return m_discontinuity ? S_OK : S_FALSE; }
  STDMETHODIMP SetDiscontinuity(BOOL value) override {
    m_discontinuity = value != FALSE;
    return S_OK;
  }
  STDMETHODIMP GetMediaTime(LONGLONG* start, LONGLONG* stop) override {
    if (!start || !stop) return E_POINTER;
    if (!m_mediaTimed) return VFW_E_MEDIA_TIME_NOT_SET;
    *start = m_mediaStart;
    *stop = m_mediaStop;
    return S_OK;
  }
  STDMETHODIMP SetMediaTime(LONGLONG* start, LONGLONG* stop) override {
    m_mediaTimed = start && stop;
    if (m_mediaTimed) {
      m_mediaStart = *start;
      m_mediaStop = *stop;
    }
    return S_OK;
  }

 private:
  SampleAllocator& m_owner;
  std::vector<BYTE> m_memory;
  BYTE* m_data = nullptr;
  long m_size = 0;
  volatile LONG m_refs = 0;
  long m_actual = 0;
  REFERENCE_TIME m_start = 0, m_stop = 0;
  LONGLONG m_mediaStart = 0, m_mediaStop = 0;
  bool m_timed = false, m_stopTimed = false, m_mediaTimed = false;
  bool m_syncPoint = false, m_preroll = false, m_discontinuity = false;
  std::optional<MediaType> m_type;
};

namespace {

bool PowerOfTwo(long value) { return value > 0 && (value & (value - 1)) == 0; }

}  // namespace

SampleAllocator* SampleAllocator::Create() { return new SampleAllocator(); }

SampleAllocator::SampleAllocator() = default;
SampleAllocator::~SampleAllocator() = default;

STDMETHODIMP SampleAllocator::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (riid != IID_IUnknown && riid != IID_IMemAllocator) return E_NOINTERFACE;
  return GetInterface(static_cast<IMemAllocator*>(this), object);
}

STDMETHODIMP SampleAllocator::SetProperties(ALLOCATOR_PROPERTIES* request,
                                            ALLOCATOR_PROPERTIES* actual) {
  if (!request || !actual) return E_POINTER;
  const long align = request->cbAlign ? request->cbAlign : 1;
  if (!PowerOfTwo(align) || request->cBuffers < 0 || request->cbBuffer < 0 ||
      request->cbPrefix < 0)
    return VFW_E_BADALIGN;
  // Each buffer's memory, its prefix and alignment slack included, fits a long.
  if (request->cbBuffer > LONG_MAX - request->cbPrefix - align) return E_OUTOFMEMORY;
  SlimAutoLock lock(m_lock);
  if (m_committed) return VFW_E_ALREADY_COMMITTED;
  if (m_outstanding > 0) return VFW_E_BUFFERS_OUTSTANDING;
  FreeBuffersLocked();
  m_props = *request;
  m_props.cBuffers = request->cBuffers > 0 ? request->cBuffers : 1;
  m_props.cbAlign = align;
  *actual = m_props;
  return S_OK;
}

STDMETHODIMP SampleAllocator::GetProperties(ALLOCATOR_PROPERTIES* props) {
  if (!props) return E_POINTER;
  SlimAutoLock lock(m_lock);
  *props = m_props;
  return S_OK;
}

STDMETHODIMP SampleAllocator::Commit() {
  SlimAutoLock lock(m_lock);
  if (m_committed) return S_OK;
  if (m_props.cbBuffer <= 0) return VFW_E_SIZENOTSET;
  try {
    // Buffers of an earlier commit whose samples are all back are kept.
    while (m_samples.size() < static_cast<size_t>(m_props.cBuffers)) {
      m_samples.push_back(std::make_unique<AllocatedSample>(*this, m_props));
      m_free.push_back(m_samples.back().get());
    }
  } catch (const std::bad_alloc&) {
    FreeBuffersLocked();
    return E_OUTOFMEMORY;
  }
  m_committed = true;
  return S_OK;
}

STDMETHODIMP SampleAllocator::Decommit() {
  SlimAutoLock lock(m_lock);
  m_committed = false;
  if (m_outstanding == 0) FreeBuffersLocked();
  WakeAllConditionVariable(&m_returned);
  return S_OK;
}

STDMETHODIMP SampleAllocator::GetBuffer(IMediaSample** sample, REFERENCE_TIME*, REFERENCE_TIME*,
                                        DWORD flags) {
  if (!sample) return E_POINTER;
  *sample = nullptr;
  AllocatedSample* taken = nullptr;
  {
    SlimAutoLock lock(m_lock);
    while (m_committed && m_free.empty() && !(flags & AM_GBF_NOWAIT)) {
      ++m_waiting;
      m_lock.Wait(m_returned);
      --m_waiting;
    }
    if (!m_committed) return VFW_E_NOT_COMMITTED;
    if (m_free.empty()) return VFW_E_TIMEOUT;
    taken = m_free.back();
    m_free.pop_back();
    ++m_outstanding;
  }
  taken->Reset();
  AddRef();  // an outstanding sample keeps its allocator
  *sample = taken;
  return S_OK;
}

// Samples come back through their own Release.
STDMETHODIMP SampleAllocator::ReleaseBuffer(IMediaSample*) { return E_NOTIMPL; }

void SampleAllocator::TakeBack(AllocatedSample* sample) {
  {
    SlimAutoLock lock(m_lock);
    m_free.push_back(sample);
    --m_outstanding;
    if (!m_committed && m_outstanding == 0) FreeBuffersLocked();
    WakeAllConditionVariable(&m_returned);
  }
  Release();
}

size_t SampleAllocator::Waiting() {
  SlimAutoLock lock(m_lock);
  return m_waiting;
}

void SampleAllocator::FreeBuffersLocked() {
  m_free.clear();
  m_samples.clear();
}

}  // namespace standin
