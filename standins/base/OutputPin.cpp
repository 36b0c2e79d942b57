#include "standins/base/OutputPin.h"

#include <algorithm>

#include "standins/base/ComObject.h"
#include "standins/base/Filter.h"
#include "standins/base/SampleAllocator.h"

using Microsoft::WRL::ComPtr;

namespace standin {

namespace {

bool FullySpecified(const AM_MEDIA_TYPE* mt) {
  return mt && mt->majortype != GUID_NULL && mt->subtype != GUID_NULL &&
         mt->formattype != GUID_NULL;
}

}  // namespace

OutputPin::OutputPin(Filter& filter, std::wstring name)
    : Pin(filter, PINDIR_OUTPUT, std::move(name)),
      m_seeking(*static_cast<IPin*>(this), [this] { return SeekingSource(); }) {}

STDMETHODIMP OutputPin::QueryInterface(REFIID riid, void** object) {
  if (!object) return E_POINTER;
  if (riid == IID_IMediaSeeking && SeekingSource())
    return GetInterface(static_cast<IMediaSeeking*>(&m_seeking), object);
  return Pin::QueryInterface(riid, object);
}

STDMETHODIMP OutputPin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* mt) {
  if (!receivePin) return E_POINTER;
  AutoLock lock(m_filter.StateLock());
  if (IsConnected()) return VFW_E_ALREADY_CONNECTED;
  if (m_filter.State() != State_Stopped) return VFW_E_NOT_STOPPED;
  if (FullySpecified(mt)) return TryConnect(receivePin, *mt);
  return ConnectWithProposals(receivePin, mt);
}

// Our own proposals first, then the receiving pin's; the first type both
// ends take wins.
HRESULT OutputPin::ConnectWithProposals(IPin* receivePin, const AM_MEDIA_TYPE* partial) {
  const AM_MEDIA_TYPE any = {};
  const AM_MEDIA_TYPE& wanted = partial ? *partial : any;
  MediaType mt;
  for (int i = 0; GetMediaType(i, mt) == S_OK; ++i)
    if (MatchesPartialType(mt.Get(), wanted) && SUCCEEDED(TryConnect(receivePin, mt.Get())))
      return S_OK;

  ComPtr<IEnumMediaTypes> types;
  if (SUCCEEDED(receivePin->EnumMediaTypes(&types))) {
    AM_MEDIA_TYPE* offered = nullptr;
    while (types->Next(1, &offered, nullptr) == S_OK) {
      const bool ok = MatchesPartialType(*offered, wanted) && CheckMediaType(*offered) == S_OK &&
                      SUCCEEDED(TryConnect(receivePin, *offered));
      DeleteTaskMediaType(offered);
      if (ok) return S_OK;
    }
  }
  return VFW_E_NO_ACCEPTABLE_TYPES;
}

HRESULT OutputPin::TryConnect(IPin* receivePin, const AM_MEDIA_TYPE& mt) {
  if (CheckMediaType(mt) != S_OK) return VFW_E_TYPE_NOT_ACCEPTED;
  // Recorded first: the receiving pin may ask about the connection while it accepts it.
  HRESULT hr = SetConnection(receivePin, mt);
  if (FAILED(hr)) return hr;
  hr = receivePin->ReceiveConnection(this, &mt);
  if (FAILED(hr)) {
    ClearConnection();
    return hr;
  }
  ComPtr<IMemInputPin> input;
  hr = receivePin->QueryInterface(IID_PPV_ARGS(&input));
  if (SUCCEEDED(hr)) hr = DecideAllocator(input.Get(), m_allocator);
  if (SUCCEEDED(hr)) {
    m_input = input;
    hr = CompleteConnect(receivePin);
  }
  if (FAILED(hr)) {
    receivePin->Disconnect();
    ClearConnection();
    BreakConnect();
  }
  return hr;
}

