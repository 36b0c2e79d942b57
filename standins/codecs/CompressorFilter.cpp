#include "standins/codecs/CompressorFilter.h"

#include <algorithm>
#include <cstring>
#include <new>

using standin::AutoLock;
using standin::MediaType;

class CompressorFilter::InPin final : public standin::InputPin {
 public:
  explicit InPin(CompressorFilter& filter) : InputPin(filter, L"In"), m_owner(filter) {}

  HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override { return m_owner.CheckInputType(mt); }

  // Once connected, no other type: the output was agreed for this one.
  STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* mt) override {
    if (!mt) return E_POINTER;
    if (!IsConnected()) return InputPin::QueryAccept(mt);
    const AM_MEDIA_TYPE& now = ConnectionType().Get();
    return mt->majortype == now.majortype && mt->subtype == now.subtype &&
                   mt->formattype == now.formattype && mt->cbFormat == now.cbFormat &&
                   memcmp(mt->pbFormat, now.pbFormat, now.cbFormat) == 0
               ? S_OK
               : S_FALSE;
  }

 protected:
  HRESULT OnReceive(IMediaSample* sample) override { return m_owner.Receive(sample); }
  HRESULT OnEndOfStream() override { return m_owner.EndOfStream(); }
  HRESULT OnBeginFlush() override { return m_owner.Output().DeliverBeginFlush(); }
  HRESULT OnEndFlush() override { return m_owner.EndFlush(); }
  HRESULT OnNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override {
    return m_owner.Output().DeliverNewSegment(start, stop, rate);
  }

 private:
  CompressorFilter& m_owner;
};

class CompressorFilter::OutPin final : public standin::OutputPin {
 public:
  explicit OutPin(CompressorFilter& filter) : OutputPin(filter, L"Out"), m_owner(filter) {}

  HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override { return m_owner.CheckOutputType(mt); }
  HRESULT GetMediaType(int n, MediaType& mt) override {
    if (!m_owner.Input().IsConnected()) return VFW_S_NO_MORE_ITEMS;
    return m_owner.GetOutputType(n, mt);
  }

 protected:
  HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES request) override {
    long bytes = 0, count = 0;
    m_owner.OutputBuffers(bytes, count);
    request.cbBuffer = std::max(request.cbBuffer, bytes);
    request.cBuffers = std::max(request.cBuffers, count);
    request.cbAlign = std::max(request.cbAlign, 1L);
    ALLOCATOR_PROPERTIES actual = {};
    HRESULT hr = allocator->SetProperties(&request, &actual);
    if (FAILED(hr)) return hr;
    return actual.cbBuffer < request.cbBuffer ? E_FAIL : S_OK;
  }
  standin::Pin* SeekingSource() override { return &m_owner.Input(); }

 private:
  CompressorFilter& m_owner;
};

CompressorFilter::CompressorFilter(const CLSID& clsid)
    : Filter(clsid), m_input(new InPin(*this)), m_output(new OutPin(*this)) {}

CompressorFilter::~CompressorFilter() = default;

standin::Pin* CompressorFilter::PinAt(int n) {
  if (n == 0) return m_input.get();
  if (n == 1) return m_output.get();
  return nullptr;
}

standin::InputPin& CompressorFilter::Input() { return *m_input; }
standin::OutputPin& CompressorFilter::Output() { return *m_output; }
const MediaType& CompressorFilter::InputType() { return m_input->ConnectionType(); }

HRESULT CompressorFilter::CheckOutputType(const AM_MEDIA_TYPE& mt) {
  MediaType ours;
  for (int n = 0; GetOutputType(n, ours) == S_OK; ++n) {
    const AM_MEDIA_TYPE& type = ours.Get();
    if (mt.majortype == type.majortype && mt.subtype == type.subtype &&
        mt.formattype == type.formattype && mt.cbFormat == type.cbFormat &&
        memcmp(mt.pbFormat, type.pbFormat, type.cbFormat) == 0)
      return S_OK;
  }
  return S_FALSE;
}

HRESULT CompressorFilter::OnPause(FILTER_STATE from) {
  if (from == State_Stopped) {
    AutoLock lock(m_streamLock);
    Restart();
  }
  return S_OK;
}

HRESULT CompressorFilter::Receive(IMediaSample* sample) {
  if (!m_output->IsConnected()) return VFW_E_NOT_CONNECTED;
  AutoLock lock(m_streamLock);
  try {
    return Transform(sample);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT CompressorFilter::EndOfStream() {
  {
    AutoLock lock(m_streamLock);
    try {
      Drain();
    } catch (const std::bad_alloc&) {
      // What was held back is lost; the stream still ends.
    }
  }
  return m_output->DeliverEndOfStream();
}

HRESULT CompressorFilter::EndFlush() {
  {
    AutoLock lock(m_streamLock);
    Restart();
  }
  return m_output->DeliverEndFlush();
}
