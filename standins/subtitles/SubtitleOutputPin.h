#pragma once
// The subtitle filter's output: offers the input's type. When the pin
// downstream refuses it, the input is connected again with another type that
// upstream offers and downstream takes (the graph never does this itself).

#include "standins/base/OutputPin.h"

class SubtitleFilter;

class SubtitleOutputPin final : public standin::OutputPin {
 public:
  explicit SubtitleOutputPin(SubtitleFilter& filter);

  STDMETHODIMP Connect(IPin* receivePin, const AM_MEDIA_TYPE* mt) override;
  HRESULT CheckMediaType(const AM_MEDIA_TYPE& mt) override;
  HRESULT GetMediaType(int n, standin::MediaType& mt) override;

 protected:
  HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES request) override;
  // Upstream's samples go on, painted where they are, when downstream takes them.
  IMemAllocator* PassThroughAllocator() override;
  standin::Pin* SeekingSource() override;

 private:
  HRESULT Renegotiate(IPin* receivePin, const AM_MEDIA_TYPE* partial);

  SubtitleFilter& m_owner;
};
