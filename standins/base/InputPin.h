#pragma once
// An input pin that takes samples through IMemInputPin. It offers upstream an
// allocator of its own (a few buffers, handed out without a trip through the
// system) and takes samples of any other, tracks flushing and end of stream,
// and hands samples and stream events to the derived pin. Receive is refused while the filter
// is stopped, while flushing and after end of stream.

#include "standins/base/Pin.h"

namespace standin {

class InputPin : public Pin, public IMemInputPin {
 public:
  InputPin(Filter& filter, std::wstring name);

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return Pin::AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return Pin::Release(); }

  // IPin
  STDMETHODIMP Connect(IPin* receivePin, const AM_MEDIA_TYPE* mt) override;
  STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) override;
  STDMETHODIMP EndOfStream() override;
  STDMETHODIMP BeginFlush() override;
  STDMETHODIMP EndFlush() override;
  STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

  // IMemInputPin
  STDMETHODIMP GetAllocator(IMemAllocator** allocator) override;
  STDMETHODIMP NotifyAllocator(IMemAllocator* allocator, BOOL readOnly) override;
  STDMETHODIMP GetAllocatorRequirements(ALLOCATOR_PROPERTIES* props) override;
  STDMETHODIMP Receive(IMediaSample* sample) override;
  STDMETHODIMP ReceiveMultiple(IMediaSample** samples, long count, long* processed) override;
  STDMETHODIMP ReceiveCanBlock() override;

  HRESULT Inactive() override;

  bool Flushing() const { return m_flushing != 0; }
  bool EndOfStreamSeen() const { return m_endOfStream != 0; }
  bool ReadOnlySamples() const { return m_readOnly; }
  // The allocator upstream chose (not owned), or nullptr.
  IMemAllocator* UpstreamAllocator() const { return m_allocator.Get(); }
  // The current segment's start (100 ns units): sample times are relative to it.
  REFERENCE_TIME SegmentStart() const { return m_segmentStart; }

 protected:
  // A sample, on the upstream streaming thread. The sample's buffer belongs to
  // upstream: copy what is kept before returning.
  virtual HRESULT OnReceive(IMediaSample* sample) = 0;
  virtual HRESULT OnEndOfStream() { return S_OK; }
  virtual HRESULT OnBeginFlush() { return S_OK; }
  virtual HRESULT OnEndFlush() { return S_OK; }
  virtual HRESULT OnNewSegment(REFERENCE_TIME, REFERENCE_TIME, double) { return S_OK; }
  // S_OK when OnReceive may block (a writer that waits for another stream).
  virtual bool ReceiveMayBlock() const { return false; }

  void BreakConnect() override;

 private:
  volatile LONG m_flushing = 0;
  volatile LONG m_endOfStream = 0;
  bool m_readOnly = false;
  REFERENCE_TIME m_segmentStart = 0;
  Microsoft::WRL::ComPtr<IMemAllocator> m_allocator;  // upstream's choice
  Microsoft::WRL::ComPtr<IMemAllocator> m_offered;    // ours, made when first asked
};

}  // namespace standin
