#pragma once
// An output pin that connects by proposing types (its own first, then the
// receiving pin's), agrees on an allocator with the receiving pin, and
// delivers samples and stream events downstream. Seeking questions put to it
// go to the upstream peer of the input pin that SeekingSource names.

#include "standins/base/Pin.h"
#include "standins/base/SeekingPassThrough.h"

namespace standin {

class OutputPin : public Pin {
 public:
  OutputPin(Filter& filter, std::wstring name);

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override;

  // IPin
  STDMETHODIMP Connect(IPin* receivePin, const AM_MEDIA_TYPE* mt) override;
  STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) override;
  STDMETHODIMP EndOfStream() override { return E_UNEXPECTED; }
  STDMETHODIMP BeginFlush() override { return E_UNEXPECTED; }
  STDMETHODIMP EndFlush() override { return E_UNEXPECTED; }
  STDMETHODIMP NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return S_OK; }

  HRESULT Active() override;
  HRESULT Inactive() override;

  // A sample of the agreed allocator to fill and Deliver; VFW_E_TIMEOUT at
  // once where that is upstream's and none of its buffers is free.
  HRESULT GetDeliveryBuffer(IMediaSample** sample, DWORD flags = 0);
  HRESULT Deliver(IMediaSample* sample);
  HRESULT DeliverEndOfStream();
  HRESULT DeliverBeginFlush();
  HRESULT DeliverEndFlush();
  HRESULT DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate);

  IMemAllocator* Allocator() const { return m_allocator.Get(); }
  // Downstream takes samples of upstream's allocator (or supplied none of its
  // own and takes any): an upstream sample may be delivered as it is.
  bool DownstreamTakesAnySample() const { return m_passesUpstreamSamples; }

 protected:
  // Connects to receivePin on type mt, or fails and leaves the pin unconnected.
  HRESULT TryConnect(IPin* receivePin, const AM_MEDIA_TYPE& mt);
  // Agrees on the allocator: upstream's, where the filter passes samples
  // through and downstream takes it; else the receiving pin's own, else a new
  // memory allocator, sized by DecideBufferSize and announced with NotifyAllocator.
  virtual HRESULT DecideAllocator(IMemInputPin* input,
                                  Microsoft::WRL::ComPtr<IMemAllocator>& allocator);
  // Sets the allocator's properties; request holds the receiving pin's wishes.
  virtual HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES request);
  // The allocator of the upstream samples that this pin may deliver as they
  // are (a pass-through filter's input's), or nullptr.
  virtual IMemAllocator* PassThroughAllocator() { return nullptr; }
  // The input pin whose upstream peer answers seeking, or nullptr for none.
  virtual Pin* SeekingSource() { return nullptr; }

  void BreakConnect() override;

 private:
  HRESULT ConnectWithProposals(IPin* receivePin, const AM_MEDIA_TYPE* partial);

  Microsoft::WRL::ComPtr<IMemInputPin> m_input;
  Microsoft::WRL::ComPtr<IMemAllocator> m_allocator;
  bool m_passesUpstreamSamples = false;  // see DownstreamTakesAnySample
  bool m_inUpstreamBuffers = false;      // m_allocator is PassThroughAllocator's
  SeekingPassThrough m_seeking;
};

}  // namespace standin