HRESULT OutputPin::DecideAllocator(IMemInputPin* input, ComPtr<IMemAllocator>& allocator) {
  // A copy into another of upstream's buffers must not wait for the one held.
  ALLOCATOR_PROPERTIES upstream = {};
  IMemAllocator* passed = PassThroughAllocator();
  if (passed && SUCCEEDED(passed->GetProperties(&upstream)) && upstream.cBuffers >= 2 &&
      SUCCEEDED(input->NotifyAllocator(passed, FALSE))) {
    allocator = passed;
    m_passesUpstreamSamples = true;
    m_inUpstreamBuffers = true;
    return S_OK;
  }
  m_inUpstreamBuffers = false;
  ALLOCATOR_PROPERTIES request = {};
  input->GetAllocatorRequirements(&request);
  ComPtr<IMemAllocator> candidate;
  if (SUCCEEDED(input->GetAllocator(&candidate)) &&
      SUCCEEDED(DecideBufferSize(candidate.Get(), request)) &&
      SUCCEEDED(input->NotifyAllocator(candidate.Get(), FALSE))) {
    allocator = candidate;
    m_passesUpstreamSamples = false;
    return S_OK;
  }
  candidate.Attach(SampleAllocator::Create());
  HRESULT hr = DecideBufferSize(candidate.Get(), request);
  if (FAILED(hr)) return hr;
  hr = input->NotifyAllocator(candidate.Get(), FALSE);
  if (FAILED(hr)) return hr;
  allocator = candidate;
  m_passesUpstreamSamples = true;
  return S_OK;
}

HRESULT OutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES request) {
  const MediaType& mt = ConnectionType();
  long size = static_cast<long>(mt->lSampleSize);
  if (const BITMAPINFOHEADER* header = mt.VideoHeader())
    size = std::max(size, static_cast<long>(header->biSizeImage));
  request.cbBuffer = std::max(request.cbBuffer, size);
  request.cBuffers = std::max(request.cBuffers, 1L);
  request.cbAlign = std::max(request.cbAlign, 1L);
  ALLOCATOR_PROPERTIES actual = {};
  HRESULT hr = allocator->SetProperties(&request, &actual);
  if (FAILED(hr)) return hr;
  return actual.cbBuffer < request.cbBuffer ? E_FAIL : S_OK;
}

HRESULT OutputPin::Active() { return m_allocator ? m_allocator->Commit() : S_OK; }

HRESULT OutputPin::Inactive() { return m_allocator ? m_allocator->Decommit() : S_OK; }

void OutputPin::BreakConnect() {
  if (m_allocator) m_allocator->Decommit();
  m_allocator.Reset();
  m_passesUpstreamSamples = false;
  m_inUpstreamBuffers = false;
  m_input.Reset();
}

STDMETHODIMP OutputPin::ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) { return E_UNEXPECTED; }

// Upstream's buffers come back only as upstream goes on: a copy into one never
// waits while the caller holds another.
HRESULT OutputPin::GetDeliveryBuffer(IMediaSample** sample, DWORD flags) {
  if (!m_allocator) return VFW_E_NO_ALLOCATOR;
  if (m_inUpstreamBuffers) flags |= AM_GBF_NOWAIT;
  return m_allocator->GetBuffer(sample, nullptr, nullptr, flags);
}

HRESULT OutputPin::Deliver(IMediaSample* sample) {
  return m_input ? m_input->Receive(sample) : VFW_E_NOT_CONNECTED;
}

HRESULT OutputPin::DeliverEndOfStream() { return Peer() ? Peer()->EndOfStream() : S_OK; }

HRESULT OutputPin::DeliverBeginFlush() { return Peer() ? Peer()->BeginFlush() : S_OK; }

HRESULT OutputPin::DeliverEndFlush() { return Peer() ? Peer()->EndFlush() : S_OK; }

HRESULT OutputPin::DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
  return Peer() ? Peer()->NewSegment(start, stop, rate) : S_OK;
}

}  // namespace standin
