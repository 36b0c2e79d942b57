#include "standins/base/InputPin.h"

#include "standins/base/ComObject.h"
#include "standins/base/Filter.h"
#include "standins/base/SampleAllocator.h"

namespace standin {

namespace {

// Enough for a pass-through filter to copy a sample into another buffer of
// the same allocator while upstream fills a third.
constexpr long kOfferedBuffers = 3;

}  // namespace

InputPin::InputPin(Filter& filter, std::wstring name)
    : Pin(filter, PINDIR_INPUT, std::move(name)) {}

STDMETHODIMP InputPin::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (riid == IID_IMemInputPin) return GetInterface(static_cast<IMemInputPin*>(this), object);
  return Pin::QueryInterface(riid, object);
}

STDMETHODIMP InputPin::Connect(IPin*, const AM_MEDIA_TYPE*) { return E_UNEXPECTED; }

STDMETHODIMP InputPin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) {
  if (!connector || !mt) return E_POINTER;
  AutoLock lock(m_filter.StateLock());
  if (IsConnected()) return VFW_E_ALREADY_CONNECTED;
  if (m_filter.State() != State_Stopped) return VFW_E_NOT_STOPPED;
  PIN_DIRECTION direction;
  if (FAILED(connector->QueryDirection(&direction)) || direction != PINDIR_OUTPUT)
    return VFW_E_INVALID_DIRECTION;
  if (CheckMediaType(*mt) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
  HRESULT hr = SetConnection(connector, *mt);
  if (FAILED(hr)) return hr;
  hr = CompleteConnect(connector);
  if (FAILED(hr)) {
    ClearConnection();
    BreakConnect();
  }
  return hr;
}

STDMETHODIMP InputPin::EndOfStream() {
  if (Flushing()) return S_FALSE;
  InterlockedExchange(&m_endOfStream, 1);
  return OnEndOfStream();
}

STDMETHODIMP InputPin::BeginFlush() {
  InterlockedExchange(&m_flushing, 1);
  return OnBeginFlush();
}

STDMETHODIMP InputPin::EndFlush() {
  HRESULT hr = OnEndFlush();
  InterlockedExchange(&m_endOfStream, 0);
  InterlockedExchange(&m_flushing, 0);
  return hr;
}

STDMETHODIMP InputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
  m_segmentStart = start;
  return OnNewSegment(start, stop, rate);
}

STDMETHODIMP InputPin::GetAllocator(IMemAllocator** allocator) {
  if (!allocator) return E_POINTER;
  AutoLock lock(m_filter.StateLock());
  if (!m_offered) m_offered.Attach(SampleAllocator::Create());
  return m_offered.CopyTo(allocator);
}

STDMETHODIMP InputPin::NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) {
  if (!allocator) return E_POINTER;
  AutoLock lock(m_filter.StateLock());
  m_allocator = allocator;
  m_readOnly = readOnly != FALSE;
  return S_OK;
}

STDMETHODIMP InputPin::GetAllocatorRequirements(ALLOCATOR_PROPERTIES* props) {
  if (!props) return E_POINTER;
  *props = {};
  props->cBuffers = kOfferedBuffers;
  props->cbAlign = 1;
  return S_OK;
}

STDMETHODIMP InputPin::Receive(IMediaSample* sample) {
  if (!sample) return E_POINTER;
  if (m_filter.State() == State_Stopped) return VFW_E_WRONG_STATE;
  if (Flushing()) return S_FALSE;
  if (EndOfStreamSeen()) return VFW_E_SAMPLE_REJECTED_EOS;
  return OnReceive(sample);
}

STDMETHODIMP InputPin::ReceiveMultiple(IMediaSample** samples, long count, long* processed) {
  if (!samples || !processed) return E_POINTER;
  HRESULT hr = S_OK;
  *processed = 0;
  while (*processed < count) {
    hr = Receive(samples[*processed]);
    if (hr != S_OK) break;
    ++*processed;
  }
  return hr;
}

STDMETHODIMP InputPin::ReceiveCanBlock() { return ReceiveMayBlock() ? S_OK : S_FALSE; }

HRESULT InputPin::Inactive() {
  InterlockedExchange(&m_endOfStream, 0);
  InterlockedExchange(&m_flushing, 0);
  return S_OK;
}

void InputPin::BreakConnect() {
  m_allocator.Reset();
  m_readOnly = false;
}

}  // namespace standin
